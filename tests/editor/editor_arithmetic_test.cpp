// The editor's own arithmetic: step buttons and the meters' fall.
#include <gtest/gtest.h>

#include <cmath>

#include "effect/editor/peak_meter.h"
#include "effect/editor/step_buttons.h"

namespace ruvane {
namespace {

TEST(StepButtons, SyncPositionsWrapAtBothEnds) {
    EXPECT_EQ(steppedPosition(4, 5, 1.0f), 0);    // past the last: the first
    EXPECT_EQ(steppedPosition(0, 5, 10.0f), 4);   // Shift below the first: the last
    EXPECT_EQ(steppedPosition(0, 13, 100.0f), 12);
    EXPECT_EQ(steppedPosition(3, 13, 1.0f), 4);
    EXPECT_EQ(steppedPosition(3, 13, 10.0f), 2);
}

TEST(StepButtons, FreeDelayTimeMovesByMillisecondStepsWithinTheRange) {
    EXPECT_FLOAT_EQ(steppedDelayTime(0.5f, 1.0f, false), 0.501f);
    EXPECT_FLOAT_EQ(steppedDelayTime(0.5f, 10.0f, true), 0.49f);
    EXPECT_FLOAT_EQ(steppedDelayTime(0.5f, 100.0f, false), 0.6f);
    EXPECT_FLOAT_EQ(steppedDelayTime(0.95f, 100.0f, false), 1.0f);
    EXPECT_FLOAT_EQ(steppedDelayTime(0.0005f, 1.0f, true), 0.0f);
}

TEST(StepButtons, LfoRateMovesAThousandthOfAHertzWithinItsLimits) {
    const LfoRateStep step;
    const auto hertz = [](float parameter) { return std::pow(16.0f, parameter) - 1.0f; };
    const float atOneHertz = std::log10(2.0f) / std::log10(16.0f);
    EXPECT_NEAR(hertz(step.next(atOneHertz, false)), 1.001f, 1e-5f);
    EXPECT_NEAR(hertz(step.next(atOneHertz, true)), 0.999f, 1e-5f);
    EXPECT_NEAR(hertz(step.next(0.0f, true)), 0.01f, 1e-6f);   // not below 0.01 Hz
    EXPECT_NEAR(hertz(step.next(1.0f, false)), 15.0f, 1e-4f);  // not above 15 Hz
}

TEST(PeakMeter, PeakLightsAtOnceAndSilenceEmptiesInHalfASecond) {
    const PeakMeterBallistics meter;
    EXPECT_FLOAT_EQ(meter.next(0.0f, 1.0f, 0), 1.0f);
    EXPECT_FLOAT_EQ(meter.next(0.0f, 4.0f, 0), 1.0f);      // above full scale: full
    EXPECT_FLOAT_EQ(meter.next(0.0f, 0.5f, 0), 1.0f - 20.0f * std::log10(2.0f) / 24.0f);
    EXPECT_FLOAT_EQ(meter.next(0.3f, 0.05f, 0), 0.3f);     // below -24 dB: the floor, no rise
    EXPECT_FLOAT_EQ(meter.next(1.0f, 0.0f, 250), 0.5f);
    EXPECT_FLOAT_EQ(meter.next(1.0f, 0.0f, 500), 0.0f);
    EXPECT_FLOAT_EQ(meter.next(1.0f, 0.0f, 4000000000u), 0.0f);
    EXPECT_FLOAT_EQ(meter.next(1.0f, std::nanf(""), 100), 0.8f);  // no peak reading: it falls
}

}  // namespace
}  // namespace ruvane
