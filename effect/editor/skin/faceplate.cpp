// The faceplate (background 128): brushed anodised aluminium with a soft vertical
// light falloff, recessed section plates with engraved edges, the value display's
// window, the preset strip, and every legend and scale, all placed from the layout
// table. Also the about screen (129).
#include "effect/editor/skin/bitmaps.h"
#include "effect/editor/skin/palette.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace ruvane::skin {
namespace {

using layout::Control;
using layout::ControlKind;
using layout::Rect;

constexpr uint64_t kFaceplateSeed = 0x52757661'6E650001ull;
constexpr uint64_t kAboutSeed = 0x52757661'6E650002ull;

// Window of the value display: the tempo drag area covers exactly the glass.
Rect displayWindow() { return layout::findControl(49)->rect; }

bool insidePlate(double x, double y) {
    for (const layout::Plate& plate : layout::kPlates)
        if (plate.rect.contains(x, y)) return true;
    return false;
}

double clampByte(double v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Brushed metal written straight into the pixels: a grain along each device row
// (the same along the whole row inside the plates, so a control bitmap sits
// seamlessly wherever it is placed on the same row), longer streaks on the open
// faceplate, a soft light falloff from the top, and a fine speckle.
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
void well(cairo_t* cr, const Rect& rect, Colour fill) {
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
    setSource(cr, fill);
    cairo_fill(cr);
    bevel(cr, rect.left - 1, rect.top - 1, rect.width() + 2, rect.height() + 2,
          Colour{0, 0, 0, 0.75}, Colour{1, 1, 1, 0.28});
}

// ---- legends -------------------------------------------------------------------------

constexpr double kTitleSize = 8.5;
constexpr double kNameSize = 7.5;
constexpr double kMarkSize = 7;
constexpr std::string_view kMinusInfinity = "-\u221E";

const layout::Plate* plateOf(const Control& control) {
    layout::Section section = control.section;
    if (section == layout::Section::Lfo) section = layout::Section::Modulation;
    return layout::findPlate(section);
}

// Keeps a legend of `width` centred on cx inside the plate of `control`.
double insidePlateX(const Control& control, double cx, double width) {
    const layout::Plate* plate = plateOf(control);
    if (plate == nullptr) return cx;
    const double margin = 2.5;
    cx = std::max(cx, plate->rect.left + margin + width / 2);
    return std::min(cx, plate->rect.right - margin - width / 2);
}

void centredLegend(cairo_t* cr, const Control& control, std::string_view text, double cx,
                   double baseline, const Font& font, Colour colour) {
    const double x = insidePlateX(control, cx, textWidth(cr, text, font));
    drawText(cr, text, x, baseline, Align::Centre, font, colour);
}

Colour channelAccent(layout::Section section) {
    return section == layout::Section::DelayRight ? palette::kAccentRight : palette::kAccentLeft;
}

// A scale mark centred on cx. Minus infinity is drawn, not set: at 7 px the font's
// infinity sign shrinks to a smudge.
void scaleMark(cairo_t* cr, std::string_view text, double cx, double baseline, const Font& font) {
    if (text != kMinusInfinity) {
        drawText(cr, text, cx, baseline, Align::Centre, font, palette::kLegendSoft);
        return;
    }
    const double width = 11, left = std::round(cx - width / 2);
    const double middle = std::round(baseline) - 3;
    hLine(cr, left, left + 3, middle, palette::kLegendSoft);
    cairo_set_line_width(cr, 1);
    setSource(cr, palette::kLegendSoft);
    for (double centre : {left + 5.9, left + 9.1}) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, centre, middle + 0.5, 1.55, 0, 2 * M_PI);
    }
    cairo_stroke(cr);
}

void knobLegends(cairo_t* cr, const Control& knob) {
    const Rect& r = knob.rect;
    centredLegend(cr, knob, knob.legend, r.centreX(), r.top - 2.5, legendFont(kNameSize, 0.35),
                  palette::kLegend);
    // End marks under the first and the last dot of the scale.
    const double offset = 10, baseline = r.bottom + 6;
    const Font font = legendFont(kMarkSize);
    scaleMark(cr, knob.marks[0], r.centreX() - offset, baseline, font);
    scaleMark(cr, knob.marks[1], r.centreX() + offset, baseline, font);
}

void switchLegends(cairo_t* cr, const Control& control) {
    // Position names under the switch: each under its own end or segment.
    const Rect& r = control.rect;
    const Font font = legendFont(kMarkSize);
    const double baseline = r.bottom + 7;
    if (control.positions == 2) {
        drawText(cr, control.marks[0], r.centreX() - 1.5, baseline, Align::Right, font,
                 palette::kLegend);
        drawText(cr, control.marks[1], r.centreX() + 1.5, baseline, Align::Left, font,
                 palette::kLegend);
        return;
    }
    const double segment = r.width() / control.positions;
    for (int i = 0; i < control.positions; ++i)
        drawText(cr, control.marks[i], r.left + segment * (i + 0.5), baseline, Align::Centre,
                 font, palette::kLegend);
}

// A ribbed grip in an invisible drag area, with small arrows: drag up or down.
void dragGrip(cairo_t* cr, const Control& area) {
    const Rect& r = area.rect;
    const double cx = std::floor(r.centreX()) + 0.5;
    roundedRect(cr, cx - 3.5, r.top + 1, 7, r.height() - 2, 2);
    setSource(cr, Colour{0, 0, 0, 0.16});
    cairo_fill(cr);
    for (double y = r.top + 6; y <= r.bottom - 6; y += 2)
        hLine(cr, cx - 2, cx + 2, y, Colour{0, 0, 0, 0.45});
    cairo_set_line_width(cr, 1);
    setSource(cr, palette::kLegend);
    cairo_move_to(cr, cx - 2.5, r.top + 4.5);
    cairo_line_to(cr, cx, r.top + 2);
    cairo_line_to(cr, cx + 2.5, r.top + 4.5);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_move_to(cr, cx - 2.5, r.bottom - 4.5);
    cairo_line_to(cr, cx, r.bottom - 2);
    cairo_line_to(cr, cx + 2.5, r.bottom - 4.5);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void meterScale(cairo_t* cr, const Control& meter) {
    const Rect& r = meter.rect;
    const layout::Bitmap* bitmap = layout::findBitmap(meter.bitmap);
    const int lamps = bitmap->frames - 1;
    const Font font = legendFont(kMarkSize);
    // Ticks at 0, -6, -12 and -24 dB beside the lamps they mark (lamp top 2.5 + 2 k).
    struct Mark { double db; const char* text; };
    for (Mark mark : {Mark{0, "0"}, Mark{-6, "6"}, Mark{-12, "12"}, Mark{-24, "24"}}) {
        const int lamp = static_cast<int>(std::lround((mark.db + 24) / 1.2)) - 1;
        const double y = mark.db <= -24 ? r.top + 2.5 + lamps * 2
                                        : r.top + 2.5 + (lamps - 1 - std::max(lamp, 0)) * 2;
        hLine(cr, r.right + 1, r.right + 4, std::floor(y), palette::kLegendSoft);
        drawText(cr, mark.text, r.right + 5, std::floor(y) + 3, Align::Left, font,
                 palette::kLegendSoft);
    }
    // The channel letter in its accent colour.
    drawText(cr, meter.legend, r.centreX(), r.bottom + 7.5, Align::Centre, legendFont(8.5),
             channelAccent(meter.section));
}

// A legend reading upwards in the narrow space under a tall, slim control.
void verticalLegend(cairo_t* cr, const Control& control) {
    const Rect& r = control.rect;
    const Font font = legendFont(kMarkSize, 0.3);
    const double length = textWidth(cr, control.legend, font);
    const layout::Plate* plate = plateOf(control);
    const double floor = plate != nullptr ? plate->rect.bottom - 4 : r.bottom + 3 + length;
    cairo_save(cr);
    cairo_translate(cr, r.centreX() + capHeight(cr, font) / 2, std::min(r.bottom + 3 + length, floor));
    cairo_rotate(cr, -M_PI / 2);
    drawText(cr, control.legend, 0, 0, Align::Left, font, palette::kLegend);
    cairo_restore(cr);
}

void aboutWordmark(cairo_t* cr, const Control& about) {
    const Rect& r = about.rect;
    const Font font{kPlainFamily, true, 13, 0.2};
    drawTextCentred(cr, about.legend, r.centreX(), r.centreY(), font, palette::kLegend);
}

void controlLegends(cairo_t* cr, const Control& control) {
    switch (control.kind) {
        case ControlKind::AnimKnob:
            knobLegends(cr, control);
            break;
        case ControlKind::Switch:
            switchLegends(cr, control);
            break;
        case ControlKind::OnOffButton: {
            const Rect& r = control.rect;
            const bool bar = r.width() <= 8;
            if (bar) {  // section on bars: "ON" under the bar
                centredLegend(cr, control, control.legend, r.centreX(), r.bottom + 7.5,
                              legendFont(kMarkSize), palette::kLegend);
            } else if (control.bitmap == 144 || control.bitmap == 147 || control.bitmap == 148) {
                centredLegend(cr, control, control.legend, r.centreX(), r.top - 2.5,
                              legendFont(kNameSize, 0.35), palette::kLegend);
            }
            break;
        }
        case ControlKind::InvisibleSlider:
            if (control.tag == 49) break;  // the display's glass
            dragGrip(cr, control);
            centredLegend(cr, control, control.legend, control.rect.centreX(),
                          control.rect.bottom + 5.5, legendFont(kNameSize, 0.35),
                          palette::kLegend);
            break;
        case ControlKind::MovieBitmap:
            if (control.bitmap == 173) meterScale(cr, control);
            if (control.bitmap == 159) verticalLegend(cr, control);
            break;
        case ControlKind::About:
            aboutWordmark(cr, control);
            break;
        default:
            break;
    }
}

void sectionTitles(cairo_t* cr) {
    const Font font = legendFont(kTitleSize, 1.4);
    for (const layout::SectionTitle& title : layout::kSectionTitles) {
        const Rect extent = layout::sectionExtent(title.section);
        const double baseline = title.row == layout::Row::Top ? layout::kTopRowTop - 4
                                                              : layout::kBottomRowBottom + 9;
        const bool channel = title.section == layout::Section::DelayLeft ||
                             title.section == layout::Section::DelayRight;
        const double cx = extent.centreX();
        drawText(cr, title.text, cx, baseline, Align::Centre, font, palette::kLegend);
        if (channel) {
            // A short accent bar either side of the channel's title.
            const double half = textWidth(cr, title.text, font) / 2;
            const Colour accent = channelAccent(title.section);
            for (double side : {-1.0, 1.0}) {
                const double x0 = side < 0 ? cx - half - 16 : cx + half + 4;
                roundedRect(cr, x0, baseline - 4, 12, 2, 1);
                setSource(cr, accent);
                cairo_fill(cr);
            }
        }
    }
}

void displayBezel(cairo_t* cr) {
    const Rect glass = displayWindow();
    bevel(cr, glass.left - 1, glass.top - 1, glass.width() + 2, glass.height() + 2,
          Colour{0, 0, 0, 0.7}, Colour{1, 1, 1, 0.55});
    bevel(cr, glass.left - 2, glass.top - 2, glass.width() + 4, glass.height() + 4,
          Colour{0, 0, 0, 0.2}, Colour{1, 1, 1, 0.25});
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

bool recessedOnPanel(double x, double y) { return insidePlate(x, y); }

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

Surface renderBareBackground(int scale) {
    const int w = static_cast<int>(layout::kEditorWidth), h = static_cast<int>(layout::kEditorHeight);
    Surface surface = makeSurface(w, h, scale, false);
    brushedMetal(surface.get(), kFaceplateSeed, 1.0, recessedOnPanel, palette::kFace,
                 palette::kPlate, 0.07);
    Context cr = makeContext(surface.get());
    cairo_t* c = cr.get();

    // Plates: a soft inner shadow along the top and left, and the engraved edge.
    for (const layout::Plate& plate : layout::kPlates) {
        const Rect& r = plate.rect;
        cairo_pattern_t* shade = cairo_pattern_create_linear(0, r.top, 0, r.top + 3);
        addStop(shade, 0, Colour{0, 0, 0, 0.12});
        addStop(shade, 1, Colour{0, 0, 0, 0});
        cairo_rectangle(c, r.left, r.top, r.width(), 3);
        cairo_set_source(c, shade);
        cairo_fill(c);
        cairo_pattern_destroy(shade);
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
    cairo_pattern_t* band = cairo_pattern_create_linear(0, strip.top, 0, strip.bottom);
    addStop(band, 0, palette::kStrip.scaled(1.12));
    addStop(band, 1, palette::kStrip.scaled(0.86));
    cairo_rectangle(c, strip.left, strip.top, strip.width(), strip.height());
    cairo_set_source(c, band);
    cairo_fill(c);
    cairo_pattern_destroy(band);
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

    sectionTitles(c);
    displayBezel(c);
    for (const Control& control : layout::kControls) controlLegends(c, control);

    const double stripMiddle = layout::kPresetStrip.centreY();
    screw(c, 10, 8, 35);
    screw(c, layout::kEditorWidth - 10, 8, 110);
    screw(c, 10, stripMiddle, 150);
    screw(c, layout::kEditorWidth - 10, stripMiddle, 70);
    presetStripDetails(c, controlBitmaps);
    return surface;
}

Surface renderAbout(int scale) {
    const int w = static_cast<int>(layout::kEditorWidth), h = static_cast<int>(layout::kEditorHeight);
    Surface surface = makeSurface(w, h, scale, false);
    const Colour dark = palette::kFace.scaled(0.26);
    brushedMetal(surface.get(), kAboutSeed, 1.0, nullptr, dark, dark, 0.25);
    Context cr = makeContext(surface.get());
    cairo_t* c = cr.get();

    // The wordmark with two fading echoes: a delay, after all.
    const Font mark{kPlainFamily, true, 54, -0.5};
    const double left = 64, baseline = 96;
    for (int echo = 2; echo >= 1; --echo)
        drawText(c, "Ruvane", left + 9 * echo, baseline, Align::Left, mark,
                 Colour{1, 1, 1, 0.16 / echo});
    drawText(c, "Ruvane", left, baseline, Align::Left, mark, Colour::rgb(238, 242, 245));
    const double markWidth = textWidth(c, "Ruvane", mark);
    roundedRect(c, left + 2, baseline + 10, markWidth * 0.5, 2.5, 1.25);
    setSource(c, palette::kAccentLeft);
    cairo_fill(c);
    roundedRect(c, left + 2 + markWidth * 0.5, baseline + 10, markWidth * 0.5, 2.5, 1.25);
    setSource(c, palette::kAccentRight);
    cairo_fill(c);
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
