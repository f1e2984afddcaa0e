#include "effect/editor/editor.h"

#include <cmath>

#include "effect/editor/controls/about.h"
#include "effect/editor/controls/film_strip.h"
#include "effect/editor/controls/invisible_slider.h"
#include "effect/editor/controls/zav_buttons.h"
#include "effect/editor/controls/zav_switches.h"
#include "effect/editor/layout.h"
#include "effect/editor/value_display.h"
#include "effect/engine/parameters.h"
#include "effect/plugin/zav.h"
#include "platform/monotonic_clock.h"
#include "toolkit/frame.h"
#include "toolkit/knob.h"
#include "toolkit/movie_bitmap.h"

namespace ruvane {

namespace {

toolkit::CRect rectOf(const layout::Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The other delay channel's parameter of a left or right one; -1 for any other.
int32_t twinOf(int32_t tag) {
    switch (tag) {
        case kDlyLFb: return kDlyRFb;
        case kDlyRFb: return kDlyLFb;
        case kDlyLFbPan: return kDlyRFbPan;
        case kDlyRFbPan: return kDlyLFbPan;
        case kDlyLFbInv: return kDlyRFbInv;
        case kDlyRFbInv: return kDlyLFbInv;
        case kDlyLDlyInv: return kDlyRDlyInv;
        case kDlyRDlyInv: return kDlyLDlyInv;
        case kDlyLMode: return kDlyRMode;
        case kDlyRMode: return kDlyLMode;
        case kDlyLRange: return kDlyRRange;
        case kDlyRRange: return kDlyLRange;
        case kDlyLTime: return kDlyRTime;
        case kDlyRTime: return kDlyLTime;
        case kDlyLNum: return kDlyRNum;
        case kDlyRNum: return kDlyLNum;
        case kDlyLDen: return kDlyRDen;
        case kDlyRDen: return kDlyLDen;
        default: return -1;
    }
}

bool isLeftChannel(int32_t tag) {
    return tag == kDlyLMode || tag == kDlyLRange || tag == kDlyLTime || tag == Editor::kLeftDownTag ||
           tag == Editor::kLeftUpTag;
}

// What one pair of step buttons steps.
struct StepTargets {
    int32_t mode;         // the sync switch
    int32_t numerator;    // stepped by the down button in sync mode
    int32_t denominator;  // stepped by the up button in sync mode
    int32_t freeValue;    // the time or rate in free mode
    bool isDelay;
};

StepTargets stepTargetsOf(int32_t tag) {
    switch (tag) {
        case Editor::kLeftDownTag:
        case Editor::kLeftUpTag: return {kDlyLMode, kDlyLNum, kDlyLDen, kDlyLTime, true};
        case Editor::kRightDownTag:
        case Editor::kRightUpTag: return {kDlyRMode, kDlyRNum, kDlyRDen, kDlyRTime, true};
        default: return {kModLfoMode, kModLfoNum, kModLfoDen, kModLfoRate, false};
    }
}

bool isDownButton(int32_t tag) {
    return tag == Editor::kLeftDownTag || tag == Editor::kRightDownTag || tag == Editor::kLfoDownTag;
}

// The parameters the link button copies from left to right, in order.
constexpr int32_t kLinkedCopies[] = {kDlyLFb, kDlyLFbPan, kDlyLFbInv, kDlyLDlyInv, kDlyLMode,
                                     kDlyLRange, kDlyLNum, kDlyLDen, kDlyLTime};

constexpr int kTwoPositions = 2;
constexpr float kTimeResolution = 1000.0f;  // the drag areas set times in thousandths

}  // namespace

Editor::Editor(ZAV* effect)
    : CPresetSystemEditor(effect),
      zav_(effect),
      ticks_(monotonicMilliseconds),
      lastBlinkTicks_(ticks_()),
      lastIdleTicks_(lastBlinkTicks_),
      shownReading_(kTempoReading) {
    rect = ERect{0, 0, static_cast<int16_t>(layout::kEditorHeight), static_cast<int16_t>(layout::kEditorWidth)};
    // Knobs follow straight mouse movement; the host may ask for another mode.
    setKnobMode(toolkit::kLinearMode);
}

Editor::~Editor() { Editor::close(); }

void Editor::setTickSource(TickSource ticks) {
    ticks_ = ticks ? std::move(ticks) : TickSource(monotonicMilliseconds);
    lastBlinkTicks_ = lastIdleTicks_ = ticks_();
}

toolkit::CControl* Editor::getControl(int32_t tag) const {
    if (tag < 0 || tag >= kNumMainTags) return getPanelControl(tag);
    return controls_[static_cast<std::size_t>(tag)];
}

// Opening and closing.

bool Editor::open(void* parentWindow) {
    if (frame != nullptr) close();
    AEffGUIEditor::open(parentWindow);
    // Whatever the effect said while the window was closed is read afresh below.
    pendingUpdates().clear();
    frame = new toolkit::CFrame(toolkit::CRect(0, 0, layout::kEditorWidth, layout::kEditorHeight), this);
    frame->setBackground(openingBitmaps().get(layout::kBackgroundBitmap));
    linkChannels_.store(zav_->areChannelsLinked(), std::memory_order_relaxed);
    editingTag_ = -1;
    displayBlinkOn_ = true;
    buildControls();
    CPresetSystemEditor::open(parentWindow);
    // Every control holds its own reference now.
    openingBitmaps().clear();
    lastBlinkTicks_ = lastIdleTicks_ = ticks_();
    if (!frame->open(parentWindow)) {
        close();
        return false;
    }
    return true;
}

void Editor::close() {
    CPresetSystemEditor::close();
    controls_.fill(nullptr);
    editingTag_ = -1;
    AEffGUIEditor::close();
}

void Editor::buildControls() {
    for (const layout::Control& placement : layout::kControls) {
        if (placement.tag >= kNumMainTags) continue;
        toolkit::CControl* control = makeControl(placement.tag);
        if (control == nullptr) continue;
        controls_[static_cast<std::size_t>(placement.tag)] = control;
        frame->addView(control);
    }
}

toolkit::CControl* Editor::makeControl(int tag) {
    const layout::Control& placement = *layout::findControl(tag);
    const toolkit::CRect size = rectOf(placement.rect);
    toolkit::CBitmap* bitmap = placement.bitmap != 0 ? openingBitmaps().get(placement.bitmap) : nullptr;
    const layout::Bitmap* art = layout::findBitmap(placement.bitmap);
    const int32_t frameHeight = art != nullptr ? art->frameHeight() : static_cast<int32_t>(placement.rect.height());
    const float parameter = tag < kNumSoundParameters ? zav_->getParameter(tag) : 0.0f;

    toolkit::CControl* control = nullptr;
    float value = parameter;
    switch (placement.kind) {
        case layout::ControlKind::AnimKnob: {
            auto* knob = new toolkit::CAnimKnob(size, this, tag, placement.frames, frameHeight, bitmap);
            knob->setZoomFactor(kKnobZoomFactor);
            if (layout::isSet(placement.wheelIncrement)) knob->setWheelInc(static_cast<float>(placement.wheelIncrement));
            control = knob;
            break;
        }
        case layout::ControlKind::OnOffButton:
            control = new ZAVOnOffButton(size, this, tag, bitmap);
            if (tag == kLinkTag) value = linksChannels() ? 1.0f : 0.0f;
            break;
        case layout::ControlKind::Switch:
            control = new ZAVSwitch(size, this, tag, placement.frames, frameHeight, placement.positions, bitmap);
            break;
        case layout::ControlKind::SwitchVert:
            control = new ZAVSwitchVert(size, this, tag, placement.frames, frameHeight, placement.positions, bitmap);
            break;
        case layout::ControlKind::KickButton:
            control = new ZAVKickButton(size, this, tag, frameHeight, bitmap);
            value = 0.0f;
            break;
        case layout::ControlKind::InvisibleSlider:
            control = new CInvisibleSlider(size, this, tag);
            value = std::sqrt(tag == kTempoAreaTag ? zav_->getTempoNormalised() : parameter);
            break;
        case layout::ControlKind::MovieBitmap:
            control = new toolkit::CMovieBitmap(size, this, tag, placement.frames, frameHeight, bitmap);
            value = 0.0f;
            if (tag == kActiveLampTag && controls_[kMainBypass] != nullptr)
                value = 1.0f - controls_[kMainBypass]->getValue();
            break;
        case layout::ControlKind::About:
            control = new CAbout(size, this, tag, bitmap, rectOf(layout::kAboutDisplay), {},
                                 toolkit::CPoint(layout::kAboutVersionOrigin.x, layout::kAboutVersionOrigin.y));
            value = 0.0f;
            break;
        default:
            return nullptr;
    }
    if (layout::isSet(placement.defaultValue)) control->setDefaultValue(static_cast<float>(placement.defaultValue));
    control->setValue(value);
    return control;
}

// Values from the effect.

void Editor::setParameter(int32_t index, float value) { pendingUpdates().postParameter(index, value); }

void Editor::setLinkChannels(bool linked) {
    linkChannels_.store(linked, std::memory_order_relaxed);
    pendingUpdates().postLinkState(linked);
}

void Editor::tempoChanged(float /*bpm*/) { pendingUpdates().postEvent(PendingEditorUpdates::kTempoChanged); }

void Editor::applyPendingUpdates() {
    pendingUpdates().takeParameters([this](int index, float value) { applyParameter(index, value); });
    const uint32_t events = pendingUpdates().takeEvents();
    if ((events & PendingEditorUpdates::kLinkChanged) != 0)
        showValue(kLinkTag, pendingUpdates().linkState() ? 1.0f : 0.0f);
    if ((events & PendingEditorUpdates::kTempoChanged) != 0)
        showValue(kTempoAreaTag, std::sqrt(zav_->getTempoNormalised()));
    // A loaded preset or state (which also sets the link) or a host rename: names follow.
    if ((events & (PendingEditorUpdates::kLinkChanged | PendingEditorUpdates::kPresetRenamed)) != 0)
        showPresetNames();
}

void Editor::applyParameter(int32_t index, float value) {
    switch (index) {
        case kModLfoRate:
        case kDlyLTime:
        case kDlyRTime: showValue(index, std::sqrt(value)); break;
        case kMainBypass:
            showValue(kMainBypass, value);
            showValue(kActiveLampTag, 1.0f - value);
            break;
        default:
            if (index >= 0 && index < kNumSoundParameters) showValue(index, value);
            break;
    }
}

void Editor::showValue(int32_t tag, float value) {
    toolkit::CControl* control = getControl(tag);
    if (control == nullptr || control->getValue() == value) return;
    control->setValue(value);
    control->invalid();
}

// Values from the controls.

void Editor::controlBeginEdit(toolkit::CControl* control) {
    if (control != nullptr) editingTag_ = control->getTag();
}

void Editor::controlEndEdit(toolkit::CControl* control) {
    if (control != nullptr && editingTag_ == control->getTag()) editingTag_ = -1;
}

void Editor::beginEdit(int32_t tag) {
    // Only parameters reach the host: the editor's own tags (step buttons, link, tempo
    // area, the strip) would name unrelated host parameters there.
    if (tag >= 0 && tag < kNumSoundParameters) AEffGUIEditor::beginEdit(tag);
}

void Editor::endEdit(int32_t tag) {
    if (tag >= 0 && tag < kNumSoundParameters) AEffGUIEditor::endEdit(tag);
}

void Editor::setAutomated(int32_t index, float value) { zav_->setParameterAutomated(index, value); }

void Editor::twinSet(int32_t index, float value) {
    if (!linksChannels() || index < 0) return;
    beginEdit(index);
    setAutomated(index, value);
    endEdit(index);
}

bool Editor::inSyncMode(int32_t modeParameter) const {
    return stepIndex(zav_->getParameter(modeParameter), kTwoPositions) == 1;
}

void Editor::refreshArea(int32_t areaTag, int32_t parameter) {
    showValue(areaTag, std::sqrt(zav_->getParameter(parameter)));
}

void Editor::valueChanged(toolkit::CControl* control) {
    CPresetSystemEditor::valueChanged(control);
    if (control == nullptr || frame == nullptr) return;
    const int32_t tag = control->getTag();
    const float v = control->getValue();
    switch (tag) {
        case kDlyLFb:
        case kDlyRFb:
        case kDlyLFbInv:
        case kDlyRFbInv:
        case kDlyLDlyInv:
        case kDlyRDlyInv:
            setAutomated(tag, v);
            twinSet(twinOf(tag), v);
            break;
        case kDlyLFbPan:
        case kDlyRFbPan:
            setAutomated(tag, v);
            twinSet(twinOf(tag), 1.0f - v);  // the pans mirror each other
            break;
        case kDlyLMode:
        case kDlyRMode: changeDelayMode(tag, v); break;
        case kDlyLRange:
        case kDlyRRange: changeDelayRange(control, v); break;
        case kDlyLTime:
        case kDlyRTime: changeDelayTime(control, v); break;
        case kModLfoRate: changeLfoRate(control, v); break;
        case kMainBypass:
            setAutomated(tag, v);
            showValue(kActiveLampTag, 1.0f - v);
            break;
        case kTempoAreaTag: zav_->setTempoNormalised(v * v); break;
        case kLinkTag: changeLink(v); break;
        case kLeftDownTag:
        case kLeftUpTag:
        case kRightDownTag:
        case kRightUpTag:
        case kLfoDownTag:
        case kLfoUpTag: pressStepButton(control); break;
        default:
            if (tag >= 0 && tag < kNumSoundParameters) setAutomated(tag, v);
            break;  // 48 and 51-70 show only; 71 and above are the strip's
    }
}

void Editor::changeDelayMode(int32_t tag, float value) {
    const bool left = isLeftChannel(tag);
    setAutomated(tag, value);
    const int32_t range = left ? kDlyLRange : kDlyRRange;
    showValue(range, zav_->getParameter(range));
    refreshArea(left ? kDlyLTime : kDlyRTime, left ? kDlyLTime : kDlyRTime);
    twinSet(twinOf(tag), value);
    refreshArea(left ? kDlyRTime : kDlyLTime, left ? kDlyRTime : kDlyLTime);
}

void Editor::changeDelayRange(toolkit::CControl* control, float value) {
    const int32_t tag = control->getTag();
    const bool left = isLeftChannel(tag);
    if (inSyncMode(left ? kDlyLMode : kDlyRMode)) {
        // Note mode has no range: the switch goes back to where the parameter is.
        control->setValue(zav_->getParameter(tag));
        control->invalid();
        return;
    }
    setAutomated(tag, value);
    control->invalid();
    refreshArea(left ? kDlyLTime : kDlyRTime, left ? kDlyLTime : kDlyRTime);
    twinSet(twinOf(tag), value);
    refreshArea(left ? kDlyRTime : kDlyLTime, left ? kDlyRTime : kDlyLTime);
}

void Editor::changeDelayTime(toolkit::CControl* control, float value) {
    const int32_t tag = control->getTag();
    if (inSyncMode(isLeftChannel(tag) ? kDlyLMode : kDlyRMode)) {
        control->setValue(std::sqrt(zav_->getParameter(tag)));
        control->invalid();
        return;
    }
    const float time = std::floor(value * value * kTimeResolution) / kTimeResolution;
    setAutomated(tag, time);
    if (!linksChannels()) return;
    twinSet(twinOf(tag), time);
    showValue(twinOf(tag), value);
}

void Editor::changeLfoRate(toolkit::CControl* control, float value) {
    if (inSyncMode(kModLfoMode)) {
        control->setValue(std::sqrt(zav_->getParameter(kModLfoRate)));
        control->invalid();
        return;
    }
    setAutomated(kModLfoRate, value * value);
}

void Editor::changeLink(float value) {
    if (stepIndex(value, kTwoPositions) != 1) {
        linkChannels_.store(false, std::memory_order_relaxed);
        return;
    }
    linkChannels_.store(true, std::memory_order_relaxed);
    for (const int32_t left : kLinkedCopies) {
        const float source = zav_->getParameter(left);
        twinSet(twinOf(left), left == kDlyLFbPan ? 1.0f - source : source);
    }
}

void Editor::pressStepButton(toolkit::CControl* control) {
    if (control->getValue() <= 0.0f) return;  // the release
    const auto* button = dynamic_cast<ZAVKickButton*>(control);
    const float step = button != nullptr ? button->getStep() : 1.0f;
    const int32_t tag = control->getTag();
    const StepTargets targets = stepTargetsOf(tag);
    const bool down = isDownButton(tag);

    int32_t parameter;
    float value;
    if (inSyncMode(targets.mode)) {
        parameter = down ? targets.numerator : targets.denominator;
        const int count = kParameterInfo[static_cast<std::size_t>(parameter)].steps;
        const int position = stepIndex(zav_->getParameter(parameter), count);
        value = stepCentre(steppedPosition(position, count, step), count);
    } else if (targets.isDelay) {
        parameter = targets.freeValue;
        value = steppedDelayTime(zav_->getParameter(parameter), step, down);
    } else {
        parameter = targets.freeValue;
        value = lfoRateStep_.next(zav_->getParameter(parameter), down);
    }
    beginEdit(parameter);
    setAutomated(parameter, value);
    endEdit(parameter);
    if (targets.isDelay) twinSet(twinOf(parameter), value);
}

// Idle.

void Editor::idle() {
    if (frame == nullptr) return;
    applyPendingUpdates();
    const uint32_t now = ticks_();
    updateValueDisplay(now);
    updateMeters(now);
    updateActiveLamp();
    lastIdleTicks_ = now;
    CPresetSystemEditor::idle();
}

int Editor::chooseReading() const {
    const SyncModes modes{inSyncMode(kDlyLMode), inSyncMode(kDlyRMode), inSyncMode(kModLfoMode)};
    if (editingTag_ != -1) return readingForEditedTag(editingTag_, modes, shownReading_);
    toolkit::CPoint where;
    if (!frame->getCurrentMouseLocation(where)) return readingAtPoint(-1, -1, -1, modes);
    int knobTag = -1;
    if (toolkit::CView* view = frame->getViewAt(where); view != nullptr && view->isTypeOf("CAnimKnob")) {
        const int32_t tag = static_cast<toolkit::CControl*>(view)->getTag();
        if (tag >= 0 && tag < kNumSoundParameters) knobTag = tag;
    }
    return readingAtPoint(where.x, where.y, knobTag, modes);
}

void Editor::updateValueDisplay(uint32_t now) {
    for (int32_t tag = kFirstDigitTag; tag < kFirstSeparatorTag + 3; ++tag)
        if (getControl(tag) == nullptr) return;  // only a whole display is drawn

    shownReading_ = chooseReading();
    displayReading_.fractionNumerator = 0;
    zav_->getDisplayReading(shownReading_, displayReading_);

    if (shownReading_ == kLeftDelayNumeratorReading || shownReading_ == kRightDelayNumeratorReading) {
        const int which = shownReading_ == kLeftDelayNumeratorReading ? 1 : 2;
        if (zav_->isSyncValueOutOfRange(which)) {
            if (static_cast<uint32_t>(now - lastBlinkTicks_) >= kBlinkMs) {
                displayBlinkOn_ = !displayBlinkOn_;
                lastBlinkTicks_ = now;
            }
        } else {
            displayBlinkOn_ = true;
        }
    } else {
        displayBlinkOn_ = true;
    }

    const DisplayFrames frames = renderReading(displayReading_, displayBlinkOn_);
    for (int i = 0; i < 4; ++i) showValue(kFirstDigitTag + i, frames.digits[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 3; ++i) {
        showValue(kFirstPointTag + i, frames.points[static_cast<std::size_t>(i)]);
        showValue(kFirstSeparatorTag + i, frames.separators[static_cast<std::size_t>(i)]);
    }
}

void Editor::updateMeters(uint32_t now) {
    const InputPeaks peaks = zav_->getInputPeaks();
    const uint32_t elapsed = now - lastIdleTicks_;
    for (const auto& [tag, peak] : {std::pair{kLeftMeterTag, peaks.left}, std::pair{kRightMeterTag, peaks.right}}) {
        toolkit::CControl* meter = getControl(tag);
        if (meter != nullptr) showValue(tag, meterBallistics_.next(meter->getValue(), peak, elapsed));
    }
}

void Editor::updateActiveLamp() {
    showValue(kActiveLampTag, stepIndex(zav_->getParameter(kMainBypass), kTwoPositions) == 0 ? 1.0f : 0.0f);
}

}  // namespace ruvane
