#include "effect/editor/skin/paint.h"

#include <algorithm>
#include <cmath>

namespace ruvane::skin {

void setSource(cairo_t* cr, Colour c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void addStop(cairo_pattern_t* pattern, double offset, Colour c) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.r, c.g, c.b, c.a);
}

void fillVertical(cairo_t* cr, double y0, double y1, Colour top, Colour bottom, Path path) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y0, 0, y1);
    addStop(gradient, 0, top);
    addStop(gradient, 1, bottom);
    cairo_set_source(cr, gradient);
    if (path == Path::Keep) {
        cairo_fill_preserve(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_pattern_destroy(gradient);
}

Surface makeSurface(int width, int height, int scale, bool alpha) {
    Surface surface(cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                               width * scale, height * scale));
    cairo_surface_set_device_scale(surface.get(), scale, scale);
    return surface;
}

Context makeContext(cairo_surface_t* surface) {
    Context cr(cairo_create(surface));
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr.get(), options);
    cairo_font_options_destroy(options);
    return cr;
}

int surfaceScale(cairo_surface_t* surface) {
    double x = 1, y = 1;
    cairo_surface_get_device_scale(surface, &x, &y);
    return static_cast<int>(std::lround(x));
}

bool writePng(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    radius = std::min(radius, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void hLine(cairo_t* cr, double x0, double x1, double row, Colour colour) {
    cairo_rectangle(cr, x0, row, x1 - x0, 1);
    setSource(cr, colour);
    cairo_fill(cr);
}

void vLine(cairo_t* cr, double column, double y0, double y1, Colour colour) {
    cairo_rectangle(cr, column, y0, 1, y1 - y0);
    setSource(cr, colour);
    cairo_fill(cr);
}

void engravedRect(cairo_t* cr, double x, double y, double w, double h, Colour dark,
                  Colour light) {
    // Light lines first, one unit below/right of each dark line, then the dark lines.
    hLine(cr, x + 1, x + w, y + 1, light);
    hLine(cr, x + 1, x + w + 1, y + h, light);
    vLine(cr, x + 1, y + 1, y + h, light);
    vLine(cr, x + w, y + 1, y + h + 1, light);
    hLine(cr, x, x + w, y, dark);
    hLine(cr, x, x + w, y + h - 1, dark);
    vLine(cr, x, y, y + h, dark);
    vLine(cr, x + w - 1, y, y + h, dark);
}

void bevel(cairo_t* cr, double x, double y, double w, double h, Colour topLeft,
           Colour bottomRight) {
    hLine(cr, x, x + w, y, topLeft);
    vLine(cr, x, y + 1, y + h, topLeft);
    hLine(cr, x + 1, x + w, y + h - 1, bottomRight);
    vLine(cr, x + w - 1, y + 1, y + h - 1, bottomRight);
}

void roundShadow(cairo_t* cr, double cx, double cy, double radius, double spread, double alpha) {
    cairo_pattern_t* pattern = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius + spread);
    double inner = radius / (radius + spread);
    addStop(pattern, 0, Colour{0, 0, 0, alpha});
    addStop(pattern, inner * 0.85, Colour{0, 0, 0, alpha});
    addStop(pattern, 1, Colour{0, 0, 0, 0});
    cairo_set_source(cr, pattern);
    cairo_arc(cr, cx, cy, radius + spread, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void glow(cairo_t* cr, double cx, double cy, double radius, Colour colour) {
    cairo_pattern_t* pattern = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    addStop(pattern, 0, colour);
    addStop(pattern, 0.35, colour.withAlpha(colour.a * 0.45));
    addStop(pattern, 1, colour.withAlpha(0));
    cairo_set_source(cr, pattern);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void barGlow(cairo_t* cr, double x, double y, double w, double h, double spread, Colour colour) {
    // Layered rounded rectangles, each fainter and wider, approximate a blur.
    const int layers = 6;
    for (int i = layers; i >= 1; --i) {
        double grow = spread * i / layers;
        roundedRect(cr, x - grow, y - grow, w + 2 * grow, h + 2 * grow, grow + 0.5);
        setSource(cr, colour.withAlpha(colour.a * 0.22 * (1.0 - double(i - 1) / layers)));
        cairo_fill(cr);
    }
}

namespace {

void selectFont(cairo_t* cr, const Font& font) {
    cairo_select_font_face(cr, font.family, CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, font.size * font.stretch, font.size);
    cairo_set_font_matrix(cr, &matrix);
    if (font.stretch < 1) {
        // Squeezed glyphs stay legible at 1x only with their stems fitted to the grid.
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_get_font_options(cr, options);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
        cairo_set_font_options(cr, options);
        cairo_font_options_destroy(options);
    }
}

// Squeezed text starts every glyph on a whole device pixel, so its stems stay sharp.
double glyphPen(cairo_t* cr, const Font& font, double pen) {
    if (font.stretch >= 1) return pen;
    double x = pen, y = 0;
    cairo_user_to_device(cr, &x, &y);
    x = std::round(x);
    cairo_device_to_user(cr, &x, &y);
    return x;
}

// Length in bytes of the UTF-8 sequence starting with `lead`.
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    return 4;
}

template <typename Visit>
void forEachCharacter(std::string_view text, Visit visit) {
    for (size_t i = 0; i < text.size();) {
        size_t length = std::min(sequenceLength(static_cast<unsigned char>(text[i])),
                                 text.size() - i);
        visit(std::string(text.substr(i, length)));
        i += length;
    }
}

}  // namespace

double textWidth(cairo_t* cr, std::string_view text, const Font& font) {
    cairo_save(cr);
    selectFont(cr, font);
    double width = 0;
    int count = 0;
    forEachCharacter(text, [&](const std::string& character) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, character.c_str(), &extents);
        width += extents.x_advance;
        ++count;
    });
    cairo_restore(cr);
    return width + font.tracking * std::max(0, count - 1);
}

double capHeight(cairo_t* cr, const Font& font) {
    cairo_save(cr);
    selectFont(cr, font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, "H", &extents);
    cairo_restore(cr);
    return -extents.y_bearing;
}

void drawText(cairo_t* cr, std::string_view text, double x, double baseline, Align align,
              const Font& font, Colour colour) {
    double width = textWidth(cr, text, font);
    double left = align == Align::Left ? x : align == Align::Centre ? x - width / 2 : x - width;
    cairo_save(cr);
    selectFont(cr, font);
    setSource(cr, colour);
    double pen = left;
    baseline = std::round(baseline);  // crisp capitals at 1x
    forEachCharacter(text, [&](const std::string& character) {
        cairo_move_to(cr, glyphPen(cr, font, pen), baseline);
        cairo_show_text(cr, character.c_str());
        cairo_text_extents_t extents;
        cairo_text_extents(cr, character.c_str(), &extents);
        pen += extents.x_advance + font.tracking;
    });
    cairo_restore(cr);
}

void drawTextCentred(cairo_t* cr, std::string_view text, double cx, double cy, const Font& font,
                     Colour colour) {
    drawText(cr, text, cx, cy + capHeight(cr, font) / 2, Align::Centre, font, colour);
}

uint64_t Random::next() {
    // splitmix64: small, fast and the same everywhere.
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

double Random::symmetric() { return uniform() * 2 - 1; }

}  // namespace ruvane::skin
