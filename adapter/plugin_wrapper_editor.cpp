// CPluginWrapper's editor hosting: the child window in the host's plug-in window, its
// size, idle and redraw. The window belongs to the module-wide editor window class.
#include <X11/Xlib.h>

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
    } else {
        // Opened briefly in a scratch window (never shown), since some editors only know
        // their size open.
        Display* display = windows().Display();
        const unsigned long scratch =
            display ? windows().CreateChild(DefaultRootWindow(display), 0, 0, kChildStartSize, kChildStartSize, nullptr,
                                        false)
                    : 0;
        Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(scratch), 0.0f);
        rect = effectEditorRect(*this);
        Dispatch(effEditClose, 0, 0, nullptr, 0.0f);
        if (scratch) windows().DestroyChild(scratch);
    }
    if (width) *width = rect.right;
    if (height) *height = rect.bottom;
}

void CPluginWrapper::OpenEditor(EditorParentWindow parent) {
    parentWindow_ = parent;
    AEffect* effect = effect_.load(std::memory_order_acquire);
    if (!effect) return;
    Display* display = windows().Display();
    if (!editorOpen_ && display && parent) {
        Window root = 0;
        int x = 0, y = 0;
        unsigned parentWidth = 0, parentHeight = 0, border = 0, depth = 0;
        if (XGetGeometry(display, parent, &root, &x, &y, &parentWidth, &parentHeight, &border, &depth)) {
            const int32_t clientTop = 0;
            const int32_t clientBottom = static_cast<int32_t>(parentHeight);
            childWindow_ = windows().CreateChild(parent, kChildX, kChildY, kChildStartSize, kChildStartSize, this);
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
            XMoveResizeWindow(display, childWindow_, 0, clientBottom - editorRect_.bottom - clientTop,
                              static_cast<unsigned>(std::max(editorWidth_, 1)),
                              static_cast<unsigned>(std::max(editorHeight_, 1)));
            Dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
            XMapRaised(display, childWindow_);
            editorOpen_ = true;
            RedrawEditor();
        }
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

void CPluginWrapper::RedrawEditor() {
    Display* display = windows().Display();
    if (!display || !childWindow_) return;
    XClearArea(display, childWindow_, 0, 0, 0, 0, True);  // the effect's editor repaints on the exposure
    XFlush(display);
}
