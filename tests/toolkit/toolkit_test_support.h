// Shared pieces of the toolkit tests: pictures made with cairo, a listener and an
// editor that write one log, and a frame that draws into an image surface.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/bitmap.h"
#include "toolkit/control.h"
#include "toolkit/draw_context.h"
#include "toolkit/editor_interface.h"
#include "toolkit/frame.h"

namespace toolkit {
inline std::ostream& operator<<(std::ostream& out, const CColor& c) {
    return out << "rgba(" << int(c.red) << "," << int(c.green) << "," << int(c.blue) << "," << int(c.alpha) << ")";
}
inline std::ostream& operator<<(std::ostream& out, const CRect& r) {
    return out << "[" << r.left << "," << r.top << " - " << r.right << "," << r.bottom << "]";
}
}  // namespace toolkit

namespace toolkit_test {

using namespace toolkit;

// The colour of frame `index` in the test film strips: distinct per frame.
inline CColor frameColour(int index) {
    return CColor{static_cast<uint8_t>(10 + index * 20 % 240), static_cast<uint8_t>(200 - index * 7 % 190),
                  static_cast<uint8_t>(index * 53 % 256), 255};
}

// A film strip of `frames` frames, each `width` x `frameHeight` at `scale`, frame k
// filled with frameColour(k); at scale 2 the left column of each frame is white, so a
// test sees whether the 2x image was used pixel for pixel.
inline cairo_surface_t* makeStripSurface(int width, int frameHeight, int frames, int scale = 1) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, frameHeight * frames * scale);
    cairo_t* cr = cairo_create(surface);
    for (int k = 0; k < frames; ++k) {
        const CColor c = frameColour(k);
        cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
        cairo_rectangle(cr, 0, k * frameHeight * scale, width * scale, frameHeight * scale);
        cairo_fill(cr);
        if (scale == 2) {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_rectangle(cr, 0, k * frameHeight * scale, 1, frameHeight * scale);
            cairo_fill(cr);
        }
    }
    cairo_destroy(cr);
    return surface;
}

inline std::vector<uint8_t> pngBytes(cairo_surface_t* surface) {
    std::vector<uint8_t> bytes;
    cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<uint8_t>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    return bytes;
}

// A bitmap decoded from PNG bytes made here, with a 2x image when asked.
inline CBitmap* makeStrip(int width, int frameHeight, int frames, bool with2x = false) {
    cairo_surface_t* oneX = makeStripSurface(width, frameHeight, frames, 1);
    const std::vector<uint8_t> png1 = pngBytes(oneX);
    cairo_surface_destroy(oneX);
    std::vector<uint8_t> png2;
    if (with2x) {
        cairo_surface_t* twoX = makeStripSurface(width, frameHeight, frames, 2);
        png2 = pngBytes(twoX);
        cairo_surface_destroy(twoX);
    }
    return new CBitmap(png1, png2);
}

// Close to a colour (text is antialiased, so its core pixels are near the font colour).
inline auto near(CColor target, int tolerance = 40) {
    return [=](CColor c) {
        return std::abs(c.red - target.red) <= tolerance && std::abs(c.green - target.green) <= tolerance &&
               std::abs(c.blue - target.blue) <= tolerance;
    };
}

// One log for the listener and the editor, so their relative order is visible.
struct EventLog {
    std::vector<std::string> entries;
    void add(std::string entry) { entries.push_back(std::move(entry)); }
    void clear() { entries.clear(); }
};

class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(EventLog& log) : log(log) {}
    void valueChanged(CControl* control) override {
        char text[64];
        std::snprintf(text, sizeof(text), "changed %d=%g", control->getTag(), static_cast<double>(control->getValue()));
        log.add(text);
        values.push_back(control->getValue());
        if (onValueChanged) {
            onValueChanged(control);
        }
    }
    int32_t controlModifierClicked(CControl* control, CButtonState buttons) override {
        log.add("modifier " + std::to_string(control->getTag()));
        return modifierAnswer(buttons);
    }
    void controlBeginEdit(CControl* control) override { log.add("listener begin " + std::to_string(control->getTag())); }
    void controlEndEdit(CControl* control) override { log.add("listener end " + std::to_string(control->getTag())); }

    EventLog& log;
    std::vector<float> values;
    std::function<void(CControl*)> onValueChanged;
    std::function<int32_t(CButtonState)> modifierAnswer = [](CButtonState) { return 0; };
};

class RecordingEditor : public EditorInterface {
public:
    explicit RecordingEditor(EventLog& log) : log(log) {}
    void beginEdit(int32_t tag) override { log.add("editor begin " + std::to_string(tag)); }
    void endEdit(int32_t tag) override { log.add("editor end " + std::to_string(tag)); }
    int32_t getKnobMode() const override { return knobMode; }

    EventLog& log;
    int32_t knobMode = -1;
};

// A headless frame of 200 x 100 with a recording editor; owns the frame's reference.
struct FrameFixture {
    EventLog log;
    RecordingEditor editor{log};
    RecordingListener listener{log};
    CFrame* frame = new CFrame(CRect(0, 0, 200, 100), &editor);

    FrameFixture() = default;
    FrameFixture(const FrameFixture&) = delete;
    ~FrameFixture() { frame->forget(); }

    template <typename T>
    T* add(T* view) {
        frame->addView(view);
        return view;
    }
    // Press, optional moves, release, all with the same buttons unless given.
    void click(CPoint where, CButtonState buttons = kLButton, uint32_t timeMs = 0) {
        frame->mouseDown(where, buttons, timeMs);
        frame->mouseUp(where, CButtonState(buttons.value() & ~kDoubleClick));
    }
};

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) {
            previous = old;
            hadValue = true;
        }
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (hadValue) {
            setenv(name, previous.c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    std::string previous;
    bool hadValue = false;
};

// Pixels of a frame (or anything drawable) painted at a scale.
class Canvas {
public:
    Canvas(int width, int height, double scale)
        : scale(scale),
          surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width * scale),
                                             static_cast<int>(height * scale))),
          cr(cairo_create(surface)) {}
    ~Canvas() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void paint(CFrame& frame) {
        CDrawContext context(cr, scale);
        frame.drawArea(&context, frame.getViewSize());
    }
    template <typename Draw>
    void paintWith(Draw draw) {
        CDrawContext context(cr, scale);
        draw(context);
    }
    // Device pixel (x, y) as an opaque colour.
    CColor pixel(int x, int y) {
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        uint32_t argb = 0;
        std::memcpy(&argb, data + y * stride + x * 4, 4);
        return CColor{static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb),
                      static_cast<uint8_t>(argb >> 24)};
    }
    // Device pixels in [x0, x1) x [y0, y1) for which `match` holds.
    template <typename Match>
    int count(int x0, int y0, int x1, int y1, Match match) {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (match(pixel(x, y))) ++n;
            }
        }
        return n;
    }
    // Leftmost / rightmost column in the band holding a matching pixel (-1 if none).
    template <typename Match>
    std::pair<int, int> columnSpan(int x0, int y0, int x1, int y1, Match match) {
        int first = -1;
        int last = -1;
        for (int x = x0; x < x1; ++x) {
            for (int y = y0; y < y1; ++y) {
                if (match(pixel(x, y))) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
            }
        }
        return {first, last};
    }
    void writePng(const char* path) { cairo_surface_write_to_png(surface, path); }
    cairo_surface_t* getSurface() const { return surface; }

private:
    double scale;
    cairo_surface_t* surface;
    cairo_t* cr;
};

}  // namespace toolkit_test
