// Push buttons: CKickButton (pressed while held) and COnOffButton (toggles on release).
#pragma once

#include "toolkit/control.h"

namespace toolkit {

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = {});
    CKickButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                const CPoint& offset = {});

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(KeyCode& key) override;
    int32_t onKeyUp(KeyCode& key) override;

    CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    void setHeightOfOneImage(CCoord height) { heightOfOneImage = height; }

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CKickButton"; }
    CView* newCopy() const override { return new CKickButton(*this); }

protected:
    CPoint offset;
    CCoord heightOfOneImage;
    float entryValue = 0;
};

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 int32_t style = 0);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(KeyCode& key) override;

    int32_t getStyle() const { return style; }

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "COnOffButton"; }
    CView* newCopy() const override { return new COnOffButton(*this); }

protected:
    void toggle();

    int32_t style;
};

}  // namespace toolkit
