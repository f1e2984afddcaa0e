#include "effect/editor/skin/previews.h"

#include "effect/editor/layout.h"
#include "effect/editor/skin/bitmaps.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace ruvane::skin {
namespace {

// Frames shown on the contact sheet.
std::vector<int> framesToShow(const layout::Bitmap& bitmap) {
    if (bitmap.frames >= 101) return {0, 25, 50, 75, 100};
    std::vector<int> frames;
    for (int i = 0; i < bitmap.frames; ++i) frames.push_back(i);
    return frames;
}

void paintFrame(cairo_t* cr, cairo_surface_t* strip, const layout::Bitmap& bitmap, int frame,
                double x, double y) {
    const double frameHeight = bitmap.frameHeight();
    cairo_save(cr);
    cairo_rectangle(cr, x, y, bitmap.width, frameHeight);
    cairo_clip(cr);
    cairo_set_source_surface(cr, strip, x, y - frame * frameHeight);
    cairo_paint(cr);
    cairo_restore(cr);
}

constexpr double kSheetWidth = 900;
constexpr double kGap = 4, kCellGap = 14, kLabelHeight = 12;

struct Placement {
    const layout::Bitmap* bitmap;
    double x, y;
};

// Flows the bitmaps left to right, wrapping at the sheet's width; returns the height.
double flow(std::vector<Placement>& placements) {
    double x = kCellGap, y = kCellGap, rowHeight = 0;
    for (const layout::Bitmap& bitmap : layout::kBitmaps) {
        const auto frames = framesToShow(bitmap);
        const double width =
            std::max(frames.size() * (bitmap.width + kGap) - kGap, 70.0);
        const double height = kLabelHeight + bitmap.frameHeight();
        if (x + width > kSheetWidth - kCellGap && x > kCellGap) {
            x = kCellGap;
            y += rowHeight + kCellGap;
            rowHeight = 0;
        }
        placements.push_back({&bitmap, x, y});
        x += width + kCellGap;
        rowHeight = std::max(rowHeight, height);
    }
    return y + rowHeight + kCellGap;
}

}  // namespace

Surface renderContactSheet(const std::map<int, Surface>& bitmaps, int scale) {
    std::vector<Placement> placements;
    const double height = flow(placements);
    Surface surface = makeSurface(static_cast<int>(kSheetWidth), static_cast<int>(height), scale,
                                  false);
    Context cr = makeContext(surface.get());
    cairo_t* c = cr.get();
    setSource(c, Colour::rgb(120, 124, 128));
    cairo_paint(c);
    for (const Placement& placement : placements) {
        const layout::Bitmap& bitmap = *placement.bitmap;
        auto found = bitmaps.find(bitmap.id);
        const std::string label = std::to_string(bitmap.id) + "  " + std::to_string(bitmap.width) +
                                  "x" + std::to_string(bitmap.height) + " /" +
                                  std::to_string(bitmap.frames);
        drawText(c, label, placement.x, placement.y + 8, Align::Left, Font{kPlainFamily, true, 8},
                 Colour{1, 1, 1, 1});
        if (found == bitmaps.end()) continue;
        double x = placement.x;
        for (int frame : framesToShow(bitmap)) {
            paintFrame(c, found->second.get(), bitmap, frame, x, placement.y + kLabelHeight);
            x += bitmap.width + kGap;
        }
    }
    return surface;
}

namespace {

Surface composePanel(const std::map<int, Surface>& bitmaps, int scale,
                     const std::map<int, double>& values, std::string_view presetName) {
    const auto& background = bitmaps.at(layout::kBackgroundBitmap);
    Surface surface = makeSurface(static_cast<int>(layout::kEditorWidth),
                                  static_cast<int>(layout::kEditorHeight), scale, false);
    Context cr = makeContext(surface.get());
    cairo_t* c = cr.get();
    cairo_set_source_surface(c, background.get(), 0, 0);
    cairo_paint(c);
    for (const layout::Control& control : layout::kControls) {
        using K = layout::ControlKind;
        if (control.kind == K::About || control.kind == K::TextEdit ||
            control.kind == K::OptionMenu || control.kind == K::ParamDisplay)
            continue;
        auto found = bitmaps.find(control.bitmap);
        if (control.bitmap == 0 || found == bitmaps.end()) continue;
        const layout::Bitmap& bitmap = *layout::findBitmap(control.bitmap);
        auto value = values.find(control.tag);
        const double shown = value != values.end() ? value->second : control.startValue;
        paintFrame(c, found->second.get(), bitmap, frameForValue(control, shown),
                   control.rect.left, control.rect.top);
    }
    // The preset name as the name field shows it: Arial 9 (Liberation Sans), centred.
    const layout::Rect& name = layout::findControl(71)->rect;
    drawTextCentred(c, presetName, name.centreX(), name.centreY(), Font{kPlainFamily, false, 9},
                    Colour::rgb(36, 36, 32));
    return surface;
}

}  // namespace

Surface renderComposedPanel(const std::map<int, Surface>& bitmaps, int scale) {
    return composePanel(bitmaps, scale, {}, "Default");
}

Surface renderPanelInUse(const std::map<int, Surface>& bitmaps, int scale) {
    const std::map<int, double> values = {
        // Knobs.
        {3, 0.62}, {5, 0.3}, {4, 0.62}, {6, 0.7}, {16, 0.42}, {15, 0.56}, {13, 0.78},
        {11, 0.5}, {12, 0.3}, {47, 0.64}, {22, 0.2}, {21, 0.35}, {0, 0.5}, {2, 0.38},
        {1, 0.55}, {17, 0.47}, {18, 0.66}, {39, 0.3}, {40, 0.36},
        // Sections on, left feedback inverted, link off.
        {42, 0.75}, {43, 0.75}, {44, 0.75}, {46, 0.75}, {7, 0.75}, {50, 0.25},
        // Switches: left delay in note mode, filter in the loop as band-pass, reverb
        // plate on the output, LFO in note mode with the saw.
        {24, 0.75}, {23, 0.5}, {14, 0.5}, {37, 0.75}, {38, 0.75}, {32, 0.75}, {9, 0.6},
        // Display: the fraction 3/16 (numerator, blank, stroke, 1, 6).
        {52, 4 / 12.0}, {53, 0}, {54, 2 / 10.0}, {55, 7 / 10.0}, {58, 0}, {60, 1},
        // Meters near -5 and -1 dB, step key held.
        {68, 0.8}, {69, 0.95}, {63, 1}};
    return composePanel(bitmaps, scale, values, "Tape Echo Ping-Pong");
}

}  // namespace ruvane::skin
