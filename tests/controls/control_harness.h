// Test harness for the editor's own controls: a headless frame with a recording
// listener and editor, film-strip bitmaps made in code (one flat colour per frame), and
// rendering into an image surface so a test can tell which frame a control shows.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/bitmap.h"
#include "toolkit/control.h"
#include "toolkit/control_listener.h"
#include "toolkit/draw_context.h"
#include "toolkit/editor_interface.h"
#include "toolkit/frame.h"

namespace ruvane::testing {

using namespace toolkit;

// Everything the controls tell their listener and the frame's editor, in order:
// "begin 5", "changed 5 0.75", "end 5", "editor begin 5", "editor end 5".
class Recorder : public CControlListener, public EditorInterface {
public:
    void valueChanged(CControl* control) override {
        char text[64];
        std::snprintf(text, sizeof text, "changed %d %g", static_cast<int>(control->getTag()),
                      static_cast<double>(control->getValue()));
        events.emplace_back(text);
    }
    void controlBeginEdit(CControl* control) override { events.push_back("begin " + std::to_string(control->getTag())); }
    void controlEndEdit(CControl* control) override { events.push_back("end " + std::to_string(control->getTag())); }
    void beginEdit(int32_t tag) override { events.push_back("editor begin " + std::to_string(tag)); }
    void endEdit(int32_t tag) override { events.push_back("editor end " + std::to_string(tag)); }

    // Only what reached the listener (the editor's calls left out).
    std::vector<std::string> listenerEvents() const {
        std::vector<std::string> result;
        for (const std::string& event : events)
            if (event.rfind("editor ", 0) != 0) result.push_back(event);
        return result;
    }
    // The values the listener was told, in order.
    std::vector<float> notifiedValues() const {
        std::vector<float> result;
        for (const std::string& event : events)
            if (event.rfind("changed ", 0) == 0) result.push_back(std::stof(event.substr(event.rfind(' ') + 1)));
        return result;
    }

    std::vector<std::string> events;
};

// Flat colours, one per film frame, so a pixel names the frame it came from.
inline constexpr std::array<std::array<uint8_t, 3>, 6> kFrameColours = {{
    {200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {200, 200, 30}, {30, 200, 200}, {200, 30, 200},
}};

inline cairo_surface_t* stripImage(int width, int frameHeight, int frames, int scale) {
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, frameHeight * frames * scale);
    cairo_t* cr = cairo_create(image);
    for (int frame = 0; frame < frames; ++frame) {
        const auto& colour = kFrameColours[static_cast<size_t>(frame) % kFrameColours.size()];
        cairo_set_source_rgb(cr, colour[0] / 255.0, colour[1] / 255.0, colour[2] / 255.0);
        cairo_rectangle(cr, 0, frame * frameHeight * scale, width * scale, frameHeight * scale);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    return image;
}

// A film strip of `frames` frames, each width x frameHeight, with its 2x image.
inline CBitmap* makeStrip(int width, int frameHeight, int frames) {
    cairo_surface_t* image1x = stripImage(width, frameHeight, frames, 1);
    cairo_surface_t* image2x = stripImage(width, frameHeight, frames, 2);
    auto* bitmap = new CBitmap(image1x, image2x);
    cairo_surface_destroy(image1x);
    cairo_surface_destroy(image2x);
    return bitmap;
}

// A rendered frame: pixels of a cairo image surface.
class Picture {
public:
    Picture(CFrame& frame, double scale) {
        const CRect& size = frame.getViewSize();
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(size.getWidth() * scale),
                                              static_cast<int>(size.getHeight() * scale));
        cairo_t* cr = cairo_create(surface_);
        {
            CDrawContext context(cr, scale);
            frame.drawArea(&context, size);
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface_);
        scale_ = scale;
    }
    ~Picture() { cairo_surface_destroy(surface_); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Red, green, blue at a point in 1x units.
    std::array<uint8_t, 3> rgb(CCoord x, CCoord y) const {
        const int px = static_cast<int>(x * scale_);
        const int py = static_cast<int>(y * scale_);
        const unsigned char* row = cairo_image_surface_get_data(surface_) + py * cairo_image_surface_get_stride(surface_);
        uint32_t pixel;
        std::memcpy(&pixel, row + px * 4, sizeof pixel);
        return {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8), static_cast<uint8_t>(pixel)};
    }
    // Which film frame the pixel comes from, or -1.
    int frameAt(CCoord x, CCoord y) const {
        const auto colour = rgb(x, y);
        for (size_t i = 0; i < kFrameColours.size(); ++i)
            if (kFrameColours[i] == colour) return static_cast<int>(i);
        return -1;
    }
    // The frame shown over the whole rectangle, or -1 when it is not one flat frame.
    int frameIn(const CRect& rect) const {
        const int frame = frameAt(rect.left, rect.top);
        for (CCoord y = rect.top; y < rect.bottom; y += 1.0 / scale_)
            for (CCoord x = rect.left; x < rect.right; x += 1.0 / scale_)
                if (frameAt(x, y) != frame) return -1;
        return frame;
    }

private:
    cairo_surface_t* surface_;
    double scale_;
};

// A headless frame whose listener and editor record every call.
class ControlTest : public ::testing::Test {
protected:
    static constexpr CRect kFrameSize{0, 0, 200, 120};

    ControlTest() : frame(new CFrame(kFrameSize, &recorder)) {}
    ~ControlTest() override { frame->forget(); }

    template <class Control>
    Control* add(Control* control) {
        frame->addView(control);
        return control;
    }
    // A bitmap owned by the test for its whole run.
    CBitmap* strip(int width, int frameHeight, int frames) {
        bitmaps.push_back(makeStrip(width, frameHeight, frames));
        return bitmaps.back();
    }
    // Press and release at one point, through the frame.
    CMouseEventResult click(CPoint where, int32_t buttons, uint32_t timeMs = 0) {
        const CMouseEventResult result = frame->mouseDown(where, CButtonState(buttons), timeMs);
        frame->mouseUp(where, CButtonState(buttons));
        return result;
    }
    int frameShown(const CRect& rect, double scale = 1.0) {
        Picture picture(*frame, scale);
        return picture.frameIn(rect);
    }
    void TearDown() override {
        for (CBitmap* bitmap : bitmaps) bitmap->forget();
    }

    Recorder recorder;
    CFrame* frame;
    std::vector<CBitmap*> bitmaps;
};

}  // namespace ruvane::testing
