// The open list of an option menu: its layout in columns, hit-testing, hover and
// keyboard choice, and its drawing. Plain code; the window that shows it belongs to
// the platform frame (or to nobody, headless).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/button_state.h"
#include "toolkit/font.h"
#include "toolkit/geometry.h"
#include "toolkit/key_code.h"

namespace toolkit {

class CDrawContext;

class PopupMenu {
public:
    struct Entry {
        std::string title;
        bool selectable = true;  // false for separators, titles and disabled entries
        bool separator = false;
        bool checked = false;
    };
    // -1 when the menu closed without a choice.
    using ResultHandler = std::function<void(int32_t chosenIndex)>;

    enum class Outcome { kOpen, kChosen, kCancelled };

    // Row height is the font size plus this, at least kMinRowHeight.
    static constexpr CCoord kRowPadding = 8;
    static constexpr CCoord kMinRowHeight = 20;
    static constexpr CCoord kSeparatorHeight = 7;
    static constexpr CCoord kCheckColumnWidth = 22;
    static constexpr CCoord kTextRightPadding = 14;
    static constexpr CCoord kBorder = 1;
    static constexpr CCoord kVerticalPadding = 4;

    // `perColumn` <= 0 puts every entry in one column.
    PopupMenu(std::vector<Entry> entries, int32_t current, int32_t perColumn, CFontDesc font,
              ResultHandler onResult);

    // Below the control (default), or laid over it so the current entry covers it.
    void setCoversAnchor(bool state) { coversAnchor = state; }
    bool getCoversAnchor() const { return coversAnchor; }
    // Where the menu's top-left goes relative to the control's top-left (1x units).
    CPoint placementOffset(const CRect& anchor) const;

    // Size in 1x units; columns of `perColumn` entries side by side, equal widths.
    CRect getBounds() const { return bounds; }
    int32_t getNbColumns() const { return static_cast<int32_t>(columnLefts.size()); }
    int32_t getNbEntries() const { return static_cast<int32_t>(entries.size()); }
    // Rectangle of an entry in menu coordinates (top-left of the menu is 0, 0).
    CRect getEntryRect(int32_t index) const;
    // The selectable entry under a point, or -1.
    int32_t entryAt(const CPoint& where) const;

    CCoord getRowHeight() const { return rowHeight; }
    int32_t getHoveredIndex() const { return hovered; }
    int32_t getResult() const { return result; }
    Outcome getOutcome() const { return outcome; }

    // Events in menu coordinates. A press outside the menu cancels; a release over a
    // selectable entry chooses it once the pointer has moved or pressed in the list (so
    // press-drag-release works as well as two clicks, and the release of the click that
    // opened the list chooses nothing).
    void onMouseMoved(const CPoint& where);
    void onMouseDown(const CPoint& where, const CButtonState& buttons);
    void onMouseUp(const CPoint& where, const CButtonState& buttons);
    // Up/Down move within a column, Left/Right jump columns, Home/End, Return or
    // Enter chooses, Escape cancels. 1 handled, -1 not.
    int32_t onKeyDown(const KeyCode& key);

    void draw(CDrawContext& context) const;

    // Calls the result handler once (with -1 if still open).
    void finish();

private:
    void layout();
    int32_t nextSelectable(int32_t from, int32_t step) const;
    void choose(int32_t index);

    std::vector<Entry> entries;
    std::vector<CRect> entryRects;
    std::vector<CCoord> columnLefts;
    int32_t current;
    int32_t perColumn;
    CFontDesc font;
    ResultHandler onResult;
    CRect bounds;
    CCoord rowHeight = kMinRowHeight;
    CCoord columnWidth = 0;
    int32_t hovered = -1;
    int32_t result = -1;
    bool armed = false;
    bool coversAnchor = false;
    CPoint firstPointer;
    bool pointerSeen = false;
    Outcome outcome = Outcome::kOpen;
    bool finished = false;
};

}  // namespace toolkit
