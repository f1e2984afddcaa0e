// Selectors: two-position slide switches, three-position segmented keys whose chosen
// segment is lit, and the vertical LFO wave selector with its five wave shapes.
#include "effect/editor/skin/bitmaps.h"
#include "effect/editor/skin/palette.h"

#include <cmath>

namespace ruvane::skin {
namespace {

void housing(cairo_t* cr, double w, double h, double radius) {
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, radius);
    fillVertical(cr, 0, h, palette::kHousing.scaled(0.8), palette::kHousing.scaled(1.3), Path::Keep);
    setSource(cr, Colour{0, 0, 0, 0.7});
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    // The plate's light on the lower lip of the cut-out.
    hLine(cr, 1.5, w - 1.5, h - 1, Colour{1, 1, 1, 0.25});
}

void litGlyphGlow(cairo_t* cr, double x, double y, double w, double h) {
    barGlow(cr, x, y, w, h, 1.5, palette::kAmberOn.withAlpha(0.55));
}

}  // namespace

void paintSlideSwitch(cairo_t* cr, const Frame& frame) {
    const double w = frame.width, h = frame.height;
    housing(cr, w, h, h / 2.6);
    // Slot.
    const double slotY = h / 2 - 1.5;
    roundedRect(cr, 3, slotY, w - 6, 3, 1.5);
    setSource(cr, palette::kSlot);
    cairo_fill(cr);
    // Thumb: ribbed metal, on the left for position 0, on the right for position 1.
    const double thumbW = std::round(w * 0.46), thumbH = h - 3;
    const double thumbX = frame.index == 0 ? 1.5 : w - 1.5 - thumbW, thumbY = 1.2;
    roundedRect(cr, thumbX + 0.4, thumbY + 0.9, thumbW, thumbH, 1.8);
    setSource(cr, Colour{0, 0, 0, 0.5});
    cairo_fill(cr);
    roundedRect(cr, thumbX, thumbY, thumbW, thumbH, 1.8);
    fillVertical(cr, thumbY, thumbY + thumbH, palette::kSkirtLight, palette::kSkirtDark);
    for (double x = thumbX + 2.5; x < thumbX + thumbW - 2; x += 2) {
        vLine(cr, std::floor(x), thumbY + 2, thumbY + thumbH - 2, Colour{0, 0, 0, 0.28});
        vLine(cr, std::floor(x) + 1, thumbY + 2, thumbY + thumbH - 2, Colour{1, 1, 1, 0.3});
    }
}

void paintSegmentSwitch(cairo_t* cr, const Frame& frame) {
    const double w = frame.width, h = frame.height;
    const int segments = frame.bitmap.frames;
    housing(cr, w, h, 2);
    const double inner = w - 2, segmentW = inner / segments;
    for (int i = 0; i < segments; ++i) {
        const bool lit = i == frame.index;
        const double x = 1 + i * segmentW + 0.6, y = 1.5, sw = segmentW - 1.2, sh = h - 3;
        cairo_pattern_t* face = cairo_pattern_create_linear(0, y, 0, y + sh);
        if (lit) {
            addStop(face, 0, palette::kAmberOn.mixed(palette::kLedHot, 0.4));
            addStop(face, 1, palette::kAmberOn.scaled(0.85));
        } else {
            addStop(face, 0, palette::kKeyTop);
            addStop(face, 1, palette::kKeyBottom);
        }
        roundedRect(cr, x, y, sw, sh, 1.2);
        cairo_set_source(cr, face);
        cairo_fill(cr);
        cairo_pattern_destroy(face);
        // Top light on every key, a hot core on the lit one.
        hLine(cr, x + 0.8, x + sw - 0.8, y, Colour{1, 1, 1, lit ? 0.6 : 0.22});
        if (lit) {
            roundedRect(cr, x + sw * 0.25, y + sh * 0.3, sw * 0.5, sh * 0.35, 1);
            setSource(cr, Colour{1, 1, 0.9, 0.5});
            cairo_fill(cr);
        }
    }
}

void paintWaveSwitch(cairo_t* cr, const Frame& frame) {
    const double w = frame.width, h = frame.height;
    const int positions = frame.bitmap.frames;
    housing(cr, w, h, 2);
    const double band = (h - 2) / positions;
    for (int i = 0; i < positions; ++i) {
        const bool lit = i == frame.index;
        const double top = 1 + i * band;
        // Centred on pixel middles so the glyphs' straight strokes stay crisp at 1x.
        const double cx = std::floor(w / 2) + 0.5, cy = std::floor(top + band / 2) + 0.5;
        const double half = 5, amp = 3;
        if (lit) {
            roundedRect(cr, 1.5, top + 0.6, w - 3, band - 1.2, 1.5);
            setSource(cr, Colour::rgb(70, 48, 20));
            cairo_fill(cr);
            litGlyphGlow(cr, cx - half, cy - amp, 2 * half, 2 * amp);
        }
        if (i > 0) hLine(cr, 2, w - 2, std::floor(top), Colour{0, 0, 0, 0.6});
        // The wave: sine, square, triangle, saw, random steps.
        cairo_new_path(cr);
        switch (i) {
            case 0:
                for (int s = 0; s <= 24; ++s) {
                    double t = s / 24.0;
                    double x = cx - half + 2 * half * t, y = cy - amp * std::sin(2 * M_PI * t);
                    s == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
                }
                break;
            case 1:
                cairo_move_to(cr, cx - half, cy + amp);
                cairo_line_to(cr, cx - half, cy - amp);
                cairo_line_to(cr, cx, cy - amp);
                cairo_line_to(cr, cx, cy + amp);
                cairo_line_to(cr, cx + half, cy + amp);
                cairo_line_to(cr, cx + half, cy - amp);
                break;
            case 2:
                cairo_move_to(cr, cx - half, cy);
                cairo_line_to(cr, cx - half / 2, cy - amp);
                cairo_line_to(cr, cx + half / 2, cy + amp);
                cairo_line_to(cr, cx + half, cy);
                break;
            case 3:
                cairo_move_to(cr, cx - half, cy + amp);
                cairo_line_to(cr, cx, cy - amp);
                cairo_line_to(cr, cx, cy + amp);
                cairo_line_to(cr, cx + half, cy - amp);
                cairo_line_to(cr, cx + half, cy + amp);
                break;
            default: {
                // Four held levels, whole pixels apart.
                const double levels[] = {1, -3, 3, -1};
                const int steps = 4;
                double x = cx - half, step = 2 * half / steps;
                cairo_move_to(cr, x, cy - levels[0]);
                for (int s = 0; s < steps; ++s) {
                    cairo_line_to(cr, x + step, cy - levels[s]);
                    if (s < steps - 1) cairo_line_to(cr, x + step, cy - levels[s + 1]);
                    x += step;
                }
                break;
            }
        }
        cairo_set_line_width(cr, 1.1);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        setSource(cr, lit ? palette::kAmberOn.mixed(palette::kLedHot, 0.3)
                          : palette::kKeyText.withAlpha(0.45));
        cairo_stroke(cr);
    }
}

}  // namespace ruvane::skin
