// The control gallery: every bitmap control of the editor's layout, with the panel's
// own control classes, placed on the panel background in a toolkit frame. It needs no
// plug-in; the controls answer the mouse but change nothing beyond themselves.
#pragma once

#include <cstdint>

#include "effect/editor/bitmaps.h"
#include "toolkit/control_listener.h"
#include "toolkit/editor_interface.h"
#include "toolkit/frame.h"

namespace ruvane::view {

// Adds every layout control that shows a bitmap to the frame, at its place, with its
// start value, default and wheel increment. Returns how many were added.
int addGalleryControls(toolkit::CFrame& frame, BitmapSet& bitmaps, toolkit::CControlListener* listener);

class Gallery : public toolkit::EditorInterface, private toolkit::CControlListener {
public:
    Gallery() = default;
    ~Gallery() { close(); }
    Gallery(const Gallery&) = delete;
    Gallery& operator=(const Gallery&) = delete;

    // Builds the frame and opens it as a child of parentWindow (an X11 Window id; null
    // stays headless). False if the frame's window could not be made.
    bool open(void* parentWindow);
    // Window events, then the repaint of what changed.
    void idle();
    void close();
    bool isOpen() const { return frame != nullptr; }

    // The panel's knobs follow straight mouse movement, as in the editor.
    int32_t getKnobMode() const override;

private:
    void valueChanged(toolkit::CControl*) override {}
};

}  // namespace ruvane::view
