#include "effect/engine/reverb.h"

#include <algorithm>
#include <cmath>

#include "effect/engine/dsp_math.h"

namespace ruvane {

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// Allpass gain of the spring networks.
constexpr float kSpringAllpass = 0.7071f;
constexpr float kSpringOutput = 0.1625f;
constexpr float kPlateOutput = 0.3f;

// Tap constants, in buffer order A0..A5, C0..C5, D0..D3; the delay is scale x K.
constexpr double kSpringTaps[Reverb::kBufferCount] = {
    0.5 * 32767.0, 0.5 * 32767.0,
    0.5 * 39513.06570839413, 0.5 * 39513.06570839413,
    0.5 * 47647.92275589291, 0.5 * 47647.92275589291,
    515.4478875, 515.4478875, 427.4463375, 427.4463375, 389.250225, 389.250225,
    2606.01705, 2568.42495, 2129.11335, 2160.07155,
};
constexpr double kPlateTaps[Reverb::kBufferCount] = {
    0.0, 0.0, 0.0, 0.0, 0.0, 0.0,  // group A is silent in the plate
    0.5 * 3182331.04, 0.5 * 2662541.5656, 0.5 * 3295698.3066,
    0.5 * 2506079.1406, 0.5 * 3064032.3399, 0.5 * 2924267.9781,
    0.75 * 417287.745, 0.75 * 156341.1871, 0.75 * 304978.8525, 0.75 * 117807.1951,
};

std::uint32_t maskForRate(float sampleRate) {
    if (sampleRate < 50000.0f) return 0x7FFF;
    if (sampleRate < 100000.0f) return 0xFFFF;
    return 0x1FFFF;
}

}  // namespace

Reverb::Reverb() {
    setSampleRate(44100.0f);
    setDamp(0.0f);
}

void Reverb::setSampleRate(float sampleRate) {
    if (!(sampleRate >= 1000.0f && sampleRate <= 200000.0f)) sampleRate = 44100.0f;  // owner passes 4096..200000
    sampleRate_ = sampleRate;
    const std::uint32_t mask = maskForRate(sampleRate);
    if (!storage_ || mask != mask_) {
        mask_ = mask;
        // Each buffer starts one cache line further into its stride than the last, so the
        // writes of one sample (all at the same index) do not collide in one cache set.
        const std::size_t length = std::size_t{mask} + 1;
        const std::size_t stride = length + 16;
        storageFloats_ = stride * kBufferCount;
        storage_.reset();
        storage_ = std::make_unique<float[]>(storageFloats_);  // zeroed
        for (int i = 0; i < kBufferCount; ++i) buffer_[i] = storage_.get() + stride * i;
    }
    reset();
    applyType();
}

void Reverb::setType(Type type) {
    type_.store(type, relaxed);
    applyType();
}

void Reverb::applyType() {
    const Type type = type_.load(relaxed);
    const double rate = sampleRate_;
    const double scale = type == Type::Spring ? rate / 303187.5 : rate * 44.1 * 5.0 / 1445024700.0;
    const double* taps = type == Type::Spring ? kSpringTaps : kPlateTaps;

    // Write positions restart at mask; each read position is trunc(mask - scale x K).
    write_ = mask_;
    for (int i = 0; i < kBufferCount; ++i) {
        const double read = std::trunc(static_cast<double>(mask_) - scale * taps[i]);
        const double lag = static_cast<double>(mask_) - read;
        // A lag of 0 would read the slot about to be written; more than mask wraps around.
        distance_[i] = static_cast<std::uint32_t>(std::clamp(lag, 1.0, static_cast<double>(mask_)));
    }
    // The plate's passes need runs no longer than its tank taps' distances (see
    // runPlate; over 700 samples at every rate the effect runs at); the spring runs
    // sample by sample and takes any run.
    runLimit_ = kMaxRun;
    if (type == Type::Plate)
        for (int i = C0; i <= C5; ++i) runLimit_ = std::min(runLimit_, static_cast<int>(distance_[i]));

    // Band-pass around 800 Hz (spring) or 2000 Hz (plate).
    const double w0 = (type == Type::Spring ? 5026.4 : 12566.0) / rate;
    const double alpha = std::sin(w0) / (type == Type::Spring ? 0.2 : 0.12);
    b0_ = static_cast<float>(alpha / (1.0 + alpha));
    a1_ = static_cast<float>(-2.0 * std::cos(w0) / (1.0 + alpha));
    a2_ = static_cast<float>((1.0 - alpha) / (1.0 + alpha));
    outScale_ = type == Type::Spring ? kSpringOutput : kPlateOutput;

    applyDamp();
}

void Reverb::setDamp(float damp) {
    if (!(damp >= 0.0f)) damp = 0.0f;  // also catches NaN
    damp_.store(std::min(damp, 1.0f), relaxed);
    applyDamp();
}

void Reverb::applyDamp() {
    const float v = damp_.load(relaxed);
    const float a = std::pow(100.0f, v);
    const float decay = std::pow(0.5f, a / 100.0f);
    float g1, g2, lp;
    if (type_.load(relaxed) == Type::Spring) {
        const float base = std::sqrt(0.56f) * decay;
        g1 = 0.7f * base;
        g2 = 0.3f * base;
        lp = 0.52f * (1.0f - v) + 0.2f;
    } else {
        g1 = decay;
        g2 = std::sqrt(std::sqrt(decay));
        lp = 0.4f * (1.0f - v) + 0.4f;
    }
    lp_.store(lp, relaxed);
    g1_.store(g1, relaxed);
    g2_.store(g2, relaxed);
    g1Mid_.store(0.975f * g1, relaxed);
    g1Low_.store(0.95f * g1, relaxed);
    diffusion_.store(0.7f * g2, relaxed);
    tank_.store(0.7f * g1, relaxed);
}

void Reverb::setAmount(float amount) {
    if (!(amount >= 0.0f)) amount = 0.0f;
    amount_.store(std::min(amount, 1.0f), relaxed);
}

void Reverb::reset() {
    std::fill(storage_.get(), storage_.get() + storageFloats_, 0.0f);
    lowPass_.fill(0.0f);
    bandLeft_ = {};
    bandRight_ = {};
}

std::size_t Reverb::bufferBytes() const { return storageFloats_ * sizeof(float); }


// Where every buffer of one run reads and writes: the first sample's addresses. Within a
// run no index wraps, so sample i of the run is at offset i from each of them.
struct Reverb::Run {
    float* write[kBufferCount];
    const float* tap[kBufferCount];
    std::uint32_t read[kBufferCount];
    int length;
    // Buffer b read at the tap position of buffer t.
    const float* at(const Reverb& reverb, int b, int t) const { return reverb.buffer_[b] + read[t]; }
};

Reverb::Run Reverb::startRun(int frames) const {
    Run run;
    const std::uint32_t length = mask_ + 1;
    std::uint32_t room = length - write_;
    for (int i = 0; i < kBufferCount; ++i) {
        const std::uint32_t read = (write_ - distance_[i]) & mask_;
        room = std::min(room, length - read);
        run.write[i] = buffer_[i] + write_;
        run.tap[i] = buffer_[i] + read;
        run.read[i] = read;
    }
    run.length = static_cast<int>(std::min(room, static_cast<std::uint32_t>(frames)));
    return run;
}

// Spring: six recirculating delays (A), an allpass on each (C), two allpasses per output
// (D). Returns the networks' outputs before the band-pass in wetLeft/wetRight.
void Reverb::runSpring(const float* in, float* wetLeft, float* wetRight, const Run& r) {
    const float lp = lp_.load(relaxed);
    const float g1 = g1_.load(relaxed);
    const float g2 = g2_.load(relaxed);
    const float g1Mid = g1Mid_.load(relaxed);
    const float g1Low = g1Low_.load(relaxed);
    constexpr float g = kSpringAllpass;
    float s0 = lowPass_[0], s2 = lowPass_[2], s4 = lowPass_[4];
    float s1 = lowPass_[1], s3 = lowPass_[3], s5 = lowPass_[5];
    const float* a3AtA1 = r.at(*this, A3, A1);
    for (int i = 0; i < r.length; ++i) {
        // The recirculating pairs' outputs: even ones damped, odd ones plain.
        s0 += (r.tap[A0][i] - s0) * lp;
        s1 = r.tap[A1][i];
        s2 += (r.tap[A2][i] - s2) * lp;
        s3 = r.tap[A3][i];
        s4 += (r.tap[A4][i] - s4) * lp;
        s5 = r.tap[A5][i];

        // One allpass in group C on each.
        const float y0 = r.tap[C0][i] - g * s0;
        const float y1 = r.tap[C1][i] - g * s1;
        const float y2 = r.tap[C2][i] - g * s2;
        const float y3 = r.tap[C3][i] - g * s3;
        const float y4 = r.tap[C4][i] - g * s4;
        const float y5 = r.tap[C5][i] - g * s5;
        r.write[C0][i] = s0 + g * y0;
        r.write[C1][i] = s1 + g * y1;
        r.write[C2][i] = s2 + g * y2;
        r.write[C3][i] = s3 + g * y3;
        r.write[C4][i] = s4 + g * y4;
        r.write[C5][i] = s5 + g * y5;

        const float new1 = y0 + g1 * y1;
        const float new3 = y2 + g1Mid * y3;
        const float new5 = y4 + g1Low * y5;
        // Both delayed terms are read at A1's tap, before A1 and A3 are written.
        const float left = a3AtA1[i] + new1 + new5;
        const float right = r.tap[A1][i] + new3 + new5;
        const float x = in[i];
        r.write[A0][i] = g1 * (y0 + g2 * y1) + x;
        r.write[A1][i] = new1;
        r.write[A2][i] = g1Mid * (y2 + g2 * y3) + x;
        r.write[A3][i] = new3;
        r.write[A4][i] = g1Low * (y4 + g2 * y5) + x;
        r.write[A5][i] = new5;

        const float u = r.tap[D0][i] - g * left;
        r.write[D0][i] = left + g * u;
        const float v = r.tap[D2][i] - g * u;
        r.write[D2][i] = u + g * v;
        const float uR = r.tap[D1][i] - g * right;
        r.write[D1][i] = right + g * uR;
        const float vR = r.tap[D3][i] - g * uR;
        r.write[D3][i] = uR + g * vR;
        wetLeft[i] = v;
        wetRight[i] = vR;
    }
    lowPass_ = {s0, s1, s2, s3, s4, s5};
}

// Plate: four input allpasses in series (D), six damped allpasses in parallel (C).
// The work goes in three passes over the run: the diffusion chain four samples at a
// time, the six damping low-passes (the only sample-to-sample recursions) one sample at
// a time, and the tank allpasses and outputs four samples at a time. Each value comes
// from the same operations in the same order as sample by sample, as long as the second
// pass never reads what the third writes (no run is longer than a tank tap's distance)
// and no four samples read what they write themselves (every tap lies at least four
// samples back: the shortest, D3, is 13 samples at 1000 Hz).
void Reverb::runPlate(const float* in, float* wetLeft, float* wetRight, const Run& r) {
    const int n = r.length;
    const int vectorEnd = n & ~3;
    alignas(16) float diffused[kMaxRun];        // y3, the diffusion chain's output
    alignas(16) float damped[kLowPasses][kMaxRun];  // the low-passes after each sample

    // Diffusion chain (D0..D3).
    {
        const float G = diffusion_.load(relaxed);
        const __m128 g = _mm_set1_ps(G);
        const float *tap0 = r.tap[D0], *tap1 = r.tap[D1], *tap2 = r.tap[D2], *tap3 = r.tap[D3];
        float *write0 = r.write[D0], *write1 = r.write[D1], *write2 = r.write[D2], *write3 = r.write[D3];
        int i = 0;
        for (; i < vectorEnd; i += 4) {
            const __m128 x = _mm_loadu_ps(in + i);
            const __m128 y0 = _mm_sub_ps(_mm_loadu_ps(tap0 + i), _mm_mul_ps(g, x));
            const __m128 y1 = _mm_add_ps(_mm_loadu_ps(tap1 + i), _mm_mul_ps(g, y0));
            const __m128 y2 = _mm_sub_ps(_mm_loadu_ps(tap2 + i), _mm_mul_ps(g, y1));
            const __m128 y3 = _mm_add_ps(_mm_loadu_ps(tap3 + i), _mm_mul_ps(g, y2));
            _mm_storeu_ps(write0 + i, _mm_add_ps(x, _mm_mul_ps(g, y0)));
            _mm_storeu_ps(write1 + i, _mm_sub_ps(y0, _mm_mul_ps(g, y1)));
            _mm_storeu_ps(write2 + i, _mm_add_ps(y1, _mm_mul_ps(g, y2)));
            _mm_storeu_ps(write3 + i, _mm_sub_ps(y2, _mm_mul_ps(g, y3)));
            _mm_store_ps(diffused + i, y3);
        }
        for (; i < n; ++i) {
            const float x = in[i];
            const float y0 = tap0[i] - G * x;
            const float y1 = tap1[i] + G * y0;
            const float y2 = tap2[i] - G * y1;
            const float y3 = tap3[i] + G * y2;
            write0[i] = x + G * y0;
            write1[i] = y0 - G * y1;
            write2[i] = y1 + G * y2;
            write3[i] = y2 - G * y3;
            diffused[i] = y3;
        }
    }

    // Damping low-passes on the tank taps (C0..C5).
    {
        const float lp = lp_.load(relaxed);
        const float keep = 1.0f - lp;
        std::array<float, kLowPasses> s = lowPass_;
        for (int i = 0; i < n; ++i) {
            for (int k = 0; k < kLowPasses; ++k) {
                s[k] = keep * s[k] + lp * r.tap[C0 + k][i];
                damped[k][i] = s[k];
            }
        }
        lowPass_ = s;
    }

    // Tank allpasses and the outputs, which read the tank at the diffusion taps' positions.
    {
        const float Gt = tank_.load(relaxed);
        const __m128 gt = _mm_set1_ps(Gt);
        const float* c3AtD2 = r.at(*this, C3, D2);
        const float* c0AtD0 = r.at(*this, C0, D0);
        const float* c2AtD3 = r.at(*this, C2, D3);
        const float* c1AtD1 = r.at(*this, C1, D1);
        float* const write[6] = {r.write[C0], r.write[C1], r.write[C2], r.write[C3], r.write[C4], r.write[C5]};
        int i = 0;
        for (; i < vectorEnd; i += 4) {
            const __m128 y3 = _mm_load_ps(diffused + i);
            const __m128 gy = _mm_mul_ps(gt, y3);
            const __m128 c0 = _mm_sub_ps(y3, _mm_mul_ps(gt, _mm_add_ps(_mm_load_ps(damped[0] + i), gy)));
            const __m128 c1 = _mm_add_ps(y3, _mm_mul_ps(gt, _mm_sub_ps(_mm_load_ps(damped[1] + i), gy)));
            const __m128 c2 = _mm_sub_ps(y3, _mm_mul_ps(gt, _mm_add_ps(_mm_load_ps(damped[2] + i), gy)));
            const __m128 c3 = _mm_add_ps(y3, _mm_mul_ps(gt, _mm_sub_ps(_mm_load_ps(damped[3] + i), gy)));
            const __m128 c4 = _mm_sub_ps(y3, _mm_mul_ps(gt, _mm_add_ps(_mm_load_ps(damped[4] + i), gy)));
            const __m128 c5 = _mm_add_ps(y3, _mm_mul_ps(gt, _mm_sub_ps(_mm_load_ps(damped[5] + i), gy)));
            _mm_storeu_ps(wetLeft + i,
                          _mm_add_ps(_mm_add_ps(_mm_loadu_ps(c3AtD2 + i), _mm_loadu_ps(c0AtD0 + i)), c4));
            _mm_storeu_ps(wetRight + i,
                          _mm_add_ps(_mm_add_ps(_mm_loadu_ps(c2AtD3 + i), _mm_loadu_ps(c1AtD1 + i)), c5));
            _mm_storeu_ps(write[0] + i, c0);
            _mm_storeu_ps(write[1] + i, c1);
            _mm_storeu_ps(write[2] + i, c2);
            _mm_storeu_ps(write[3] + i, c3);
            _mm_storeu_ps(write[4] + i, c4);
            _mm_storeu_ps(write[5] + i, c5);
        }
        for (; i < n; ++i) {
            const float y3 = diffused[i];
            const float Gy = Gt * y3;
            const float c0 = y3 - Gt * (damped[0][i] + Gy);
            const float c1 = y3 + Gt * (damped[1][i] - Gy);
            const float c2 = y3 - Gt * (damped[2][i] + Gy);
            const float c3 = y3 + Gt * (damped[3][i] - Gy);
            const float c4 = y3 - Gt * (damped[4][i] + Gy);
            const float c5 = y3 + Gt * (damped[5][i] - Gy);
            wetLeft[i] = c3AtD2[i] + c0AtD0[i] + c4;
            wetRight[i] = c2AtD3[i] + c1AtD1[i] + c5;
            write[0][i] = c0;
            write[1][i] = c1;
            write[2][i] = c2;
            write[3][i] = c3;
            write[4][i] = c4;
            write[5][i] = c5;
        }
    }
}

void Reverb::process(float* left, float* right, int frames) {
    const bool spring = type_.load(relaxed) == Type::Spring;
    const Pair amount = splat(amount_.load(relaxed));
    const Pair b0 = splat(b0_), minusB0 = splat(-b0_), a1 = splat(a1_), a2 = splat(a2_), k = splat(outScale_);
    // Both channels' band-pass states side by side.
    Pair x1 = makePair(bandLeft_.x1, bandRight_.x1), x2 = makePair(bandLeft_.x2, bandRight_.x2);
    Pair y1 = makePair(bandLeft_.y1, bandRight_.y1), y2 = makePair(bandLeft_.y2, bandRight_.y2);
    float in[kMaxRun], wetLeft[kMaxRun], wetRight[kMaxRun];
    for (int done = 0; done < frames;) {
        const Run run = startRun(std::min(frames - done, runLimit_));
        float* const l = left + done;
        float* const r = right + done;
        for (int i = 0; i < run.length; ++i) in[i] = l[i] + r[i];
        if (spring)
            runSpring(in, wetLeft, wetRight, run);
        else
            runPlate(in, wetLeft, wetRight, run);
        for (int i = 0; i < run.length; ++i) {
            // Band-pass (b1 = 0, b2 = -b0; the stored output is flushed), then the crossfade.
            const Pair x = makePair(wetLeft[i], wetRight[i]);
            Pair y = _mm_add_ps(_mm_mul_ps(b0, x), _mm_mul_ps(minusB0, x2));
            y = _mm_sub_ps(_mm_sub_ps(y, _mm_mul_ps(a2, y2)), _mm_mul_ps(a1, y1));
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = flush(y);
            const Pair dry = makePair(l[i], r[i]);
            const Pair out = _mm_add_ps(dry, _mm_mul_ps(amount, _mm_sub_ps(_mm_mul_ps(k, y), dry)));
            l[i] = leftOf(out);
            r[i] = rightOf(out);
        }
        write_ = (write_ + static_cast<std::uint32_t>(run.length)) & mask_;
        done += run.length;
    }
    bandLeft_ = {leftOf(x1), leftOf(x2), leftOf(y1), leftOf(y2)};
    bandRight_ = {rightOf(x1), rightOf(x2), rightOf(y1), rightOf(y2)};
}

}  // namespace ruvane
