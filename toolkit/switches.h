// Multi-position switches picked by where the mouse is, and the three-state rocker.
#pragma once

#include <cstdint>
#include <functional>

#include "toolkit/control.h"

namespace toolkit {

// Shared by both directions: the frames are a vertical stack; the mouse divides the
// control (its bitmap's width, or its frame height) into `maxPositions` zones.
class CSwitchBase : public CControl {
public:
    CSwitchBase(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background, const CPoint& offset);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(KeyCode& key) override;

    int32_t getNumSubPixmaps() const { return subPixmaps; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    int32_t getMaxPositions() const { return maxPositions; }
    // round(norm x (n - 1)).
    int32_t frameIndex() const;

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CSwitchBase"; }

protected:
    virtual CCoord zoneSize() const = 0;
    virtual CCoord positionAlong(const CPoint& where) const = 0;
    virtual bool isStepKey(const KeyCode& key, int32_t& step) const = 0;

    CPoint offset;
    int32_t subPixmaps;
    CCoord heightOfOneImage;
    int32_t maxPositions;
    CCoord coef = 0;
};

class CHorizontalSwitch : public CSwitchBase {
public:
    CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                      CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background,
                      const CPoint& offset = {});

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CHorizontalSwitch"; }
    CView* newCopy() const override { return new CHorizontalSwitch(*this); }

protected:
    CCoord zoneSize() const override;
    CCoord positionAlong(const CPoint& where) const override { return where.x - size.left; }
    bool isStepKey(const KeyCode& key, int32_t& step) const override;
};

class CVerticalSwitch : public CSwitchBase {
public:
    CVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                    CCoord heightOfOneImage, int32_t maxPositions, CBitmap* background,
                    const CPoint& offset = {});

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CVerticalSwitch"; }
    CView* newCopy() const override { return new CVerticalSwitch(*this); }

protected:
    CCoord zoneSize() const override;
    CCoord positionAlong(const CPoint& where) const override { return where.y - size.top; }
    bool isStepKey(const KeyCode& key, int32_t& step) const override;
};

// Value -1, 0 or +1: held to one side while pressed, back to the centre on release.
class CRockerSwitch : public CControl {
public:
    CRockerSwitch(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                  CBitmap* background, const CPoint& offset = {}, int32_t style = kHorizontal);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(KeyCode& key) override;
    int32_t onKeyUp(KeyCode& key) override;
    // A wheel notch rocks to one side (up: min, down: max) and the rocker returns to the
    // centre 200 ms after the last notch, closing the edit (checked from the frame's idle).
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    void onIdle() override;
    // Milliseconds of a monotonic clock; replaceable so tests need not wait.
    void setClock(std::function<uint64_t()> millisecondClock) { clock = std::move(millisecondClock); }

    static constexpr uint64_t kWheelReturnMs = 200;

    int32_t getStyle() const { return style; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CRockerSwitch"; }
    CView* newCopy() const override { return new CRockerSwitch(*this); }

protected:
    // -1 for the key of the minimum side (Left, or Up when vertical), 1 for the other
    // side's, 0 for any other key or any modifier.
    int sideOfKey(const KeyCode& key) const;

    CPoint offset;
    CCoord heightOfOneImage;
    int32_t style;
    float entryValue = 0;
    std::function<uint64_t()> clock;
    uint64_t wheelReturnAt = 0;
    bool wheelEditOpen = false;
};

}  // namespace toolkit
