#include "effect/engine/signal_path.h"

#include <algorithm>
#include <cmath>

#include "effect/engine/modulated_clock_rate.h"
#include "effect/engine/parameter_mapping.h"

namespace ruvane {

namespace {

// Host input beyond +60 dBFS (or not a number) is limited before it enters the engine,
// so no stage can overflow.
constexpr float kInputLimit = 1000.0f;

inline float limitInput(float x) {
    if (x >= -kInputLimit && x <= kInputLimit) return x;
    if (x > kInputLimit) return kInputLimit;
    if (x < -kInputLimit) return -kInputLimit;
    return 0.0f;  // NaN
}

}  // namespace

SignalPath::SignalPath() { meter_.setLength(kDefaultMeterDelay); }

void SignalPath::setSampleRate(float rate, EngineControls& controls) {
    sampleRate_ = rate;
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
    lastPlateReverb_.reset();
    placeReadPositions(controls);
    applyControls(controls);
}

void SignalPath::placeReadPositions(EngineControls& controls) {
    controls.dropTimeChangeRequests();
    for (int line = 0; line < 2; ++line) {
        lines_[line].settleFade();
        lines_[line].setDistance(lines_[line].distanceFor(controls.delayTimeMs(line)));
    }
}

void SignalPath::settle(EngineControls& controls) {
    applyControls(controls);
    smoothers_.settle();
    placeReadPositions(controls);
    clear(controls);
}

void SignalPath::clear(EngineControls& controls) {
    for (auto& line : lines_) line.clear();
    antiAlias_.reset();
    for (auto& vco : clocked_) vco.reset();
    for (auto& env : envelope_) env.reset();
    filter_.reset();
    feedback_ = {0.0f, 0.0f};
    filterCoefficients_.reset();
    cutoffFactor_ = 1.0f;
    lastLineInput_ = {0.0f, 0.0f};
    controls.takeLfoRequests();  // the reset below places the phases anew
    lfo_.reset(mapping::lfoOffsetRadians(controls.value(kModLfoOffset)));
    drive_.reset();
    meter_.reset();
    reverb_.reset();
}

std::size_t SignalPath::bufferBytes() const {
    const std::size_t lineFloats = 2 * static_cast<std::size_t>(lines_[0].length());
    const std::size_t meterFloats = 2 * static_cast<std::size_t>(meter_.length());
    return (lineFloats + meterFloats) * sizeof(float) + reverb_.bufferBytes();
}

void SignalPath::applyControls(EngineControls& controls) {
    for (int i = 0; i < kSmoothedCount; ++i) {
        const SmoothedMapping& m = kSmoothedMappings[static_cast<std::size_t>(i)];
        const float v = controls.value(m.parameter);
        if (v != lastSmoothedValue_[static_cast<std::size_t>(i)]) {
            lastSmoothedValue_[static_cast<std::size_t>(i)] = v;
            smoothers_.setTarget(static_cast<std::size_t>(i), m.target(v, sampleRate_));
        }
    }
    settings_ = readBlockSettings(controls, sampleRate_);
    const BlockSettings& s = settings_;

    const float speedValue = controls.value(kModEnvSpeed);
    if (speedValue != lastEnvelopeSpeedValue_) {
        lastEnvelopeSpeedValue_ = speedValue;
        for (auto& env : envelope_) env.setSpeed(mapping::envelopeSpeedMs(speedValue), sampleRate_, windowLength_);
    }
    if (lastPlateReverb_ != s.plateReverb) {
        lastPlateReverb_ = s.plateReverb;
        reverb_.setType(s.plateReverb ? Reverb::Type::Plate : Reverb::Type::Spring);
        lastReverbDamp_ = -1.0f;  // the decay coefficients follow the type
    }
    if (s.reverbDamp != lastReverbDamp_) {
        lastReverbDamp_ = s.reverbDamp;
        reverb_.setDamp(s.reverbDamp);
    }
    if (s.reverbAmount != lastReverbAmount_) {
        lastReverbAmount_ = s.reverbAmount;
        reverb_.setAmount(s.reverbAmount);
    }
    // Delay-time changes posted since the last block start their fades.
    for (int line = 0; line < 2; ++line) {
        if (controls.takeTimeChangeRequest(line)) lines_[line].startTimeChange();
        distance_[line] = lines_[line].distanceFor(controls.delayTimeMs(line));
    }
    // LFO re-phasing posted by wave and offset changes.
    if (const int requests = controls.takeLfoRequests(); requests != 0) {
        const float offset = mapping::lfoOffsetRadians(controls.value(kModLfoOffset));
        if ((requests & kLfoRestart) != 0)
            lfo_.restart(offset);
        else if ((requests & kLfoRephase) != 0)
            lfo_.setOffset(offset);
    }
}

void SignalPath::armRandomTrigger(const EngineControls& controls, const HostTime& time) {
    const int n = switchPosition(controls.value(kModLfoNum), 5);
    if (!time.positionValid || n == 0 || !std::isfinite(time.ppqPosition)) {
        lfo_.disarmTrigger();
        return;
    }
    const double period = 4.0 * n;  // quarter notes between triggers
    const double k = std::trunc(time.ppqPosition / period + 1.0);
    const double samples =
        (period * k - time.ppqPosition) * 60.0 * sampleRate_ / static_cast<double>(controls.tempoBpm());
    if (!(samples >= 0.0 && samples < 1e9)) {
        lfo_.disarmTrigger();
        return;
    }
    lfo_.armTrigger(static_cast<int>(samples));
}

void SignalPath::beginBlock(EngineControls& controls, const HostTime& time) {
    drive_.recomputeSums();
    applyControls(controls);
    armRandomTrigger(controls, time);
    const float halfRate = 0.5f * sampleRate_;
    if (smoothers_.value(kSmoothCutoff) > halfRate) smoothers_.setValue(kSmoothCutoff, halfRate);
}

void SignalPath::run(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
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
void SignalPath::runChunk(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                               int frames) {
    const BlockSettings s = settings_;  // a copy: the loops' stores cannot alias it
    Scratch& x = scratch_;
    // The guards run in locals, so their sign flips stay in registers.
    AlternatingGuard smootherGuard = smootherGuard_;
    smoothers_.run(frames, smootherGuard, x.smoothed.data());
    smootherGuard_ = smootherGuard;

    // Input gain and meters.
    for (int i = 0; i < frames; ++i) {
        const float inputGain = x.smoothed[i][kSmoothInputGain];
        x.dryLeft[i] = limitInput(inLeft[i]) * inputGain;
        x.dryRight[i] = limitInput(inRight[i]) * inputGain;
    }
    meter_.run(x.dryLeft.data(), x.dryRight.data(), frames);
    // The "in" filter depends on the loop's modulation; otherwise the line inputs before
    // feedback are known now.
    if (!s.filterIn()) {
        if (s.vcoOn) {
            antiAlias_.run(x.dryLeft.data(), x.dryRight.data(), x.lineLeft.data(), x.lineRight.data(), frames);
        } else {
            std::copy_n(x.dryLeft.data(), frames, x.lineLeft.data());
            std::copy_n(x.dryRight.data(), frames, x.lineRight.data());
        }
    }
    if (s.modOn) lfo_.run(s.wave, s.lfoIncrement, x.lfoLeft.data(), x.lfoRight.data(), frames);

    if (naturalClockRun(frames))
        runLoop<true>(frames);
    else
        runLoop<false>(frames);

    // Mix, reverb, output gain.
    AlternatingGuard reverbGuard = reverbGuard_;
    for (int i = 0; i < frames; ++i) {
        const float guard = reverbGuard.next();
        const float dryShare = 1.0f - x.smoothed[i][kSmoothMix];
        if (s.reverbOnOutput) {
            x.wetLeft[i] += x.dryLeft[i] * dryShare;
            x.wetRight[i] += x.dryRight[i] * dryShare;
        }
        if (s.reverbOn) {
            x.wetLeft[i] += guard;
            x.wetRight[i] += guard;
        }
    }
    reverbGuard_ = reverbGuard;
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
bool SignalPath::naturalClockRun(int frames) const {
    const BlockSettings& s = settings_;
    // With "Vco Manual" at its centre the clock rate is 2^(v depth) (v the modulation, at
    // most 1.25 in size): exactly 1 without modulation, and also with modulation while
    // "Vco Mod" sits at its centre, where the smoothed depth stays within its denormal
    // guard of 0 and 2^(v depth) rounds to 1.
    if (!s.vcoOn || s.manual != 0.0f) return false;
    constexpr float kStillDepth = 1e-8f;  // 1.25 x this stays below 2^-25
    if (s.modOn)
        for (int i = 0; i < frames; ++i)
            if (!(std::fabs(scratch_.smoothed[static_cast<std::size_t>(i)][kSmoothVcoDepth]) <= kStillDepth))
                return false;
    for (int line = 0; line < 2; ++line)
        if (!clocked_[line].atNaturalClock() || !lines_[line].fadeSettled() || lines_[line].distance() < frames)
            return false;
    return true;
}

template <bool NaturalClock>
void SignalPath::runLoop(int frames) {
    const BlockSettings s = settings_;  // a copy: the loop's stores cannot alias it
    Scratch& x = scratch_;
    const bool filterIn = s.filterIn();
    const bool filterOut = s.filterOut();
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
    // The modulated clock rates' powers of what precedes each sample's input (see
    // ModulatedClockRate): sample j's exponents, from the envelopes before its input.
    float baseLeft = 1.0f, baseRight = 1.0f;
    const auto baseOctavesAt = [&](int j, float envelopeBeforeLeft, float envelopeBeforeRight) {
        const std::array<float, kSmootherLanes>& at = x.smoothed[static_cast<std::size_t>(j)];
        const float source = at[kSmoothModSource];
        const float depth = at[kSmoothVcoDepth];
        const float manualOctaves = (1.0f - depth) * s.manual;
        const float envelopeScale = 2.0f * source * inverseWindowLength_;
        return std::array<float, 2>{
            ModulatedClockRate::baseOctaves(manualOctaves, x.lfoLeft[j] * (1.0f - source), envelopeScale, depth,
                                            envelopeLeft.coefficient() * envelopeBeforeLeft),
            ModulatedClockRate::baseOctaves(manualOctaves, x.lfoRight[j] * (1.0f - source), envelopeScale, depth,
                                            envelopeRight.coefficient() * envelopeBeforeRight)};
    };
    if constexpr (NaturalClock) {
        vcoLeft.readNaturalRun(lines_[0], x.vcoLeft.data(), frames);
        vcoRight.readNaturalRun(lines_[1], x.vcoRight.data(), frames);
    }

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
        const float previousEnvelopeLeft = envelopeLeft.value();
        const float previousEnvelopeRight = envelopeRight.value();
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
            // (A natural-clock run has its rate fixed at 1: only the cutoff factor is needed.)
            if (s.vcoOn && !NaturalClock) {
                // envMod / N = (e - 0.5) k with k = 2 source / N: the same value, since N is
                // a power of two.
                const float envelopeScale = 2.0f * source * inverseWindowLength_;
                if (i == 0) {
                    const std::array<float, 2> octaves = baseOctavesAt(0, previousEnvelopeLeft, previousEnvelopeRight);
                    const __m128 bases = fastExp2x4(_mm_setr_ps(octaves[0], octaves[1], 0.0f, 0.0f));
                    baseLeft = laneOf<0>(bases);
                    baseRight = laneOf<1>(bases);
                }
                const ModulatedClockRate left(baseLeft, manualOctaves, lfoLeft, envelopeScale, vcoDepth,
                                              envelopeLeft.weight() * s.sensitivity);
                const ModulatedClockRate right(baseRight, manualOctaves, lfoRight, envelopeScale, vcoDepth,
                                               envelopeRight.weight() * s.sensitivity);
                rateLeft = left.rate(magnitudeLeft, envelopeLeftValue);
                rateRight = right.rate(magnitudeRight, envelopeRightValue);
                // The next sample's bases go with this sample's cutoff factor into one power
                // of four lanes: they wait for this sample's envelope only.
                const std::array<float, 2> next = i + 1 < frames
                                                      ? baseOctavesAt(i + 1, envelopeLeftValue, envelopeRightValue)
                                                      : std::array<float, 2>{0.0f, 0.0f};
                const __m128 powers = fastExp2x4(_mm_setr_ps(cutoffOctaves, next[0], next[1], 0.0f));
                cutoffFactor = laneOf<0>(powers);
                baseLeft = laneOf<1>(powers);
                baseRight = laneOf<2>(powers);
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
        float outLineLeft;
        float outLineRight;
        if constexpr (NaturalClock) {
            // Read ahead; the ticks follow after the loop. The fades are settled (gain 1).
            outLineLeft = x.vcoLeft[i];
            outLineRight = x.vcoRight[i];
            x.tickLeft[i] = lineLeft;
            x.tickRight[i] = lineRight;
        } else {
            if (s.vcoOn) {
                vcoLeft.pushInput(lineLeft);
                vcoRight.pushInput(lineRight);
                outLineLeft = vcoLeft.process(lines_[0], rateLeft);
                outLineRight = vcoRight.process(lines_[1], rateRight);
            } else {
                vcoLeft.pushUnflushed(lineLeft);
                vcoRight.pushUnflushed(lineRight);
                outLineLeft = lines_[0].process(lineLeft);
                outLineRight = lines_[1].process(lineRight);
            }
            outLineLeft *= lines_[0].fade(distance_[0]);
            outLineRight *= lines_[1].fade(distance_[1]);
        }

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
    if constexpr (NaturalClock) {
        vcoLeft.writeNaturalRun(lines_[0], x.tickLeft.data(), frames);
        vcoRight.writeNaturalRun(lines_[1], x.tickRight.data(), frames);
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

}  // namespace ruvane
