// State and MIDI in the host: "Complete State" in its chunk and parameter forms, the
// blocks it refuses, the two MIDI event blocks and "MIDI Connection Data".
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "adapter/framework/big_endian.h"
#include "adapter/framework/control_values.h"
#include "adapter/midi_connection_data.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes stateOf(CPluginWrapperInterface& wrapper) {
    Bytes state(static_cast<std::size_t>(wrapper.GetStateSize()));
    wrapper.GetState(state.data());
    return state;
}

void putWord(Bytes& bytes, std::size_t at, uint32_t value) { PutBigEndian32(bytes.data() + at, value); }
uint32_t word(const Bytes& bytes, std::size_t at) { return ReadBigEndian32(bytes.data() + at); }

class StateAndMidi : public ::testing::Test {
protected:
    std::unique_ptr<CWrapperProcess> make(const char* effect) { return fixture.make(testEffectPath(effect)); }

    QuietHost host;
    ProcessFixture fixture;
};

TEST_F(StateAndMidi, ParameterFormHoldsEveryProgramAndTheCurrentOne) {
    auto process = make("effect_programs");  // 2 parameters, 3 programs, no chunks
    CPluginWrapper& wrapper = process->Wrapper();
    for (int program = 0; program < 3; ++program) {
        wrapper.Dispatch(effSetProgram, 0, program, nullptr, 0.0f);
        wrapper.RawSetParameter(0, 0.1f * static_cast<float>(program + 1));
        wrapper.RawSetParameter(1, 0.9f);
    }
    wrapper.Dispatch(effSetProgram, 0, 1, nullptr, 0.0f);
    EXPECT_EQ(wrapper.GetStateSize(), 232);
    const Bytes state = stateOf(wrapper);
    ASSERT_EQ(state.size(), 232u);
    EXPECT_EQ(word(state, 0), 2u);
    EXPECT_EQ(word(state, 4), 3u);
    for (std::size_t program = 0; program < 3; ++program) {
        const std::size_t record = 8 + program * 72;
        EXPECT_STREQ(reinterpret_cast<const char*>(state.data() + record), ("Program " + std::to_string(program)).c_str());
        EXPECT_EQ(state[record + 63], 0);
        // The test effect keeps one value set for all programs: the last written.
        EXPECT_FLOAT_EQ(ReadBigEndianFloat(state.data() + record + 64), 0.3f);
        EXPECT_FLOAT_EQ(ReadBigEndianFloat(state.data() + record + 68), 0.9f);
    }
    EXPECT_EQ(word(state, 224), 0x2001u);
    EXPECT_EQ(word(state, 228), 1u);
    EXPECT_EQ(wrapper.Dispatch(effGetProgram, 0, 0, nullptr, 0.0f), 1);  // back where it was
}

TEST_F(StateAndMidi, ParameterFormRestoresNamesValuesAndProgramAndOlderTagToo) {
    for (uint32_t tag : {0x2001u, 0x2000u}) {
        SCOPED_TRACE(tag);
        auto saved = make("effect_programs");
        saved->Wrapper().RawSetParameter(0, 0.7f);
        saved->Wrapper().RawSetParameter(1, 0.2f);
        saved->Wrapper().Dispatch(effSetProgram, 0, 2, nullptr, 0.0f);
        char name[] = "Restored name";
        saved->Wrapper().Dispatch(effSetProgramName, 0, 0, name, 0.0f);
        Bytes state = stateOf(saved->Wrapper());
        putWord(state, state.size() - 8, tag);

        auto restored = make("effect_programs");
        restored->Wrapper().SetState(state.data(), static_cast<int32_t>(state.size()));
        EXPECT_FLOAT_EQ(restored->Wrapper().GetParameter(0), 0.7f);
        EXPECT_FLOAT_EQ(restored->Wrapper().GetParameter(1), 0.2f);
        EXPECT_EQ(restored->Wrapper().Dispatch(effGetProgram, 0, 0, nullptr, 0.0f), 2);
        char read[64] = {};
        restored->Wrapper().Dispatch(effGetProgramName, 0, 0, read, 0.0f);
        EXPECT_STREQ(read, "Restored name");
        EXPECT_EQ(restored->Wrapper().RefreshCountdown(), 2);
    }
}

TEST_F(StateAndMidi, BlockOfAWiderEffectAppliesTheFirstValuesOfEachRecord) {
    auto wide = make("effect_wide");  // 4 parameters, 3 programs
    for (int program = 0; program < 3; ++program) {
        wide->Wrapper().Dispatch(effSetProgram, 0, program, nullptr, 0.0f);
        for (int32_t index = 0; index < 4; ++index) wide->Wrapper().RawSetParameter(index, 0.1f * static_cast<float>(index + 1));
    }
    Bytes state = stateOf(wide->Wrapper());
    ASSERT_EQ(state.size(), static_cast<std::size_t>((4 + 16) * 3 * 4 + 16));
    // Give each record its own first values, so a misplaced record start shows.
    for (std::size_t program = 0; program < 3; ++program) {
        const std::size_t record = 8 + program * (64 + 16);
        PutBigEndianFloat(state.data() + record + 64, 0.5f + 0.1f * static_cast<float>(program));
        std::snprintf(reinterpret_cast<char*>(state.data() + record), 64, "Wide %zu", program);
    }
    auto narrow = make("effect_programs");  // 2 parameters
    narrow->Wrapper().SetState(state.data(), static_cast<int32_t>(state.size()));
    for (int program = 0; program < 3; ++program) {
        narrow->Wrapper().Dispatch(effSetProgram, 0, program, nullptr, 0.0f);
        char name[64] = {};
        narrow->Wrapper().Dispatch(effGetProgramName, 0, 0, name, 0.0f);
        EXPECT_EQ(std::string(name), "Wide " + std::to_string(program));
    }
    // The effect keeps one value set: the last record's first values are what stays.
    EXPECT_FLOAT_EQ(narrow->Wrapper().GetParameter(0), 0.7f);
    EXPECT_FLOAT_EQ(narrow->Wrapper().GetParameter(1), 0.2f);
}

TEST_F(StateAndMidi, ChunkFormIsTheEffectsChunkAndGoesBackWithoutItsTrailer) {
    auto saved = make("effect_chunks");  // 3 parameters, program chunks
    saved->Wrapper().RawSetParameter(2, 0.75f);
    const Bytes state = stateOf(saved->Wrapper());
    ASSERT_EQ(state.size(), 4u + 12u + 8u);
    EXPECT_EQ(std::memcmp(state.data(), "TCHK", 4), 0);
    EXPECT_EQ(word(state, 16), 0x3000u);
    EXPECT_EQ(word(state, 20), 0x3000u);

    auto restored = make("effect_chunks");
    restored->Wrapper().SetState(state.data(), static_cast<int32_t>(state.size()));
    EXPECT_EQ(query(restored->Wrapper(), kQuerySetChunkSize), 16);
    for (VstIntPtr i = 0; i < 16; ++i) EXPECT_EQ(query(restored->Wrapper(), kQuerySetChunkByte, i), state[static_cast<std::size_t>(i)]);
    EXPECT_FLOAT_EQ(restored->Wrapper().GetParameter(2), 0.75f);
}

TEST_F(StateAndMidi, ShortTruncatedAndForeignBlocksChangeNothing) {
    auto source = make("effect_programs");
    const Bytes good = stateOf(source->Wrapper());
    auto withWord = [&](std::size_t at, uint32_t value) {
        Bytes bytes = good;
        putWord(bytes, at, value);
        return bytes;
    };
    const struct {
        const char* what;
        Bytes block;
    } cases[] = {
        {"empty", {}},
        {"eleven bytes", Bytes(11, 0)},
        {"foreign tag", withWord(good.size() - 8, 0x1234)},
        {"truncated", Bytes(good.begin() + 8, good.end())},
        {"cut inside a record", [&] { Bytes b(good.begin(), good.begin() + 100); putWord(b, 92, 0x2001); return b; }()},
        {"more programs promised", withWord(4, 4)},
        {"more parameters promised", withWord(0, 3)},
        {"huge counts", [&] { Bytes b = withWord(0, 0x7fffffff); putWord(b, 4, 0x7fffffff); return b; }()},
        {"negative counts", withWord(0, 0xffffffff)},
        {"trailing bytes", [&] { Bytes b = good; b.insert(b.end() - 8, 4, 0); return b; }()},
    };
    auto target = make("effect_programs");
    target->Wrapper().RawSetParameter(0, 0.33f);
    const auto sets = query(target->Wrapper(), kQuerySetCount, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        target->Wrapper().SetState(c.block.empty() ? nullptr : c.block.data(), static_cast<int32_t>(c.block.size()));
        EXPECT_EQ(query(target->Wrapper(), kQuerySetCount, 0), sets);
        EXPECT_FLOAT_EQ(target->Wrapper().GetParameter(0), 0.33f);
        EXPECT_EQ(target->Wrapper().Dispatch(effGetProgram, 0, 0, nullptr, 0.0f), 0);
    }
    // A chunk tag on a whole parameter-form block, for an effect without chunks, is read
    // as the parameter form.
    const Bytes chunkTagged = withWord(good.size() - 8, 0x3000);
    target->Wrapper().SetState(chunkTagged.data(), static_cast<int32_t>(chunkTagged.size()));
    EXPECT_FLOAT_EQ(target->Wrapper().GetParameter(0), 0.25f);
    auto unbound = make("effect_null_result");
    EXPECT_EQ(unbound->Wrapper().GetStateSize(), 8);
    unbound->Wrapper().SetState(good.data(), static_cast<int32_t>(good.size()));
}

TEST_F(StateAndMidi, MidiBlockTakes1024EventsAndDropsTheRest) {
    auto process = make("effect_plain");
    CPluginWrapper& wrapper = process->Wrapper();
    for (int i = 0; i < 1030; ++i) {
        const uint8_t bytes[4] = {0xB0, static_cast<uint8_t>(i % 128), static_cast<uint8_t>(i / 128), 0};
        wrapper.QueueMidiEvent(bytes, i % 32);
    }
    float left[8] = {}, right[8] = {};
    float* channels[] = {left, right, left, right};
    wrapper.Process(channels, 8, nullptr);
    ASSERT_EQ(query(wrapper, kQueryMidiBatches), 1);
    EXPECT_EQ(query(wrapper, kQueryMidiBatchSize, 0), 1024);
    EXPECT_EQ(query(wrapper, kQueryMidiEventBytes, 1023), 0xB07F0700);  // event 1023 is the last taken
    EXPECT_EQ(query(wrapper, kQueryMidiEventDelta, 1023), 1023 % 32);
    wrapper.Process(channels, 8, nullptr);  // the sent block was emptied: nothing more to send
    EXPECT_EQ(query(wrapper, kQueryMidiBatches), 1);
    const uint8_t one[4] = {0x90, 60, 100, 0};
    wrapper.QueueMidiEvent(one, 3);
    wrapper.Process(channels, 8, nullptr);
    EXPECT_EQ(query(wrapper, kQueryMidiBatches), 2);
    EXPECT_EQ(query(wrapper, kQueryMidiBatchSize, 1), 1);
    EXPECT_EQ(query(wrapper, kQueryMidiEvents), 1025);
}

TEST(MidiConnectionData, WritesTheInstanceIdOnlyWithANode) {
    const auto block = WriteMidiConnectionData(true, 0x01020304);
    const Bytes expected = {1, 1, 1, 1, 'l', '_', 'I', 'n', 's', 't', 'a', 'n', 'c', 'e', ' ', 'I', 'D', 0, 0, 0, 1, 2, 3, 4};
    EXPECT_EQ(block, expected);
    EXPECT_EQ(WriteMidiConnectionData(false, 7), (Bytes{1, 1, 1, 1}));
    EXPECT_EQ(FindMidiNodeId(block.data(), static_cast<int32_t>(block.size())), 0x01020304);
}

TEST(MidiConnectionData, FindsTheFirstKnownKeyInOrderAndNothingOutsideTheBlock) {
    // An entry: key padded to its length plus 3 rounded up to 4, then the value.
    auto entry = [](const std::string& key, std::vector<uint8_t> value) {
        Bytes bytes(key.begin(), key.end());
        bytes.resize((key.size() + 3 + 3) / 4 * 4, 0);
        bytes.insert(bytes.end(), value.begin(), value.end());
        return bytes;
    };
    auto block = [](std::initializer_list<Bytes> entries) {
        Bytes bytes = {1, 1, 1, 1};
        for (const Bytes& e : entries) bytes.insert(bytes.end(), e.begin(), e.end());
        return bytes;
    };
    const struct {
        const char* what;
        Bytes data;
        std::optional<int32_t> expected;
    } cases[] = {
        {"node id", block({entry("l_Node ID", {0, 0, 0, 9})}), 9},
        {"oms node id after others", block({entry("f_Gain", {0x3f, 0x80, 0, 0}), entry("d_Time", {0, 0, 0, 0, 0, 0, 0, 1}),
                                            entry("s_Short", {0, 5, 0, 0}), entry("l_OMS Node ID", {0, 0, 1, 0})}), 256},
        {"instance id wins", block({entry("l_OMS Node ID", {0, 0, 0, 1}), entry("l_Node ID", {0, 0, 0, 2}),
                                    entry("l_Instance ID", {0, 0, 0, 3})}), 3},
        {"float entry of a known name", block({entry("f_Node ID", {0, 0, 0, 9})}), std::nullopt},
        {"no known key", block({entry("l_Something", {0, 0, 0, 9})}), std::nullopt},
        {"only the mark", block({}), std::nullopt},
        {"wrong mark", Bytes{1, 1, 1, 2, 'l', '_', 'N', 'o', 'd', 'e', ' ', 'I', 'D', 0, 0, 0, 0, 0, 0, 9}, std::nullopt},
        {"value cut off", [&] { Bytes b = block({entry("l_Node ID", {0, 0, 0, 9})}); b.pop_back(); return b; }(), std::nullopt},
        {"key without end", Bytes{1, 1, 1, 1, 'l', '_', 'N'}, std::nullopt},
        {"unknown kind stops reading", block({entry("x_What", {0, 0, 0, 0}), entry("l_Node ID", {0, 0, 0, 9})}), std::nullopt},
        {"short", Bytes{1, 1}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A copy in a block of its own size, so a read beyond it is caught by the sanitizers.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[c.data.size() + 1]);
        std::memcpy(exact.get(), c.data.data(), c.data.size());
        EXPECT_EQ(FindMidiNodeId(exact.get(), static_cast<int32_t>(c.data.size())), c.expected);
    }
}

}  // namespace
}  // namespace ruvane::testing

namespace ruvane::testing {
namespace {

// A host chunk: the 56-byte header with the total size first, then data.
Bytes hostChunk(const Bytes& data) {
    Bytes chunk(56, 0);
    const int32_t total = static_cast<int32_t>(56 + data.size());
    std::memcpy(chunk.data(), &total, sizeof total);
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
}

constexpr int32_t kMidiChunk = 0x6d696469;  // 'midi'

TEST(MidiConnectionChunk, RestoresTheNodeIdentityOrAnswers7082AndKeepsIt) {
    QuietHost host;
    ProcessFixture fixture;
    auto process = fixture.make(testEffectPath("effect_plain"));
    auto& midi = dynamic_cast<CEffectProcessMIDI&>(*process);
    ASSERT_TRUE(midi.HasMidiNode());
    const int32_t registered = midi.MidiNodeId();
    ASSERT_EQ(host.platform.engine.midiNodes().at(registered).name, "Ruvane");
    EXPECT_EQ(host.platform.engine.midiNodes().at(registered).registration, 0xffff);
    EXPECT_TRUE(fixture.group().KnowsMidiNode(registered));

    // Saved: the instance's own identity.
    Bytes saved(static_cast<std::size_t>(process->ChunkSize(kMidiChunk)));
    ASSERT_EQ(saved.size(), 56u + 24u);
    ASSERT_EQ(process->SaveChunk(kMidiChunk, saved.data(), static_cast<int32_t>(saved.size())), 0);
    EXPECT_EQ(Bytes(saved.begin() + 56, saved.end()), WriteMidiConnectionData(true, registered));

    // Restored from another project: the node takes the saved identity.
    const Bytes other = hostChunk(WriteMidiConnectionData(true, 4242));
    EXPECT_EQ(process->RestoreChunk(kMidiChunk, other.data(), static_cast<int32_t>(other.size())), 0);
    EXPECT_EQ(midi.MidiNodeId(), 4242);
    EXPECT_TRUE(fixture.group().KnowsMidiNode(4242));
    EXPECT_FALSE(fixture.group().KnowsMidiNode(registered));

    // Without a known key: -7082 and the identity stays.
    const Bytes unknown = hostChunk(WriteMidiConnectionData(false, 0));
    EXPECT_EQ(process->RestoreChunk(kMidiChunk, unknown.data(), static_cast<int32_t>(unknown.size())), -7082);
    EXPECT_EQ(midi.MidiNodeId(), 4242);
    // A header that disagrees with the bytes is refused before the data is read.
    Bytes lying = other;
    lying[0] = 200;
    EXPECT_EQ(process->RestoreChunk(kMidiChunk, lying.data(), static_cast<int32_t>(lying.size())), kHPErrorBadChunk);
    process.reset();
    EXPECT_EQ(host.platform.engine.midiNodes().count(registered), 0u);  // unregistered with the instance
}

TEST(MidiConnectionChunk, AnInstanceWithoutANodeAnswers7082) {
    // No host engine to register with: the instance has no MIDI node.
    ProcessFixture fixture;
    auto process = fixture.make(testEffectPath("effect_plain"));
    auto& midi = dynamic_cast<CEffectProcessMIDI&>(*process);
    ASSERT_FALSE(midi.HasMidiNode());
    const Bytes other = hostChunk(WriteMidiConnectionData(true, 4242));
    EXPECT_EQ(process->RestoreChunk(kMidiChunk, other.data(), static_cast<int32_t>(other.size())), -7082);
    EXPECT_EQ(midi.MidiNodeId(), 0);
    Bytes saved(static_cast<std::size_t>(process->ChunkSize(kMidiChunk)));
    ASSERT_EQ(process->SaveChunk(kMidiChunk, saved.data(), static_cast<int32_t>(saved.size())), 0);
    EXPECT_EQ(Bytes(saved.begin() + 56, saved.end()), (Bytes{1, 1, 1, 1}));
}

}  // namespace
}  // namespace ruvane::testing
