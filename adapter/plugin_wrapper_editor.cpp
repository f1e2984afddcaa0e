// CPluginWrapper's editor hosting: the child window in the host's plug-in window, its
// size, idle and redraw.
#include "adapter/plugin_wrapper.h"

void CPluginWrapper::GetEditorSize(int32_t* width, int32_t* height) {
    // The editor window comes with the editor hosting; until then no view.
    if (width) *width = 0;
    if (height) *height = 0;
}

void CPluginWrapper::OpenEditor(EditorParentWindow parent) {
    parentWindow_ = parent;
    if (!HasEffect()) return;
    refreshCountdown_.store(kRefreshAfterChange, std::memory_order_relaxed);
}

void CPluginWrapper::CloseEditor() {
    if (!editorOpen_.exchange(false)) return;
    Dispatch(effEditClose, 0, 0, nullptr, 0.0f);
}

void CPluginWrapper::Idle() {
    int32_t countdown = refreshCountdown_.load(std::memory_order_relaxed);
    if (countdown > 0) refreshCountdown_.store(countdown - 1, std::memory_order_relaxed);
    if (editorOpen_) Dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
}

void CPluginWrapper::EditorMouse(int32_t, int32_t) {}

void CPluginWrapper::RedrawEditor() {}
