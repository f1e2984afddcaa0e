// The effect's editor: one fixed 875 x 171 panel showing every parameter as a knob,
// switch, button or invisible drag area, with a four-digit value display, two input
// meters, an active lamp, a link button that edits both delay channels together, an
// about screen and, along the bottom, the preset strip of CPresetSystemEditor.
//
// The object lives as long as the effect; its controls exist between open and close.
// The effect calls setParameter from any thread (host automation and MIDI arrive on
// the audio thread too), so the value is only stored there; the control takes it at
// the next idle, on the editor's thread, which alone touches the toolkit and X11.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

#include "effect/editor/peak_meter.h"
#include "effect/editor/preset_system_editor.h"
#include "effect/editor/step_buttons.h"
#include "effect/plugin/parameter_text.h"

namespace ruvane {

class ZAV;

class Editor : public CPresetSystemEditor {
public:
    // Editor-only tags beyond the 48 parameters.
    enum EditorTag : int32_t {
        kTempoAreaTag = 49,
        kLinkTag = 50,
        kActiveLampTag = 51,
        kFirstDigitTag = 52,      // digits 52-55
        kFirstPointTag = 56,      // decimal points after digits 1-3: 56-58
        kFirstSeparatorTag = 59,  // separator lamps 59-61
        kLeftDownTag = 62,
        kLeftUpTag = 63,
        kRightDownTag = 64,
        kRightUpTag = 65,
        kLfoDownTag = 66,
        kLfoUpTag = 67,
        kLeftMeterTag = 68,
        kRightMeterTag = 69,
        kAboutTag = 70,
    };
    static constexpr int32_t kNumMainTags = kAboutTag + 1;
    static constexpr float kKnobZoomFactor = 5.0f;
    static constexpr uint32_t kBlinkMs = 251;

    // Milliseconds of a monotonic clock; tests give their own.
    using TickSource = std::function<uint32_t()>;

    explicit Editor(ZAV* effect);
    ~Editor() override;

    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;

    // Any thread: the control of the index takes the value at the next idle.
    void setParameter(int32_t index, float value);

    void valueChanged(toolkit::CControl* control) override;
    void controlBeginEdit(toolkit::CControl* control) override;
    void controlEndEdit(toolkit::CControl* control) override;
    // Edits reach the host for the 48 sound parameters only.
    void beginEdit(int32_t tag) override;
    void endEdit(int32_t tag) override;

    // What the effect tells its editor (any thread).
    void parameterChanged(int index, float value) override { setParameter(index, value); }
    void setLinkChannels(bool linked) override;
    void tempoChanged(float bpm) override;

    // The control of a tag below 71, null while closed or when it could not be made.
    toolkit::CControl* getControl(int32_t tag) const;
    bool linksChannels() const { return linkChannels_.load(std::memory_order_relaxed); }
    int32_t getEditingTag() const { return editingTag_; }
    int getShownReading() const { return shownReading_; }
    void setTickSource(TickSource ticks);

private:
    void buildControls();
    toolkit::CControl* makeControl(int tag);
    void applyParameter(int32_t index, float value);
    void applyPendingUpdates();

    // valueChanged, by kind of control.
    void setAutomated(int32_t index, float value);
    void twinSet(int32_t index, float value);
    void changeDelayMode(int32_t tag, float value);
    void changeDelayRange(toolkit::CControl* control, float value);
    void changeDelayTime(toolkit::CControl* control, float value);
    void changeLfoRate(toolkit::CControl* control, float value);
    void changeLink(float value);
    void pressStepButton(toolkit::CControl* control);

    // idle.
    void updateValueDisplay(uint32_t now);
    int chooseReading() const;
    void updateMeters(uint32_t now);
    void updateActiveLamp();
    void showValue(int32_t tag, float value);
    bool inSyncMode(int32_t modeParameter) const;
    void refreshArea(int32_t areaTag, int32_t parameter);

    ZAV* zav_;
    TickSource ticks_;
    std::array<toolkit::CControl*, kNumMainTags> controls_{};
    std::atomic<bool> linkChannels_{false};
    int32_t editingTag_ = -1;
    bool displayBlinkOn_ = true;
    uint32_t lastBlinkTicks_;
    uint32_t lastIdleTicks_;
    DisplayReading displayReading_;
    int shownReading_;
    PeakMeterBallistics meterBallistics_;
    LfoRateStep lfoRateStep_;
};

}  // namespace ruvane
