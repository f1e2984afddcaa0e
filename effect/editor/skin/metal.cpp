#include "effect/editor/skin/metal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ruvane::skin {
namespace {

double clampByte(double v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

}  // namespace

void brushedMetal(cairo_surface_t* surface, uint64_t seed, double brightness,
                  bool (*recessed)(double, double), Colour face, Colour plate, double falloff) {
    cairo_surface_flush(surface);
    const int scale = surfaceScale(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    Random random(seed);
    std::vector<double> rowGrain(height), rowStreak(height);
    for (int y = 0; y < height; ++y) {
        rowGrain[y] = random.symmetric();
        double s = random.uniform();
        rowStreak[y] = s * s * s;
    }
    // Streak profile along x: smooth noise with knots every 24 device pixels.
    const int knotSpacing = 24;
    const int knots = width / knotSpacing + 2;
    std::vector<double> knotValues(static_cast<size_t>(knots) * 7);
    for (double& value : knotValues) value = random.symmetric();
    for (int y = 0; y < height; ++y) {
        const double uy = (y + 0.5) / scale;
        const double light = brightness * (1.0 + falloff * (0.5 - uy / layout::kEditorHeight));
        const double* streak = &knotValues[static_cast<size_t>(y % 7) * knots];
        uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const double ux = (x + 0.5) / scale;
            const bool sunk = recessed != nullptr && recessed(ux, uy);
            const Colour base = sunk ? plate : face;
            // The plates stay evenly lit, so a bitmap shared by controls on different
            // rows matches the plate under each of them.
            const double shade = sunk ? brightness : light;
            double grain = 2.0 * rowGrain[y] + 0.9 * random.symmetric();
            if (!sunk) {
                const double t = double(x % knotSpacing) / knotSpacing;
                const int k = x / knotSpacing;
                const double smooth = (1 - std::cos(t * M_PI)) / 2;
                grain += 4.0 * rowStreak[y] * (streak[k] * (1 - smooth) + streak[k + 1] * smooth);
            }
            const double r = clampByte(base.r * 255 * shade + grain);
            const double g = clampByte(base.g * 255 * shade + grain);
            const double b = clampByte(base.b * 255 * shade + grain * 1.05);
            row[x] = 0xFF000000u | (uint32_t(std::lround(r)) << 16) |
                     (uint32_t(std::lround(g)) << 8) | uint32_t(std::lround(b));
        }
    }
    cairo_surface_mark_dirty(surface);
}

void screw(cairo_t* cr, double cx, double cy, double angleDegrees) {
    const double radius = 3.6;
    roundShadow(cr, cx + 0.5, cy + 0.9, radius, 1.2, 0.35);
    cairo_pattern_t* head = cairo_pattern_create_radial(cx - 1.2, cy - 1.4, 0.3, cx, cy, radius);
    addStop(head, 0, Colour::rgb(240, 242, 244));
    addStop(head, 0.6, Colour::rgb(160, 166, 172));
    addStop(head, 1, Colour::rgb(96, 102, 108));
    cairo_set_source(cr, head);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(head);
    setSource(cr, Colour{0, 0, 0, 0.5});
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
    const double a = angleDegrees * M_PI / 180;
    const double dx = std::cos(a) * (radius - 0.8), dy = std::sin(a) * (radius - 0.8);
    cairo_set_line_width(cr, 1.1);
    cairo_move_to(cr, cx - dx, cy - dy);
    cairo_line_to(cr, cx + dx, cy + dy);
    setSource(cr, Colour::rgb(60, 64, 70));
    cairo_stroke(cr);
    cairo_move_to(cr, cx - dx + 0.4, cy - dy + 0.6);
    cairo_line_to(cr, cx + dx + 0.4, cy + dy + 0.6);
    setSource(cr, Colour{1, 1, 1, 0.35});
    cairo_set_line_width(cr, 0.4);
    cairo_stroke(cr);
}

// A recessed well: flat colour with an inset edge (dark above and left, light below
// and right), the edge lying just outside `rect`.
void well(cairo_t* cr, const layout::Rect& rect, Colour fill) {
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    setSource(cr, fill);
    cairo_fill(cr);
    bevel(cr, rect.left - 1, rect.top - 1, rect.width() + 2, rect.height() + 2,
          Colour{0, 0, 0, 0.75}, Colour{1, 1, 1, 0.28});
}

}  // namespace ruvane::skin
