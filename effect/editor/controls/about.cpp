#include "effect/editor/controls/about.h"

#include "toolkit/bitmap.h"
#include "toolkit/color.h"
#include "toolkit/draw_context.h"
#include "toolkit/font.h"
#include "toolkit/frame.h"

namespace ruvane {

using namespace toolkit;

namespace {
constexpr CColor kVersionColour{255, 255, 255, 255};
constexpr const char* kVersionFont = "Arial";
}  // namespace

CAbout::CAbout(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* aboutBitmap,
               const CRect& displayRect, const CPoint& offset, const CPoint& versionOrigin)
    : CSplashScreen(size, listener, tag, aboutBitmap, displayRect, offset),
      displayRect_(displayRect),
      bitmapOffset_(offset),
      versionOrigin_(versionOrigin) {
    // The stock splash screen keeps the picture only for its own splash view; the
    // about screen's splash is made fresh each time and takes it from here.
    setBackground(aboutBitmap);
}

CMouseEventResult CAbout::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(getValue() == 0.0f ? 1.0f : 0.0f);
    if (getValue() == 1.0f) {
        CFrame* frame = getFrame();
        auto* splash = new CSplashScreenMyView(displayRect_, this, versionOrigin_);
        // If the frame cannot show it (another modal view is up), nothing is shown and
        // the next click starts afresh.
        if (frame == nullptr || !frame->setModalView(splash)) setValue(0.0f);
        // The frame keeps the splash alive while it is shown; it is ours no longer.
        splash->forget();
    }
    invalid();
    return kMouseEventHandled;
}

CSplashScreenMyView::CSplashScreenMyView(const CRect& displayRect, CAbout* owner, const CPoint& versionOrigin)
    : CControl(displayRect, nullptr, -1, owner != nullptr ? owner->getBackground() : nullptr),
      owner_(owner),
      displayRect_(displayRect),
      versionOrigin_(versionOrigin) {}

CRect CSplashScreenMyView::versionTextRect() const {
    const CCoord left = displayRect_.left + versionOrigin_.x;
    const CCoord top = displayRect_.top + versionOrigin_.y;
    return CRect(left, top, left + kVersionWidth, top + kVersionHeight);
}

void CSplashScreenMyView::draw(CDrawContext* context) {
    if (context != nullptr) {
        if (CBitmap* bitmap = getBackground()) {
            const CPoint origin = owner_ != nullptr ? owner_->getBitmapOffset() : CPoint{};
            context->drawBitmap(*bitmap, displayRect_, origin, 1.0f);
        }
        CFontDesc font;
        font.name = kVersionFont;
        font.size = kVersionFontSize;
        context->setFont(font);
        context->setFontColor(kVersionColour);
        context->drawString(kVersionText, versionTextRect(), kLeftText, true);
    }
    setDirty(false);
}

CMouseEventResult CSplashScreenMyView::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    CFrame* frame = getFrame();
    if (owner_ != nullptr) owner_->unSplash();
    if (frame != nullptr) {
        frame->invalid();
        // The frame holds the only reference, so clearing the modal view releases this
        // view (the frame keeps it alive until this handler has returned).
        frame->setModalView(nullptr);
    }
    return kMouseEventHandled;
}

bool CSplashScreenMyView::isTypeOf(std::string_view className) const {
    return className == "CSplashScreenMyView" || CControl::isTypeOf(className);
}

CView* CSplashScreenMyView::newCopy() const { return new CSplashScreenMyView(*this); }

}  // namespace ruvane
