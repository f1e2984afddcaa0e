// The about screen (129): the product's own splash on a darker faceplate, with a clear
// dark area where the editor writes the version.
#include "effect/editor/skin/bitmaps.h"
#include "effect/editor/skin/metal.h"
#include "effect/editor/skin/palette.h"

#include <cmath>

namespace ruvane::skin {
namespace {

constexpr uint64_t kAboutSeed = 0x52757661'6E650002ull;

// The about screen's emblem: a ping-pong train of echoes, each quieter than the last,
// alternating between the left and the right channel's accent.
void echoTaps(cairo_t* cr, double left, double right, double baseline) {
    hLine(cr, left, right, baseline, Colour{1, 1, 1, 0.12});
    const int taps = 9;
    const double spacing = (right - left) / taps;
    double height = 64;
    for (int tap = 0; tap < taps; ++tap) {
        const double x = std::round(left + spacing * (tap + 0.5)) - 1;
        const Colour accent = tap % 2 == 0 ? palette::kAccentLeft : palette::kAccentRight;
        const double alpha = 1.0 - 0.08 * tap;
        barGlow(cr, x, baseline - height, 3, height, 3, accent.withAlpha(0.35 * alpha));
        roundedRect(cr, x, baseline - height, 3, height, 1.5);
        setSource(cr, accent.withAlpha(alpha));
        cairo_fill(cr);
        cairo_arc(cr, x + 1.5, baseline - height, 2.6, 0, 2 * M_PI);
        setSource(cr, accent.mixed(Colour{1, 1, 1, 1}, 0.5).withAlpha(alpha));
        cairo_fill(cr);
        height *= 0.74;
    }
}

}  // namespace

Surface renderAbout(int scale) {
    const int w = static_cast<int>(layout::kEditorWidth), h = static_cast<int>(layout::kEditorHeight);
    Surface surface = makeSurface(w, h, scale, false);
    const Colour dark = palette::kFace.scaled(0.26);
    brushedMetal(surface.get(), kAboutSeed, 1.0, nullptr, dark, dark, 0.25);
    Context cr = makeContext(surface.get());
    cairo_t* c = cr.get();

    // The wordmark, underlined by its own echo: a train of repeats alternating between
    // the left and the right channel, each shorter and fainter, within the word's width.
    const Font mark{kPlainFamily, true, 54, -0.5};
    const double left = 64, baseline = 96;
    drawText(c, "Ruvane", left, baseline, Align::Left, mark, Colour::rgb(238, 242, 245));
    const double markWidth = textWidth(c, "Ruvane", mark) - 4;
    const int repeats = 5;
    const double decay = 0.62, gap = 3;
    double total = 0;
    for (int i = 0; i < repeats; ++i) total += std::pow(decay, i);
    const double unit = (markWidth - gap * (repeats - 1)) / total;
    double x = left + 2;
    for (int i = 0; i < repeats; ++i) {
        const double length = unit * std::pow(decay, i);
        const Colour accent = i % 2 == 0 ? palette::kAccentLeft : palette::kAccentRight;
        roundedRect(c, std::round(x), baseline + 10, std::round(length), 2, 1);  // on the grid
        setSource(c, accent.withAlpha(1.0 - 0.15 * i));
        cairo_fill(c);
        x += length + gap;
    }
    drawText(c, "vintage stereo delay & verb", left + 2, baseline + 30, Align::Left,
             Font{kPlainFamily, false, 14, 0.8}, Colour::rgb(200, 212, 220));
    echoTaps(c, 372, 700, 118);
    drawText(c, "Orvanta", w - 36, h - 22, Align::Right, Font{kPlainFamily, true, 13, 1.5},
             Colour::rgb(200, 212, 220));
    bevel(c, 0, 0, w, h, Colour{1, 1, 1, 0.3}, Colour{0, 0, 0, 0.6});
    screw(c, 10, 8, 35);
    screw(c, w - 10, 8, 110);
    screw(c, 10, h - 9, 150);
    screw(c, w - 10, h - 9, 70);
    return surface;
}

}  // namespace ruvane::skin
