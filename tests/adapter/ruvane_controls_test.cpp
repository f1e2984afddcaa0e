// Ruvane itself behind wrapper.so: the host control each of its 96 parameters gets,
// read through the stand-in host, and automation both ways with the real effect.
#include <gtest/gtest.h>

#include "adapter/framework/control_values.h"
#include "adapter_test_support.h"
#include "loaded_plugin.h"

namespace ruvane::testing {
namespace {

struct ControlRow {
    int parameter;
    const char* className;
    const char* lowText;   // at the bottom of the range
    const char* highText;  // at the top
    const char* startText; // at the effect's start value
    double displayMinimum = 0.0, displayMaximum = 1.0;
};

constexpr const char* kLinear = "CPluginControl_VST_linear";
constexpr const char* kOnOff = "CPluginControl_OnOff";
constexpr const char* kLearn = "CPluginControl_VST_Learn";

// Evenly spaced numbers give linear controls (Drv Gain is linear in decibels, and the
// odd numerators 1, 3 .. 9 read as a line too); two texts give on/off controls; decibel
// gains with "-oo", percent pairs, curves, switches of more than two positions and the
// empty texts of the controller assignments give learned tables.
const ControlRow kRuvaneControls[] = {
    {0, kLearn, "-oo", "12.04 dB", "0.00 dB"},
    {1, kLearn, "-oo", "12.04 dB", "0.00 dB"},
    {2, kLearn, "D:100<>0", "D:0<>100", "D:50<>50"},
    {3, kLearn, "-oo", "0.00 dB", "-oo"},
    {4, kLearn, "-oo", "0.00 dB", "-oo"},
    {5, kLearn, "L:100<>0", "L:0<>100", "L:100<>0"},
    {6, kLearn, "L:100<>0", "L:0<>100", "L:0<>100"},
    {7, kOnOff, "off", "on", "off"},
    {8, kOnOff, "off", "on", "off"},
    {9, kLearn, "sin", "rnd", "sin"},
    {10, kLearn, "0.01 Hz", "15.00 Hz", "3.00 Hz"},
    {11, kLearn, "L:+90<>9", "L:-90<>9", "L:0<>0:R"},
    {12, kLearn, "L:100<>0", "L:0<>100", "L:0<>100"},
    {13, kLinear, "-100.00 %", "100.00 %", "0.00 %", -100, 100},
    {14, kLearn, "LPF", "HPF", "LPF"},
    {15, kLearn, "50.00 Hz", "16000.00 Hz", "16000.00 Hz"},
    {16, kLinear, "0.00", "10.00", "0.00", 0, 10},
    {17, kLearn, "0.50 x", "2.00 x", "1.00 x"},
    {18, kLinear, "-100.00 %", "100.00 %", "0.00 %", -100, 100},
    {19, kOnOff, "off", "on", "off"},
    {20, kOnOff, "off", "on", "off"},
    {21, kLinear, "0.00 dB", "24.08 dB", "0.00 dB", 0, 24.08},
    {22, kLinear, "100.00 ms", "1000.00 ms", "100.00 ms", 100, 1000},
    {23, kLearn, "in", "fx", "in"},
    {24, kOnOff, "time", "note", "time"},
    {25, kOnOff, "time", "note", "time"},
    {26, kLinear, "1.00", "9.00", "1.80", 1, 9},
    {27, kLinear, "1.00", "9.00", "1.80", 1, 9},
    {28, kLearn, "1.00", "96.00", "1.00"},
    {29, kLearn, "1.00", "96.00", "1.00"},
    {30, kLearn, "100.00 ms", "5000.00 ms", "5000.00 ms"},
    {31, kLearn, "100.00 ms", "5000.00 ms", "5000.00 ms"},
    {32, kOnOff, "freq", "note", "freq"},
    {33, kLearn, "1.00", "8.00", "1.00"},
    {34, kLearn, "1.00", "96.00", "1.00"},
    // "Default" delays 2000 ms; probing the delay ranges before does not cut them.
    {35, kLinear, "0.00 ms", "5000.00 ms", "2000.00 ms", 0, 5000},
    {36, kLinear, "0.00 ms", "5000.00 ms", "2000.00 ms", 0, 5000},
    {37, kOnOff, "fx", "out", "fx"},
    {38, kOnOff, "spring", "plate", "spring"},
    {39, kLinear, "0.00 %", "100.00 %", "0.00 %", 0, 100},
    {40, kLinear, "0.00 %", "100.00 %", "50.00 %", 0, 100},
    {41, kOnOff, "off", "on", "off"},
    {42, kOnOff, "off", "on", "off"},
    {43, kOnOff, "off", "on", "off"},
    {44, kOnOff, "off", "on", "off"},
    {45, kOnOff, "off", "on", "on"},
    {46, kOnOff, "off", "on", "off"},
    {47, kLinear, "0.00 %", "100.00 %", "50.00 %", 0, 100},
};

class RuvaneBehindTheModule : public ::testing::Test {
protected:
    void SetUp() override {
        module = openModule(host.platform, RUVANE_WRAPPER_PATH);
        ASSERT_NE(module, nullptr);
        instance = module->create(typeWithId(*module, fourCharCode('R', 'v', '7', 'm')), 44100.0);
        ASSERT_NE(instance, nullptr);
    }
    ScopedConfigHome configHome;  // no stored defaults reach the effect
    QuietHost host;
    std::unique_ptr<hostplatform::PlugInModule> module;
    std::unique_ptr<hostplatform::PlugInInstance> instance;
};

TEST_F(RuvaneBehindTheModule, EveryParameterGetsTheControlItsDisplayCallsFor) {
    const auto controls = instance->controls();
    ASSERT_EQ(controls.size(), 97u);
    EXPECT_STREQ(controls[0].info.className, kOnOff);
    EXPECT_STREQ(controls[0].info.multiName, "Master Bypass\nMstr Byp\nMBYP");
    EXPECT_EQ(instance->bypassControl(), 1);
    for (const ControlRow& row : kRuvaneControls) {
        const auto& control = controls[static_cast<std::size_t>(row.parameter + 1)];
        SCOPED_TRACE(control.info.multiName);
        EXPECT_EQ(control.index, row.parameter + 2);
        EXPECT_STREQ(control.info.className, row.className);
        EXPECT_EQ(instance->textOf(control.index, INT32_MIN), row.lowText);
        EXPECT_EQ(instance->textOf(control.index, INT32_MAX), row.highText);
        EXPECT_EQ(control.text, row.startText);
        EXPECT_TRUE(control.info.automatable);
        if (row.className == kLinear) {
            EXPECT_NEAR(control.info.displayMinimum, row.displayMinimum, 1e-9);
            EXPECT_NEAR(control.info.displayMaximum, row.displayMaximum, 1e-9);
        }
        if (row.className == kOnOff) {
            EXPECT_EQ(control.info.stateCount, 2);
        }
    }
    // The controller assignments show the effect's empty texts.
    for (int parameter = 48; parameter < 96; ++parameter) {
        const auto& control = controls[static_cast<std::size_t>(parameter + 1)];
        SCOPED_TRACE(control.info.multiName);
        EXPECT_STREQ(control.info.className, kLearn);
        EXPECT_EQ(std::string(control.info.multiName).rfind(std::to_string(parameter) + ": CC# ", 0), 0u);
        EXPECT_EQ(control.text, "");
    }
    EXPECT_STREQ(controls[36].info.multiName, "35: DlyL Time\nDlyL \nDly\n");
}

TEST_F(RuvaneBehindTheModule, HostChangesShowInTheControlTexts) {
    EXPECT_EQ(instance->setValue(2 + 40, hostplatform::controlValueOfFraction(0.25)), 0);  // Rvb Amt
    EXPECT_EQ(instance->text(42), "25.00 %");
    EXPECT_EQ(instance->setValue(2 + 41, INT32_MAX), 0);  // Main Bypass
    EXPECT_EQ(instance->text(43), "on");
    EXPECT_EQ(instance->setValue(2 + 9, hostplatform::controlValueOfFraction(0.5)), 0);  // Mod LfoWave
    EXPECT_EQ(instance->text(11), "tri");
    EXPECT_TRUE(instance->changesFromPlugIn().empty());  // Ruvane does not report host changes back
}

// The same adapter classes in this test program, so the effect's values can be read.
class RuvaneInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        const uint64_t id = host.platform.engine.addInstance(
            [this](int32_t control, int32_t value) { changes.emplace_back(control, value); });
        process = std::make_unique<TestRiloProcess>(fixture.context(id), RUVANE_PLUGIN_PATH);
        ASSERT_TRUE(process->Wrapper().HasEffect());
    }
    static int32_t at(double fraction) { return ToControlValue(fraction, 0, 1); }

    ScopedConfigHome configHome;
    QuietHost host;
    ProcessFixture fixture;
    std::vector<std::pair<int32_t, int32_t>> changes;
    std::unique_ptr<TestRiloProcess> process;
};

TEST_F(RuvaneInProcess, HostAutomationReachesTheEffect) {
    const std::pair<int32_t, double> moves[] = {{2, 0.3}, {40, 0.8}, {35, 0.123}, {15, 0.9}};
    for (const auto& [parameter, fraction] : moves) {
        EXPECT_EQ(process->HostSetsControl(parameter + 2, at(fraction)), 0);
        EXPECT_NEAR(process->Wrapper().GetParameter(parameter), fraction, 1e-6) << parameter;
    }
    std::string text;
    process->Wrapper().GetParameterDisplay(40, text);
    EXPECT_EQ(text, "80.00000");
}

TEST_F(RuvaneInProcess, EffectChangesReachTheHostControls) {
    // Ruvane reports every parameter when it restores its state: set a few values, keep
    // the state, move them away, then restore it.
    const std::pair<int32_t, double> kept[] = {{2, 0.3}, {40, 0.8}, {47, 0.1}};
    for (const auto& [parameter, fraction] : kept) process->HostSetsControl(parameter + 2, at(fraction));
    void* chunk = nullptr;
    const auto size = process->Wrapper().Dispatch(effGetChunk, 0, 0, &chunk, 0.0f);
    ASSERT_GT(size, 0);
    const std::vector<uint8_t> state(static_cast<uint8_t*>(chunk), static_cast<uint8_t*>(chunk) + size);
    for (const auto& [parameter, fraction] : kept) process->HostSetsControl(parameter + 2, at(0.6));
    changes.clear();
    process->Wrapper().Dispatch(effSetChunk, 0, size, const_cast<uint8_t*>(state.data()), 0.0f);
    ASSERT_GE(changes.size(), 96u);
    for (const auto& [parameter, fraction] : kept) {
        const int32_t control = parameter + 2;
        const int32_t expected = at(process->Wrapper().GetParameter(parameter));
        EXPECT_NEAR(process->Wrapper().GetParameter(parameter), fraction, 1e-6);
        const auto reported = std::find_if(changes.rbegin(), changes.rend(),
                                           [control](const auto& change) { return change.first == control; });
        ASSERT_NE(reported, changes.rend()) << parameter;
        EXPECT_EQ(reported->second, expected) << parameter;
        EXPECT_EQ(process->Controls().At(parameter + 2)->Value(), expected);
    }
}

}  // namespace
}  // namespace ruvane::testing
