// What a VST 2.4 host sees of Ruvane through the binary interface alone.
#include <dlfcn.h>

#include <cmath>
#include <cstring>

#include "loaded_plugin.h"

namespace ruvane::testing {
namespace {

using vsthost::HostState;

TEST(Entry, ReturnsNoEffectWhenTheHostAnswersVersionZero) {
    ScopedConfigHome configHome;
    HostState unusable;
    unusable.versionAnswer = 0;
    std::string error;
    EXPECT_EQ(vsthost::PluginInstance::load(RUVANE_PLUGIN_PATH, &error, unusable), nullptr);
    EXPECT_NE(error.find("no effect"), std::string::npos) << error;
}

TEST(Entry, IsExportedUnderBothNames) {
    void* library = dlopen(RUVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_NE(dlsym(library, "VSTPluginMain"), nullptr);
    EXPECT_NE(dlsym(library, "main"), nullptr);
    dlclose(library);
}

TEST_F(LoadedPlugin, RecordFieldsDescribeAStereoChunkEffect) {
    const AEffect* effect = plugin->effect();
    EXPECT_EQ(effect->magic, fourCharCode('V', 's', 't', 'P'));
    EXPECT_EQ(effect->numPrograms, 1);
    EXPECT_EQ(effect->numParams, 96);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    // An editor, replacing processing and chunks: 0x31.
    EXPECT_EQ(effect->flags, effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_EQ(effect->flags, 0x31);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->uniqueID, fourCharCode('R', 'V', '7', 'S'));
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
    EXPECT_NE(effect->process, nullptr);
}

TEST_F(LoadedPlugin, IdentifiesItself) {
    EXPECT_EQ(plugin->effectName(), "Ruvane");
    EXPECT_EQ(plugin->vendorString().size(), 16u);
    EXPECT_EQ(plugin->productString().size(), 36u);
    EXPECT_EQ(plugin->productString().rfind("Ruvane", 0), 0u);
    EXPECT_EQ(plugin->dispatch(effGetEffectName, 0, 0, std::array<char, 65>{}.data()), 1);
}

TEST_F(LoadedPlugin, AnswersTheHostsQuestions) {
    struct Case {
        const char* what;
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr expected;
    };
    const Case cases[] = {
        {"vendor version", effGetVendorVersion, 0, 0},
        {"VST version", effGetVstVersion, 0, 2400},
        {"category", effGetPlugCategory, 0, kPlugCategUnknown},
        {"soft bypass", effSetBypass, 0, 0},
        {"string to parameter", effString2Parameter, 0, 0},
        {"input properties", effGetInputProperties, 0, 0},
        {"output properties", effGetOutputProperties, 0, 0},
        {"tail", effGetTailSize, 0, 0},
        {"MIDI inputs", effGetNumMidiInputChannels, 0, 0},
        {"MIDI outputs", effGetNumMidiOutputChannels, 0, 0},
        {"program", effGetProgram, 0, 0},
        {"identify", effIdentify, 0, fourCharCode('N', 'v', 'E', 'f')},
    };
    for (const Case& c : cases) {
        std::array<char, 256> buffer{};
        EXPECT_EQ(plugin->dispatch(c.opcode, c.index, 0, buffer.data()), c.expected) << c.what;
    }
    for (VstInt32 index = 0; index < 96; ++index) EXPECT_EQ(plugin->dispatch(effCanBeAutomated, index), 1);
}

TEST_F(LoadedPlugin, SetProgramChangesNothing) {
    const std::vector<uint8_t> before = plugin->getChunk();
    plugin->dispatch(effSetProgram, 0, 0);
    plugin->dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 0);
    EXPECT_EQ(plugin->getChunk(), before);
}

TEST(CanDo, ReceivesMidiOnlyFromAHostThatSendsIt) {
    ScopedConfigHome configHome;
    HostState sender;
    auto plugin = loadRuvane(sender);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(plugin->canDo("receiveVstTimeInfo"), 0);
    EXPECT_EQ(plugin->canDo("bypass"), 0);

    HostState silent;
    silent.canDo.clear();
    auto other = loadRuvane(silent);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->canDo("receiveVstMidiEvent"), 0);
}

TEST_F(LoadedPlugin, AsksForMidiAtEveryResume) {
    const int before = plugin->host().wantMidiCalls;
    plugin->suspend();
    plugin->resume();
    plugin->resume();
    EXPECT_EQ(plugin->host().wantMidiCalls, before + 2);
}

// A scan opens the effect, asks its strings, suspends it without a resume at rate 0
// and closes it; parameters may arrive before any sample rate.
TEST(HostHabits, ScanWithoutResumeAndParametersBeforeTheSampleRate) {
    ScopedConfigHome configHome;
    HostState scanner;
    scanner.sampleRate = 0;
    scanner.blockSize = 0;
    for (int round = 0; round < 2; ++round) {
        auto plugin = loadRuvane(scanner);
        ASSERT_NE(plugin, nullptr);
        plugin->dispatch(effOpen);
        plugin->setParameter(35, 0.1f);
        plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
        plugin->dispatch(effSetBlockSize, 0, 0);
        EXPECT_EQ(plugin->effectName(), "Ruvane");
        plugin->canDo("receiveVstMidiEvent");
        plugin->suspend();
        if (round == 1) {
            plugin->resume();
            std::vector<float> in(64, 0.25f), outL(64), outR(64);
            plugin->process(in.data(), in.data(), outL.data(), outR.data(), 64);
            for (float sample : outL) EXPECT_TRUE(std::isfinite(sample));
        }
    }
}

TEST_F(LoadedPlugin, LeavesTheHostsReservedFieldAlone) {
    // The host library keeps its own pointer there; a host may write anything.
    const VstIntPtr hostValue = plugin->effect()->resvd1;
    plugin->setParameter(0, 0.7f);
    plugin->suspend();
    plugin->resume();
    std::vector<float> in(256, 0.1f), outL(256), outR(256);
    plugin->process(in.data(), in.data(), outL.data(), outR.data(), 256);
    plugin->getChunk();
    EXPECT_EQ(plugin->effect()->resvd1, hostValue);
}

}  // namespace
}  // namespace ruvane::testing
