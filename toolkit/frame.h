// The top view: holds the views in z-order, draws the background and the dirty areas,
// dispatches mouse and key events, tracks hover, focus and a modal view, and owns the
// platform window when opened into a parent window. Without a window (never opened,
// or open(nullptr)) it works the same, driven by the plain event calls below.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "toolkit/key_code.h"
#include "toolkit/view.h"

namespace toolkit {

class CDrawContext;
class EditorInterface;
class PlatformFrame;
class PopupMenu;

enum CKnobMode : int32_t { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

class CFrame : public CView {
public:
    static constexpr int32_t kDefaultKnobMode = kCircularMode;
    static constexpr uint32_t kDoubleClickTimeMs = 400;
    static constexpr CCoord kDoubleClickDistance = 5;

    explicit CFrame(const CRect& size, EditorInterface* editor = nullptr);
    CFrame(const CFrame&) = delete;

    // Views: addView takes over the caller's reference; later views lie above earlier ones.
    bool addView(CView* view);
    bool removeView(CView* view, bool withForget = true);
    void removeAll(bool withForget = true);
    int32_t getNbViews() const { return static_cast<int32_t>(views.size()); }
    CView* getView(int32_t index) const;
    bool isChild(const CView* view) const;
    // The top-most visible view containing the point (`deep` is accepted for
    // compatibility; the frame has one level of views).
    CView* getViewAt(const CPoint& where, bool deep = false) const;

    // The frame keeps a reference of its own to the modal view while it is set;
    // setModalView(nullptr) removes it and drops that reference. Fails while another
    // modal view is set or when the view is already attached.
    bool setModalView(CView* view);
    CView* getModalView() const { return modalView; }
    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }

    // Gives views that want idle their onIdle, invalidates the dirty views, then
    // repaints what is invalid on screen.
    void idle();
    void invalidRect(const CRect& rect);
    // The areas waiting to be repainted (1x units).
    const std::vector<CRect>& getInvalidRects() const { return invalidRects; }
    // Hands out the invalid areas and forgets them (headless code paints them itself).
    std::vector<CRect> takeInvalidRects();
    // Paints the invalid areas into the window; headless they stay collected.
    void flushInvalidRects();

    // Background, then the views in z-order, clipped to `area`.
    void drawArea(CDrawContext* context, const CRect& area);
    void draw(CDrawContext* context) override;

    // Plain event entry points (frame coordinates, 1x units). `timeMs` is the press time
    // of a millisecond clock (the X server time); a second press of the same button within
    // 400 ms and 5 px of the first gets kDoubleClick. A time of 0 means "unknown": such a
    // press is never part of a double-click.
    CMouseEventResult mouseDown(CPoint where, CButtonState buttons, uint32_t timeMs = 0);
    CMouseEventResult mouseUp(CPoint where, CButtonState buttons);
    CMouseEventResult mouseMoved(CPoint where, CButtonState buttons);
    void mouseExitedWindow();
    bool wheel(CPoint where, float distance, CButtonState buttons);
    int32_t keyDown(KeyCode key);
    int32_t keyUp(KeyCode key);

    bool getCurrentMouseLocation(CPoint& where) const;
    int32_t getKnobMode() const;
    void beginEdit(int32_t tag);
    void endEdit(int32_t tag);
    EditorInterface* getEditor() const { return editor; }

    // Pop-up menus: one at a time (the frame owns it). Headless, the menu stays open until the popup
    // calls below (or keyDown) finish it, or closePopupMenu cancels it.
    bool openPopupMenu(std::unique_ptr<PopupMenu> menu, const CRect& anchor);
    PopupMenu* getPopupMenu() const { return popup.get(); }
    void closePopupMenu();
    // Events for the open menu, in menu coordinates (the window adapter calls these).
    void popupMouseMoved(CPoint where);
    void popupMouseDown(CPoint where, CButtonState buttons);
    void popupMouseUp(CPoint where, CButtonState buttons);
    int32_t popupKeyDown(KeyCode key);

    // Keyboard focus and grab for in-place text editing.
    void grabKeyboard();
    void releaseKeyboard();
    bool isKeyboardGrabbed() const { return keyboardGrabbed; }

    // The platform window: a child of `parentWindow` (an X11 Window id), at the
    // desktop's scale. open(nullptr) stays headless and succeeds.
    bool open(void* parentWindow);
    // Destroys the window (after the current event when called from one of its events).
    void close();
    bool isOpen() const { return platform != nullptr; }
    double getScaleFactor() const;
    void pumpEvents();
    PlatformFrame* getPlatformFrame() const { return platform.get(); }

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CFrame"; }
    CView* newCopy() const override { return nullptr; }

protected:
    ~CFrame() override;

private:
    CView* findMouseTarget(const CPoint& where, const CButtonState& buttons) const;
    void updateHover(const CPoint& where, const CButtonState& buttons);
    void clearHover(const CButtonState& buttons);
    void forwardToPopup(const std::function<void(PopupMenu&)>& event);
    int32_t routeKey(KeyCode& key, int32_t (CView::*handler)(KeyCode&));
    bool advanceFocus(bool forward);
    void dropViewState(CView* view);

    EditorInterface* editor;
    std::vector<CView*> views;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    CView* mouseDownView = nullptr;
    CView* hoverView = nullptr;
    std::vector<CRect> invalidRects;
    CPoint lastMouse;
    bool mouseInside = false;

    // Double-click detection: the first press of a possible pair.
    bool firstClickPending = false;
    CPoint firstClickPoint;
    uint32_t firstClickTime = 0;
    int32_t firstClickButtons = 0;

    std::unique_ptr<PopupMenu> popup;
    std::unique_ptr<PlatformFrame> platform;
    bool keyboardGrabbed = false;
    bool pumping = false;
    bool closeAfterPump = false;
};

}  // namespace toolkit
