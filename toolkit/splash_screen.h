// An invisible hot area that shows a picture over the frame as a modal view; a click
// on the picture takes it away again.
#pragma once

#include "toolkit/control.h"

namespace toolkit {

class CSplashScreen : public CControl, public CControlListener {
public:
    CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                  const CRect& toDisplay, const CPoint& offset = {});
    // Any view as the splash (the splash screen takes over the caller's reference).
    CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CView* splashView);

    void draw(CDrawContext* context) override;
    bool hitTest(const CPoint& where, const CButtonState& buttons = {}) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // Removes the splash view (kept for reuse); sends nothing.
    virtual void unSplash();
    CView* getSplashView() const { return splashView; }

    void valueChanged(CControl* control) override;
    using CControl::valueChanged;

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CSplashScreen"; }
    CView* newCopy() const override { return nullptr; }

protected:
    ~CSplashScreen() override;

    CView* splashView = nullptr;
};

}  // namespace toolkit
