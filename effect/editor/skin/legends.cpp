#include "effect/editor/skin/legends.h"

#include "effect/editor/layout.h"
#include "effect/editor/skin/palette.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace ruvane::skin {
namespace {

using layout::Control;
using layout::ControlKind;
using layout::Rect;

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
        // The two names either side of a small dot under the middle of the slot, so
        // they read as a pair and apart from their neighbours.
        const double gap = 3, middle = r.centreX();
        drawText(cr, control.marks[0], middle - gap, baseline, Align::Right, font,
                 palette::kLegend);
        drawText(cr, control.marks[1], middle + gap, baseline, Align::Left, font,
                 palette::kLegend);
        cairo_arc(cr, middle, std::round(baseline) - capHeight(cr, font) / 2, 0.8, 0, 2 * M_PI);
        setSource(cr, palette::kLegendSoft);
        cairo_fill(cr);
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

// A legend reading upwards in the narrow space under a tall, slim control, between the
// control and the plate's lower edge; condensed when that space is short.
void verticalLegend(cairo_t* cr, const Control& control) {
    const Rect& r = control.rect;
    Font font = legendFont(kMarkSize, 0.3);
    const double top = r.bottom + 2.5;
    const layout::Plate* plate = plateOf(control);
    const double natural = textWidth(cr, control.legend, font);
    const double floor = plate != nullptr ? plate->rect.bottom - 3 : top + natural;
    font.stretch = std::min(1.0, (floor - top) / natural);
    const double length = textWidth(cr, control.legend, font);
    cairo_save(cr);
    cairo_translate(cr, r.centreX() + capHeight(cr, font) / 2, (top + floor + length) / 2);
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

// Engraved, reading upwards in the open margin left of the first plate.
void marginEngraving(cairo_t* cr) {
    double firstPlate = layout::kEditorWidth;
    for (const layout::Plate& plate : layout::kPlates) firstPlate = std::min(firstPlate, plate.rect.left);
    const Font font = legendFont(8, 2.2);
    const std::string_view text = "STEREO DELAY";
    const double cx = std::round(firstPlate / 2);
    const double cy = (layout::kTopRowTop + layout::kBottomRowBottom) / 2;
    cairo_save(cr);
    cairo_translate(cr, cx + capHeight(cr, font) / 2, cy);
    cairo_rotate(cr, -M_PI / 2);
    // A light edge below and right of the cut, then the cut itself.
    drawText(cr, text, -0.7, 0.7, Align::Centre, font, Colour{1, 1, 1, 0.45});
    drawText(cr, text, 0, 0, Align::Centre, font, palette::kLegendSoft);
    cairo_restore(cr);
}

void displayBezel(cairo_t* cr) {
    // The tempo drag area covers exactly the display's glass.
    const Rect glass = layout::findControl(49)->rect;
    bevel(cr, glass.left - 1, glass.top - 1, glass.width() + 2, glass.height() + 2,
          Colour{0, 0, 0, 0.7}, Colour{1, 1, 1, 0.55});
    bevel(cr, glass.left - 2, glass.top - 2, glass.width() + 4, glass.height() + 4,
          Colour{0, 0, 0, 0.2}, Colour{1, 1, 1, 0.25});
}

}  // namespace

void drawLegends(cairo_t* cr) {
    sectionTitles(cr);
    marginEngraving(cr);
    displayBezel(cr);
    for (const Control& control : layout::kControls) controlLegends(cr, control);
}

}  // namespace ruvane::skin
