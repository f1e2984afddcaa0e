#include "toolkit/splash_screen.h"

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"

namespace toolkit {
namespace {

// The picture shown while splashed; a left click on it tells the splash screen.
class SplashPictureView : public CControl {
public:
    SplashPictureView(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* picture,
                      const CPoint& offset)
        : CControl(size, listener, tag, picture) {
        setBackOffset(offset);
    }

    void draw(CDrawContext* context) override {
        if (CBitmap* bitmap = getBackground()) {
            context->drawBitmap(*bitmap, size, backOffset);
        }
        setDirty(false);
    }

    CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override {
        if ((buttons & kLButton) == 0) {
            return kMouseEventNotHandled;
        }
        valueChanged();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }

    CView* newCopy() const override { return new SplashPictureView(*this); }
};

}  // namespace

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                             const CRect& toDisplay, const CPoint& offset)
    : CControl(size, listener, tag, nullptr) {
    splashView = new SplashPictureView(toDisplay, this, tag, background, offset);
}

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, int32_t tag, CView* splashView)
    : CControl(size, listener, tag, nullptr), splashView(splashView) {
    if (auto* control = dynamic_cast<CControl*>(splashView)) {
        control->setListener(this);
    }
}

CSplashScreen::~CSplashScreen() {
    if (splashView != nullptr) {
        // Still shown: the frame drops its own reference with the modal view.
        CFrame* frame = splashView->getFrame();
        if (frame != nullptr && frame->getModalView() == splashView) {
            frame->setModalView(nullptr);
        }
        splashView->forget();
    }
}

bool CSplashScreen::isTypeOf(std::string_view className) const {
    return className == "CSplashScreen" || CControl::isTypeOf(className);
}

void CSplashScreen::draw(CDrawContext*) { setDirty(false); }

bool CSplashScreen::hitTest(const CPoint& where, const CButtonState& buttons) {
    return (buttons & kLButton) != 0 && CControl::hitTest(where, buttons);
}

CMouseEventResult CSplashScreen::onMouseDown(CPoint&, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) {
        return kMouseEventNotHandled;
    }
    setValue(value == maxValue ? minValue : maxValue);
    CFrame* frame = getFrame();
    if (value == maxValue && frame != nullptr && splashView != nullptr && frame->setModalView(splashView)) {
        CControl::valueChanged();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CSplashScreen::unSplash() {
    setValue(minValue);
    CFrame* frame = getFrame();
    if (frame != nullptr && splashView != nullptr && frame->getModalView() == splashView) {
        splashView->invalid();
        frame->setModalView(nullptr);
    }
}

void CSplashScreen::valueChanged(CControl* control) {
    if (control == splashView) {
        unSplash();
        CControl::valueChanged();
    }
}

}  // namespace toolkit
