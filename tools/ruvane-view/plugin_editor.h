// The plug-in's editor as a host drives it: size, open into a window, idle, close.
#pragma once

#include <optional>

#include "vst/host/plugin_host.h"

namespace ruvane::view {

struct EditorSize {
    int width = 0;
    int height = 0;
};

class PluginEditor {
public:
    explicit PluginEditor(vsthost::PluginInstance& plugin) : plugin_(plugin) {}
    ~PluginEditor() { close(); }
    PluginEditor(const PluginEditor&) = delete;
    PluginEditor& operator=(const PluginEditor&) = delete;

    bool exists() const;
    // effEditGetRect, in pixels; none when the plug-in reports no usable rectangle.
    std::optional<EditorSize> size();
    // effEditOpen with the window; false when the plug-in refuses.
    bool open(unsigned long window);
    void idle();
    void close();
    bool isOpen() const { return open_; }

private:
    vsthost::PluginInstance& plugin_;
    bool open_ = false;
};

}  // namespace ruvane::view
