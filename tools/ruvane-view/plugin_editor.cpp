#include "tools/ruvane-view/plugin_editor.h"

namespace ruvane::view {

namespace {
// Anything larger is not an editor rectangle but garbage.
constexpr int kMaxEditorSide = 8192;
}

bool PluginEditor::exists() const { return (plugin_.effect()->flags & effFlagsHasEditor) != 0; }

std::optional<EditorSize> PluginEditor::size() {
    ERect* rect = nullptr;
    plugin_.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect == nullptr) return std::nullopt;
    const EditorSize size{rect->right - rect->left, rect->bottom - rect->top};
    if (size.width <= 0 || size.height <= 0 || size.width > kMaxEditorSide || size.height > kMaxEditorSide)
        return std::nullopt;
    return size;
}

bool PluginEditor::open(unsigned long window) {
    if (open_) return true;
    open_ = plugin_.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window)) != 0;
    return open_;
}

void PluginEditor::idle() {
    if (open_) plugin_.dispatch(effEditIdle);
}

void PluginEditor::close() {
    if (!open_) return;
    plugin_.dispatch(effEditClose);
    open_ = false;
}

}  // namespace ruvane::view
