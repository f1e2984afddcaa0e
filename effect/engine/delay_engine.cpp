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
    void runChunk(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);
    void runLoop(int frames);

    // Blocks are processed in chunks of at most this many samples.
    static constexpr int kChunk = 64;
    static constexpr std::size_t kSmootherLanes = SmootherBank<kSmoothedCount>::kLanes;
    template <typename T>
    using PerSample = std::array<T, kChunk>;
    // Per-sample signals of one chunk, passed between its stages.
    struct Scratch {
        alignas(16) PerSample<std::array<float, kSmootherLanes>> smoothed;
        PerSample<float> dryLeft, dryRight;    // after input gain (and the "in" filter)
        PerSample<float> lineLeft, lineRight;  // line inputs before feedback
        PerSample<float> lfoLeft, lfoRight;
        PerSample<float> wetLeft, wetRight;    // wet times mix, then the output pair
    };

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
    AntiAliasFilter antiAlias_;
    std::array<ClockedDelay, 2> clocked_;
    std::array<EnvelopeFollower, 2> envelope_;
    StateVariableFilter filter_;
    std::array<float, 2> feedback_{0.0f, 0.0f};  // line outputs for the next sample, before the sign
    FilterCoefficients filterCoefficients_;
    Lfo lfo_;
    Drive drive_;
    InputMeter meter_;
    Reverb reverb_;
    float cutoffFactor_ = 1.0f;
    std::array<float, 2> lastLineInput_{0.0f, 0.0f};
    // exp2 of the manual octaves, kept while they do not change.
    float lastManualOctaves_ = std::numeric_limits<float>::quiet_NaN();
    float manualRate_ = 1.0f;
    Scratch scratch_;
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
    antiAlias_.setSampleRate(rate);
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
    antiAlias_.reset();
    for (auto& vco : clocked_) vco.reset();
    for (auto& env : envelope_) env.reset();
    filter_.reset();
    feedback_ = {0.0f, 0.0f};
    filterCoefficients_.reset();
    cutoffFactor_ = 1.0f;
    lastLineInput_ = {0.0f, 0.0f};
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
    for (int done = 0; done < frames; done += kChunk) {
        const int n = std::min(kChunk, frames - done);
        runChunk(inLeft + done, inRight + done, outLeft + done, outRight != nullptr ? outRight + done : nullptr, n);
    }
    // While the clocked delay is off its anti-alias filters follow the line input, so
    // switching it on starts from a settled filter.
    if (!settings_.vcoOn) {
        antiAlias_.settleTo(lastLineInput_[0], lastLineInput_[1]);
    }
    meter_.publish();
}

// One chunk in three stages: what does not depend on the feedback loop runs block-wise
// before it (smoothers, input gain and meters, anti-alias, LFO) and after it (mix,
// reverb, output gain); the loop itself runs sample by sample.
void DelayEngineImpl::runChunk(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                               int frames) {
    const BlockSettings& s = settings_;
    Scratch& x = scratch_;
    smoothers_.run(frames, smootherGuard_, x.smoothed.data());

    // Input gain and meters.
    for (int i = 0; i < frames; ++i) {
        const float inputGain = x.smoothed[i][kSmoothInputGain];
        x.dryLeft[i] = limitInput(inLeft[i]) * inputGain;
        x.dryRight[i] = limitInput(inRight[i]) * inputGain;
        meter_.process(x.dryLeft[i], x.dryRight[i]);
    }
    // The "in" filter depends on the loop's modulation; otherwise the line inputs before
    // feedback are known now.
    const bool filterIn = s.filterOn && s.filterPosition == FilterPosition::In;
    if (!filterIn) {
        if (s.vcoOn) {
            antiAlias_.run(x.dryLeft.data(), x.dryRight.data(), x.lineLeft.data(), x.lineRight.data(), frames);
        } else {
            std::copy_n(x.dryLeft.data(), frames, x.lineLeft.data());
            std::copy_n(x.dryRight.data(), frames, x.lineRight.data());
        }
    }
    if (s.modOn) lfo_.run(s.wave, s.lfoIncrement, x.lfoLeft.data(), x.lfoRight.data(), frames);

    runLoop(frames);

    // Mix, reverb, output gain.
    for (int i = 0; i < frames; ++i) {
        const float reverbGuard = reverbGuard_.next();
        const float dryShare = 1.0f - x.smoothed[i][kSmoothMix];
        if (s.reverbOnOutput) {
            x.wetLeft[i] += x.dryLeft[i] * dryShare;
            x.wetRight[i] += x.dryRight[i] * dryShare;
        }
        if (s.reverbOn) {
            x.wetLeft[i] += reverbGuard;
            x.wetRight[i] += reverbGuard;
        }
    }
    if (s.reverbOn) reverb_.process(x.wetLeft.data(), x.wetRight.data(), frames);
    for (int i = 0; i < frames; ++i) {
        float outL = x.wetLeft[i];
        float outR = x.wetRight[i];
        if (!s.reverbOnOutput) {
            const float dryShare = 1.0f - x.smoothed[i][kSmoothMix];
            outL += x.dryLeft[i] * dryShare;
            outR += x.dryRight[i] * dryShare;
        }
        const float outputGain = x.smoothed[i][kSmoothOutputGain];
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
}

// The feedback loop, sample by sample: line inputs, drive, modulation, delay lines,
// filter, feedback. Leaves the wet signal times the mix in scratch_.wetLeft/wetRight.
// Everything the loop carries from sample to sample lives in locals meanwhile: the stores
// into the delay buffers could otherwise alias it and force a reload on every sample.
void DelayEngineImpl::runLoop(int frames) {
    const BlockSettings& s = settings_;
    Scratch& x = scratch_;
    const bool filterIn = s.filterOn && s.filterPosition == FilterPosition::In;
    const bool filterOut = s.filterOn && !filterIn;
    float feedbackLeftState = feedback_[0];
    float feedbackRightState = feedback_[1];
    float cutoffFactor = cutoffFactor_;
    float lineLeft = lastLineInput_[0];
    float lineRight = lastLineInput_[1];
    ClockedDelay vcoLeft = clocked_[0];
    ClockedDelay vcoRight = clocked_[1];
    EnvelopeFollower envelopeLeft = envelope_[0];
    EnvelopeFollower envelopeRight = envelope_[1];
    Drive drive = drive_;
    StateVariableFilter filter = filter_;
    FilterCoefficients coefficients = filterCoefficients_;

    for (int i = 0; i < frames; ++i) {
        const std::array<float, kSmootherLanes>& sm = x.smoothed[i];

        // Filter coefficients (with the previous sample's cutoff factor); "in" position.
        if (s.filterOn) {
            coefficients.update(sm[kSmoothCutoff] * cutoffFactor, sm[kSmoothResonance]);
            if (filterIn) {
                const Pair dry = filter.process(makePair(x.dryLeft[i], x.dryRight[i]), coefficients, s.filterType);
                x.dryLeft[i] = leftOf(dry);
                x.dryRight[i] = rightOf(dry);
                const Pair line = s.vcoOn ? antiAlias_.process(dry) : dry;
                x.lineLeft[i] = leftOf(line);
                x.lineRight[i] = rightOf(line);
            }
        }

        // Line inputs: the routed feedback added (the feedback state is kept before its
        // sign, which joins the smoothed amount; the pan's share is subtracted last).
        const float feedbackLeft = flush(feedbackLeftState * (s.feedbackSign[0] * sm[kSmoothFeedbackLeft]));
        const float feedbackRight = flush(feedbackRightState * (s.feedbackSign[1] * sm[kSmoothFeedbackRight]));
        const float intoRight = sm[kSmoothPanLeft] * feedbackLeft + sm[kSmoothPanRight] * feedbackRight;
        lineLeft = (x.lineLeft[i] + (feedbackLeft + feedbackRight)) - intoRight;
        lineRight = x.lineRight[i] + intoRight;
        const float magnitudeLeft = std::fabs(lineLeft);
        const float magnitudeRight = std::fabs(lineRight);
        drive.process(lineLeft, lineRight, sm[kSmoothDrive], s.driveOn);

        // Modulation.
        const float source = sm[kSmoothModSource];
        const float envelopeLeftValue = envelopeLeft.process(magnitudeLeft, s.sensitivity);
        const float envelopeRightValue = envelopeRight.process(magnitudeRight, s.sensitivity);
        const float vcoDepth = sm[kSmoothVcoDepth];
        const float manualOctaves = (1.0f - vcoDepth) * s.manual;
        float rateLeft = 1.0f;
        float rateRight = 1.0f;
        if (s.modOn) {
            const float lfoShare = 1.0f - source;
            const float lfoLeft = x.lfoLeft[i] * lfoShare;
            const float lfoRight = x.lfoRight[i] * lfoShare;
            const float envModLeft = EnvelopeFollower::modulation(envelopeLeftValue, source);
            const float cutoffOctaves = kModFilterOctaves * sm[kSmoothFilterDepth] * (lfoLeft + envModLeft);
            if (s.vcoOn) {
                // envMod / N = (e - 0.5) k with k = 2 source / N: the same value, since N is
                // a power of two, one multiply shorter on the envelope's way to the rates.
                const float envelopeScale = 2.0f * source * inverseWindowLength_;
                const float octavesLeft =
                    std::min(1.0f, lfoLeft + (envelopeLeftValue - 0.5f) * envelopeScale) * vcoDepth;
                const float octavesRight =
                    std::min(1.0f, lfoRight + (envelopeRightValue - 0.5f) * envelopeScale) * vcoDepth;
                const __m128 powers = fastExp2x4(
                    _mm_setr_ps(cutoffOctaves, manualOctaves + octavesLeft, manualOctaves + octavesRight, 0.0f));
                cutoffFactor = laneOf<0>(powers);
                rateLeft = laneOf<1>(powers);
                rateRight = laneOf<2>(powers);
            } else {
                cutoffFactor = fastExp2(cutoffOctaves);
            }
        } else {
            cutoffFactor = 1.0f;
            if (s.vcoOn) {
                // The manual rate changes only while the depth is still moving.
                if (manualOctaves != lastManualOctaves_) {
                    lastManualOctaves_ = manualOctaves;
                    manualRate_ = fastExp2(manualOctaves);
                }
                rateLeft = rateRight = manualRate_;
            }
        }

        // Delay lines.
        vcoLeft.pushInput(lineLeft);
        vcoRight.pushInput(lineRight);
        float outLineLeft;
        float outLineRight;
        if (s.vcoOn) {
            outLineLeft = vcoLeft.process(lines_[0], rateLeft);
            outLineRight = vcoRight.process(lines_[1], rateRight);
        } else {
            outLineLeft = lines_[0].process(lineLeft);
            outLineRight = lines_[1].process(lineRight);
        }
        outLineLeft *= lines_[0].fade(s.distance[0]);
        outLineRight *= lines_[1].fade(s.distance[1]);

        // Filter in the loop or on the wet signal; wet and feedback signals.
        float wetLeft = outLineLeft;
        float wetRight = outLineRight;
        float loopLeft = outLineLeft;
        float loopRight = outLineRight;
        if (filterOut) {
            const Pair wet = filter.process(makePair(outLineLeft, outLineRight), coefficients, s.filterType);
            wetLeft = leftOf(wet);
            wetRight = rightOf(wet);
            if (s.filterPosition == FilterPosition::Feedback) {
                loopLeft = wetLeft;
                loopRight = wetRight;
            }
        }
        // The limit is symmetric, so it may come before the feedback sign.
        if (!s.driveOn) {
            loopLeft = std::min(std::max(loopLeft, -1.0f), 1.0f);
            loopRight = std::min(std::max(loopRight, -1.0f), 1.0f);
        }
        feedbackLeftState = loopLeft;
        feedbackRightState = loopRight;
        const float mix = sm[kSmoothMix];
        x.wetLeft[i] = wetLeft * s.wetSign[0] * mix;
        x.wetRight[i] = wetRight * s.wetSign[1] * mix;
    }
    clocked_ = {vcoLeft, vcoRight};
    envelope_ = {envelopeLeft, envelopeRight};
    drive_ = drive;
    filter_ = filter;
    filterCoefficients_ = coefficients;
    feedback_ = {feedbackLeftState, feedbackRightState};
    cutoffFactor_ = cutoffFactor;
    lastLineInput_ = {lineLeft, lineRight};
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
