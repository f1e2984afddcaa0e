#include "effect/engine/engine_controls.h"

#include <algorithm>
#include <cmath>

namespace ruvane {

namespace {

constexpr std::array<Parameter, 2> kTimeParameter{kDlyLTime, kDlyRTime};
constexpr std::array<Parameter, 2> kRangeParameter{kDlyLRange, kDlyRRange};
constexpr std::array<Parameter, 2> kModeParameter{kDlyLMode, kDlyRMode};
constexpr std::array<Parameter, 2> kNumParameter{kDlyLNum, kDlyRNum};
constexpr std::array<Parameter, 2> kDenParameter{kDlyLDen, kDlyRDen};
constexpr std::array<int, 2> kLineSyncBit{kSyncLeftDelay, kSyncRightDelay};

// Left/right parameter pairs that must agree for the channels to count as linked.
constexpr std::array<std::array<Parameter, 2>, 8> kLinkedPairs{{
    {kDlyLFb, kDlyRFb},
    {kDlyLFbInv, kDlyRFbInv},
    {kDlyLDlyInv, kDlyRDlyInv},
    {kDlyLMode, kDlyRMode},
    {kDlyLNum, kDlyRNum},
    {kDlyLDen, kDlyRDen},
    {kDlyLRange, kDlyRRange},
    {kDlyLTime, kDlyRTime},
}};
constexpr float kLinkTolerance = 0.001f;

}  // namespace

EngineControls::EngineControls() {
    for (auto& v : values_) v.store(0.0f, kRelaxed);
    store(kMainIn, 0.5f);
    store(kMainOut, 0.5f);
    store(kMainMix, 0.5f);
    store(kModLfoRate, 0.5f);
    store(kModSource, 1.0f);
    store(kFltCutoff, 1.0f);
    store(kFltRes, 0.05f);
    store(kDlyLRange, switchValue(2, 3));
    store(kDlyRRange, switchValue(2, 3));
    store(kDlyLTime, 0.4f);
    store(kDlyRTime, 0.4f);
    store(kRvbDamp, 0.1f);
    store(kVcoOn, switchValue(1, 2));
    for (auto& ms : delayMs_) ms.store(0.4f * kMaxDelayMs, kRelaxed);
}

void EngineControls::setParameter(int index, float value) {
    if (index < 0 || index >= kNumSoundParameters) return;
    switch (index) {
        case kDlyLTime:
        case kDlyRTime: setLineTime(index == kDlyLTime ? 0 : 1, value); return;
        case kDlyLRange:
        case kDlyRRange: setLineRange(index == kDlyLRange ? 0 : 1, value); return;
        case kDlyLMode:
        case kDlyRMode: setLineMode(index == kDlyLMode ? 0 : 1, value); return;
        case kDlyLNum:
        case kDlyLDen:
            store(index, value);
            updateTempoSync(kSyncLeftDelay);
            return;
        case kDlyRNum:
        case kDlyRDen:
            store(index, value);
            updateTempoSync(kSyncRightDelay);
            return;
        case kModLfoMode:
        case kModLfoNum:
        case kModLfoDen:
            store(index, value);
            updateTempoSync(kSyncLfo);
            return;
        case kModLfoWave:
            store(index, value);
            lfoRequests_.fetch_or(kLfoRestart, kRelaxed);
            return;
        case kModLfoOffset:
            store(index, value);
            lfoRequests_.fetch_or(kLfoRephase, kRelaxed);
            return;
        default: store(index, value); return;
    }
}

float EngineControls::getParameter(int index) const {
    if (index < 0 || index >= kNumSoundParameters) return 0.0f;
    return value(index);
}

void EngineControls::setDelayTime(int line, float ms) {
    delayMs_[line].store(ms, kRelaxed);
    timeChangeRequested_[line].store(true, std::memory_order_release);
}

void EngineControls::setLineTime(int line, float v) {
    if (switchIsOn(value(kModeParameter[line]))) return;  // synced: neither stored nor applied
    store(kTimeParameter[line], v);
    setDelayTime(line, v * mapping::rangeMaxMs(value(kRangeParameter[line])));
}

void EngineControls::setLineRange(int line, float v) {
    const float oldMax = mapping::rangeMaxMs(value(kRangeParameter[line]));
    const float oldValue = value(kTimeParameter[line]);
    store(kRangeParameter[line], v);
    const float newMax = mapping::rangeMaxMs(v);
    const float newValue = std::min(1.0f, oldMax * oldValue / newMax);
    store(kTimeParameter[line], newValue);
    setDelayTime(line, newValue * newMax);
    updateTempoSync(kLineSyncBit[line]);
}

void EngineControls::setLineMode(int line, float v) {
    store(kModeParameter[line], v);
    if (switchIsOn(v)) {
        updateTempoSync(kLineSyncBit[line]);
        return;
    }
    // Back to free: keep the time, pick the smallest range that holds it.
    const float ms = delayMs_[line].load(kRelaxed);
    const int range = mapping::rangeIndexForTime(ms);
    store(kRangeParameter[line], switchValue(range, 3));
    store(kTimeParameter[line], ms / kDelayRangesMs[static_cast<std::size_t>(range)]);
}

float EngineControls::idealSyncedDelayMs(int line, float bpm) const {
    return mapping::syncedDelayMs(tableEntry(kDelayNumerators, value(kNumParameter[line])),
                                  tableEntry(kSyncDenominators, value(kDenParameter[line])), bpm);
}

float EngineControls::idealSyncedLfoRateHz(float bpm) const {
    return mapping::syncedLfoRateHz(tableEntry(kLfoNumerators, value(kModLfoNum)),
                                    tableEntry(kSyncDenominators, value(kModLfoDen)), bpm);
}

void EngineControls::updateTempoSync(int mask) {
    const float bpm = tempoBpm();
    for (int line = 0; line < 2; ++line) {
        if ((mask & kLineSyncBit[line]) == 0 || !switchIsOn(value(kModeParameter[line]))) continue;
        setDelayTime(line, std::min(idealSyncedDelayMs(line, bpm), kMaxDelayMs));
    }
    if ((mask & kSyncLfo) != 0 && switchIsOn(value(kModLfoMode)))
        syncedLfoRateHz_.store(std::clamp(idealSyncedLfoRateHz(bpm), kMinLfoRateHz, kMaxSyncedLfoRateHz), kRelaxed);
    if (EngineListener* l = listener_.load(kRelaxed)) l->tempoChanged(bpm);
}

bool EngineControls::isSyncValueOutOfRange(int target) const {
    const float bpm = tempoBpm();
    bool out = false;
    for (int line = 0; line < 2; ++line)
        if ((target & kLineSyncBit[line]) != 0) out = out || idealSyncedDelayMs(line, bpm) > kMaxDelayMs;
    if ((target & kSyncLfo) != 0) {
        const float rate = idealSyncedLfoRateHz(bpm);
        out = out || rate > kMaxSyncedLfoRateHz || rate < kMinLfoRateHz;
    }
    return out;
}

bool EngineControls::areChannelsLinked() const {
    for (const auto& pair : kLinkedPairs)
        if (!(std::fabs(value(pair[0]) - value(pair[1])) <= kLinkTolerance)) return false;
    // The pans agree when they mirror each other.
    return std::fabs(value(kDlyLFbPan) + value(kDlyRFbPan) - 1.0f) <= kLinkTolerance;
}

void EngineControls::storeTempo(float bpm, float normalised) {
    tempoBpm_.store(bpm, kRelaxed);
    tempoNormalised_.store(normalised, kRelaxed);
    updateTempoSync(kSyncAll);
}

void EngineControls::setTempoNormalised(float normalised) {
    storeTempo(mapping::tempoFromNormalised(normalised), normalised);
}

void EngineControls::followHostTempo(const HostTime& time) {
    if (!time.tempoValid || !(time.tempoBpm >= kMinTempoBpm && time.tempoBpm <= kMaxTempoBpm)) return;
    const auto bpm = static_cast<float>(time.tempoBpm);
    if (bpm != tempoBpm()) storeTempo(bpm, mapping::normalisedFromTempo(bpm));
}

void EngineControls::adoptHostTempo(const HostTime& time) {
    if (!time.tempoValid || std::isnan(time.tempoBpm)) return;
    const auto bpm = static_cast<float>(std::clamp(time.tempoBpm, double{kMinTempoBpm}, double{kMaxTempoBpm}));
    storeTempo(bpm, mapping::normalisedFromTempo(bpm));
}

float EngineControls::lfoRateHz() const {
    if (switchIsOn(value(kModLfoMode))) return syncedLfoRateHz_.load(kRelaxed);
    return mapping::freeLfoRateHz(value(kModLfoRate));
}

bool EngineControls::takeTimeChangeRequest(int line) {
    return timeChangeRequested_[line].load(kRelaxed) &&
           timeChangeRequested_[line].exchange(false, std::memory_order_acq_rel);
}

void EngineControls::dropTimeChangeRequests() {
    for (auto& requested : timeChangeRequested_) requested.store(false, kRelaxed);
}

int EngineControls::takeLfoRequests() {
    if (lfoRequests_.load(kRelaxed) == 0) return 0;
    return lfoRequests_.exchange(0, kRelaxed);
}

}  // namespace ruvane
