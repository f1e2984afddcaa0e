// A rectangle of the frame that draws itself and may answer mouse and key events.
// Points reach a view in its parent's coordinates (the same system as getViewSize).
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/button_state.h"
#include "toolkit/geometry.h"
#include "toolkit/key_code.h"
#include "toolkit/reference_counted.h"

namespace toolkit {

class CBitmap;
class CDrawContext;
class CFrame;

class CView : public CReferenceCounted {
public:
    explicit CView(const CRect& size);
    CView(const CView& other);
    CView& operator=(const CView&) = delete;

    virtual void draw(CDrawContext* context);

    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    // `distance` is in notches, positive up (or left for a horizontal wheel).
    virtual bool onWheel(const CPoint& where, float distance, const CButtonState& buttons);
    // 1 handled, -1 not handled.
    virtual int32_t onKeyDown(KeyCode& key);
    virtual int32_t onKeyUp(KeyCode& key);

    const CRect& getViewSize() const { return size; }
    virtual void setViewSize(const CRect& newSize, bool invalidate = true);
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = {});

    // Clears the dirty state and asks the frame to repaint this view's rectangle.
    virtual void invalid();
    void invalidRect(const CRect& rect);
    virtual void setDirty(bool state = true);
    virtual bool isDirty() const { return dirty; }

    CFrame* getFrame() const { return frame; }
    CView* getParentView() const { return parent; }
    bool isAttached() const { return frame != nullptr; }
    // Called by the frame when the view is added to / removed from it.
    virtual bool attached(CView* parentView);
    virtual bool removed(CView* parentView);

    // Remembers the new bitmap and forgets the old one.
    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

    void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }
    void setVisible(bool state);
    bool isVisible() const { return visible; }
    void setTransparency(bool state) { transparent = state; }
    bool getTransparency() const { return transparent; }
    virtual bool wantsFocus() const { return focusWanted; }
    void setWantsFocus(bool state) { focusWanted = state; }
    virtual void takeFocus() {}
    virtual void looseFocus() {}
    // Views that want idle get onIdle() from every CFrame::idle() (the editor's idle rate).
    void setWantsIdle(bool state) { idleWanted = state; }
    bool wantsIdle() const { return idleWanted; }
    virtual void onIdle() {}

    // The class name and those of its bases answer true.
    virtual bool isTypeOf(std::string_view className) const;
    virtual const char* getClassName() const { return "CView"; }
    // A detached copy with one reference.
    virtual CView* newCopy() const;

protected:
    ~CView() override;

    CRect size;
    bool dirty = false;

private:
    CFrame* frame = nullptr;
    CView* parent = nullptr;
    CBitmap* background = nullptr;
    bool mouseEnabled = true;
    bool visible = true;
    bool transparent = false;
    bool focusWanted = false;
    bool idleWanted = false;
};

}  // namespace toolkit
