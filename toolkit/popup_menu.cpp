#include "toolkit/popup_menu.h"

#include <algorithm>
#include <cmath>

#include "toolkit/color.h"
#include "toolkit/draw_context.h"

namespace toolkit {
namespace {

// A dark theme: light text on charcoal, a pale bar under the pointer.
constexpr CColor kMenuBackground{57, 60, 63, 255};
constexpr CColor kMenuBorder{24, 26, 28, 255};
constexpr CColor kMenuColumnRule{78, 82, 86, 255};
constexpr CColor kMenuText{255, 255, 255, 255};
constexpr CColor kMenuSelectedBackground{200, 200, 200, 255};
constexpr CColor kMenuSelectedText{0, 0, 0, 255};
constexpr CColor kMenuDisabledText{150, 150, 150, 255};
constexpr CColor kMenuSeparator{100, 100, 100, 255};
constexpr CCoord kTextGap = 2;
constexpr CCoord kHighlightRadius = 3;

// Text widths need a cairo context; a 1x1 scratch surface serves.
CCoord measureText(const CFontDesc& font, const std::string& text) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(surface);
    CCoord width = 0;
    {
        CDrawContext context(cr, 1);
        context.setFont(font);
        width = context.getStringWidth(text);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return width;
}

}  // namespace

PopupMenu::PopupMenu(std::vector<Entry> entries, int32_t current, int32_t perColumn, CFontDesc font,
                     ResultHandler onResult)
    : entries(std::move(entries)),
      current(current),
      perColumn(perColumn),
      font(std::move(font)),
      onResult(std::move(onResult)) {
    layout();
    if (current >= 0 && current < getNbEntries() && this->entries[static_cast<std::size_t>(current)].selectable) {
        hovered = current;
    }
}

void PopupMenu::layout() {
    rowHeight = std::max(kMinRowHeight, std::ceil(font.size + kRowPadding));
    CCoord widest = 0;
    for (const Entry& entry : entries) {
        if (!entry.separator) {
            widest = std::max(widest, std::ceil(measureText(font, entry.title)));
        }
    }
    columnWidth = kCheckColumnWidth + widest + kTextRightPadding;

    const int32_t count = getNbEntries();
    const int32_t rowsPerColumn = perColumn > 0 ? perColumn : std::max(count, 1);
    entryRects.assign(entries.size(), CRect());
    columnLefts.clear();
    CCoord tallest = 0;
    CCoord y = 0;
    for (int32_t index = 0; index < count; ++index) {
        if (index % rowsPerColumn == 0) {
            columnLefts.push_back(kBorder + columnWidth * static_cast<CCoord>(columnLefts.size()));
            y = kBorder + kVerticalPadding;
        }
        const CCoord height = entries[static_cast<std::size_t>(index)].separator ? kSeparatorHeight : rowHeight;
        entryRects[static_cast<std::size_t>(index)] = CRect(CPoint(columnLefts.back(), y), columnWidth, height);
        y += height;
        tallest = std::max(tallest, y);
    }
    if (columnLefts.empty()) {
        columnLefts.push_back(kBorder);
        tallest = kBorder + kVerticalPadding + rowHeight;
    }
    bounds = CRect(0, 0, 2 * kBorder + columnWidth * static_cast<CCoord>(columnLefts.size()),
                   tallest + kVerticalPadding + kBorder);
}

CRect PopupMenu::getEntryRect(int32_t index) const {
    return index >= 0 && index < getNbEntries() ? entryRects[static_cast<std::size_t>(index)] : CRect();
}

int32_t PopupMenu::entryAt(const CPoint& where) const {
    for (int32_t index = 0; index < getNbEntries(); ++index) {
        if (entryRects[static_cast<std::size_t>(index)].pointInside(where)) {
            return entries[static_cast<std::size_t>(index)].selectable ? index : -1;
        }
    }
    return -1;
}

CPoint PopupMenu::placementOffset(const CRect& anchor) const {
    if (!coversAnchor) {
        return {0, anchor.getHeight()};
    }
    // The current entry's row (or the first row) lies over the control.
    const CRect row = getEntryRect(current >= 0 && current < getNbEntries() ? current : 0);
    return {-row.left, -(row.top + (row.getHeight() - anchor.getHeight()) / 2)};
}

void PopupMenu::onMouseMoved(const CPoint& where) {
    if (outcome != Outcome::kOpen) {
        return;
    }
    if (!pointerSeen) {
        pointerSeen = true;
        firstPointer = where;
    } else if (where != firstPointer) {
        armed = true;
    }
    hovered = entryAt(where);
}

void PopupMenu::onMouseDown(const CPoint& where, const CButtonState&) {
    if (outcome != Outcome::kOpen) {
        return;
    }
    if (!bounds.pointInside(where)) {
        outcome = Outcome::kCancelled;
        return;
    }
    armed = true;
    hovered = entryAt(where);
}

void PopupMenu::onMouseUp(const CPoint& where, const CButtonState&) {
    if (outcome != Outcome::kOpen) {
        return;
    }
    const int32_t index = entryAt(where);
    if (armed && index >= 0) {
        choose(index);
    }
}

int32_t PopupMenu::nextSelectable(int32_t from, int32_t step) const {
    for (int32_t index = from + step; index >= 0 && index < getNbEntries(); index += step) {
        if (entries[static_cast<std::size_t>(index)].selectable) {
            return index;
        }
    }
    return -1;
}

int32_t PopupMenu::onKeyDown(const KeyCode& key) {
    if (outcome != Outcome::kOpen) {
        return -1;
    }
    const int32_t count = getNbEntries();
    const int32_t columnStep = perColumn > 0 ? perColumn : count;
    switch (key.virtualKey) {
        case kKeyEscape: outcome = Outcome::kCancelled; return 1;
        case kKeyReturn:
        case kKeyEnter:
            if (hovered >= 0) {
                choose(hovered);
            }
            return 1;
        case kKeyDown:
        case kKeyUp: {
            const int32_t step = key.virtualKey == kKeyDown ? 1 : -1;
            const int32_t start = hovered >= 0 ? hovered : (step > 0 ? -1 : count);
            const int32_t next = nextSelectable(start, step);
            if (next >= 0) {
                hovered = next;
            }
            return 1;
        }
        case kKeyLeft:
        case kKeyRight: {
            if (hovered < 0) {
                hovered = nextSelectable(-1, 1);
                return 1;
            }
            const int32_t step = key.virtualKey == kKeyRight ? 1 : -1;
            int32_t target = hovered + step * columnStep;
            if (target >= count && key.virtualKey == kKeyRight) {
                // The last column may be short: land on its last entry.
                const int32_t lastColumnStart = (count - 1) / columnStep * columnStep;
                target = hovered / columnStep < lastColumnStart / columnStep ? count - 1 : -1;
            }
            if (target < 0 || target >= count) {
                return 1;
            }
            if (entries[static_cast<std::size_t>(target)].selectable) {
                hovered = target;
            } else if (const int32_t near = nextSelectable(target, step); near >= 0) {
                hovered = near;
            }
            return 1;
        }
        case kKeyHome:
            if (const int32_t first = nextSelectable(-1, 1); first >= 0) {
                hovered = first;
            }
            return 1;
        case kKeyEnd:
            if (const int32_t last = nextSelectable(count, -1); last >= 0) {
                hovered = last;
            }
            return 1;
        default: return -1;
    }
}

void PopupMenu::choose(int32_t index) {
    result = index;
    outcome = Outcome::kChosen;
}

void PopupMenu::finish() {
    if (finished) {
        return;
    }
    finished = true;
    if (onResult) {
        onResult(outcome == Outcome::kChosen ? result : -1);
    }
}

void PopupMenu::draw(CDrawContext& context) const {
    context.setFillColor(kMenuBackground);
    context.setFrameColor(kMenuBorder);
    context.setLineWidth(kBorder);
    context.drawRect(bounds, kDrawFilledAndStroked);

    context.setFrameColor(kMenuColumnRule);
    for (std::size_t column = 1; column < columnLefts.size(); ++column) {
        const CCoord x = columnLefts[column] - 1;
        context.drawLine(CPoint(x, bounds.top + kVerticalPadding), CPoint(x, bounds.bottom - kVerticalPadding - 1));
    }

    context.setFont(font);
    for (int32_t index = 0; index < getNbEntries(); ++index) {
        const Entry& entry = entries[static_cast<std::size_t>(index)];
        const CRect row = entryRects[static_cast<std::size_t>(index)];
        if (entry.separator) {
            const CCoord y = std::floor(row.getCenter().y);
            context.setFrameColor(kMenuSeparator);
            context.drawLine(CPoint(row.left + 6, y), CPoint(row.right - 7, y));
            continue;
        }
        const bool highlighted = index == hovered && entry.selectable;
        if (highlighted) {
            context.setFillColor(kMenuSelectedBackground);
            CRect bar = row;
            bar.inset(3, 1);
            context.drawRoundRect(bar, kHighlightRadius, kDrawFilled);
        }
        const CColor textColor = highlighted ? kMenuSelectedText : entry.selectable ? kMenuText : kMenuDisabledText;
        if (entry.checked || index == current) {
            // A tick drawn as two strokes, crisp at 1x and 2x.
            cairo_t* cr = context.cairo();
            const CCoord cx = row.left + kCheckColumnWidth / 2;
            const CCoord cy = row.getCenter().y;
            cairo_save(cr);
            cairo_set_source_rgba(cr, textColor.red / 255.0, textColor.green / 255.0, textColor.blue / 255.0, 1);
            cairo_set_line_width(cr, 1.6);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_move_to(cr, cx - 4, cy);
            cairo_line_to(cr, cx - 1.5, cy + 3);
            cairo_line_to(cr, cx + 4, cy - 3.5);
            cairo_stroke(cr);
            cairo_restore(cr);
        }
        context.setFontColor(textColor);
        const CRect textRect(row.left + kCheckColumnWidth + kTextGap, row.top, row.right - kTextGap, row.bottom);
        context.drawString(entry.title, textRect, kLeftText);
    }
}

}  // namespace toolkit
