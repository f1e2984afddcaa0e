// After loud input stops, the decaying states of the loop must never drive the arithmetic
// into the subnormal range, where every operation costs many times its normal price (the
// engine sets no processor flag that would hide it). The processor's sticky underflow
// status says whether any operation produced a subnormal (or rounded a tiny result to 0):
// these tests read it around the silent tail.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

#include "effect/engine/delay_engine.h"
#include "effect/engine/parameters.h"
#include "effect/engine/state_variable_filter.h"

namespace ruvane {
namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 64;

// Pink noise (Paul Kellet's economy filter on xorshift white noise), about -12 dBFS RMS.
class PinkNoise {
public:
    float next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        const float white = static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
        b0_ = 0.99765f * b0_ + white * 0.0990460f;
        b1_ = 0.96300f * b1_ + white * 0.2965164f;
        b2_ = 0.57000f * b2_ + white * 1.0526913f;
        return 0.2f * (b0_ + b1_ + b2_ + white * 0.1848f);
    }

private:
    std::uint32_t state_ = 0x12345678u;
    float b0_ = 0.0f, b1_ = 0.0f, b2_ = 0.0f;
};

bool underflowed() { return std::fetestexcept(FE_UNDERFLOW) != 0; }

using Setting = std::vector<std::pair<int, float>>;

// A user's setting that showed a slowdown two seconds into the silence: modulated filter
// in the loop, plate, Vco with modulation, drive.
const Setting kModulatedFilterSetting{
    {0, 0.6f},  {1, 0.55f}, {2, 0.6f},   {5, 0.3f},  {6, 0.8f},  {9, 0.1f},   {10, 0.4f},  {11, 0.6f},
    {12, 0.5f}, {13, 0.7f}, {14, 0.5f},  {15, 0.6f}, {16, 0.5f}, {17, 0.55f}, {18, 0.7f},  {21, 0.3f},
    {22, 0.3f}, {23, 0.5f}, {37, 0.25f}, {38, 0.75f}, {40, 0.4f}, {41, 0.0f},  {42, 1.0f},  {44, 0.75f},
    {45, 0.75f}, {46, 0.75f}, {47, 0.5f}, {3, 0.5f},  {4, 0.5f},  {30, 0.0f},  {31, 0.0f},  {35, 0.1f},
    {36, 0.13f}, {39, 1.0f}, {43, 0.75f}};
// Every section on: Vco, modulation, filter in the loop, drive, plate, feedback 0.5.
const Setting kEverySectionSetting{{45, 1.0f}, {44, 1.0f}, {42, 1.0f}, {23, 0.5f}, {43, 1.0f},
                                   {46, 1.0f}, {38, 0.75f}, {3, 0.5f},  {4, 0.5f}};

struct TailCase {
    const char* name;
    const Setting* setting;
    float filterMode;  // "Flt Mode" value; the wet-path filter reaches the range sooner
};

void PrintTo(const TailCase& c, std::ostream* os) { *os << c.name; }

class SilentTail : public ::testing::TestWithParam<TailCase> {};

TEST_P(SilentTail, NoSubnormalArithmeticInTenSecondsOfSilenceAfterPinkNoise) {
    DelayEngine engine;
    for (const auto& [index, value] : *GetParam().setting) engine.setParameter(index, value);
    engine.setParameter(kFltMode, GetParam().filterMode);
    engine.resume(kRate, 1024, HostTime{});

    std::vector<float> left(kBlock), right(kBlock), outLeft(kBlock), outRight(kBlock), silence(kBlock, 0.0f);
    PinkNoise noiseLeft, noiseRight;
    for (int n = 0; n < 2 * static_cast<int>(kRate) / kBlock; ++n) {
        for (int i = 0; i < kBlock; ++i) {
            left[static_cast<std::size_t>(i)] = noiseLeft.next();
            right[static_cast<std::size_t>(i)] = noiseRight.next();
        }
        engine.process(left.data(), right.data(), outLeft.data(), outRight.data(), kBlock, HostTime{});
    }
    // Each half second separately, so a failure says when.
    constexpr int kHalfSecondBlocks = static_cast<int>(kRate) / 2 / kBlock;
    for (int half = 0; half < 20; ++half) {
        std::feclearexcept(FE_ALL_EXCEPT);
        for (int n = 0; n < kHalfSecondBlocks; ++n)
            engine.process(silence.data(), silence.data(), outLeft.data(), outRight.data(), kBlock, HostTime{});
        EXPECT_FALSE(underflowed()) << "half second " << half << " of the silence";
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, SilentTail,
                         ::testing::Values(TailCase{"ModulatedFilterInTheLoop", &kModulatedFilterSetting, 0.5f},
                                           TailCase{"ModulatedFilterOnTheWetPath", &kModulatedFilterSetting, 0.9f},
                                           TailCase{"EverySectionOn", &kEverySectionSetting, 0.5f}),
                         [](const auto& info) { return std::string(info.param.name); });

// The filter's soft limit squares its band state; a state decaying through 1e-20 would
// square to a subnormal. The mechanism on its own: a resonant filter rung by a loud burst
// and then fed ten seconds of silence, its cutoff moving all the while.
TEST(SilentTail, FilterSoftLimitNeverSquaresIntoTheSubnormalRange) {
    FilterCoefficients coefficients;
    coefficients.setSampleRate(kRate);
    for (FilterType type : {FilterType::LowPass, FilterType::BandPass, FilterType::HighPass}) {
        StateVariableFilter filter;
        PinkNoise noise;
        for (int n = 0; n < 2000; ++n) {
            coefficients.update(800.0f + 400.0f * static_cast<float>(n % 37), 0.6f);
            filter.process(makePair(4.0f * noise.next(), noise.next()), coefficients, type);
        }
        std::feclearexcept(FE_ALL_EXCEPT);
        for (int n = 0; n < 10 * static_cast<int>(kRate); ++n) {
            coefficients.update(800.0f + 400.0f * static_cast<float>(n % 37), 0.6f);
            filter.process(makePair(0.0f, 0.0f), coefficients, type);
        }
        EXPECT_FALSE(underflowed()) << "filter type " << static_cast<int>(type);
        EXPECT_LT(std::fabs(filter.band()), 1e-20f) << "the filter has not decayed through the range";
    }
}

}  // namespace
}  // namespace ruvane
