#include "reference_engine.h"

#include <algorithm>
#include <cmath>

#include "effect/engine/anti_alias_filter.h"
#include "effect/engine/clocked_delay.h"
#include "effect/engine/drive.h"
#include "effect/engine/dsp_math.h"
#include "effect/engine/parameter_mapping.h"
#include "effect/engine/smoother.h"
#include "effect/engine/state_variable_filter.h"

namespace ruvane::test {

namespace {

// The Catmull-Rom value between p1 and p2 at position f, as the formula reads.
float catmullRomAsWritten(float p0, float p1, float p2, float p3, float f) {
    return 0.5f * (2.0f * p1 + f * (p2 - p0) + f * f * (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) +
                   f * f * f * (3.0f * p1 - p0 - 3.0f * p2 + p3));
}

}  // namespace

ReferenceEngine::ReferenceEngine() {
    applySampleRate(kDefaultSampleRate);
    beginBlock(HostTime{});
    smoothed_ = target_;
    clear();
}

void ReferenceEngine::applySampleRate(float rate) {
    rate_ = rate;
    setSampleRate(rate);
    window_ = windowLengthFor(rate);
    ringPosition_ = 0;
    smoothing_ = smoothingCoefficient(rate);
    const BiquadCoefficients aa = butterworthLowPass(antiAliasDesignHz(rate), rate);
    b0_ = aa.b0, b1_ = aa.b1, b2_ = aa.b2, a1_ = aa.a1, a2_ = aa.a2;
    lfo_.setSampleRate(rate);
    reverb_.setSampleRate(rate);
    for (int i = 0; i < 2; ++i) {
        ch_[i].line.setSampleRate(rate);
        ch_[i].line.settleFade();
        ch_[i].line.setDistance(ch_[i].line.distanceFor(delayTimeMs(i)));
    }
    dropTimeChangeRequests();
}

void ReferenceEngine::resume(double hostSampleRate, const HostTime& time) {
    const float rate = hostSampleRate >= kMinSampleRate && hostSampleRate <= kMaxSampleRate
                           ? static_cast<float>(hostSampleRate)
                           : kDefaultSampleRate;
    if (rate != rate_) applySampleRate(rate);
    adoptHostTempo(time);
    clear();
}

void ReferenceEngine::suspend() {
    beginBlock(HostTime{});
    smoothed_ = target_;
    for (int i = 0; i < 2; ++i) {
        ch_[i].line.settleFade();
        ch_[i].line.setDistance(ch_[i].line.distanceFor(delayTimeMs(i)));
    }
    dropTimeChangeRequests();
    clear();
}

void ReferenceEngine::clear() {
    for (Channel& c : ch_) {
        c.line.clear();
        c.antiAlias[0] = c.antiAlias[1] = Biquad{};
        std::fill(std::begin(c.x), std::end(c.x), 0.0f);
        std::fill(std::begin(c.y), std::end(c.y), 0.0f);
        c.rate = 1.0f;
        c.phase = 0.0f;
        c.feedback = c.envelope = c.low = c.band = c.sum = c.lineInput = 0.0f;
        c.ring.fill(0.0f);
    }
    f_ = q_ = minCarry_ = 0.0f;
    cutoffFactor_ = 1.0f;
    takeLfoRequests();
    lfo_.reset(mapping::lfoOffsetRadians(value(kModLfoOffset)));
    reverb_.reset();
}

void ReferenceEngine::beginBlock(const HostTime& time) {
    followHostTempo(time);
    for (Channel& c : ch_) {
        c.sum = 0.0f;
        for (int i = 0; i < window_; ++i) c.sum += c.ring[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < kSmoothedCount; ++i) {
        const SmoothedMapping& m = kSmoothedMappings[static_cast<std::size_t>(i)];
        target_[static_cast<std::size_t>(i)] = m.target(value(m.parameter), rate_);
    }
    s_ = readBlockSettings(*this, rate_);
    envelopeCoefficient_ = std::exp(-kTwoPi * 1000.0f / (mapping::envelopeSpeedMs(value(kModEnvSpeed)) * rate_));
    if (s_.plateReverb != plate_ || reverb_.type() != (plate_ ? Reverb::Type::Plate : Reverb::Type::Spring)) {
        plate_ = s_.plateReverb;
        reverb_.setType(plate_ ? Reverb::Type::Plate : Reverb::Type::Spring);
    }
    reverb_.setDamp(s_.reverbDamp);
    reverb_.setAmount(s_.reverbAmount);
    for (int i = 0; i < 2; ++i) {
        if (takeTimeChangeRequest(i)) ch_[i].line.startTimeChange();
        ch_[i].distance = ch_[i].line.distanceFor(delayTimeMs(i));
    }
    if (const int requests = takeLfoRequests(); requests != 0) {
        const float offset = mapping::lfoOffsetRadians(value(kModLfoOffset));
        if ((requests & kLfoRestart) != 0)
            lfo_.restart(offset);
        else
            lfo_.setOffset(offset);
    }
    // Random-wave trigger on the host's bar grid.
    const int n = switchPosition(value(kModLfoNum), 5);
    lfo_.disarmTrigger();
    if (time.positionValid && n != 0 && std::isfinite(time.ppqPosition)) {
        const double period = 4.0 * n;
        const double k = std::trunc(time.ppqPosition / period + 1.0);
        const double samples = (period * k - time.ppqPosition) * 60.0 * rate_ / static_cast<double>(tempoBpm());
        if (samples >= 0.0 && samples < 1e9) lfo_.armTrigger(static_cast<int>(samples));
    }
    if (smoothed_[kSmoothCutoff] > 0.5f * rate_) smoothed_[kSmoothCutoff] = 0.5f * rate_;
}

float ReferenceEngine::antiAlias(Channel& c, float x) const {
    for (Biquad& b : c.antiAlias) {
        const float y = b0_ * x + b1_ * b.x1 + b2_ * b.x2 - a1_ * b.y1 - a2_ * b.y2;
        b.x2 = b.x1;
        b.x1 = x;
        b.y2 = b.y1;
        b.y1 = flush(y);
        x = y;
    }
    return x;
}

void ReferenceEngine::filterCoefficients(float cutoffHz, float resonance) {
    float fc = std::min(cutoffHz, rate_ / kCutoffCeilingDivisor);
    if (!(fc > 0.0f)) fc = 0.0f;
    f_ = 2.0f * sinSmallAngle(kPi * fc / (2.0f * rate_));
    const float q = FilterCoefficients::dampingFor(resonance);
    const float qMax = f_ > 0.0f ? std::min(2.0f / f_ - f_ / 2.0f, kMaxQ) : kMaxQ;
    q_ = std::min(q, qMax);
    minCarry_ = FilterCoefficients::minCarryFor(f_, q_);
}

float ReferenceEngine::filter(Channel& c, float x) {
    float out = 0.0f;
    for (int pass = 0; pass < 2; ++pass) {
        c.band = flush(c.band);
        c.low = flush(c.low + f_ * c.band);
        const float high = x - q_ * c.band - c.low;
        // band - 0.075 band^3, with the carried share held at the stability bound.
        const float share = std::max(minCarry_, 1.0f - StateVariableFilter::kCubic * c.band * c.band);
        c.band = f_ * high + share * c.band;
        switch (s_.filterType) {
            case FilterType::LowPass: out += c.low; break;
            case FilterType::BandPass: out += c.band; break;
            case FilterType::HighPass: out += high; break;
        }
    }
    return 0.5f * out;
}

float ReferenceEngine::clocked(Channel& c, float r) {
    r = std::clamp(r, ClockedDelay::kMinRate, ClockedDelay::kMaxRate);
    float t = 1.0f - (1.0f - c.phase) * r * (1.0f / c.rate);
    t = std::max(t, 0.0f);
    c.rate = r;
    float p = t + r;
    float u = 1.0f - t;
    while (p >= 1.0f) {
        p -= 1.0f;
        const float at = catmullRomAsWritten(c.x[0], c.x[1], c.x[2], c.x[3], u * (1.0f / r));
        c.y[0] = c.y[1];
        c.y[1] = c.y[2];
        c.y[2] = c.y[3];
        c.y[3] = c.line.clock(at);
        u += 1.0f;
    }
    c.phase = p;
    return catmullRomAsWritten(c.y[0], c.y[1], c.y[2], c.y[3], p);
}

void ReferenceEngine::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                              const HostTime& time) {
    beginBlock(time);
    if (frames <= 0) return;
    if (inRight == nullptr) inRight = inLeft;
    const float n = static_cast<float>(window_);
    for (int i = 0; i < frames; ++i) {
        // 1, 2: guards and smoothers.
        guardA_ = -guardA_;
        guardB_ = -guardB_;
        // The guard joins the target first, as in the engine: the Vco depth reaches the
        // clock rate from here.
        for (int k = 0; k < kSmoothedCount; ++k)
            smoothed_[k] = smoothing_ * smoothed_[k] + ((1.0f - smoothing_) * target_[k] + guardA_);
        const auto sm = [&](int k) { return smoothed_[static_cast<std::size_t>(k)]; };

        // 3: input gain (host input beyond +-1000 or NaN is limited first).
        const auto limited = [](float x) { return std::isnan(x) ? 0.0f : std::clamp(x, -1000.0f, 1000.0f); };
        float dry[2] = {limited(inLeft[i]) * sm(kSmoothInputGain), limited(inRight[i]) * sm(kSmoothInputGain)};

        // 4: filter coefficients with the previous sample's cutoff factor; "in" filter.
        if (s_.filterOn) {
            filterCoefficients(sm(kSmoothCutoff) * cutoffFactor_, sm(kSmoothResonance));
            if (s_.filterIn())
                for (int c = 0; c < 2; ++c) dry[c] = filter(ch_[c], dry[c]);
        }
        // 5: anti-alias.
        float a[2] = {dry[0], dry[1]};
        if (s_.vcoOn)
            for (int c = 0; c < 2; ++c) a[c] = antiAlias(ch_[c], dry[c]);

        // 6: feedback routing.
        const float fL = flush(ch_[0].feedback * s_.feedbackSign[0] * sm(kSmoothFeedbackLeft));
        const float fR = flush(ch_[1].feedback * s_.feedbackSign[1] * sm(kSmoothFeedbackRight));
        const float x = sm(kSmoothPanLeft) * fL + sm(kSmoothPanRight) * fR;
        float lineIn[2] = {a[0] + (fL + fR - x), a[1] + x};
        const float magnitude[2] = {std::fabs(lineIn[0]), std::fabs(lineIn[1])};

        // 7: drive.
        for (int c = 0; c < 2; ++c) {
            Channel& ch = ch_[c];
            const float m = sm(kSmoothDrive) * magnitude[c];
            ch.sum = ch.sum - ch.ring[static_cast<std::size_t>(ringPosition_)] + m;
            ch.ring[static_cast<std::size_t>(ringPosition_)] = m;
            if (s_.driveOn) lineIn[c] *= ch.sum <= 2.0f * n ? 1.0f - ch.sum * (0.25f / n) : n / ch.sum;
        }
        if (++ringPosition_ == window_) ringPosition_ = 0;

        // 8: envelope, LFO, modulation.
        const float src = sm(kSmoothModSource);
        float envMod[2];
        for (int c = 0; c < 2; ++c) {
            Channel& ch = ch_[c];
            ch.envelope = flush(envelopeCoefficient_ * ch.envelope +
                                (1.0f - envelopeCoefficient_) / n * s_.sensitivity * magnitude[c]);
            envMod[c] = (ch.envelope - 0.5f) * 2.0f * src;
        }
        float speedOctaves[2] = {0.0f, 0.0f};  // log2 of the speed factors
        const float vcoDepth = sm(kSmoothVcoDepth);
        if (s_.modOn) {
            lfo_.process(s_.wave, s_.lfoIncrement);
            const float m[2] = {lfo_.left() * (1.0f - src), lfo_.right() * (1.0f - src)};
            const float cutoffModulation = m[0] + envMod[0];
            for (int c = 0; c < 2; ++c) speedOctaves[c] = std::min(m[c] + envMod[c] / n, 1.0f) * vcoDepth;
            cutoffFactor_ = fastExp2(kModFilterOctaves * sm(kSmoothFilterDepth) * cutoffModulation);
        } else {
            cutoffFactor_ = 1.0f;
        }

        // 9..11: histories, delay, fade.
        float out[2];
        for (int c = 0; c < 2; ++c) {
            Channel& ch = ch_[c];
            ch.x[0] = ch.x[1];
            ch.x[1] = ch.x[2];
            ch.x[2] = ch.x[3];
            ch.x[3] = lineIn[c];
            ch.lineInput = lineIn[c];
            if (s_.vcoOn) {
                // 2^manual x 2^v as one power of the summed octaves: the same rate, but
                // its rounding is the engine's, and the phase accumulates any other.
                const float r = fastExp2((1.0f - vcoDepth) * s_.manual + speedOctaves[c]);
                out[c] = clocked(ch, r);
            } else {
                out[c] = ch.line.process(lineIn[c]);
            }
            out[c] *= ch.line.fade(ch.distance);
        }

        // 12..16: filter, feedback, mix, reverb, output gain.
        float wet[2];
        for (int c = 0; c < 2; ++c) {
            float loop = out[c];
            wet[c] = out[c];
            if (s_.filterOut()) {
                wet[c] = filter(ch_[c], out[c]);
                if (s_.filterPosition == FilterPosition::Feedback) loop = wet[c];
            }
            if (!s_.driveOn) loop = std::clamp(loop, -1.0f, 1.0f);
            ch_[c].feedback = loop;
            wet[c] = wet[c] * s_.wetSign[c] * sm(kSmoothMix);
        }
        const float dryShare = 1.0f - sm(kSmoothMix);
        if (s_.reverbOnOutput)
            for (int c = 0; c < 2; ++c) wet[c] += dry[c] * dryShare;
        if (s_.reverbOn) {
            wet[0] += guardB_;
            wet[1] += guardB_;
            reverb_.process(wet[0], wet[1]);
        }
        if (!s_.reverbOnOutput)
            for (int c = 0; c < 2; ++c) wet[c] += dry[c] * dryShare;
        for (float& w : wet) w *= sm(kSmoothOutputGain);

        // 17, 18: bypass and the outputs.
        if (s_.bypass) {
            wet[0] = inLeft[i];
            wet[1] = inRight[i];
        }
        if (outRight != nullptr) {
            outLeft[i] = wet[0];
            outRight[i] = wet[1];
        } else {
            outLeft[i] = 0.5f * (wet[0] + wet[1]);
        }
    }
    // Block end: with the Vco off its anti-alias filters settle on the line input.
    if (!s_.vcoOn)
        for (Channel& c : ch_)
            c.antiAlias[0] = c.antiAlias[1] = Biquad{c.lineInput, c.lineInput, c.lineInput, c.lineInput};
}

}  // namespace ruvane::test
