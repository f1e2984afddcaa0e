// Drawing helpers shared by every bitmap family: colours, surfaces, shapes, text,
// LEDs and seeded noise. Everything draws in 1x units; surfaces carry the scale.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ruvane::skin {

struct Colour {
    double r = 0, g = 0, b = 0, a = 1;

    static constexpr Colour rgb(int r, int g, int b, double a = 1) {
        return {r / 255.0, g / 255.0, b / 255.0, a};
    }
    constexpr Colour withAlpha(double alpha) const { return {r, g, b, alpha}; }
    // Mixes towards black (factor < 1) or keeps the hue brighter (factor > 1).
    constexpr Colour scaled(double factor) const {
        auto clamp = [](double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); };
        return {clamp(r * factor), clamp(g * factor), clamp(b * factor), a};
    }
    constexpr Colour mixed(Colour other, double t) const {
        return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t,
                a + (other.a - a) * t};
    }
};

void setSource(cairo_t* cr, Colour colour);
void addStop(cairo_pattern_t* pattern, double offset, Colour colour);
// Fills the current path with `top` at y0 running into `bottom` at y1. The path is kept
// when an outline is to follow.
enum class Path { Drop, Keep };
void fillVertical(cairo_t* cr, double y0, double y1, Colour top, Colour bottom, Path path = Path::Drop);

// Owning handles.
struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// An image of width x height 1x units at `scale` device pixels per unit; RGB24 unless
// `alpha` (then transparent to begin with).
Surface makeSurface(int width, int height, int scale, bool alpha);
Context makeContext(cairo_surface_t* surface);
int surfaceScale(cairo_surface_t* surface);
// Writes the surface as PNG; false on failure.
bool writePng(cairo_surface_t* surface, const std::string& path);

// Shapes.
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
// A one-unit line on the pixel grid from (x0, y0) to (x1, y1): horizontal or vertical,
// given by the pixel row/column it covers.
void hLine(cairo_t* cr, double x0, double x1, double row, Colour colour);
void vLine(cairo_t* cr, double column, double y0, double y1, Colour colour);
// Engraved outline of a rectangle: dark line on its top/left edge, light line just
// below/right of every dark line, so it reads as cut into the metal.
void engravedRect(cairo_t* cr, double x, double y, double w, double h, Colour dark,
                  Colour light);
// Raised or sunken 1-unit bevel inside the rectangle.
void bevel(cairo_t* cr, double x, double y, double w, double h, Colour topLeft,
           Colour bottomRight);

// A soft round shadow under a round object of `radius` centred at (cx, cy).
void roundShadow(cairo_t* cr, double cx, double cy, double radius, double spread, double alpha);
// A glow of `colour` around (cx, cy) fading out at `radius`.
void glow(cairo_t* cr, double cx, double cy, double radius, Colour colour);
// A glow stretched over a rectangle (for bars).
void barGlow(cairo_t* cr, double x, double y, double w, double h, double spread, Colour colour);

// Text.
enum class Align { Left, Centre, Right };
struct Font {
    const char* family;
    bool bold;
    double size;        // pixels at 1x
    double tracking = 0; // extra space after each character, in units
    double stretch = 1;  // horizontal scale of the glyphs (below 1: condensed further)
};
// The condensed legend face and the plain face.
inline constexpr const char* kLegendFamily = "Liberation Sans Narrow";
inline constexpr const char* kPlainFamily = "Liberation Sans";
inline constexpr Font legendFont(double size, double tracking = 0) {
    return {kLegendFamily, true, size, tracking};
}
double textWidth(cairo_t* cr, std::string_view text, const Font& font);
double capHeight(cairo_t* cr, const Font& font);
// Draws `text` with its baseline at y; x is the left edge, centre or right edge.
void drawText(cairo_t* cr, std::string_view text, double x, double baseline, Align align,
              const Font& font, Colour colour);
// Draws `text` with its capitals centred vertically on cy.
void drawTextCentred(cairo_t* cr, std::string_view text, double cx, double cy, const Font& font,
                     Colour colour);

// Seeded noise: the same seed gives the same numbers on every build and machine.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed ^ 0x9E3779B97F4A7C15ull) {}
    uint64_t next();
    double uniform();        // 0..1
    double symmetric();      // -1..1
private:
    uint64_t state_;
};

}  // namespace ruvane::skin
