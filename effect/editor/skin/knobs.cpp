// Knobs: black bakelite caps on a thin metal skirt, a cream pointer, and the scale of
// eleven dots printed on the plate. 101 frames sweep the pointer from -150 to +150
// degrees; the light (highlight and shadow) stays top left in every frame.
#include "effect/editor/skin/bitmaps.h"
#include "effect/editor/skin/palette.h"

#include <cmath>

namespace ruvane::skin {
namespace {

constexpr double kSweepDegrees = 300;
constexpr int kScaleDots = 11;

double radians(double degrees) { return degrees * M_PI / 180; }

// Angle of the pointer for frame `index` of `frames`, clockwise from twelve o'clock.
double pointerAngle(int index, int frames) {
    return radians(-kSweepDegrees / 2 + kSweepDegrees * index / (frames - 1));
}

// Knob families with their own accent ring: the left and the right delay.
const Colour* accentFor(int id) {
    if (id == 130) return &palette::kAccentLeft;
    if (id == 131) return &palette::kAccentRight;
    return nullptr;
}

void paintScale(cairo_t* cr, double cx, double cy, double radius) {
    for (int i = 0; i < kScaleDots; ++i) {
        double angle = radians(-kSweepDegrees / 2 + kSweepDegrees * i / (kScaleDots - 1));
        bool end = i == 0 || i == kScaleDots - 1 || i == kScaleDots / 2;
        cairo_arc(cr, cx + radius * std::sin(angle), cy - radius * std::cos(angle),
                  end ? 0.95 : 0.7, 0, 2 * M_PI);
        setSource(cr, palette::kLegend.withAlpha(end ? 0.95 : 0.8));
        cairo_fill(cr);
    }
}

// A soft sheen whose brightness follows the angle round the centre: brightest towards
// the light (top left), with a faint reflection opposite.
void conicalSheen(cairo_t* cr, double cx, double cy, double radius, double strength) {
    cairo_pattern_t* mesh = cairo_pattern_create_mesh();
    const int sectors = 48;
    auto intensity = [&](double angle) {
        double toLight = std::cos(angle - radians(-135 + 90));  // screen angle of top left
        double main = std::pow(std::max(0.0, toLight), 3.0);
        double back = 0.35 * std::pow(std::max(0.0, -toLight), 6.0);
        return strength * (main + back);
    };
    for (int i = 0; i < sectors; ++i) {
        double a0 = 2 * M_PI * i / sectors, a1 = 2 * M_PI * (i + 1) / sectors;
        cairo_mesh_pattern_begin_patch(mesh);
        cairo_mesh_pattern_move_to(mesh, cx, cy);
        cairo_mesh_pattern_line_to(mesh, cx + radius * std::cos(a0), cy + radius * std::sin(a0));
        cairo_mesh_pattern_line_to(mesh, cx + radius * std::cos(a1), cy + radius * std::sin(a1));
        cairo_mesh_pattern_line_to(mesh, cx, cy);
        cairo_mesh_pattern_set_corner_color_rgba(mesh, 0, 1, 1, 1, 0);
        cairo_mesh_pattern_set_corner_color_rgba(mesh, 1, 1, 1, 1, intensity(a0));
        cairo_mesh_pattern_set_corner_color_rgba(mesh, 2, 1, 1, 1, intensity(a1));
        cairo_mesh_pattern_set_corner_color_rgba(mesh, 3, 1, 1, 1, 0);
        cairo_mesh_pattern_end_patch(mesh);
    }
    cairo_set_source(cr, mesh);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(mesh);
}

}  // namespace

void paintKnob(cairo_t* cr, const Frame& frame) {
    const double cx = frame.width / 2, cy = frame.height / 2;
    const double size = std::min(frame.width, frame.height);
    const double scaleRadius = size / 2 - 1.3;
    const double skirtRadius = size / 2 - 4.6;
    const double capRadius = skirtRadius - 2.6;

    paintScale(cr, cx, cy, scaleRadius);

    // Drop shadow on the plate, away from the light.
    roundShadow(cr, cx + 0.9, cy + 1.8, skirtRadius, 2.6, 0.42);

    // Metal skirt: bright at the top left, dark at the bottom right, fine dark rim.
    cairo_pattern_t* skirt = cairo_pattern_create_linear(cx - skirtRadius, cy - skirtRadius,
                                                         cx + skirtRadius, cy + skirtRadius);
    addStop(skirt, 0, palette::kSkirtLight);
    addStop(skirt, 0.55, palette::kSkirtDark.mixed(palette::kSkirtLight, 0.45));
    addStop(skirt, 1, palette::kSkirtDark.scaled(0.7));
    cairo_set_source(cr, skirt);
    cairo_arc(cr, cx, cy, skirtRadius, 0, 2 * M_PI);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(skirt);
    setSource(cr, Colour::rgb(30, 32, 36, 0.8));
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    conicalSheen(cr, cx, cy, skirtRadius - 0.4, 0.5);


    // Bakelite cap: a dome lit from the top left, with a soft conical sheen.
    cairo_pattern_t* cap = cairo_pattern_create_radial(cx - capRadius * 0.45, cy - capRadius * 0.5,
                                                       capRadius * 0.1, cx, cy, capRadius * 1.05);
    addStop(cap, 0, Colour::rgb(82, 84, 90));
    addStop(cap, 0.45, Colour::rgb(40, 41, 45));
    addStop(cap, 1, palette::kBakelite.scaled(0.6));
    cairo_set_source(cr, cap);
    cairo_arc(cr, cx, cy, capRadius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    conicalSheen(cr, cx, cy, capRadius - 0.6, 0.16);
    // Glossy spot where the light falls on the dome.
    cairo_pattern_t* gloss = cairo_pattern_create_radial(cx - capRadius * 0.38, cy - capRadius * 0.42, 0,
                                                         cx - capRadius * 0.38, cy - capRadius * 0.42,
                                                         capRadius * 0.55);
    addStop(gloss, 0, Colour{1, 1, 1, 0.22});
    addStop(gloss, 1, Colour{1, 1, 1, 0});
    cairo_set_source(cr, gloss);
    cairo_arc(cr, cx, cy, capRadius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    // The family's coloured ring round the top of the cap.
    if (const Colour* accent = accentFor(frame.bitmap.id)) {
        cairo_arc(cr, cx, cy, capRadius - 1.1, 0, 2 * M_PI);
        setSource(cr, *accent);
        cairo_set_line_width(cr, 1.3);
        cairo_stroke(cr);
    }
    // Rim of the cap catches the light at the top left.
    cairo_arc(cr, cx, cy, capRadius - 0.5, radians(180), radians(290));
    setSource(cr, Colour{1, 1, 1, 0.28});
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, capRadius - 0.4, radians(0), radians(110));
    setSource(cr, Colour{0, 0, 0, 0.5});
    cairo_stroke(cr);

    // Pointer: a cream line with a faint shadow below it.
    double angle = pointerAngle(frame.index, frame.bitmap.frames);
    double dx = std::sin(angle), dy = -std::cos(angle);
    double inner = capRadius * 0.32, outer = capRadius - 1.2;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.7);
    setSource(cr, Colour{0, 0, 0, 0.55});
    cairo_move_to(cr, cx + dx * inner + 0.3, cy + dy * inner + 0.6);
    cairo_line_to(cr, cx + dx * outer + 0.3, cy + dy * outer + 0.6);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.5);
    setSource(cr, palette::kPointer);
    cairo_move_to(cr, cx + dx * inner, cy + dy * inner);
    cairo_line_to(cr, cx + dx * outer, cy + dy * outer);
    cairo_stroke(cr);
}

}  // namespace ruvane::skin
