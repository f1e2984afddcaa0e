// MIDI controllers driving parameters: the default map, routing, learn and unassign,
// and the assignments as parameters 48..95.
#include "effect/plugin/midi_controller_map.h"
#include "effect/plugin/zav.h"
#include "loaded_plugin.h"

namespace ruvane::testing {
namespace {

constexpr uint8_t kControlChange = 0xB0;

float assignmentValue(int controller) { return (controller + 0.5f) / 129.0f; }
const float kUnassigned = assignmentValue(128);

TEST_F(LoadedPlugin, DefaultControllersRouteToTheirParameters) {
    plugin->sendMidi({{kControlChange, 20, 127}, {kControlChange | 5, 106, 0}, {kControlChange, 21, 64}});
    EXPECT_EQ(plugin->getParameter(0), 1.0f);   // Main In, any channel
    EXPECT_EQ(plugin->getParameter(47), 0.0f);  // Mod Sens
    EXPECT_EQ(plugin->getParameter(2), 64.0f / 127.0f);
}

TEST_F(LoadedPlugin, UnroutedAndOtherMessagesChangeNothing) {
    const std::vector<uint8_t> before = plugin->getChunk();
    plugin->sendMidi({{kControlChange, 0, 100},   // controller 0 drives nothing
                      {kControlChange, 64, 127},  // nor does the sustain pedal
                      {0x90, 20, 100},            // a note on the number of a routed controller
                      {0xE0, 0, 64}});
    EXPECT_EQ(plugin->getChunk(), before);
}

TEST_F(LoadedPlugin, AssignmentParametersBothWays) {
    plugin->setParameter(48, 1.0f);  // Main In: no controller
    EXPECT_EQ(plugin->getParameter(48), 1.0f);
    plugin->sendMidi({{kControlChange, 20, 0}});
    EXPECT_EQ(plugin->getParameter(0), 0.5f);

    plugin->setParameter(48, 0.0f);  // Main In on controller 0
    plugin->sendMidi({{kControlChange, 0, 127}});
    EXPECT_EQ(plugin->getParameter(0), 1.0f);

    // Controller 22 moves from Main Out to Main In; Main Out is left without one.
    plugin->setParameter(48, assignmentValue(22));
    EXPECT_EQ(plugin->getParameter(49), kUnassigned);
    plugin->sendMidi({{kControlChange, 22, 0}});
    EXPECT_EQ(plugin->getParameter(0), 0.0f);
    EXPECT_EQ(plugin->getParameter(1), 0.5f);
}

class Learn : public ::testing::Test {
protected:
    void send(uint8_t controller, uint8_t value) {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.midiData[0] = static_cast<char>(kControlChange);
        event.midiData[1] = static_cast<char>(controller);
        event.midiData[2] = static_cast<char>(value);
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&event);
        effect.processEvents(&events);
    }

    ScopedConfigHome configHome;
    ZAV effect{nullptr, {}};
};

TEST_F(Learn, TheLastTouchedParameterTakesTheController) {
    effect.startLearn();
    effect.setParameter(kMainMix, 0.2f);
    effect.setParameter(kFltCutoff, 0.3f);  // replaces the target
    send(7, 127);
    EXPECT_EQ(effect.getParameterCC(kFltCutoff), 7);
    EXPECT_EQ(effect.getControllerParameter(46), MidiControllerMap::kNone);  // its old controller
    EXPECT_FALSE(effect.isLearning());
    EXPECT_EQ(effect.getParameter(48 + kFltCutoff), assignmentValue(7));
    EXPECT_EQ(effect.getParameter(kFltCutoff), 1.0f);  // the learning message is routed too
    EXPECT_EQ(effect.getParameterCC(kMainMix), 21);
}

TEST_F(Learn, ChannelModeControllersAreNeverLearned) {
    effect.startLearn();
    effect.setParameter(kRvbAmt, 0.2f);
    send(121, 0);
    EXPECT_TRUE(effect.isLearning());
    EXPECT_EQ(effect.getParameterCC(kRvbAmt), 88);  // its default controller
}

TEST_F(Learn, WithoutATargetTheFirstRoutedMessageChoosesOne) {
    effect.startLearn();
    send(20, 100);  // routed to Main In, which becomes the target
    EXPECT_EQ(effect.getParameter(kMainIn), 100.0f / 127.0f);
    EXPECT_TRUE(effect.isLearning());
    EXPECT_EQ(effect.learnTarget(), kMainIn);
    send(9, 0);
    EXPECT_EQ(effect.getParameterCC(kMainIn), 9);
    EXPECT_EQ(effect.getControllerParameter(20), MidiControllerMap::kNone);
}

TEST_F(Learn, UnassignClearsTheTouchedParameterOnce) {
    effect.startUnassign();
    effect.setParameter(kRvbAmt, 0.7f);
    EXPECT_EQ(effect.getParameterCC(kRvbAmt), MidiControllerMap::kNone);
    EXPECT_EQ(effect.getParameter(88), kUnassigned);
    EXPECT_FALSE(effect.isUnassigning());
    effect.setParameter(kMainMix, 0.1f);
    EXPECT_EQ(effect.getParameterCC(kMainMix), 21);
}

TEST(MidiControllerMap, TablesStayEachOthersInverse) {
    MidiControllerMap map;
    map.setDefaults();
    map.assign(kMainIn, 30);     // taken from Mod LfoRate
    map.assign(kMainIn, 31);     // taken from Mod LfoOffset; 30 is free again
    map.clearController(22);     // Main Out
    map.setValue(kModSens, 0.0f);
    map.setValue(kModSens, 1.0f);
    for (int parameter = 0; parameter < kNumSoundParameters; ++parameter) {
        const int controller = map.controllerOf(parameter);
        if (controller != MidiControllerMap::kNone) {
            EXPECT_EQ(map.parameterOf(controller), parameter);
        }
        EXPECT_EQ(MidiControllerMap::decode(map.value(parameter)), controller) << parameter;
    }
    for (int controller = 0; controller < 128; ++controller) {
        const int parameter = map.parameterOf(controller);
        if (parameter != MidiControllerMap::kNone) {
            EXPECT_EQ(map.controllerOf(parameter), controller);
        }
    }
    EXPECT_EQ(map.parameterOf(30), MidiControllerMap::kNone);
    EXPECT_EQ(map.controllerOf(kModLfoRate), MidiControllerMap::kNone);
}

TEST(MidiControllerMap, ControllerNames) {
    const std::pair<int, const char*> cases[] = {
        {0, "bank sel MSB"}, {7, "main volume"}, {20, "control 20"}, {64, "sustain"},
        {119, "control 119"}, {127, "poly mode on"}, {128, "not assigned"}, {129, ""},
    };
    for (auto [index, name] : cases) EXPECT_STREQ(MidiControllerMap::controllerName(index), name) << index;
    EXPECT_STREQ(MidiControllerMap::controllerName(130), "");
}

}  // namespace
}  // namespace ruvane::testing
