// The value display's pieces (seven-segment digits, decimal points, separator lamps)
// on the smoked glass, and the LED ladder of the peak meters.
#include "effect/editor/skin/bitmaps.h"
#include "effect/editor/skin/palette.h"

#include <array>
#include <functional>
#include <cmath>

namespace ruvane::skin {
namespace {

// Segment bits: a top, b upper right, c lower right, d bottom, e lower left,
// f upper left, g middle.
enum : unsigned { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };
constexpr std::array<unsigned, 10> kDigitSegments = {
    A | B | C | D | E | F, B | C, A | B | G | E | D, A | B | G | C | D, F | G | B | C,
    A | F | G | C | D, A | F | G | E | D | C, A | B | C, A | B | C | D | E | F | G,
    A | B | C | D | F | G};

constexpr double kSlant = 0.12;  // the digits lean slightly forward

struct DigitBox {
    double left, top, width, height, thickness;
};

// A segment from (x0, y0) to (x1, y1) with pointed ends, leaning with the digit.
void segmentPath(cairo_t* cr, const DigitBox& box, double x0, double y0, double x1, double y1) {
    const double t = box.thickness / 2;
    auto lean = [&](double x, double y) {
        return x + (box.top + box.height - y) * kSlant;
    };
    const bool horizontal = std::abs(y1 - y0) < std::abs(x1 - x0);
    if (horizontal) {
        cairo_move_to(cr, lean(x0, y0), y0);
        cairo_line_to(cr, lean(x0 + t, y0 - t), y0 - t);
        cairo_line_to(cr, lean(x1 - t, y1 - t), y1 - t);
        cairo_line_to(cr, lean(x1, y1), y1);
        cairo_line_to(cr, lean(x1 - t, y1 + t), y1 + t);
        cairo_line_to(cr, lean(x0 + t, y0 + t), y0 + t);
    } else {
        cairo_move_to(cr, lean(x0, y0), y0);
        cairo_line_to(cr, lean(x0 + t, y0 + t), y0 + t);
        cairo_line_to(cr, lean(x1 + t, y1 - t), y1 - t);
        cairo_line_to(cr, lean(x1, y1), y1);
        cairo_line_to(cr, lean(x1 - t, y1 - t), y1 - t);
        cairo_line_to(cr, lean(x0 - t, y0 + t), y0 + t);
    }
    cairo_close_path(cr);
}

void segments(cairo_t* cr, const DigitBox& box, unsigned mask, bool plusBar) {
    const double gap = 0.45;
    const double l = box.left, r = box.left + box.width;
    const double top = box.top, mid = box.top + box.height / 2, bottom = box.top + box.height;
    if (mask & A) segmentPath(cr, box, l + gap, top, r - gap, top);
    if (mask & B) segmentPath(cr, box, r, top + gap, r, mid - gap);
    if (mask & C) segmentPath(cr, box, r, mid + gap, r, bottom - gap);
    if (mask & D) segmentPath(cr, box, l + gap, bottom, r - gap, bottom);
    if (mask & E) segmentPath(cr, box, l, mid + gap, l, bottom - gap);
    if (mask & F) segmentPath(cr, box, l, top + gap, l, mid - gap);
    if (mask & G) segmentPath(cr, box, l + gap, mid, r - gap, mid);
    if (plusBar) {
        const double cx = (l + r) / 2, reach = box.width / 2 - gap;
        segmentPath(cr, box, cx, mid - reach - gap, cx, mid - gap);
        segmentPath(cr, box, cx, mid + gap, cx, mid + reach + gap);
    }
}

void litShape(cairo_t* cr, const std::function<void()>& path) {
    // A soft bloom, then the lit segments with a hotter core.
    cairo_save(cr);
    path();
    setSource(cr, palette::kSegmentOn.withAlpha(0.22));
    cairo_set_line_width(cr, 1.8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    setSource(cr, palette::kSegmentOn);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace

void paintDigit(cairo_t* cr, const Frame& frame) {
    const DigitBox box{2.6, 1.6, 7.2, 12.8, 1.7};
    // Frame 0 blank; 1-10 the digits 0-9; on the first digit 11 minus and 12 plus.
    unsigned mask = 0;
    bool plusBar = false;
    if (frame.index >= 1 && frame.index <= 10) mask = kDigitSegments[frame.index - 1];
    if (frame.index == 11) mask = G;
    if (frame.index == 12) {
        mask = G;
        plusBar = true;
    }
    // Unlit segments stay faintly visible behind the glass.
    segments(cr, box, A | B | C | D | E | F | G, false);
    setSource(cr, palette::kSegmentOff);
    cairo_fill(cr);
    if (mask != 0) litShape(cr, [&] { segments(cr, box, mask, plusBar); });
}

void paintDecimalPoint(cairo_t* cr, const Frame& frame) {
    const bool lit = frame.index == 1;
    roundedRect(cr, 0.5, 0.2, 1.9, 1.7, 0.5);
    setSource(cr, lit ? palette::kSegmentOn : palette::kSegmentOff);
    cairo_fill(cr);
}

// A slanted lamp between two digits: reads as the stroke of a fraction (3/16) and as
// the divide of a pair (50/50).
void paintSeparatorLamp(cairo_t* cr, const Frame& frame) {
    const bool lit = frame.index == 1;
    auto stroke = [&](double width, Colour colour) {
        cairo_move_to(cr, 2.4, 1.2);
        cairo_line_to(cr, 0.6, 6.8);
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        setSource(cr, colour);
        cairo_stroke(cr);
    };
    if (lit) stroke(2.6, palette::kSegmentOn.withAlpha(0.25));
    stroke(1.3, lit ? palette::kSegmentOn : palette::kSegmentOff);
}

void paintMeter(cairo_t* cr, const Frame& frame) {
    const double w = frame.width, h = frame.height;
    // Black bezel with a dark lens, then 20 lamps from -24 dB (bottom) to 0 dB (top).
    roundedRect(cr, 0, 0, w, h, 1.5);
    setSource(cr, palette::kHousing.scaled(0.7));
    cairo_fill(cr);
    const int lamps = frame.bitmap.frames - 1;
    const double pitch = 2, first = 2.5;  // top of the 0 dB lamp
    const int lit = frame.index;          // frame k lights the lowest k lamps
    for (int lamp = 0; lamp < lamps; ++lamp) {
        const double y = first + (lamps - 1 - lamp) * pitch;
        // Green, yellow from -6 dB, red for the top step (lamp k reads -24 + 1.2 (k + 1)).
        const double level = -24 + 1.2 * (lamp + 1);
        Colour colour = lamp == lamps - 1 ? palette::kMeterRed
                        : level >= -6.0 - 1e-9 ? palette::kMeterYellow
                                               : palette::kMeterGreen;
        const bool on = lamp < lit;
        cairo_rectangle(cr, 1.5, y, w - 3, 1.4);
        setSource(cr, on ? colour : colour.withAlpha(0.14));
        cairo_fill(cr);
        if (on) {
            cairo_rectangle(cr, 1, y - 0.3, w - 2, 2);
            setSource(cr, colour.withAlpha(0.18));
            cairo_fill(cr);
        }
    }
    // Glass reflection down the left side.
    vLine(cr, 1, 1.5, h - 1.5, Colour{1, 1, 1, 0.08});
}

}  // namespace ruvane::skin
