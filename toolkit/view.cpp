#include "toolkit/view.h"

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"

namespace toolkit {

CView::CView(const CRect& size) : size(size) {}

CView::CView(const CView& other)
    : CReferenceCounted(other),
      size(other.size),
      background(other.background),
      mouseEnabled(other.mouseEnabled),
      visible(other.visible),
      transparent(other.transparent),
      focusWanted(other.focusWanted) {
    if (background != nullptr) {
        background->remember();
    }
}

CView::~CView() {
    if (background != nullptr) {
        background->forget();
    }
}

void CView::draw(CDrawContext* context) {
    if (background != nullptr) {
        context->drawBitmap(*background, size);
    }
    setDirty(false);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, float, const CButtonState&) { return false; }
int32_t CView::onKeyDown(KeyCode&) { return -1; }
int32_t CView::onKeyUp(KeyCode&) { return -1; }

void CView::setViewSize(const CRect& newSize, bool invalidate) {
    if (invalidate) {
        invalidRect(size);
    }
    size = newSize;
    if (invalidate) {
        invalid();
    }
}

bool CView::hitTest(const CPoint& where, const CButtonState&) { return size.pointInside(where); }

void CView::invalid() {
    setDirty(false);
    invalidRect(size);
}

void CView::invalidRect(const CRect& rect) {
    if (frame != nullptr && visible) {
        frame->invalidRect(rect);
    }
}

void CView::setDirty(bool state) { dirty = state; }

bool CView::attached(CView* parentView) {
    if (frame != nullptr) {
        return false;
    }
    parent = parentView;
    frame = dynamic_cast<CFrame*>(parentView);
    if (frame == nullptr && parentView != nullptr) {
        frame = parentView->getFrame();
    }
    return true;
}

bool CView::removed(CView*) {
    frame = nullptr;
    parent = nullptr;
    return true;
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap == background) {
        return;
    }
    if (bitmap != nullptr) {
        bitmap->remember();
    }
    if (background != nullptr) {
        background->forget();
    }
    background = bitmap;
    setDirty(true);
}

void CView::setVisible(bool state) {
    if (visible == state) {
        return;
    }
    if (!state) {
        invalidRect(size);
    }
    visible = state;
    if (state) {
        invalid();
    }
}

bool CView::isTypeOf(std::string_view className) const { return className == "CView"; }

CView* CView::newCopy() const { return new CView(*this); }

}  // namespace toolkit
