// The faceplate (background 128): brushed anodised aluminium with a soft vertical
// light falloff, recessed section plates with engraved edges, the value display's
// glass, the preset strip with its wells, and the legends on top.
#include "effect/editor/skin/bitmaps.h"
#include "effect/editor/skin/legends.h"
#include "effect/editor/skin/metal.h"
#include "effect/editor/skin/palette.h"

#include <cmath>
#include <tuple>

namespace ruvane::skin {
namespace {

using layout::Control;
using layout::Rect;

constexpr uint64_t kFaceplateSeed = 0x52757661'6E650001ull;

// Window of the value display: the tempo drag area covers exactly the glass.
Rect displayWindow() { return layout::findControl(49)->rect; }

bool insidePlate(double x, double y) {
    for (const layout::Plate& plate : layout::kPlates)
        if (plate.rect.contains(x, y)) return true;
    return false;
}

void presetStripDetails(cairo_t* cr, const std::map<int, Surface>& bitmaps) {
    const Control& name = *layout::findControl(71);
    const Control& list = *layout::findControl(83);
    const Control& controller = *layout::findControl(77);
    // Name field and the preset list's drop-down share one well.
    const Rect nameWell{name.rect.left, std::floor(name.rect.top), list.rect.right,
                        std::ceil(name.rect.bottom)};
    well(cr, nameWell, palette::kWell);
    vLine(cr, list.rect.left, nameWell.top + 2, nameWell.bottom - 2, Colour{0, 0, 0, 0.25});
    vLine(cr, list.rect.left + 1, nameWell.top + 2, nameWell.bottom - 2, Colour{1, 1, 1, 0.4});
    const double cx = list.rect.centreX() + 0.5, cy = list.rect.centreY();
    cairo_move_to(cr, cx - 3.5, cy - 1.8);
    cairo_line_to(cr, cx + 3.5, cy - 1.8);
    cairo_line_to(cr, cx, cy + 2.2);
    cairo_close_path(cr);
    setSource(cr, palette::kLegend);
    cairo_fill(cr);
    well(cr, controller.rect, palette::kWell);

    // A and B between their store and recall arrows.
    const Font memory{kPlainFamily, true, 9, 0};
    for (auto [store, recall, text] : {std::tuple{86, 88, "A"}, std::tuple{87, 89, "B"}}) {
        const Rect& s = layout::findControl(store)->rect;
        const Rect& r = layout::findControl(recall)->rect;
        drawTextCentred(cr, text, (s.right + r.left) / 2, (s.top + s.bottom) / 2 - 0.5, memory,
                        palette::kStripText);
    }
    // The maker's name in the free stretch between memory B and the MIDI group.
    const double free0 = layout::findControl(89)->rect.right;
    const double free1 = layout::findControl(80)->rect.left;
    drawTextCentred(cr, "ORVANTA", (free0 + free1) / 2, layout::kPresetStrip.centreY(),
                    legendFont(8, 2.4), palette::kStripText.withAlpha(0.55));

    // The strip's own bitmaps at rest, so the background shows them too.
    for (const Control& control : layout::kControls) {
        if (control.section != layout::Section::PresetStrip) continue;
        auto found = bitmaps.find(control.bitmap);
        if (found == bitmaps.end() || control.bitmap == layout::kBackgroundBitmap) continue;
        const layout::Bitmap* bitmap = layout::findBitmap(control.bitmap);
        cairo_save(cr);
        cairo_rectangle(cr, control.rect.left, control.rect.top, bitmap->width,
                        bitmap->frameHeight());
        cairo_clip(cr);
        cairo_set_source_surface(cr, found->second.get(), control.rect.left, control.rect.top);
        cairo_paint(cr);
        cairo_restore(cr);
    }
}

}  // namespace

Surface renderBareBackground(int scale) {
    const int w = static_cast<int>(layout::kEditorWidth), h = static_cast<int>(layout::kEditorHeight);
    Surface surface = makeSurface(w, h, scale, false);
    brushedMetal(surface.get(), kFaceplateSeed, 1.0, insidePlate, palette::kFace,
                 palette::kPlate, 0.07);
    Context cr = makeContext(surface.get());
    cairo_t* c = cr.get();

    // Plates: a soft inner shadow along the top and left, and the engraved edge.
    for (const layout::Plate& plate : layout::kPlates) {
        const Rect& r = plate.rect;
        cairo_rectangle(c, r.left, r.top, r.width(), 3);
        fillVertical(c, r.top, r.top + 3, Colour{0, 0, 0, 0.12}, Colour{0, 0, 0, 0});
        engravedRect(c, r.left, r.top, r.width(), r.height(), palette::kEngraveDark,
                     palette::kEngraveLight);
    }

    // The value display's smoked glass, a little lighter at the top.
    const Rect glass = displayWindow();
    cairo_pattern_t* smoke = cairo_pattern_create_linear(0, glass.top, 0, glass.bottom);
    addStop(smoke, 0, palette::kGlass.scaled(1.5));
    addStop(smoke, 0.5, palette::kGlass);
    addStop(smoke, 1, palette::kGlass.scaled(0.8));
    cairo_rectangle(c, glass.left, glass.top, glass.width(), glass.height());
    cairo_set_source(c, smoke);
    cairo_fill(c);
    cairo_pattern_destroy(smoke);

    // The preset strip: a darker band with a groove above it.
    const Rect& strip = layout::kPresetStrip;
    cairo_rectangle(c, strip.left, strip.top, strip.width(), strip.height());
    fillVertical(c, strip.top, strip.bottom, palette::kStrip.scaled(1.12), palette::kStrip.scaled(0.86));
    hLine(c, 0, strip.right, strip.top - 1, Colour{0, 0, 0, 0.55});
    hLine(c, 0, strip.right, strip.top, Colour{1, 1, 1, 0.16});

    // Bevel round the whole panel.
    bevel(c, 0, 0, w, h, Colour{1, 1, 1, 0.5}, Colour{0, 0, 0, 0.45});
    return surface;
}

Surface renderBackground(int scale, cairo_surface_t* bareBackground,
                         const std::map<int, Surface>& controlBitmaps) {
    const int w = static_cast<int>(layout::kEditorWidth), h = static_cast<int>(layout::kEditorHeight);
    Surface surface = makeSurface(w, h, scale, false);
    Context cr = makeContext(surface.get());
    cairo_t* c = cr.get();
    cairo_set_source_surface(c, bareBackground, 0, 0);
    cairo_paint(c);

    drawLegends(c);

    const double stripMiddle = layout::kPresetStrip.centreY();
    screw(c, 10, 8, 35);
    screw(c, layout::kEditorWidth - 10, 8, 110);
    screw(c, 10, stripMiddle, 150);
    screw(c, layout::kEditorWidth - 10, stripMiddle, 70);
    presetStripDetails(c, controlBitmaps);
    return surface;
}

}  // namespace ruvane::skin
