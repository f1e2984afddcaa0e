#include "toolkit/frame.h"

#include <algorithm>
#include <cmath>

#include "toolkit/bitmap.h"
#include "toolkit/control.h"
#include "toolkit/draw_context.h"
#include "toolkit/editor_interface.h"
#include "toolkit/platform_frame.h"
#include "toolkit/popup_menu.h"

namespace toolkit {
namespace {

// Keeps a view alive while one of its own handlers may remove it from the frame.
class ViewGuard {
public:
    explicit ViewGuard(CView* view) : view(view) { view->remember(); }
    ~ViewGuard() { view->forget(); }
    ViewGuard(const ViewGuard&) = delete;
    ViewGuard& operator=(const ViewGuard&) = delete;

private:
    CView* view;
};

CButtonState modifiersOnly(const CButtonState& buttons) { return CButtonState(buttons.getModifierState()); }

}  // namespace

CFrame::CFrame(const CRect& size, EditorInterface* editor) : CView(size), editor(editor) {}

CFrame::~CFrame() {
    close();
    removeAll();
}

bool CFrame::isTypeOf(std::string_view className) const {
    return className == "CFrame" || className == "CViewContainer" || CView::isTypeOf(className);
}

// ---- views ----

bool CFrame::addView(CView* view) {
    if (view == nullptr || view->isAttached()) {
        return false;
    }
    views.push_back(view);
    // The frame is its own frame: attach with it as the parent.
    view->attached(this);
    view->invalid();
    return true;
}

void CFrame::dropViewState(CView* view) {
    if (mouseDownView == view) {
        mouseDownView = nullptr;
    }
    if (hoverView == view) {
        hoverView = nullptr;
    }
    if (modalView == view) {
        modalView = nullptr;
    }
    if (focusView == view) {
        focusView = nullptr;
        view->looseFocus();
    }
}

bool CFrame::removeView(CView* view, bool withForget) {
    auto found = std::find(views.begin(), views.end(), view);
    if (found == views.end()) {
        return false;
    }
    ViewGuard guard(view);
    invalidRect(view->getViewSize());
    dropViewState(view);
    // The focus change above may have run listener code that already removed it.
    found = std::find(views.begin(), views.end(), view);
    if (found == views.end()) {
        return true;
    }
    views.erase(found);
    view->removed(this);
    if (withForget) {
        view->forget();
    }
    return true;
}

void CFrame::removeAll(bool withForget) {
    closePopupMenu();
    setFocusView(nullptr);
    while (!views.empty()) {
        removeView(views.back(), withForget);
    }
    modalView = nullptr;
    hoverView = nullptr;
    mouseDownView = nullptr;
}

CView* CFrame::getView(int32_t index) const {
    return index >= 0 && index < getNbViews() ? views[static_cast<std::size_t>(index)] : nullptr;
}

bool CFrame::isChild(const CView* view) const { return std::find(views.begin(), views.end(), view) != views.end(); }

CView* CFrame::getViewAt(const CPoint& where, bool) const {
    if (modalView != nullptr) {
        return modalView->isVisible() && modalView->getViewSize().pointInside(where) ? modalView : nullptr;
    }
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        if ((*it)->isVisible() && (*it)->getViewSize().pointInside(where)) {
            return *it;
        }
    }
    return nullptr;
}

// ---- modal view and focus ----

bool CFrame::setModalView(CView* view) {
    if (view == nullptr) {
        if (modalView != nullptr) {
            CView* old = modalView;
            modalView = nullptr;
            removeView(old, true);
            updateHover(lastMouse, {});
        }
        return true;
    }
    if (modalView != nullptr || view->isAttached()) {
        return false;
    }
    view->remember();
    if (!addView(view)) {
        view->forget();
        return false;
    }
    clearHover({});
    modalView = view;
    setFocusView(view->wantsFocus() ? view : nullptr);
    return true;
}

void CFrame::setFocusView(CView* view) {
    if (view == focusView) {
        return;
    }
    if (view != nullptr && !view->wantsFocus()) {
        return;
    }
    CView* old = focusView;
    focusView = view;
    if (old != nullptr) {
        old->invalid();
        old->looseFocus();
    }
    // looseFocus may have run code that moved the focus again.
    if (view != nullptr && focusView == view) {
        view->invalid();
        view->takeFocus();
    }
}

// ---- invalidation and drawing ----

void CFrame::idle() {
    std::vector<CView*> snapshot = views;
    for (CView* view : snapshot) {
        if (isChild(view) && view->wantsIdle()) {
            ViewGuard guard(view);
            view->onIdle();
        }
    }
    snapshot = views;
    for (CView* view : snapshot) {
        if (isChild(view) && view->isVisible() && view->isDirty()) {
            view->invalid();
        }
    }
    flushInvalidRects();
}

void CFrame::invalidRect(const CRect& rect) {
    CRect area = rect;
    area.bound(CRect(0, 0, size.getWidth(), size.getHeight()));
    if (area.isEmpty()) {
        return;
    }
    for (const CRect& existing : invalidRects) {
        if (existing.rectInside(area)) {
            return;
        }
    }
    std::erase_if(invalidRects, [&](const CRect& existing) { return area.rectInside(existing); });
    invalidRects.push_back(area);
}

std::vector<CRect> CFrame::takeInvalidRects() {
    std::vector<CRect> taken;
    taken.swap(invalidRects);
    return taken;
}

void CFrame::flushInvalidRects() {
    if (platform == nullptr || invalidRects.empty()) {
        return;
    }
    const std::vector<CRect> areas = takeInvalidRects();
    platform->paint(areas);
}

void CFrame::drawArea(CDrawContext* context, const CRect& area) {
    const CRect frameRect(0, 0, size.getWidth(), size.getHeight());
    CRect clip = area;
    clip.bound(frameRect);
    if (clip.isEmpty()) {
        return;
    }
    context->saveGlobalState();
    context->setClipRect(clip);
    if (CBitmap* bitmap = getBackground()) {
        context->drawBitmap(*bitmap, frameRect);
    } else {
        context->setFillColor(kBlackCColor);
        context->drawRect(clip, kDrawFilled);
    }
    const std::vector<CView*> snapshot = views;
    for (CView* view : snapshot) {
        if (!view->isVisible() || !view->getViewSize().rectOverlap(clip)) {
            continue;
        }
        CRect viewClip = view->getViewSize();
        viewClip.bound(clip);
        context->saveGlobalState();
        context->setClipRect(viewClip);
        view->draw(context);
        context->restoreGlobalState();
    }
    context->restoreGlobalState();
}

void CFrame::draw(CDrawContext* context) { drawArea(context, CRect(0, 0, size.getWidth(), size.getHeight())); }

// ---- mouse ----

CView* CFrame::findMouseTarget(const CPoint& where, const CButtonState&) const {
    if (modalView != nullptr) {
        return modalView->isVisible() && modalView->getMouseEnabled() && modalView->getViewSize().pointInside(where)
                   ? modalView
                   : nullptr;
    }
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        CView* view = *it;
        if (view->isVisible() && view->getMouseEnabled() && view->getViewSize().pointInside(where)) {
            return view;
        }
    }
    return nullptr;
}

void CFrame::updateHover(const CPoint& where, const CButtonState& buttons) {
    if (mouseDownView != nullptr) {
        return;
    }
    CView* target = mouseInside ? findMouseTarget(where, buttons) : nullptr;
    if (target == hoverView) {
        return;
    }
    CView* old = hoverView;
    hoverView = target;
    CPoint point = where;
    if (old != nullptr) {
        ViewGuard guard(old);
        old->onMouseExited(point, buttons);
    }
    if (target != nullptr && hoverView == target) {
        ViewGuard guard(target);
        target->onMouseEntered(point, buttons);
    }
}

void CFrame::clearHover(const CButtonState& buttons) {
    if (hoverView == nullptr) {
        return;
    }
    CView* old = hoverView;
    hoverView = nullptr;
    CPoint point = lastMouse;
    ViewGuard guard(old);
    old->onMouseExited(point, buttons);
}

CMouseEventResult CFrame::mouseDown(CPoint where, CButtonState buttons, uint32_t timeMs) {
    lastMouse = where;
    mouseInside = true;

    // Double-click: a second press of the same button close to the first in time and place.
    const bool nearFirst = std::abs(where.x - firstClickPoint.x) <= kDoubleClickDistance &&
                           std::abs(where.y - firstClickPoint.y) <= kDoubleClickDistance;
    if (timeMs == 0) {
        firstClickPending = false;  // no time known: the press pairs with nothing
    } else if (firstClickPending && nearFirst && timeMs - firstClickTime <= kDoubleClickTimeMs &&
               buttons.getButtonState() == firstClickButtons) {
        buttons |= kDoubleClick;
        firstClickPending = false;  // a third press starts a new pair
    } else {
        firstClickPending = true;
        firstClickPoint = where;
        firstClickTime = timeMs;
        firstClickButtons = buttons.getButtonState();
    }

    if (popup != nullptr) {
        // A press in the frame while a menu is open (headless only: a window grabs the
        // pointer) closes the menu and is used up.
        closePopupMenu();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }

    mouseDownView = nullptr;
    if (focusView != nullptr && focusView->isTypeOf("CTextEdit")) {
        setFocusView(nullptr);  // commits the running edit
    }

    if (modalView != nullptr) {
        CView* modal = modalView;
        if (!modal->isVisible() || !modal->getMouseEnabled() || !modal->hitTest(where, buttons)) {
            return kMouseEventNotHandled;
        }
        ViewGuard guard(modal);
        CPoint point = where;
        const CMouseEventResult result = modal->onMouseDown(point, buttons);
        if (result == kMouseEventHandled && modalView == modal) {
            mouseDownView = modal;
            return result;
        }
        return result == kMouseEventHandled ? kMouseEventHandled : kMouseEventNotHandled;
    }

    const std::vector<CView*> snapshot = views;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        CView* view = *it;
        if (!isChild(view) || !view->isVisible() || !view->getMouseEnabled() || !view->hitTest(where, buttons)) {
            continue;
        }
        ViewGuard guard(view);
        auto* control = dynamic_cast<CControl*>(view);
        if (control != nullptr && control->getListener() != nullptr &&
            (buttons & (kAlt | kShift | kControl | kApple | kRButton)) != 0) {
            if (control->getListener()->controlModifierClicked(control, buttons) != 0) {
                return kMouseEventHandled;
            }
        }
        if (view->wantsFocus()) {
            setFocusView(view);
        }
        CPoint point = where;
        const CMouseEventResult result = view->onMouseDown(point, buttons);
        if (result == kMouseEventHandled) {
            if (isChild(view)) {
                mouseDownView = view;
            }
            return result;
        }
        if (result == kMouseDownEventHandledButDontNeedMovedOrUpEvents) {
            return result;
        }
        if (!view->getTransparency()) {
            return result;
        }
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CFrame::mouseMoved(CPoint where, CButtonState buttons) {
    lastMouse = where;
    mouseInside = true;
    if (firstClickPending && (std::abs(where.x - firstClickPoint.x) > kDoubleClickDistance ||
                              std::abs(where.y - firstClickPoint.y) > kDoubleClickDistance)) {
        firstClickPending = false;
    }
    if (mouseDownView != nullptr) {
        CView* view = mouseDownView;
        ViewGuard guard(view);
        CPoint point = where;
        const CMouseEventResult result = view->onMouseMoved(point, buttons);
        if (result == kMouseEventHandled || result == kMouseEventNotImplemented) {
            return kMouseEventHandled;
        }
        if (mouseDownView == view) {
            mouseDownView = nullptr;
        }
        return kMouseEventNotHandled;
    }
    const CButtonState hoverState = modifiersOnly(buttons);
    updateHover(where, hoverState);
    if (hoverView != nullptr) {
        CView* view = hoverView;
        ViewGuard guard(view);
        CPoint point = where;
        const CMouseEventResult result = view->onMouseMoved(point, hoverState);
        if (result == kMouseEventHandled) {
            return result;
        }
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CFrame::mouseUp(CPoint where, CButtonState buttons) {
    lastMouse = where;
    CMouseEventResult result = kMouseEventNotHandled;
    if (mouseDownView != nullptr) {
        CView* view = mouseDownView;
        ViewGuard guard(view);
        CPoint point = where;
        view->onMouseUp(point, buttons);
        mouseDownView = nullptr;
        result = kMouseEventHandled;
    }
    updateHover(where, modifiersOnly(buttons));
    return result;
}

void CFrame::mouseExitedWindow() {
    if (mouseDownView != nullptr) {
        return;  // a drag keeps its view
    }
    mouseInside = false;
    clearHover({});
}

bool CFrame::wheel(CPoint where, float distance, CButtonState buttons) {
    lastMouse = where;
    mouseInside = true;
    bool handled = false;
    const std::vector<CView*> snapshot = views;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        CView* view = *it;
        if (!isChild(view) || !view->isVisible() || !view->getMouseEnabled() || !view->hitTest(where, buttons)) {
            continue;
        }
        ViewGuard guard(view);
        if (view->onWheel(where, distance, buttons)) {
            handled = true;
            break;
        }
        if (!view->getTransparency()) {
            break;
        }
    }
    updateHover(where, modifiersOnly(buttons));
    return handled;
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
    where = lastMouse;
    return mouseInside;
}

// ---- keys ----

int32_t CFrame::keyDown(KeyCode key) {
    if (popup != nullptr) {
        return popupKeyDown(key);
    }
    int32_t result = routeKey(key, &CView::onKeyDown);
    if (result == -1 && key.virtualKey == kKeyTab) {
        result = advanceFocus((key.modifiers & kShiftModifier) == 0) ? 1 : -1;
    }
    return result;
}

int32_t CFrame::keyUp(KeyCode key) {
    if (popup != nullptr) {
        return -1;
    }
    return routeKey(key, &CView::onKeyUp);
}

// The focus view first, then the modal view; -1 when neither takes the key.
int32_t CFrame::routeKey(KeyCode& key, int32_t (CView::*handler)(KeyCode&)) {
    int32_t result = -1;
    if (focusView != nullptr && focusView->getMouseEnabled()) {
        CView* view = focusView;
        ViewGuard guard(view);
        result = (view->*handler)(key);
    }
    if (result == -1 && modalView != nullptr && modalView != focusView) {
        CView* view = modalView;
        ViewGuard guard(view);
        result = (view->*handler)(key);
    }
    return result;
}

bool CFrame::advanceFocus(bool forward) {
    std::vector<CView*> candidates;
    if (modalView != nullptr) {
        if (modalView->wantsFocus()) {
            candidates.push_back(modalView);
        }
    } else {
        for (CView* view : views) {
            if (view->isVisible() && view->wantsFocus()) {
                candidates.push_back(view);
            }
        }
    }
    if (candidates.empty()) {
        return false;
    }
    auto current = std::find(candidates.begin(), candidates.end(), focusView);
    std::size_t index = 0;
    if (current != candidates.end()) {
        const std::size_t position = static_cast<std::size_t>(current - candidates.begin());
        index = forward ? (position + 1) % candidates.size() : (position + candidates.size() - 1) % candidates.size();
    } else if (!forward) {
        index = candidates.size() - 1;
    }
    // The only focusable view gives the focus up (which ends a text edit).
    setFocusView(candidates[index] == focusView ? nullptr : candidates[index]);
    return true;
}

// ---- editor ----

int32_t CFrame::getKnobMode() const {
    const int32_t mode = editor != nullptr ? editor->getKnobMode() : -1;
    return mode == -1 ? kDefaultKnobMode : mode;
}

void CFrame::beginEdit(int32_t tag) {
    if (editor != nullptr) {
        editor->beginEdit(tag);
    }
}

void CFrame::endEdit(int32_t tag) {
    if (editor != nullptr) {
        editor->endEdit(tag);
    }
}

// ---- pop-up menus ----

bool CFrame::openPopupMenu(std::unique_ptr<PopupMenu> menu, const CRect& anchor) {
    if (popup != nullptr || menu == nullptr) {
        return false;
    }
    mouseDownView = nullptr;
    clearHover({});
    popup = std::move(menu);
    if (platform != nullptr && !platform->openPopup(*popup, anchor)) {
        popup.reset();
        return false;
    }
    return true;
}

void CFrame::closePopupMenu() {
    if (popup == nullptr) {
        return;
    }
    // Out of the member first: the result handler may open another menu.
    std::unique_ptr<PopupMenu> closing = std::move(popup);
    if (platform != nullptr) {
        platform->closePopup();
    }
    closing->finish();
}

void CFrame::popupMouseMoved(CPoint where) {
    forwardToPopup([&](PopupMenu& menu) { menu.onMouseMoved(where); });
}

void CFrame::popupMouseDown(CPoint where, CButtonState buttons) {
    forwardToPopup([&](PopupMenu& menu) { menu.onMouseDown(where, buttons); });
}

void CFrame::popupMouseUp(CPoint where, CButtonState buttons) {
    forwardToPopup([&](PopupMenu& menu) { menu.onMouseUp(where, buttons); });
}

int32_t CFrame::popupKeyDown(KeyCode key) {
    int32_t result = -1;
    forwardToPopup([&](PopupMenu& menu) { result = menu.onKeyDown(key); });
    return result;
}

void CFrame::forwardToPopup(const std::function<void(PopupMenu&)>& event) {
    if (popup == nullptr) {
        return;
    }
    const int32_t hoveredBefore = popup->getHoveredIndex();
    event(*popup);
    if (popup->getOutcome() != PopupMenu::Outcome::kOpen) {
        closePopupMenu();
    } else if (platform != nullptr && popup->getHoveredIndex() != hoveredBefore) {
        platform->popupChanged();
    }
}

// ---- keyboard grab ----

void CFrame::grabKeyboard() {
    keyboardGrabbed = true;
    if (platform != nullptr) {
        platform->grabKeyboard();
    }
}

void CFrame::releaseKeyboard() {
    if (!keyboardGrabbed) {
        return;
    }
    keyboardGrabbed = false;
    if (platform != nullptr) {
        platform->releaseKeyboard();
    }
}

// ---- platform window ----

bool CFrame::open(void* parentWindow) {
    if (platform != nullptr) {
        return false;
    }
    if (parentWindow == nullptr) {
        return true;  // headless
    }
    platform = createPlatformFrame(*this, parentWindow, desktopScaleFactor());
    if (platform == nullptr) {
        return false;
    }
    if (keyboardGrabbed) {
        platform->grabKeyboard();
    }
    return true;
}

void CFrame::close() {
    closePopupMenu();
    if (pumping) {
        // Asked from inside an event of our own window: finish once the pump returns.
        closeAfterPump = true;
        return;
    }
    if (platform != nullptr) {
        if (keyboardGrabbed) {
            platform->releaseKeyboard();
        }
        platform.reset();
    }
}

double CFrame::getScaleFactor() const { return platform != nullptr ? platform->getScaleFactor() : 1.0; }

void CFrame::pumpEvents() {
    if (platform == nullptr || pumping) {
        return;
    }
    ViewGuard keepAlive(this);  // an event may drop the frame's last outside reference
    pumping = true;
    platform->pumpEvents();
    pumping = false;
    if (closeAfterPump) {
        closeAfterPump = false;
        close();
    } else {
        flushInvalidRects();
    }
}

}  // namespace toolkit
