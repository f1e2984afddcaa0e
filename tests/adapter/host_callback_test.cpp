// The adapter's audioMaster answers: the fixed ones, the can-do table, pins, and what
// an effect hears before its wrapper is known.
#include <gtest/gtest.h>

#include <cstring>

#include "adapter/host_callback.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

TEST(CanDo, AnswersTheTableAndZeroForAnythingElse) {
    const struct {
        const char* text;
        VstIntPtr reply;
    } cases[] = {
        {"sendVstEvents", 1},     {"sendVstMidiEvent", 1},        {"sendVstTimeInfo", 1},
        {"receiveVstEvents", 0},  {"receiveVstMidiEvent", 0},     {"receiveVstTimeInfo", 0},
        {"reportConnectionChanges", 0}, {"acceptIOChanges", 0},   {"sizeWindow", 1},
        {"asyncProcessing", 0},   {"offline", 0},                 {"supplyIdle", 1},
        {"supportShell", 0},      {"supplyIdl", 0},               {"SupplyIdle", 0},
        {"sizeWindow ", 0},       {"", 0},                        {"openFileSelector", 0},
    };
    for (const auto& entry : cases) {
        char text[64];
        std::strcpy(text, entry.text);
        EXPECT_EQ(AudioMaster(nullptr, audioMasterCanDo, 0, 0, text, 0.0f), entry.reply) << entry.text;
    }
    EXPECT_EQ(AudioMaster(nullptr, audioMasterCanDo, 0, 0, nullptr, 0.0f), 0);
}

TEST(PinConnected, FirstTwoPinsAreConnected) {
    const struct {
        VstInt32 pin;
        VstIntPtr answer;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {-1, 1}};
    for (const auto& pin : cases)
        for (VstIntPtr direction : {0, 1})
            EXPECT_EQ(AudioMaster(nullptr, audioMasterPinConnected, pin.pin, direction, nullptr, 0.0f), pin.answer)
                << pin.pin;
}

TEST(FixedAnswers, VersionIdVendorProductAndOthers) {
    EXPECT_EQ(AudioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2);
    EXPECT_EQ(AudioMaster(nullptr, audioMasterCurrentId, 0, 0, nullptr, 0.0f), fourCharCode('R', 'V', '7', 'S'));
    EXPECT_EQ(AudioMaster(nullptr, audioMasterVendorSpecific, 0, 0, nullptr, 0.0f), 1);
    char text[64];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(AudioMaster(nullptr, audioMasterGetVendorString, 0, 0, text, 0.0f), 0);
    EXPECT_STREQ(text, "Orvanta");
    EXPECT_EQ(AudioMaster(nullptr, audioMasterGetProductString, 0, 0, text, 0.0f), 0);
    EXPECT_STREQ(text, "Vst2Rilo");
    for (VstInt32 opcode : std::initializer_list<VstInt32>{audioMasterProcessEvents, audioMasterSizeWindow, audioMasterBeginEdit,
                            audioMasterEndEdit, audioMasterWantMidi, audioMasterGetInputLatency, 200})
        EXPECT_EQ(AudioMaster(nullptr, opcode, 640, 480, nullptr, 0.0f), 0) << opcode;
}

TEST(WithoutWrapper, AnswersThatNeedNoWrapper) {
    AEffect unknown{};  // resvd1 still 0, as during the entry call
    for (AEffect* effect : {static_cast<AEffect*>(nullptr), &unknown}) {
        EXPECT_EQ(AudioMaster(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 44100);
        EXPECT_EQ(AudioMaster(effect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f), 1024);
        EXPECT_EQ(AudioMaster(effect, audioMasterGetTime, 0, 0, nullptr, 0.0f), 0);
        EXPECT_EQ(AudioMaster(effect, audioMasterAutomate, 0, 0, nullptr, 0.5f), 0);
        EXPECT_EQ(AudioMaster(effect, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f), 0);
        EXPECT_EQ(AudioMaster(effect, audioMasterIdle, 0, 0, nullptr, 0.0f), 0);
    }
}

class BoundEffect : public ::testing::Test {
protected:
    void SetUp() override {
        wrapper.LoadEffect(testEffectPath("effect_programs").c_str());
        ASSERT_TRUE(wrapper.HasEffect());
    }
    QuietHost host;
    CPluginWrapper wrapper;
};

TEST_F(BoundEffect, EntryCallHeardTheAnswersThatNeedNoWrapper) {
    EXPECT_EQ(query(wrapper, kQueryEntrySampleRate), 44100);
    EXPECT_EQ(query(wrapper, kQueryEntryBlockSize), 1024);
    EXPECT_EQ(query(wrapper, kQueryEntryTime), 0);
}

TEST_F(BoundEffect, AfterBindingTheWrapperAnswers) {
    wrapper.SetSampleRate(96000);
    wrapper.SetBlockSize(128);
    EXPECT_EQ(query(wrapper, kQueryHost, audioMasterGetSampleRate), 96000);
    EXPECT_EQ(query(wrapper, kQueryHost, audioMasterGetBlockSize), 128);
    const auto* time = reinterpret_cast<const VstTimeInfo*>(query(wrapper, kQueryHost, audioMasterGetTime));
    ASSERT_EQ(time, wrapper.GetTimeInfo());
    EXPECT_EQ(time->tempo, 120.0);
    EXPECT_EQ(time->ppqPos, 0.0);
    EXPECT_EQ(time->timeSigNumerator, 4);
    EXPECT_EQ(time->timeSigDenominator, 4);
    EXPECT_EQ(time->flags, kVstPpqPosValid | kVstTempoValid);
    EXPECT_EQ(time->flags, 1536);
    EXPECT_EQ(time->flags & kVstTransportPlaying, 0);
}

// Records what the effect reports through the callback.
struct RecordingCallback : CPluginWrapperCallback {
    void Idle() override { ++idles; }
    void Automate(int32_t index, float value) override {
        automated.emplace_back(index, value);
        forwardingDuringCall = TheModule().Forwarding();
    }
    void UpdateDisplay() override { ++updates; }
    int idles = 0, updates = 0;
    bool forwardingDuringCall = false;
    std::vector<std::pair<int32_t, float>> automated;
};

TEST_F(BoundEffect, IdleAutomateAndUpdateDisplayReachTheCallback) {
    RecordingCallback callback;
    wrapper.SetCallback(this, &callback);
    query(wrapper, kQueryHost, audioMasterIdle);
    EXPECT_EQ(callback.idles, 1);
    query(wrapper, kQueryAutomate, 1, 0.75f);
    query(wrapper, kQueryAutomate, 0, 1.0f);
    query(wrapper, kQueryAutomate, 0, 0.0f);
    ASSERT_EQ(callback.automated.size(), 3u);
    EXPECT_EQ(callback.automated[0], std::make_pair(1, 0.75f));
    EXPECT_TRUE(callback.forwardingDuringCall);
    EXPECT_FALSE(TheModule().Forwarding());
    wrapper.Dispatch(effSetProgram, 0, 2, nullptr, 0.0f);
    query(wrapper, kQueryUpdateDisplay);
    EXPECT_EQ(callback.updates, 1);
    EXPECT_EQ(wrapper.CurrentProgram(), 2);
}

}  // namespace
}  // namespace ruvane::testing
