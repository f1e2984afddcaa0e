#include "effect/engine/delay_engine.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <limits>

#include "effect/engine/anti_alias_filter.h"
#include "effect/engine/clocked_delay.h"
#include "effect/engine/delay_line.h"
#include "effect/engine/drive.h"
#include "effect/engine/dsp_math.h"
#include "effect/engine/envelope_follower.h"
#include "effect/engine/input_meter.h"
#include "effect/engine/lfo.h"
#include "effect/engine/parameter_mapping.h"
#include "effect/engine/parameters.h"
#include "effect/engine/reverb.h"
#include "effect/engine/smoother.h"
#include "effect/engine/state_variable_filter.h"

namespace ruvane {

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Host input beyond +60 dBFS (or not a number) is limited before it enters the engine,
// so no stage can overflow.
constexpr float kInputLimit = 1000.0f;

inline float limitInput(float x) {
    if (x >= -kInputLimit && x <= kInputLimit) return x;
    if (x > kInputLimit) return kInputLimit;
    if (x < -kInputLimit) return -kInputLimit;
    return 0.0f;  // NaN
}

enum class FilterPosition : int { In, Feedback, Effect };

// LFO phase requests posted by setParameter and applied by the audio thread.
constexpr int kLfoRestart = 1;   // wave change: main phase 0, left/right at -/+ offset
constexpr int kLfoRephase = 2;   // offset change: left/right around the main phase

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

template <std::size_t N>
float tableEntry(const std::array<float, N>& table, float value) {
    return table[static_cast<std::size_t>(switchPosition(value, static_cast<int>(N)))];
}

}  // namespace

class DelayEngineImpl {
public:
    DelayEngineImpl();

    void setParameter(int index, float value);
    float getParameter(int index) const;
    void resume(double hostSampleRate, int hostOutputLatency, const HostTime& time);
    void suspend();
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                 const HostTime& time);
    InputPeaks takeInputPeaks() { return {meter_.takeLeft(), meter_.takeRight()}; }

    void updateTempoSync(int mask);
    bool isSyncValueOutOfRange(int target) const;
    bool areChannelsLinked() const;
    void setTempoNormalised(float normalised);
    float getTempoNormalised() const { return tempoNormalised_.load(relaxed); }
    float tempoBpm() const { return tempoBpm_.load(relaxed); }
    float sampleRate() const { return sampleRateShared_.load(relaxed); }
    float lfoRateHz() const;
    float cutoffHz() const { return mapping::cutoffHz(value(kFltCutoff), sampleRate()); }
    float delayTimeMs(int line) const { return line == 0 || line == 1 ? delayMs_[line].load(relaxed) : 0.0f; }
    std::size_t bufferBytes() const;

    std::atomic<EngineListener*> listener{nullptr};

private:
    // Everything the loop needs from the controls, read once per block.
    struct BlockSettings {
        bool bypass = false, filterOn = false, driveOn = false, modOn = false, vcoOn = false, reverbOn = false;
        bool reverbOnOutput = false;
        FilterType filterType = FilterType::LowPass;
        FilterPosition filterPosition = FilterPosition::In;
        LfoWave wave = LfoWave::Sine;
        std::array<float, 2> feedbackSign{1.0f, 1.0f};
        std::array<float, 2> wetSign{1.0f, 1.0f};
        std::array<int, 2> distance{0, 0};
        float manual = 0.0f;
        float sensitivity = 1.0f;
        float lfoIncrement = 0.0f;
    };

    float value(int index) const { return values_[static_cast<std::size_t>(index)].load(relaxed); }
    void store(int index, float v) { values_[static_cast<std::size_t>(index)].store(v, relaxed); }
    void setDelayTime(int line, float ms) {
        delayMs_[line].store(ms, relaxed);
        timeChangeRequested_[line].store(true, std::memory_order_release);
    }
    void setLineTime(int line, float v);
    void setLineRange(int line, float v);
    void setLineMode(int line, float v);

    void applySampleRate(float rate);
    void applyControls();
    void applyHostTempo(const HostTime& time);
    void armRandomTrigger(const HostTime& time);
    void placeReadPositions();
    void clearAudioState();
    void runBlock(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);

    // Control side: written by setParameter (any thread), read by the audio thread.
    std::array<std::atomic<float>, kNumSoundParameters> values_{};
    std::array<std::atomic<float>, 2> delayMs_{};
    std::array<std::atomic<bool>, 2> timeChangeRequested_{};
    std::atomic<int> lfoRequests_{0};
    std::atomic<float> tempoBpm_{kDefaultTempoBpm};
    std::atomic<float> tempoNormalised_{mapping::normalisedFromTempo(kDefaultTempoBpm)};
    std::atomic<float> syncedLfoRateHz_{1.0f};
    std::atomic<float> sampleRateShared_{kDefaultSampleRate};

    // Audio side: touched by process(), resume() and suspend() only.
    float sampleRate_ = 0.0f;
    int windowLength_ = 4;
    float inverseWindowLength_ = 0.25f;
    BlockSettings settings_;
    std::array<float, kSmoothedCount> lastSmoothedValue_{};
    float lastEnvelopeSpeedValue_ = -1.0f;
    float lastSensitivityValue_ = -1.0f;
    float lastLfoRateValue_ = -1.0f;
    float freeLfoRate_ = 1.0f;

    SmootherBank<kSmoothedCount> smoothers_;
    AlternatingGuard smootherGuard_{kSmootherGuard};
    AlternatingGuard reverbGuard_{kReverbGuard};
    std::array<DelayLine, 2> lines_;
    std::array<AntiAliasFilter, 2> antiAlias_;
    std::array<ClockedDelay, 2> clocked_;
    std::array<EnvelopeFollower, 2> envelope_;
    std::array<StateVariableFilter, 2> filter_;
    std::array<float, 2> feedback_{0.0f, 0.0f};
    FilterCoefficients filterCoefficients_;
    Lfo lfo_;
    Drive drive_;
    InputMeter meter_;
    Reverb reverb_;
    float cutoffFactor_ = 1.0f;
};

DelayEngineImpl::DelayEngineImpl() {
    for (auto& v : values_) v.store(0.0f, relaxed);
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
    for (int line = 0; line < 2; ++line) delayMs_[line].store(0.4f * kMaxDelayMs, relaxed);

    meter_.setLength(kDefaultMeterDelay);
    applySampleRate(kDefaultSampleRate);
    reverb_.setType(Reverb::Type::Spring);
    reverb_.setDamp(value(kRvbDamp));
    reverb_.setAmount(value(kRvbAmt));
    suspend();
}

// ---------------------------------------------------------------------------------------
// Parameters

void DelayEngineImpl::setParameter(int index, float value) {
    if (index < 0 || index >= kNumSoundParameters || std::isnan(value)) return;
    const float v = std::clamp(value, 0.0f, 1.0f);
    switch (index) {
        case kDlyLTime:
        case kDlyRTime: setLineTime(index == kDlyLTime ? 0 : 1, v); return;
        case kDlyLRange:
        case kDlyRRange: setLineRange(index == kDlyLRange ? 0 : 1, v); return;
        case kDlyLMode:
        case kDlyRMode: setLineMode(index == kDlyLMode ? 0 : 1, v); return;
        case kDlyLNum:
        case kDlyLDen:
            store(index, v);
            updateTempoSync(kSyncLeftDelay);
            return;
        case kDlyRNum:
        case kDlyRDen:
            store(index, v);
            updateTempoSync(kSyncRightDelay);
            return;
        case kModLfoMode:
        case kModLfoNum:
        case kModLfoDen:
            store(index, v);
            updateTempoSync(kSyncLfo);
            return;
        case kModLfoWave:
            store(index, v);
            lfoRequests_.fetch_or(kLfoRestart, relaxed);
            return;
        case kModLfoOffset:
            store(index, v);
            lfoRequests_.fetch_or(kLfoRephase, relaxed);
            return;
        case kRvbType:
            store(index, v);
            reverb_.setType(switchIsOn(v) ? Reverb::Type::Plate : Reverb::Type::Spring);
            return;
        case kRvbDamp:
            store(index, v);
            reverb_.setDamp(v);
            return;
        case kRvbAmt:
            store(index, v);
            reverb_.setAmount(v);
            return;
        default: store(index, v); return;
    }
}

float DelayEngineImpl::getParameter(int index) const {
    if (index < 0 || index >= kNumSoundParameters) return 0.0f;
    return value(index);
}

void DelayEngineImpl::setLineTime(int line, float v) {
    if (switchIsOn(value(kModeParameter[line]))) return;  // synced: neither stored nor applied
    store(kTimeParameter[line], v);
    setDelayTime(line, v * mapping::rangeMaxMs(value(kRangeParameter[line])));
}

void DelayEngineImpl::setLineRange(int line, float v) {
    const float oldMax = mapping::rangeMaxMs(value(kRangeParameter[line]));
    const float oldValue = value(kTimeParameter[line]);
    store(kRangeParameter[line], v);
    const float newMax = mapping::rangeMaxMs(v);
    const float newValue = std::min(1.0f, oldMax * oldValue / newMax);
    store(kTimeParameter[line], newValue);
    setDelayTime(line, newValue * newMax);
    updateTempoSync(kLineSyncBit[line]);
}

void DelayEngineImpl::setLineMode(int line, float v) {
    store(kModeParameter[line], v);
    if (switchIsOn(v)) {
        updateTempoSync(kLineSyncBit[line]);
        return;
    }
    // Back to free: keep the time, pick the smallest range that holds it.
    const float ms = delayMs_[line].load(relaxed);
    const int range = mapping::rangeIndexForTime(ms);
    store(kRangeParameter[line], switchValue(range, 3));
    store(kTimeParameter[line], ms / kDelayRangesMs[static_cast<std::size_t>(range)]);
}

void DelayEngineImpl::updateTempoSync(int mask) {
    const float bpm = tempoBpm_.load(relaxed);
    for (int line = 0; line < 2; ++line) {
        if ((mask & kLineSyncBit[line]) == 0 || !switchIsOn(value(kModeParameter[line]))) continue;
        const float ms = mapping::syncedDelayMs(tableEntry(kDelayNumerators, value(kNumParameter[line])),
                                                tableEntry(kSyncDenominators, value(kDenParameter[line])), bpm);
        setDelayTime(line, std::min(ms, kMaxDelayMs));
    }
    if ((mask & kSyncLfo) != 0 && switchIsOn(value(kModLfoMode))) {
        const float rate = mapping::syncedLfoRateHz(tableEntry(kLfoNumerators, value(kModLfoNum)),
                                                    tableEntry(kSyncDenominators, value(kModLfoDen)), bpm);
        syncedLfoRateHz_.store(std::clamp(rate, kMinLfoRateHz, kMaxSyncedLfoRateHz), relaxed);
    }
    if (EngineListener* l = listener.load(relaxed)) l->tempoChanged(bpm);
}

bool DelayEngineImpl::isSyncValueOutOfRange(int target) const {
    const float bpm = tempoBpm_.load(relaxed);
    bool out = false;
    for (int line = 0; line < 2; ++line) {
        if ((target & kLineSyncBit[line]) == 0) continue;
        out = out || mapping::syncedDelayMs(tableEntry(kDelayNumerators, value(kNumParameter[line])),
                                            tableEntry(kSyncDenominators, value(kDenParameter[line])),
                                            bpm) > kMaxDelayMs;
    }
    if ((target & kSyncLfo) != 0) {
        const float rate = mapping::syncedLfoRateHz(tableEntry(kLfoNumerators, value(kModLfoNum)),
                                                    tableEntry(kSyncDenominators, value(kModLfoDen)), bpm);
        out = out || rate > kMaxSyncedLfoRateHz || rate < kMinLfoRateHz;
    }
    return out;
}

bool DelayEngineImpl::areChannelsLinked() const {
    for (const auto& pair : kLinkedPairs)
        if (!(std::fabs(value(pair[0]) - value(pair[1])) <= kLinkTolerance)) return false;
    // The pans agree when they mirror each other.
    return std::fabs(value(kDlyLFbPan) + value(kDlyRFbPan) - 1.0f) <= kLinkTolerance;
}

void DelayEngineImpl::setTempoNormalised(float normalised) {
    if (std::isnan(normalised)) return;
    const float x = std::clamp(normalised, 0.0f, 1.0f);
    tempoNormalised_.store(x, relaxed);
    tempoBpm_.store(mapping::tempoFromNormalised(x), relaxed);
    updateTempoSync(kSyncAll);
}

float DelayEngineImpl::lfoRateHz() const {
    if (switchIsOn(value(kModLfoMode))) return syncedLfoRateHz_.load(relaxed);
    return mapping::freeLfoRateHz(value(kModLfoRate));
}

std::size_t DelayEngineImpl::bufferBytes() const {
    const std::size_t lineFloats = 2 * static_cast<std::size_t>(lines_[0].length());
    const std::size_t meterFloats = 2 * static_cast<std::size_t>(meter_.length());
    return (lineFloats + meterFloats) * sizeof(float) + reverb_.bufferBytes();
}

// ---------------------------------------------------------------------------------------
// Lifecycle

void DelayEngineImpl::applySampleRate(float rate) {
    sampleRate_ = rate;
    sampleRateShared_.store(rate, relaxed);
    for (auto& line : lines_) line.setSampleRate(rate);
    for (auto& filter : antiAlias_) filter.setSampleRate(rate);
    filterCoefficients_.setSampleRate(rate);
    smoothers_.setSampleRate(rate);
    lfo_.setSampleRate(rate);
    reverb_.setSampleRate(rate);
    windowLength_ = windowLengthFor(rate);
    inverseWindowLength_ = 1.0f / static_cast<float>(windowLength_);
    drive_.setWindowLength(windowLength_);
    // Everything derived from the rate is recomputed at the next control read.
    lastSmoothedValue_.fill(std::numeric_limits<float>::quiet_NaN());
    lastEnvelopeSpeedValue_ = -1.0f;
    placeReadPositions();
    applyControls();
}

void DelayEngineImpl::placeReadPositions() {
    for (int line = 0; line < 2; ++line) {
        timeChangeRequested_[line].store(false, relaxed);
        lines_[line].settleFade();
        lines_[line].setDistance(lines_[line].distanceFor(delayMs_[line].load(std::memory_order_acquire)));
    }
}

void DelayEngineImpl::resume(double hostSampleRate, int hostOutputLatency, const HostTime& time) {
    const float rate = hostSampleRate >= kMinSampleRate && hostSampleRate <= kMaxSampleRate
                           ? static_cast<float>(hostSampleRate)
                           : kDefaultSampleRate;
    if (rate != sampleRate_) applySampleRate(rate);
    const int latency = hostOutputLatency >= kMinMeterDelay && hostOutputLatency <= kMaxMeterDelay
                            ? hostOutputLatency
                            : kDefaultMeterDelay;
    if (latency != meter_.length()) meter_.setLength(latency);
    if (time.tempoValid && !std::isnan(time.tempoBpm)) {
        const float bpm = static_cast<float>(std::clamp(time.tempoBpm, double{kMinTempoBpm}, double{kMaxTempoBpm}));
        tempoBpm_.store(bpm, relaxed);
        tempoNormalised_.store(mapping::normalisedFromTempo(bpm), relaxed);
        updateTempoSync(kSyncAll);
    }
    clearAudioState();
}

void DelayEngineImpl::suspend() {
    applyControls();
    smoothers_.settle();
    placeReadPositions();
    clearAudioState();
}

void DelayEngineImpl::clearAudioState() {
    for (auto& line : lines_) line.clear();
    for (auto& filter : antiAlias_) filter.reset();
    for (auto& vco : clocked_) vco.reset();
    for (auto& env : envelope_) env.reset();
    for (auto& filter : filter_) filter.reset();
    feedback_ = {0.0f, 0.0f};
    filterCoefficients_.reset();
    cutoffFactor_ = 1.0f;
    lfoRequests_.exchange(0, relaxed);
    lfo_.reset(mapping::lfoOffsetRadians(value(kModLfoOffset)));
    drive_.reset();
    meter_.reset();
    reverb_.reset();
}

// ---------------------------------------------------------------------------------------
// Processing

void DelayEngineImpl::applyControls() {
    for (int i = 0; i < kSmoothedCount; ++i) {
        const SmoothedMapping& m = kSmoothedMappings[static_cast<std::size_t>(i)];
        const float v = value(m.parameter);
        if (v != lastSmoothedValue_[static_cast<std::size_t>(i)]) {
            lastSmoothedValue_[static_cast<std::size_t>(i)] = v;
            smoothers_.setTarget(static_cast<std::size_t>(i), m.target(v, sampleRate_));
        }
    }

    BlockSettings& s = settings_;
    s.bypass = switchIsOn(value(kMainBypass));
    s.filterOn = switchIsOn(value(kFltOn));
    s.driveOn = switchIsOn(value(kDrvOn));
    s.modOn = switchIsOn(value(kModOn));
    s.vcoOn = switchIsOn(value(kVcoOn));
    s.reverbOn = switchIsOn(value(kRvbOn));
    s.reverbOnOutput = switchIsOn(value(kRvbMode));
    s.filterType = static_cast<FilterType>(switchPosition(value(kFltType), 3));
    s.filterPosition = static_cast<FilterPosition>(switchPosition(value(kFltMode), 3));
    s.wave = static_cast<LfoWave>(switchPosition(value(kModLfoWave), 5));
    s.feedbackSign = {mapping::sign(value(kDlyLFbInv)), mapping::sign(value(kDlyRFbInv))};
    s.wetSign = {mapping::sign(value(kDlyLDlyInv)), mapping::sign(value(kDlyRDlyInv))};
    s.manual = mapping::bipolar(value(kVcoManual));

    const float sensitivityValue = value(kModSens);
    if (sensitivityValue != lastSensitivityValue_) {
        lastSensitivityValue_ = sensitivityValue;
        s.sensitivity = mapping::powerOfSixteen(sensitivityValue);
    }
    const float speedValue = value(kModEnvSpeed);
    if (speedValue != lastEnvelopeSpeedValue_) {
        lastEnvelopeSpeedValue_ = speedValue;
        for (auto& env : envelope_) env.setSpeed(mapping::envelopeSpeedMs(speedValue), sampleRate_, windowLength_);
    }
    float lfoRate = syncedLfoRateHz_.load(relaxed);
    if (!switchIsOn(value(kModLfoMode))) {
        const float rateValue = value(kModLfoRate);
        if (rateValue != lastLfoRateValue_) {
            lastLfoRateValue_ = rateValue;
            freeLfoRate_ = mapping::freeLfoRateHz(rateValue);
        }
        lfoRate = freeLfoRate_;
    }
    s.lfoIncrement = lfoRate * kTwoPi / sampleRate_;

    // Delay-time changes posted since the last block start their fades.
    for (int line = 0; line < 2; ++line) {
        if (timeChangeRequested_[line].load(relaxed) &&
            timeChangeRequested_[line].exchange(false, std::memory_order_acq_rel))
            lines_[line].startTimeChange();
        s.distance[line] = lines_[line].distanceFor(delayMs_[line].load(relaxed));
    }
    // LFO re-phasing posted by wave and offset changes.
    if (lfoRequests_.load(relaxed) != 0) {
        const int requests = lfoRequests_.exchange(0, relaxed);
        const float offset = mapping::lfoOffsetRadians(value(kModLfoOffset));
        if ((requests & kLfoRestart) != 0)
            lfo_.restart(offset);
        else if ((requests & kLfoRephase) != 0)
            lfo_.setOffset(offset);
    }
}

void DelayEngineImpl::applyHostTempo(const HostTime& time) {
    if (!time.tempoValid) return;
    if (!(time.tempoBpm >= kMinTempoBpm && time.tempoBpm <= kMaxTempoBpm)) return;
    const auto bpm = static_cast<float>(time.tempoBpm);
    if (bpm == tempoBpm_.load(relaxed)) return;
    tempoBpm_.store(bpm, relaxed);
    tempoNormalised_.store(mapping::normalisedFromTempo(bpm), relaxed);
    updateTempoSync(kSyncAll);
}

void DelayEngineImpl::armRandomTrigger(const HostTime& time) {
    const int n = switchPosition(value(kModLfoNum), 5);
    if (!time.positionValid || n == 0 || !std::isfinite(time.ppqPosition)) {
        lfo_.disarmTrigger();
        return;
    }
    const double period = 4.0 * n;  // quarter notes between triggers
    const double k = std::trunc(time.ppqPosition / period + 1.0);
    const double samples =
        (period * k - time.ppqPosition) * 60.0 * sampleRate_ / static_cast<double>(tempoBpm_.load(relaxed));
    if (!(samples >= 0.0 && samples < 1e9)) {
        lfo_.disarmTrigger();
        return;
    }
    lfo_.armTrigger(static_cast<int>(samples));
}

void DelayEngineImpl::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                              int frames, const HostTime& time) {
    drive_.recomputeSums();
    applyHostTempo(time);
    applyControls();
    armRandomTrigger(time);
    const float halfRate = 0.5f * sampleRate_;
    if (smoothers_.value(kSmoothCutoff) > halfRate) smoothers_.setValue(kSmoothCutoff, halfRate);
    if (frames <= 0 || inLeft == nullptr || outLeft == nullptr) return;
    runBlock(inLeft, inRight != nullptr ? inRight : inLeft, outLeft, outRight, frames);
}

void DelayEngineImpl::runBlock(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                               int frames) {
    const BlockSettings s = settings_;
    std::array<float, 2> lineInput{0.0f, 0.0f};

    for (int i = 0; i < frames; ++i) {
        smoothers_.process(smootherGuard_.next());
        const float reverbGuard = reverbGuard_.next();

        // Input gain and meters.
        const float inputGain = smoothers_.value(kSmoothInputGain);
        float left = limitInput(inLeft[i]) * inputGain;
        float right = limitInput(inRight[i]) * inputGain;
        meter_.process(left, right);

        // Filter coefficients (with the previous sample's cutoff factor); "in" position.
        if (s.filterOn) {
            filterCoefficients_.update(smoothers_.value(kSmoothCutoff) * cutoffFactor_,
                                       smoothers_.value(kSmoothResonance));
            if (s.filterPosition == FilterPosition::In) {
                left = filter_[0].process(left, filterCoefficients_, s.filterType);
                right = filter_[1].process(right, filterCoefficients_, s.filterType);
            }
        }
        const float dryLeft = left;
        const float dryRight = right;

        // Line inputs: anti-aliased for the clocked delay, plus the routed feedback.
        if (s.vcoOn) {
            left = antiAlias_[0].process(left);
            right = antiAlias_[1].process(right);
        }
        const float feedbackLeft = flush(feedback_[0] * smoothers_.value(kSmoothFeedbackLeft));
        const float feedbackRight = flush(feedback_[1] * smoothers_.value(kSmoothFeedbackRight));
        const float intoRight = smoothers_.value(kSmoothPanLeft) * feedbackLeft +
                                smoothers_.value(kSmoothPanRight) * feedbackRight;
        float lineLeft = left + (feedbackLeft + feedbackRight - intoRight);
        float lineRight = right + intoRight;
        const float magnitudeLeft = std::fabs(lineLeft);
        const float magnitudeRight = std::fabs(lineRight);
        drive_.process(lineLeft, lineRight, smoothers_.value(kSmoothDrive), s.driveOn);

        // Modulation.
        const float source = smoothers_.value(kSmoothModSource);
        const float envelopeLeft = envelope_[0].process(magnitudeLeft, s.sensitivity);
        const float envelopeRight = envelope_[1].process(magnitudeRight, s.sensitivity);
        const float vcoDepth = smoothers_.value(kSmoothVcoDepth);
        const float manualOctaves = (1.0f - vcoDepth) * s.manual;
        float rateLeft = 1.0f;
        float rateRight = 1.0f;
        if (s.modOn) {
            lfo_.process(s.wave, s.lfoIncrement);
            const float lfoShare = 1.0f - source;
            const float lfoLeft = lfo_.left() * lfoShare;
            const float lfoRight = lfo_.right() * lfoShare;
            const float envModLeft = EnvelopeFollower::modulation(envelopeLeft, source);
            cutoffFactor_ = fastExp2(kModFilterOctaves * smoothers_.value(kSmoothFilterDepth) * (lfoLeft + envModLeft));
            if (s.vcoOn) {
                const float envModRight = EnvelopeFollower::modulation(envelopeRight, source);
                const float octavesLeft = std::min(1.0f, lfoLeft + envModLeft * inverseWindowLength_) * vcoDepth;
                const float octavesRight = std::min(1.0f, lfoRight + envModRight * inverseWindowLength_) * vcoDepth;
                rateLeft = fastExp2(manualOctaves + octavesLeft);
                rateRight = fastExp2(manualOctaves + octavesRight);
            }
        } else {
            cutoffFactor_ = 1.0f;
            if (s.vcoOn) rateLeft = rateRight = fastExp2(manualOctaves);
        }

        // Delay lines.
        clocked_[0].pushInput(lineLeft);
        clocked_[1].pushInput(lineRight);
        float outLineLeft;
        float outLineRight;
        if (s.vcoOn) {
            outLineLeft = clocked_[0].process(lines_[0], rateLeft);
            outLineRight = clocked_[1].process(lines_[1], rateRight);
        } else {
            outLineLeft = lines_[0].process(lineLeft);
            outLineRight = lines_[1].process(lineRight);
        }
        outLineLeft *= lines_[0].fade(s.distance[0]);
        outLineRight *= lines_[1].fade(s.distance[1]);
        lineInput = {lineLeft, lineRight};

        // Filter in the loop or on the wet signal; wet and feedback signals.
        float wetLeft = outLineLeft;
        float wetRight = outLineRight;
        float loopLeft = outLineLeft;
        float loopRight = outLineRight;
        if (s.filterOn && s.filterPosition != FilterPosition::In) {
            wetLeft = filter_[0].process(outLineLeft, filterCoefficients_, s.filterType);
            wetRight = filter_[1].process(outLineRight, filterCoefficients_, s.filterType);
            if (s.filterPosition == FilterPosition::Feedback) {
                loopLeft = wetLeft;
                loopRight = wetRight;
            }
        }
        wetLeft *= s.wetSign[0];
        wetRight *= s.wetSign[1];
        loopLeft *= s.feedbackSign[0];
        loopRight *= s.feedbackSign[1];
        if (!s.driveOn) {
            loopLeft = std::min(std::max(loopLeft, -1.0f), 1.0f);
            loopRight = std::min(std::max(loopRight, -1.0f), 1.0f);
        }
        feedback_ = {loopLeft, loopRight};

        // Mix, reverb, output gain.
        const float mix = smoothers_.value(kSmoothMix);
        const float dryShare = 1.0f - mix;
        float outL = wetLeft * mix;
        float outR = wetRight * mix;
        if (s.reverbOnOutput) {
            outL += dryLeft * dryShare;
            outR += dryRight * dryShare;
        }
        if (s.reverbOn) {
            outL += reverbGuard;
            outR += reverbGuard;
            reverb_.process(outL, outR);
        }
        if (!s.reverbOnOutput) {
            outL += dryLeft * dryShare;
            outR += dryRight * dryShare;
        }
        const float outputGain = smoothers_.value(kSmoothOutputGain);
        outL *= outputGain;
        outR *= outputGain;
        if (s.bypass) {
            outL = inLeft[i];
            outR = inRight[i];
        }
        if (outRight != nullptr) {
            outLeft[i] = outL;
            outRight[i] = outR;
        } else {
            outLeft[i] = 0.5f * (outL + outR);
        }
    }

    // While the clocked delay is off its anti-alias filters follow the line input, so
    // switching it on starts from a settled filter.
    if (!s.vcoOn) {
        antiAlias_[0].settleTo(lineInput[0]);
        antiAlias_[1].settleTo(lineInput[1]);
    }
    meter_.publish();
}

// ---------------------------------------------------------------------------------------
// DelayEngine

DelayEngine::DelayEngine() : impl(new DelayEngineImpl) {}
DelayEngine::~DelayEngine() { delete impl; }
void DelayEngine::setListener(EngineListener* listener) { impl->listener.store(listener, relaxed); }
void DelayEngine::setParameter(int index, float value) { impl->setParameter(index, value); }
float DelayEngine::getParameter(int index) const { return impl->getParameter(index); }
void DelayEngine::resume(double hostSampleRate, int hostOutputLatency, const HostTime& time) {
    impl->resume(hostSampleRate, hostOutputLatency, time);
}
void DelayEngine::suspend() { impl->suspend(); }
void DelayEngine::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                          const HostTime& time) {
    impl->process(inLeft, inRight, outLeft, outRight, frames, time);
}
InputPeaks DelayEngine::takeInputPeaks() { return impl->takeInputPeaks(); }
void DelayEngine::updateTempoSync(int mask) { impl->updateTempoSync(mask); }
bool DelayEngine::isSyncValueOutOfRange(int target) const { return impl->isSyncValueOutOfRange(target); }
bool DelayEngine::areChannelsLinked() const { return impl->areChannelsLinked(); }
void DelayEngine::setTempoNormalised(float normalised) { impl->setTempoNormalised(normalised); }
float DelayEngine::getTempoNormalised() const { return impl->getTempoNormalised(); }
float DelayEngine::tempoBpm() const { return impl->tempoBpm(); }
float DelayEngine::sampleRate() const { return impl->sampleRate(); }
float DelayEngine::lfoRateHz() const { return impl->lfoRateHz(); }
float DelayEngine::cutoffHz() const { return impl->cutoffHz(); }
float DelayEngine::delayTimeMs(int line) const { return impl->delayTimeMs(line); }
std::size_t DelayEngine::bufferBytes() const { return impl->bufferBytes(); }

}  // namespace ruvane
