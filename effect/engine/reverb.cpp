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
    std::fill(std::begin(lowPass_), std::end(lowPass_), 0.0f);
    bandLeft_ = {};
    bandRight_ = {};
}

std::size_t Reverb::bufferBytes() const { return storageFloats_ * sizeof(float); }

namespace {

// One band-pass step: b1 = 0 and b2 = -b0; the stored output is flushed.
inline float bandPassStep(float b0, float a1, float a2, float x, float& x1, float& x2, float& y1, float& y2) {
    const float y = b0 * x + (-b0) * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = flush(y);
    return y;
}

}  // namespace

// Spring: the allpass on one group C buffer.
inline float Reverb::allpassC(int buffer, float x, std::uint32_t w, std::uint32_t mask) {
    float* const c = buffer_[buffer];
    const float y = c[(w - distance_[buffer]) & mask] - kSpringAllpass * x;
    c[w] = x + kSpringAllpass * y;
    return y;
}

// Plate: the damping low-pass on one group C tap.
inline float Reverb::dampedTap(int buffer, int state, float lp, std::uint32_t w, std::uint32_t mask) {
    const float s = lowPass_[state];
    return s + (buffer_[buffer][(w - distance_[buffer]) & mask] - s) * lp;
}

// Both networks are forced inline into process(), so a sample costs the engine one call.
[[gnu::always_inline]] inline void Reverb::processSpring(float in, float& wetLeft, float& wetRight) {
    const std::uint32_t mask = mask_;
    const std::uint32_t w = write_;
    float* const a0 = buffer_[A0];
    float* const a1 = buffer_[A1];
    float* const a2 = buffer_[A2];
    float* const a3 = buffer_[A3];
    float* const a4 = buffer_[A4];
    float* const a5 = buffer_[A5];
    const std::uint32_t rA0 = (w - distance_[A0]) & mask;
    const std::uint32_t rA1 = (w - distance_[A1]) & mask;
    const std::uint32_t rA2 = (w - distance_[A2]) & mask;
    const std::uint32_t rA3 = (w - distance_[A3]) & mask;
    const std::uint32_t rA4 = (w - distance_[A4]) & mask;
    const std::uint32_t rA5 = (w - distance_[A5]) & mask;
    const float lp = lp_.load(relaxed);
    const float g = kSpringAllpass;

    // The recirculating pairs' outputs: even ones damped, odd ones plain.
    float s0 = lowPass_[0], s2 = lowPass_[2], s4 = lowPass_[4];
    s0 += (a0[rA0] - s0) * lp;
    const float s1 = a1[rA1];
    s2 += (a2[rA2] - s2) * lp;
    const float s3 = a3[rA3];
    s4 += (a4[rA4] - s4) * lp;
    const float s5 = a5[rA5];
    lowPass_[0] = s0;
    lowPass_[1] = s1;
    lowPass_[2] = s2;
    lowPass_[3] = s3;
    lowPass_[4] = s4;
    lowPass_[5] = s5;

    // One allpass in group C on each.
    const float y0 = allpassC(C0, s0, w, mask);
    const float y1 = allpassC(C1, s1, w, mask);
    const float y2 = allpassC(C2, s2, w, mask);
    const float y3 = allpassC(C3, s3, w, mask);
    const float y4 = allpassC(C4, s4, w, mask);
    const float y5 = allpassC(C5, s5, w, mask);

    const float g1 = g1_.load(relaxed);
    const float g2 = g2_.load(relaxed);
    const float g1Mid = g1Mid_.load(relaxed);
    const float g1Low = g1Low_.load(relaxed);
    const float new1 = y0 + g1 * y1;
    const float new3 = y2 + g1Mid * y3;
    const float new5 = y4 + g1Low * y5;
    // Both delayed terms are read at A1's tap, before A1 and A3 are written.
    const float left = a3[rA1] + new1 + new5;
    const float right = a1[rA1] + new3 + new5;
    a0[w] = g1 * (y0 + g2 * y1) + in;
    a1[w] = new1;
    a2[w] = g1Mid * (y2 + g2 * y3) + in;
    a3[w] = new3;
    a4[w] = g1Low * (y4 + g2 * y5) + in;
    a5[w] = new5;

    float* const d0 = buffer_[D0];
    float* const d1 = buffer_[D1];
    float* const d2 = buffer_[D2];
    float* const d3 = buffer_[D3];
    const float u = d0[(w - distance_[D0]) & mask] - g * left;
    d0[w] = left + g * u;
    const float v = d2[(w - distance_[D2]) & mask] - g * u;
    d2[w] = u + g * v;
    const float uR = d1[(w - distance_[D1]) & mask] - g * right;
    d1[w] = right + g * uR;
    const float vR = d3[(w - distance_[D3]) & mask] - g * uR;
    d3[w] = uR + g * vR;

    wetLeft = v;
    wetRight = vR;
}

[[gnu::always_inline]] inline void Reverb::processPlate(float in, float& wetLeft, float& wetRight) {
    const std::uint32_t mask = mask_;
    const std::uint32_t w = write_;
    const std::uint32_t rD0 = (w - distance_[D0]) & mask;
    const std::uint32_t rD1 = (w - distance_[D1]) & mask;
    const std::uint32_t rD2 = (w - distance_[D2]) & mask;
    const std::uint32_t rD3 = (w - distance_[D3]) & mask;
    float* const d0 = buffer_[D0];
    float* const d1 = buffer_[D1];
    float* const d2 = buffer_[D2];
    float* const d3 = buffer_[D3];
    const float G = diffusion_.load(relaxed);
    const float Gt = tank_.load(relaxed);
    const float lp = lp_.load(relaxed);

    // Input diffusion: four allpasses in series, alternating sign.
    const float y0 = d0[rD0] - G * in;
    const float y1 = d1[rD1] + G * y0;
    const float y2 = d2[rD2] - G * y1;
    const float y3 = d3[rD3] + G * y2;
    d0[w] = in + G * y0;
    d1[w] = y0 - G * y1;
    d2[w] = y1 + G * y2;
    d3[w] = y2 - G * y3;

    // Six damped allpasses in parallel on y3.
    const float s0 = dampedTap(C0, 0, lp, w, mask);
    const float s1 = dampedTap(C1, 1, lp, w, mask);
    const float s2 = dampedTap(C2, 2, lp, w, mask);
    const float s3 = dampedTap(C3, 3, lp, w, mask);
    const float s4 = dampedTap(C4, 4, lp, w, mask);
    const float s5 = dampedTap(C5, 5, lp, w, mask);
    const float Gy = Gt * y3;
    const float c0 = y3 - Gt * (s0 + Gy);
    const float c1 = y3 + Gt * (s1 - Gy);
    const float c2 = y3 - Gt * (s2 + Gy);
    const float c3 = y3 + Gt * (s3 - Gy);
    const float c4 = y3 - Gt * (s4 + Gy);
    const float c5 = y3 + Gt * (s5 - Gy);
    // Outputs read the tank at the diffusion taps' positions, before this sample's writes.
    wetLeft = buffer_[C3][rD2] + buffer_[C0][rD0] + c4;
    wetRight = buffer_[C2][rD3] + buffer_[C1][rD1] + c5;
    buffer_[C0][w] = c0;
    buffer_[C1][w] = c1;
    buffer_[C2][w] = c2;
    buffer_[C3][w] = c3;
    buffer_[C4][w] = c4;
    buffer_[C5][w] = c5;
    lowPass_[0] = s0;
    lowPass_[1] = s1;
    lowPass_[2] = s2;
    lowPass_[3] = s3;
    lowPass_[4] = s4;
    lowPass_[5] = s5;
}

void Reverb::process(float& left, float& right) {
    const float in = left + right;
    float wetLeft, wetRight;
    if (type_.load(relaxed) == Type::Spring)
        processSpring(in, wetLeft, wetRight);
    else
        processPlate(in, wetLeft, wetRight);
    write_ = (write_ + 1) & mask_;

    const float b0 = b0_, a1 = a1_, a2 = a2_, k = outScale_;
    const float yL = k * bandPassStep(b0, a1, a2, wetLeft, bandLeft_.x1, bandLeft_.x2, bandLeft_.y1, bandLeft_.y2);
    const float yR = k * bandPassStep(b0, a1, a2, wetRight, bandRight_.x1, bandRight_.x2, bandRight_.y1, bandRight_.y2);
    const float amount = amount_.load(relaxed);
    left = left + amount * (yL - left);
    right = right + amount * (yR - right);
}

}  // namespace ruvane
