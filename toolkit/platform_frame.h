// The window a frame lives in. The frame talks to it only through this interface;
// x11/x11_frame.cpp is its one implementation and the only code that sees Xlib.
#pragma once

#include <memory>
#include <span>

#include "toolkit/geometry.h"

namespace toolkit {

class CFrame;
class PopupMenu;

class PlatformFrame {
public:
    virtual ~PlatformFrame() = default;

    // 1 or 2: device pixels per 1x unit.
    virtual double getScaleFactor() const = 0;
    // Repaints these frame areas (1x units) on screen now.
    virtual void paint(std::span<const CRect> areas) = 0;
    // Reads every pending window event and hands it to the frame.
    virtual void pumpEvents() = 0;
    // Shows the menu in a window of its own next to `anchor` (frame coordinates),
    // kept inside the screen, with the pointer and keyboard grabbed.
    virtual bool openPopup(PopupMenu& menu, const CRect& anchor) = 0;
    virtual void closePopup() = 0;
    // The open menu's look changed (hover moved): repaint its window.
    virtual void popupChanged() = 0;
    // Input focus and a keyboard grab while a text edit runs.
    virtual void grabKeyboard() = 0;
    virtual void releaseKeyboard() = 0;
    // The native window id (an X11 Window), for tests and hosts.
    virtual unsigned long getWindowId() const = 0;
};

// A child window of `parentWindow` (an X11 Window id) for `frame`, on a connection of
// its own; null when no display can be opened or the parent does not exist.
std::unique_ptr<PlatformFrame> createPlatformFrame(CFrame& frame, void* parentWindow, double scaleFactor);

// 2 when the desktop asks for double density, else 1: GDK_SCALE when set (1 or 2),
// otherwise Xft.dpi >= 144 in the X resource database.
double desktopScaleFactor();

}  // namespace toolkit
