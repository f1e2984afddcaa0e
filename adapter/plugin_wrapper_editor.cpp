// CPluginWrapper's editor hosting: the child window in the host's plug-in window, its
// size, idle and redraw. The window belongs to the module-wide editor window class.
#include <algorithm>

#include "adapter/module_state.h"
#include "adapter/plugin_wrapper.h"

namespace {

constexpr int32_t kChildX = 0;
constexpr int32_t kChildY = 30;
constexpr int32_t kChildStartSize = 5;
constexpr int32_t kDefaultEditorWidth = 480;
constexpr int32_t kParametersPerRow = 6;
constexpr int32_t kParameterRowHeight = 60;
constexpr int32_t kViewModeShift = 32;  // view mode 1 shows the view this much lower

CEditorWindowClass& windows() { return TheModule().EditorWindows(); }

// What effEditGetRect answers, or a zero rectangle.
ERect effectEditorRect(CPluginWrapper& wrapper) {
    ERect* rect = nullptr;
    wrapper.Dispatch(effEditGetRect, 0, 0, &rect, 0.0f);
    return rect ? *rect : ERect{};
}

bool hasEditor(const AEffect* effect) { return effect && (effect->flags & effFlagsHasEditor) != 0; }

}  // namespace

ERect CPluginWrapper::DefaultEditorRect() const {
    // Rows of six parameters for an effect that draws no editor of its own.
    ERect rect{};
    rect.right = kDefaultEditorWidth;
    rect.bottom = static_cast<int16_t>(kParameterRowHeight * ((std::max(numParams_, 1) - 1) / kParametersPerRow + 1));
    return rect;
}

void CPluginWrapper::GetEditorSize(int32_t* width, int32_t* height) {
    AEffect* effect = effect_.load(std::memory_order_acquire);
    ERect rect{};
    if (!effect) {
        rect = ERect{};
    } else if (!hasEditor(effect)) {
        rect = DefaultEditorRect();
    } else if (editorOpen_) {
        rect = effectEditorRect(*this);
    } else if (const unsigned long scratch = windows().CreateChild(windows().DesktopWindow(), 0, 0, kChildStartSize,
                                                                   kChildStartSize, nullptr, false)) {
        // Opened briefly in a scratch window (never shown), since some editors only know
        // their size open.
        Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(scratch), 0.0f);
        rect = effectEditorRect(*this);
        Dispatch(effEditClose, 0, 0, nullptr, 0.0f);
        windows().DestroyChild(scratch);
    } else {
        // No window system to open an editor in, and an editor is never opened without a
        // window: the effect is only asked for the rectangle it knows closed.
        rect = effectEditorRect(*this);
    }
    if (width) *width = rect.right;
    if (height) *height = rect.bottom;
}

void CPluginWrapper::OpenEditor(EditorParentWindow parent) {
    parentWindow_ = parent;
    AEffect* effect = effect_.load(std::memory_order_acquire);
    if (!effect) return;
    int32_t parentWidth = 0, parentHeight = 0;
    // A parent the host already destroyed, or an id that names no window, opens nothing.
    if (!editorOpen_ && windows().ClientSize(parent, parentWidth, parentHeight))
        childWindow_ = windows().CreateChild(parent, kChildX, kChildY, kChildStartSize, kChildStartSize, this);
    if (!editorOpen_ && childWindow_) {
        const int32_t clientTop = 0;
        const int32_t clientBottom = parentHeight;
        if (hasEditor(effect)) {
            Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(childWindow_), 0.0f);
            editorRect_ = effectEditorRect(*this);
        } else {
            editorRect_ = DefaultEditorRect();
        }
        if (callback_ && callback_->ViewMode() == 1) {
            editorRect_.top = static_cast<int16_t>(editorRect_.top + kViewModeShift);
            editorRect_.bottom = static_cast<int16_t>(editorRect_.bottom + kViewModeShift);
        }
        editorWidth_ = editorRect_.right - editorRect_.left;
        editorHeight_ = editorRect_.bottom - editorRect_.top;
        windows().PlaceChild(childWindow_, 0, clientBottom - editorRect_.bottom - clientTop, std::max(editorWidth_, 1),
                             std::max(editorHeight_, 1));
        Dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
        windows().ShowChild(childWindow_);
        editorOpen_ = true;
        RedrawEditor();
    }
    refreshCountdown_.store(kRefreshAfterChange, std::memory_order_relaxed);
}

void CPluginWrapper::CloseEditor() {
    if (!editorOpen_.exchange(false)) return;
    Dispatch(effEditClose, 0, 0, nullptr, 0.0f);
    DestroyEditorWindow(false);
}

void CPluginWrapper::EditorWindowClosing(bool alreadyDestroyed) {
    if (!editorOpen_.exchange(false)) return;
    Dispatch(effEditClose, 0, 0, nullptr, 0.0f);
    DestroyEditorWindow(alreadyDestroyed);
}

void CPluginWrapper::DestroyEditorWindow(bool alreadyDestroyed) {
    if (!childWindow_) return;
    if (alreadyDestroyed)
        windows().Detach(childWindow_);
    else
        windows().DestroyChild(childWindow_);
    childWindow_ = 0;
}

void CPluginWrapper::Idle() {
    windows().PumpEvents();
    int32_t countdown = refreshCountdown_.load(std::memory_order_relaxed);
    if (countdown > 0) refreshCountdown_.store(countdown - 1, std::memory_order_relaxed);
    if (editorOpen_) Dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
}

void CPluginWrapper::EditorMouse(int32_t, int32_t) {}

void CPluginWrapper::RedrawEditor() { windows().Redraw(childWindow_); }
