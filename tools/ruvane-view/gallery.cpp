#include "tools/ruvane-view/gallery.h"

#include "effect/editor/controls/about.h"
#include "effect/editor/controls/invisible_slider.h"
#include "effect/editor/controls/preset_panel_buttons.h"
#include "effect/editor/controls/zav_buttons.h"
#include "effect/editor/controls/zav_switches.h"
#include "effect/editor/layout.h"
#include "toolkit/knob.h"
#include "toolkit/movie_bitmap.h"

namespace ruvane::view {

using namespace toolkit;

namespace {

// The fine-drag factor the editor gives its knobs.
constexpr float kKnobZoomFactor = 5.0f;

CRect rectOf(const layout::Rect& rect) { return CRect(rect.left, rect.top, rect.right, rect.bottom); }

// The control for one layout entry, or null for entries that show no bitmap of their
// own (text fields, the controller readout, invisible drag areas).
CControl* makeControl(const layout::Control& entry, CBitmap* bitmap, CControlListener* listener) {
    using layout::ControlKind;
    const CRect size = rectOf(entry.rect);
    const layout::Bitmap* strip = layout::findBitmap(entry.bitmap);
    const auto frameHeight = static_cast<int32_t>(strip != nullptr ? strip->frameHeight() : size.getHeight());
    switch (entry.kind) {
        case ControlKind::AnimKnob: {
            auto* knob = new CAnimKnob(size, listener, entry.tag, entry.frames, frameHeight, bitmap);
            knob->setZoomFactor(kKnobZoomFactor);
            return knob;
        }
        case ControlKind::OnOffButton: return new ZAVOnOffButton(size, listener, entry.tag, bitmap);
        case ControlKind::Switch:
            return new ZAVSwitch(size, listener, entry.tag, entry.frames, frameHeight, entry.positions, bitmap);
        case ControlKind::SwitchVert:
            return new ZAVSwitchVert(size, listener, entry.tag, entry.frames, frameHeight, entry.positions, bitmap);
        case ControlKind::KickButton: return new ZAVKickButton(size, listener, entry.tag, frameHeight, bitmap);
        case ControlKind::MovieBitmap:
            return new CMovieBitmap(size, listener, entry.tag, entry.frames, frameHeight, bitmap);
        case ControlKind::About:
            return new CAbout(size, listener, entry.tag, bitmap, rectOf(layout::kAboutDisplay), {},
                              CPoint(layout::kAboutVersionOrigin.x, layout::kAboutVersionOrigin.y));
        case ControlKind::PSKickButton:
            return new CPSKickButton(size, listener, entry.tag, frameHeight, bitmap, {}, entry.doubleClickOnly);
        case ControlKind::PSOnOffButton: return new CPSOnOffButton(size, listener, entry.tag, bitmap);
        case ControlKind::PSRockerSwitch: return new CPSRockerSwitch(size, listener, entry.tag, frameHeight, bitmap);
        case ControlKind::SaveLoadButton: return new CSaveLoadButton(size, listener, entry.tag, frameHeight, bitmap);
        case ControlKind::InvisibleSlider:
        case ControlKind::TextEdit:
        case ControlKind::OptionMenu:
        case ControlKind::ParamDisplay: return nullptr;
    }
    return nullptr;
}

}  // namespace

int addGalleryControls(CFrame& frame, BitmapSet& bitmaps, CControlListener* listener) {
    int added = 0;
    for (const layout::Control& entry : layout::kControls) {
        if (entry.bitmap == 0 || entry.bitmap == layout::kBackgroundBitmap) continue;
        CBitmap* bitmap = bitmaps.get(entry.bitmap);
        if (bitmap == nullptr) continue;  // a missing picture leaves its place empty
        CControl* control = makeControl(entry, bitmap, listener);
        if (control == nullptr) continue;
        if (layout::isSet(entry.defaultValue)) control->setDefaultValue(static_cast<float>(entry.defaultValue));
        if (layout::isSet(entry.wheelIncrement)) control->setWheelInc(static_cast<float>(entry.wheelIncrement));
        control->setValue(static_cast<float>(entry.startValue));
        frame.addView(control);
        ++added;
    }
    return added;
}

bool Gallery::open(void* parentWindow) {
    close();
    frame = new CFrame(CRect(0, 0, layout::kEditorWidth, layout::kEditorHeight), this);
    BitmapSet bitmaps;
    frame->setBackground(bitmaps.get(layout::kBackgroundBitmap));
    addGalleryControls(*frame, bitmaps, this);
    // The controls hold their own references; the set's go when it does.
    if (parentWindow != nullptr && !frame->open(parentWindow)) {
        close();
        return false;
    }
    return true;
}

void Gallery::idle() {
    if (frame == nullptr) return;
    frame->pumpEvents();
    frame->idle();
}

void Gallery::close() {
    if (frame == nullptr) return;
    frame->close();
    frame->forget();
    frame = nullptr;
}

int32_t Gallery::getKnobMode() const { return kLinearMode; }

}  // namespace ruvane::view
