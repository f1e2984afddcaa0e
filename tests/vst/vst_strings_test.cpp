// The value formats hosts show: eight characters for floats, "-oo" for silence.
#include <gtest/gtest.h>

#include <limits>

#include "vst/vst_strings.h"

namespace {

struct FloatCase {
    float value;
    const char* text;
};

TEST(Float2String, EightCharactersOfSignDigitsAndPoint) {
    const FloatCase cases[] = {
        {0.0f, "0.000000"},    {-0.0f, "0.000000"},   {-12.5f, "-12.5000"},  {3.0f, "3.000000"},
        {1000.0f, "1000.000"}, {12345.678f, "12345.68"}, {-6.0206f, "-6.02060"}, {9.99999f, "9.999990"},
        {9.9999999f, "10.00000"}, {12345678.0f, "12345678"},
    };
    for (const FloatCase& c : cases) {
        char text[64];
        float2string(c.value, text, 63);
        EXPECT_STREQ(text, c.text) << c.value;
    }
}

TEST(Float2String, TooLargeOrNotANumberIsHuge) {
    for (float value : {1e9f, -1e8f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        char text[64];
        float2string(value, text, 63);
        EXPECT_STREQ(text, "Huge!") << value;
    }
}

TEST(Float2String, RespectsTheBufferLimit) {
    char text[5];
    float2string(123.456f, text, 4);
    EXPECT_STREQ(text, "123.");
}

TEST(DB2String, SilenceIsMinusInfinity) {
    char text[64];
    for (float value : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        dB2string(value, text, 63);
        EXPECT_STREQ(text, "-oo") << value;
    }
    dB2string(1.0f, text, 63);
    EXPECT_STREQ(text, "0.000000");
    dB2string(0.5f, text, 63);
    EXPECT_STREQ(text, "-6.02060");
}

TEST(Int2String, DecimalUpToEightDigits) {
    const std::pair<int, const char*> cases[] = {
        {0, "0"}, {-5, "-5"}, {16000, "16000"}, {99999999, "99999999"}, {100000000, "Huge!"},
    };
    for (auto [value, expected] : cases) {
        char text[64];
        int2string(value, text, 63);
        EXPECT_STREQ(text, expected) << value;
    }
}

}  // namespace
