// What the signal path takes from the controls once per block: switch positions, signs
// and the unsmoothed quantities. Read at the block start, so a block never sees half of a
// change.
#pragma once

#include <array>

#include "effect/engine/engine_controls.h"
#include "effect/engine/lfo.h"
#include "effect/engine/state_variable_filter.h"

namespace ruvane {

enum class FilterPosition : int { In, Feedback, Effect };

struct BlockSettings {
    bool bypass = false, filterOn = false, driveOn = false, modOn = false, vcoOn = false, reverbOn = false;
    bool reverbOnOutput = false;
    FilterType filterType = FilterType::LowPass;
    FilterPosition filterPosition = FilterPosition::In;
    LfoWave wave = LfoWave::Sine;
    std::array<float, 2> feedbackSign{1.0f, 1.0f};
    std::array<float, 2> wetSign{1.0f, 1.0f};
    float manual = 0.0f;        // "Vco Manual" in octaves before the depth
    float sensitivity = 1.0f;   // envelope input gain
    float lfoIncrement = 0.0f;  // radians per sample
    bool plateReverb = false;
    float reverbDamp = 0.0f;
    float reverbAmount = 0.0f;

    bool filterIn() const { return filterOn && filterPosition == FilterPosition::In; }
    // The filter on the line outputs: in the loop or on the wet signal.
    bool filterOut() const { return filterOn && filterPosition != FilterPosition::In; }
};

inline BlockSettings readBlockSettings(const EngineControls& c, float sampleRate) {
    BlockSettings s;
    s.bypass = switchIsOn(c.value(kMainBypass));
    s.filterOn = switchIsOn(c.value(kFltOn));
    s.driveOn = switchIsOn(c.value(kDrvOn));
    s.modOn = switchIsOn(c.value(kModOn));
    s.vcoOn = switchIsOn(c.value(kVcoOn));
    s.reverbOn = switchIsOn(c.value(kRvbOn));
    s.reverbOnOutput = switchIsOn(c.value(kRvbMode));
    s.filterType = static_cast<FilterType>(switchPosition(c.value(kFltType), 3));
    s.filterPosition = static_cast<FilterPosition>(switchPosition(c.value(kFltMode), 3));
    s.wave = static_cast<LfoWave>(switchPosition(c.value(kModLfoWave), 5));
    s.feedbackSign = {mapping::sign(c.value(kDlyLFbInv)), mapping::sign(c.value(kDlyRFbInv))};
    s.wetSign = {mapping::sign(c.value(kDlyLDlyInv)), mapping::sign(c.value(kDlyRDlyInv))};
    s.manual = mapping::bipolar(c.value(kVcoManual));
    s.sensitivity = mapping::powerOfSixteen(c.value(kModSens));
    s.lfoIncrement = c.lfoRateHz() * kTwoPi / sampleRate;
    s.plateReverb = switchIsOn(c.value(kRvbType));
    s.reverbDamp = c.value(kRvbDamp);
    s.reverbAmount = c.value(kRvbAmt);
    return s;
}

}  // namespace ruvane
