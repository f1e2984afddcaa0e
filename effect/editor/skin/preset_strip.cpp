// The preset strip's own bitmaps: save (red) and load (green) arrows, the BANK,
// PRESET and MIDI legend keys, the previous/next rocker, and the LEARN and FORGET keys.
// Their frames: idle, hover, pressed (or on); the rocker: idle, hover left, hover
// right, pressed left, pressed right.
#include "effect/editor/skin/bitmaps.h"
#include "effect/editor/skin/palette.h"

#include <algorithm>
#include <cmath>

namespace ruvane::skin {
namespace {

enum class State { Idle, Hover, Pressed };

State stateOf(int frame) {
    return frame == 0 ? State::Idle : frame == 1 ? State::Hover : State::Pressed;
}

void stripKey(cairo_t* cr, double x, double y, double w, double h, State state) {
    Colour top = state == State::Hover ? Colour::rgb(96, 108, 120) : Colour::rgb(76, 86, 96);
    Colour bottom = state == State::Hover ? Colour::rgb(66, 76, 86) : Colour::rgb(48, 55, 63);
    if (state == State::Pressed) {
        top = Colour::rgb(34, 39, 45);
        bottom = Colour::rgb(44, 50, 57);
    }
    roundedRect(cr, x, y, w, h, 2);
    fillVertical(cr, y, y + h, top, bottom, Path::Keep);
    setSource(cr, Colour::rgb(18, 20, 24, 0.9));
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    if (state != State::Pressed)
        hLine(cr, x + 1.5, x + w - 1.5, y + 0.6, Colour{1, 1, 1, 0.18});
}

}  // namespace

void paintFileArrow(cairo_t* cr, const Frame& frame) {
    // 991 saves (red, pointing down into the unit), 990 loads (green, pointing up).
    const bool save = frame.bitmap.id == 991;
    const State state = stateOf(frame.index);
    const Colour base = save ? palette::kSaveRed : palette::kLoadGreen;
    const double w = frame.width, h = frame.height;
    const double cx = w / 2, drop = state == State::Pressed ? 1 : 0;
    const double top = 2 + drop, bottom = h - 3 + drop, headLength = 5.2;
    const double shaft = 2.2, head = 5.2;
    auto arrowPath = [&](double dx, double dy) {
        cairo_new_path(cr);
        if (save) {
            cairo_move_to(cr, cx - shaft + dx, top + dy);
            cairo_line_to(cr, cx + shaft + dx, top + dy);
            cairo_line_to(cr, cx + shaft + dx, bottom - headLength + dy);
            cairo_line_to(cr, cx + head + dx, bottom - headLength + dy);
            cairo_line_to(cr, cx + dx, bottom + dy);
            cairo_line_to(cr, cx - head + dx, bottom - headLength + dy);
            cairo_line_to(cr, cx - shaft + dx, bottom - headLength + dy);
        } else {
            cairo_move_to(cr, cx - shaft + dx, bottom + dy);
            cairo_line_to(cr, cx + shaft + dx, bottom + dy);
            cairo_line_to(cr, cx + shaft + dx, top + headLength + dy);
            cairo_line_to(cr, cx + head + dx, top + headLength + dy);
            cairo_line_to(cr, cx + dx, top + dy);
            cairo_line_to(cr, cx - head + dx, top + headLength + dy);
            cairo_line_to(cr, cx - shaft + dx, top + headLength + dy);
        }
        cairo_close_path(cr);
    };
    if (state == State::Hover) glow(cr, cx, (top + bottom) / 2, 8, base.withAlpha(0.45));
    if (state != State::Pressed) {
        arrowPath(0.4, 1);
        setSource(cr, Colour{0, 0, 0, 0.45});
        cairo_fill(cr);
    }
    arrowPath(0, 0);
    Colour face = state == State::Hover ? base.mixed(Colour{1, 1, 1, 1}, 0.3)
                  : state == State::Pressed ? base.scaled(0.65)
                                            : base;
    fillVertical(cr, top, bottom, face.mixed(Colour{1, 1, 1, 1}, 0.25), face.scaled(0.8), Path::Keep);
    setSource(cr, Colour{0, 0, 0, 0.55});
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
}

void paintLegendKey(cairo_t* cr, const Frame& frame) {
    const std::string_view text = frame.bitmap.id == 992 ? "BANK"
                                  : frame.bitmap.id == 993 ? "PRESET"
                                                           : "MIDI";
    const State state = stateOf(frame.index);
    const double w = frame.width, h = frame.height;
    if (state != State::Idle) stripKey(cr, 0.5, 0.5, w - 1, h - 1, state);
    Colour ink = state == State::Idle ? palette::kStripText
                 : state == State::Hover ? Colour{1, 1, 1, 1}
                                         : palette::kAmberOn;
    drawTextCentred(cr, text, w / 2, h / 2 + (state == State::Pressed ? 0.5 : 0),
                    legendFont(8, 0.9), ink);
}

void paintRocker(cairo_t* cr, const Frame& frame) {
    const double w = frame.width, h = frame.height;
    // Frames: idle, hover left, hover right, pressed left, pressed right.
    const int side = frame.index == 0 ? 0 : (frame.index % 2 == 1 ? -1 : 1);
    const bool pressed = frame.index >= 3;
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 2.5);
    setSource(cr, palette::kHousing);
    cairo_fill(cr);
    for (int half : {-1, 1}) {
        const double x = half < 0 ? 1.5 : w / 2 + 0.5, hw = w / 2 - 2;
        const State state = side != half ? State::Idle : pressed ? State::Pressed : State::Hover;
        stripKey(cr, x, 1.5, hw, h - 3, state);
        const double cx = x + hw / 2, cy = h / 2 + (state == State::Pressed ? 0.5 : 0);
        cairo_move_to(cr, cx - 2.6 * half, cy - 3.2);
        cairo_line_to(cr, cx + 2.6 * half, cy);
        cairo_line_to(cr, cx - 2.6 * half, cy + 3.2);
        cairo_close_path(cr);
        setSource(cr, state == State::Pressed ? palette::kAmberOn
                      : state == State::Hover ? Colour{1, 1, 1, 1}
                                              : palette::kStripText);
        cairo_fill(cr);
    }
}

void paintModeKey(cairo_t* cr, const Frame& frame) {
    const std::string_view text = frame.bitmap.id == 998 ? "LEARN" : "FORGET";
    const double w = frame.width, h = frame.height;
    // Frames: off, hover while off, on.
    const bool on = frame.index == 2;
    const bool hover = frame.index == 1;
    // A dark bezel round each key keeps neighbouring keys apart.
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 2.5);
    setSource(cr, palette::kHousing);
    cairo_fill(cr);
    const double x = 1.5, y = 1.5, kw = w - 3, kh = h - 3;
    if (on) {
        // Lit from behind: a glowing red face with hot lettering.
        barGlow(cr, x, y, kw, kh, 1, palette::kLedOn.withAlpha(0.6));
        roundedRect(cr, x, y, kw, kh, 1.8);
        fillVertical(cr, y, y + kh, palette::kLedOn.scaled(0.8), palette::kLedOn.scaled(0.5));
        hLine(cr, x + 1.5, x + kw - 1.5, y, Colour{1, 1, 1, 0.35});
    } else {
        stripKey(cr, x, y, kw, kh, hover ? State::Hover : State::Idle);
    }
    // Condensed just enough to leave a margin either side of the word.
    Font font = legendFont(7, 0.3);
    const double room = kw - 2;
    font.stretch = std::min(1.0, room / textWidth(cr, text, font));
    const Colour ink = on ? Colour::rgb(255, 248, 238)
                       : hover ? Colour{1, 1, 1, 1}
                               : palette::kStripText;
    drawTextCentred(cr, text, w / 2, h / 2, font, ink);
}

}  // namespace ruvane::skin
