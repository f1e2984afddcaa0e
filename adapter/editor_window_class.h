// The module-wide editor window class: one X connection for every wrapper's child
// window, opened when the first wrapper is made and closed when the last goes, and the
// lookup from window to wrapper that stands for the window's user data.
//
// Every call on the connection runs inside an X error trap: the host may destroy its
// plug-in window (and with it our child) before we hear of it, or hand us an id that
// names no window, and neither may end the host process.
#pragma once

#include <cstdint>
#include <map>

struct _XDisplay;
class CPluginWrapper;

class CEditorWindowClass {
public:
    CEditorWindowClass() = default;
    ~CEditorWindowClass();
    CEditorWindowClass(const CEditorWindowClass&) = delete;
    CEditorWindowClass& operator=(const CEditorWindowClass&) = delete;

    // Opens the connection; without an X server the class stays unregistered and
    // editors open no window.
    void Register();
    void Unregister();
    _XDisplay* Display() const { return display_; }
    // The desktop window, parent of scratch windows; 0 without a connection.
    unsigned long DesktopWindow() const;

    // The size of window's client area; false when window is not a window of the
    // server (gone already, or never one).
    bool ClientSize(unsigned long window, int32_t& width, int32_t& height);

    // A child "PluginWindow" of the class inside parent at (x, y), owned by wrapper
    // (none for a scratch window) and shown when mapped; 0 when there is no connection
    // or parent is no window to hold it.
    unsigned long CreateChild(unsigned long parent, int32_t x, int32_t y, int32_t width, int32_t height,
                              CPluginWrapper* wrapper, bool mapped = true);
    // Moves and sizes a child without changing its stacking.
    void PlaceChild(unsigned long window, int32_t x, int32_t y, int32_t width, int32_t height);
    // Shows a child, raised above its siblings.
    void ShowChild(unsigned long window);
    // Asks for a repaint of the whole window.
    void Redraw(unsigned long window);
    // Destroys the window, or only forgets it when someone else destroyed it already.
    void DestroyChild(unsigned long window);
    // Forgets the window's wrapper without touching the window.
    void Detach(unsigned long window);
    CPluginWrapper* WrapperOf(unsigned long window) const;

    // The window procedure: every pending event of the class's windows.
    void PumpEvents();

private:
    _XDisplay* display_ = nullptr;
    unsigned long deleteWindowAtom_ = 0;
    std::map<unsigned long, CPluginWrapper*> userData_;
};
