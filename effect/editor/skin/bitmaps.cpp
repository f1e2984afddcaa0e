#include "effect/editor/skin/bitmaps.h"

#include <algorithm>
#include <cmath>

namespace ruvane::skin {

FramePainter painterFor(int id) {
    if (id >= 130 && id <= 143) return paintKnob;
    if (id >= 144 && id <= 149) return paintLedButton;
    switch (id) {
        case 150: case 151: case 152: return paintSlideSwitch;
        case 153: case 154: return paintSegmentSwitch;
        case 155: case 157: case 158: case 160: case 161: return paintLitBar;
        case 159: return paintJewelLamp;
        case 163: return paintDecimalPoint;
        case 164: case 165: return paintDigit;
        case 166: return paintSeparatorLamp;
        case 167: case 168: case 169: case 170: case 171: case 172: return paintStepKey;
        case 173: return paintMeter;
        case 174: return paintWaveSwitch;
        case 990: case 991: return paintFileArrow;
        case 992: case 993: case 994: return paintLegendKey;
        case 995: return paintRocker;
        case 998: case 999: return paintModeKey;
        default: return nullptr;
    }
}

const layout::Control* firstUser(int id) {
    for (const layout::Control& control : layout::kControls)
        if (control.bitmap == id) return &control;
    return nullptr;
}

Surface renderControlBitmap(int id, int scale, cairo_surface_t* bareBackground) {
    const layout::Bitmap* bitmap = layout::findBitmap(id);
    FramePainter painter = painterFor(id);
    if (bitmap == nullptr || painter == nullptr) return nullptr;
    Surface surface = makeSurface(bitmap->width, bitmap->height, scale, bitmap->alpha);
    Context cr = makeContext(surface.get());
    const layout::Control* user = firstUser(id);
    const double frameHeight = bitmap->frameHeight();
    for (int index = 0; index < bitmap->frames; ++index) {
        cairo_save(cr.get());
        cairo_translate(cr.get(), 0, index * frameHeight);
        cairo_rectangle(cr.get(), 0, 0, bitmap->width, frameHeight);
        cairo_clip(cr.get());
        if (!bitmap->alpha && user != nullptr) {
            // Opaque frames carry the panel that lies under them.
            cairo_set_source_surface(cr.get(), bareBackground, -user->rect.left, -user->rect.top);
            cairo_paint(cr.get());
        }
        painter(cr.get(), Frame{*bitmap, index, double(bitmap->width), frameHeight});
        cairo_restore(cr.get());
    }
    return surface;
}

std::map<int, Surface> renderAll(int scale) {
    std::map<int, Surface> bitmaps;
    Surface bare = renderBareBackground(scale);
    for (const layout::Bitmap& bitmap : layout::kBitmaps)
        if (painterFor(bitmap.id) != nullptr)
            bitmaps[bitmap.id] = renderControlBitmap(bitmap.id, scale, bare.get());
    bitmaps[layout::kBackgroundBitmap] = renderBackground(scale, bare.get(), bitmaps);
    bitmaps[layout::kAboutBitmap] = renderAbout(scale);
    return bitmaps;
}

int frameForValue(const layout::Control& control, double value) {
    using K = layout::ControlKind;
    const int frames = std::max(control.frames, 1);
    auto stepIndex = [](double x, int n) {
        return std::clamp(static_cast<int>(std::floor(n * x)), 0, n - 1);
    };
    switch (control.kind) {
        case K::AnimKnob:
            return std::clamp(static_cast<int>(std::floor(value * (frames - 1))), 0, frames - 1);
        case K::OnOffButton:
            return stepIndex(value, 2);
        case K::Switch:
            return stepIndex(value, frames);
        case K::SwitchVert:
            return stepIndex(value, control.positions);
        case K::KickButton:
            return value >= 1 ? 1 : 0;
        case K::MovieBitmap:
            return std::clamp(static_cast<int>(value * (frames - 1) + 0.5), 0, frames - 1);
        default:
            return 0;
    }
}

}  // namespace ruvane::skin
