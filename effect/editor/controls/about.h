// The about screen: a click area that shows the product's splash with its version
// over the editor until the splash itself is clicked.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/control.h"
#include "toolkit/splash_screen.h"

namespace ruvane {

class CSplashScreenMyView;

// The click area. A left click raises the splash as the frame's modal view.
class CAbout : public toolkit::CSplashScreen {
public:
    CAbout(const toolkit::CRect& size, toolkit::CControlListener* listener, int32_t tag, toolkit::CBitmap* aboutBitmap,
           const toolkit::CRect& displayRect, const toolkit::CPoint& offset, const toolkit::CPoint& versionOrigin);

    const toolkit::CRect& getDisplayRect() const { return displayRect_; }
    const toolkit::CPoint& getBitmapOffset() const { return bitmapOffset_; }

    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

private:
    toolkit::CRect displayRect_;
    toolkit::CPoint bitmapOffset_;
    toolkit::CPoint versionOrigin_;
};

// The splash itself: the about bitmap over the display rectangle and the version text.
// A left click on it closes it.
class CSplashScreenMyView : public toolkit::CControl {
public:
    static constexpr std::string_view kVersionText = "v.1.6.0";
    static constexpr toolkit::CCoord kVersionWidth = 100;
    static constexpr toolkit::CCoord kVersionHeight = 15;
    static constexpr toolkit::CCoord kVersionFontSize = 11;

    CSplashScreenMyView(const toolkit::CRect& displayRect, CAbout* owner, const toolkit::CPoint& versionOrigin);

    CAbout* getOwner() const { return owner_; }
    // Where the version text is drawn, in frame coordinates.
    toolkit::CRect versionTextRect() const;

    void draw(toolkit::CDrawContext* context) override;
    toolkit::CMouseEventResult onMouseDown(toolkit::CPoint& where, const toolkit::CButtonState& buttons) override;

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CSplashScreenMyView"; }
    toolkit::CView* newCopy() const override;

private:
    CAbout* owner_;
    toolkit::CRect displayRect_;
    toolkit::CPoint versionOrigin_;
};

}  // namespace ruvane
