// Push buttons with an LED lens, the narrow lit bars of the section switches, the
// jewel lamp and the rubber step keys.
#include "effect/editor/skin/bitmaps.h"
#include "effect/editor/skin/palette.h"

#include <cmath>

namespace ruvane::skin {
namespace {

// A key cap filling the frame with a small shadow below it.
void keyCap(cairo_t* cr, double x, double y, double w, double h, double radius, Colour top,
            Colour bottom) {
    roundedRect(cr, x + 0.3, y + 1.2, w, h, radius + 0.5);
    setSource(cr, Colour{0, 0, 0, 0.35});
    cairo_fill(cr);
    roundedRect(cr, x, y, w, h, radius);
    fillVertical(cr, y, y + h, top, bottom, Path::Keep);
    setSource(cr, Colour::rgb(14, 15, 18, 0.9));
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    // Light catches the upper edge.
    roundedRect(cr, x + 0.9, y + 0.8, w - 1.8, h - 1.6, std::max(0.5, radius - 0.8));
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(rim, 0, Colour{1, 1, 1, 0.32});
    addStop(rim, 0.5, Colour{1, 1, 1, 0.0});
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

// A round LED lens: dim dark red when off, glowing with a bloom when on.
void ledLens(cairo_t* cr, double cx, double cy, double radius, bool on) {
    if (on) glow(cr, cx, cy, radius * 2.6, palette::kLedOn.withAlpha(0.55));
    cairo_arc(cr, cx, cy, radius + 0.6, 0, 2 * M_PI);
    setSource(cr, Colour::rgb(10, 10, 12));
    cairo_fill(cr);
    cairo_pattern_t* lens = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    if (on) {
        addStop(lens, 0, palette::kLedHot);
        addStop(lens, 0.45, palette::kLedOn);
        addStop(lens, 1, palette::kLedOn.scaled(0.7));
    } else {
        addStop(lens, 0, palette::kLedOff.scaled(1.35));
        addStop(lens, 1, palette::kLedOff.scaled(0.6));
    }
    cairo_set_source(cr, lens);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
    // Specular spot, top left.
    cairo_arc(cr, cx - radius * 0.35, cy - radius * 0.4, radius * 0.32, 0, 2 * M_PI);
    setSource(cr, Colour{1, 1, 1, on ? 0.55 : 0.35});
    cairo_fill(cr);
}

// The text printed on a key, if its bitmap carries one.
std::string_view keyLabel(int id) {
    switch (id) {
        case 145: case 146: return "DLY";
        case 147: case 148: return "FB";
        case 149: return "LINK";
        default: return {};
    }
}

}  // namespace

void paintLedButton(cairo_t* cr, const Frame& frame) {
    const bool on = frame.index == 1;
    const double w = frame.width, h = frame.height;
    keyCap(cr, 1, 1, w - 2, h - 3, 2.2, palette::kKeyTop, palette::kKeyBottom);
    std::string_view label = keyLabel(frame.bitmap.id);
    if (label.empty()) {
        ledLens(cr, w / 2, 1 + (h - 3) / 2, std::min(w, h) * 0.17, on);
        return;
    }
    // Small keys: the LED above, the key's name below it.
    ledLens(cr, w / 2, 5.8, 2.4, on);
    drawTextCentred(cr, label, w / 2, 13, legendFont(7), palette::kKeyText);
    if (frame.bitmap.id == 149) {
        // The link key joins the two channels: their accents side by side.
        hLine(cr, 4, w / 2, h - 4, palette::kAccentLeft);
        hLine(cr, w / 2, w - 4, h - 4, palette::kAccentRight);
    }
}

void paintLitBar(cairo_t* cr, const Frame& frame) {
    const bool on = frame.index == 1;
    const double w = frame.width, h = frame.height;
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 1.6);
    setSource(cr, palette::kHousing);
    cairo_fill_preserve(cr);
    setSource(cr, Colour{0, 0, 0, 0.6});
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
    const double inset = w >= 8 ? 2 : 1.5;
    const double lx = inset, ly = inset + 0.5, lw = w - 2 * inset, lh = h - 2 * inset - 1;
    if (on) barGlow(cr, lx, ly, lw, lh, inset, palette::kLedOn.withAlpha(0.9));
    cairo_pattern_t* lens = cairo_pattern_create_linear(lx, 0, lx + lw, 0);
    if (on) {
        addStop(lens, 0, palette::kLedOn.scaled(0.85));
        addStop(lens, 0.45, palette::kLedHot);
        addStop(lens, 1, palette::kLedOn.scaled(0.8));
    } else {
        addStop(lens, 0, palette::kLedOff.scaled(0.8));
        addStop(lens, 0.45, palette::kLedOff.scaled(1.3));
        addStop(lens, 1, palette::kLedOff.scaled(0.7));
    }
    roundedRect(cr, lx, ly, lw, lh, lw / 2.5);
    cairo_set_source(cr, lens);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
    // Reflection on the lens' upper part.
    roundedRect(cr, lx + lw * 0.2, ly + 1, lw * 0.3, lh * 0.35, lw * 0.15);
    setSource(cr, Colour{1, 1, 1, on ? 0.35 : 0.18});
    cairo_fill(cr);
}

void paintJewelLamp(cairo_t* cr, const Frame& frame) {
    const bool on = frame.index == 1;
    const double w = frame.width, h = frame.height;
    // Chrome bezel.
    roundedRect(cr, 0, 0, w, h, w / 2);
    cairo_pattern_t* bezel = cairo_pattern_create_linear(0, 0, w, 0);
    addStop(bezel, 0, palette::kSkirtLight);
    addStop(bezel, 0.5, palette::kSkirtDark);
    addStop(bezel, 1, palette::kSkirtDark.scaled(0.6));
    cairo_set_source(cr, bezel);
    cairo_fill(cr);
    cairo_pattern_destroy(bezel);
    const double inset = 1.3;
    const double jx = inset, jy = inset, jw = w - 2 * inset, jh = h - 2 * inset;
    roundedRect(cr, jx, jy, jw, jh, jw / 2);
    cairo_pattern_t* jewel = cairo_pattern_create_linear(jx, 0, jx + jw, 0);
    if (on) {
        addStop(jewel, 0, palette::kLedOn);
        addStop(jewel, 0.4, palette::kLedHot);
        addStop(jewel, 1, palette::kLedOn.scaled(0.75));
    } else {
        addStop(jewel, 0, palette::kLedOff.scaled(1.4));
        addStop(jewel, 0.4, palette::kLedOff.scaled(1.6));
        addStop(jewel, 1, palette::kLedOff.scaled(0.6));
    }
    cairo_set_source(cr, jewel);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(jewel);
    // Facets: diagonal cuts across the jewel, clipped to it.
    cairo_save(cr);
    cairo_clip(cr);
    cairo_set_line_width(cr, 0.5);
    for (double y = jy - jw; y < jy + jh + jw; y += 2.5) {
        cairo_move_to(cr, jx, y);
        cairo_line_to(cr, jx + jw, y + jw * 0.8);
    }
    setSource(cr, on ? Colour{1, 0.9, 0.75, 0.35} : Colour{0, 0, 0, 0.35});
    cairo_stroke(cr);
    for (double y = jy - jw; y < jy + jh + jw; y += 2.5) {
        cairo_move_to(cr, jx + jw, y);
        cairo_line_to(cr, jx, y + jw * 0.8);
    }
    setSource(cr, on ? Colour{0.6, 0.05, 0, 0.3} : Colour{1, 1, 1, 0.07});
    cairo_stroke(cr);
    cairo_restore(cr);
    // Highlight of the dome.
    roundedRect(cr, jx + 0.6, jy + 1.2, jw * 0.35, jh * 0.5, 0.8);
    setSource(cr, Colour{1, 1, 1, on ? 0.45 : 0.25});
    cairo_fill(cr);
}

void paintStepKey(cairo_t* cr, const Frame& frame) {
    const bool pressed = frame.index == 1;
    const bool up = frame.bitmap.id % 2 == 1;  // 167, 169, 171 step up
    const double w = frame.width, h = frame.height;
    const double drop = pressed ? 1 : 0;
    // Rubber key: pale grey, darker when pressed, one unit lower.
    Colour top = pressed ? Colour::rgb(88, 92, 98) : Colour::rgb(118, 123, 130);
    Colour bottom = pressed ? Colour::rgb(62, 65, 70) : Colour::rgb(80, 84, 90);
    if (!pressed) {
        roundedRect(cr, 1.3, 2.6, w - 2.4, h - 3.2, 3.4);
        setSource(cr, Colour{0, 0, 0, 0.3});
        cairo_fill(cr);
    }
    roundedRect(cr, 1, 1 + drop, w - 2, h - 3, 3.2);
    fillVertical(cr, 1 + drop, h - 2 + drop, top, bottom, Path::Keep);
    setSource(cr, Colour::rgb(20, 21, 24, 0.9));
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    if (!pressed) {
        roundedRect(cr, 1.9, 1.8, w - 3.8, h - 4.6, 2.6);
        setSource(cr, Colour{1, 1, 1, 0.2});
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }
    // Chevron.
    const double cx = w / 2, cy = (h - 1) / 2 + drop;
    const double half = 3.6, rise = up ? -2 : 2;
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, cx - half, cy - rise);
    cairo_line_to(cr, cx, cy + rise);
    cairo_line_to(cr, cx + half, cy - rise);
    setSource(cr, pressed ? palette::kKeyText.scaled(0.8) : palette::kKeyText);
    cairo_stroke(cr);
}

}  // namespace ruvane::skin
