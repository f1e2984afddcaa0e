// The preset strip's buttons. Each has three film frames (idle, hovered, pressed) that
// follow the mouse, except the rocker, which has five (idle, hover left, hover right,
// pressed left, pressed right).
#pragma once

#include <cstdint>

#include "toolkit/buttons.h"
#include "toolkit/switches.h"

namespace ruvane {

// Push button: tells the listener 1 on the press (0.5 for Control with a double-click
// when it acts on double-clicks only); the release only redraws.
class CPSKickButton : public toolkit::CKickButton {
public:
    static constexpr float kControlValue = 0.5f;

    CPSKickButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                  toolkit::CCoord frameHeight, toolkit::CBitmap* bitmap, const toolkit::CPoint& offset,
                  bool doubleClickOnly);

    bool isHovered() const { return hovered_; }
    bool isDoubleClickOnly() const { return doubleClickOnly_; }
    // 0 idle, 1 hovered, 2 pressed.
    int32_t frameToShow() const;

    void draw(toolkit::CDrawContext* context) override;
    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseMoved(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseUp(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseEntered(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseExited(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

private:
    bool hovered_ = false;
    bool doubleClickOnly_;
};

// Toggle: 0 or 1 on each press; frames are a third of the bitmap's height each.
class CPSOnOffButton : public toolkit::COnOffButton {
public:
    CPSOnOffButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                   toolkit::CBitmap* bitmap);

    bool isHovered() const { return hovered_; }
    int32_t frameToShow() const;

    void draw(toolkit::CDrawContext* context) override;
    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseEntered(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseExited(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

private:
    bool hovered_ = false;
};

// Previous / next rocker: -1 while its left half is pressed, +1 for the right half,
// back to 0 (silently) on release.
class CPSRockerSwitch : public toolkit::CRockerSwitch {
public:
    enum HoverSide : int32_t { kHoverLeft = -1, kHoverNone = 0, kHoverRight = 1 };

    CPSRockerSwitch(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                    toolkit::CCoord frameHeight, toolkit::CBitmap* bitmap, const toolkit::CPoint& offset = {},
                    int32_t style = toolkit::kHorizontal);

    int32_t getHoverSide() const { return hoverSide_; }
    int32_t frameToShow() const;

    void draw(toolkit::CDrawContext* context) override;
    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseMoved(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseUp(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseExited(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

private:
    bool leftOfCentre(const toolkit::CPoint& where) const;

    int32_t hoverSide_ = kHoverNone;
};

// Load / save arrow: tells the listener 1 for a left click, 0.5 for a plain right click
// (the load arrows read that as "endian-reversed"), then falls back to 0 at once.
class CSaveLoadButton : public toolkit::CKickButton {
public:
    static constexpr float kRightClickValue = 0.5f;

    CSaveLoadButton(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag,
                    toolkit::CCoord frameHeight, toolkit::CBitmap* bitmap, const toolkit::CPoint& offset = {});

    bool isHovered() const { return hovered_; }
    int32_t frameToShow() const;

    void draw(toolkit::CDrawContext* context) override;
    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseEntered(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;
    toolkit::CMouseEventResult onMouseExited(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

private:
    bool hovered_ = false;
};

}  // namespace ruvane
