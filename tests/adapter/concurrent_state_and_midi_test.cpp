// Render on the audio thread while the host's main thread saves and restores state and
// moves controls and a third thread queues MIDI: the flags keep them apart, so nothing
// tears, no event is lost and the thread sanitizer sees no race.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "adapter/framework/control_values.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

TEST(ConcurrentStateAndMidi, ParameterFormStateMidiAndControlsWhileRendering) {
    QuietHost host;
    host.platform.engine.setMaxRealTimeBlock(32);
    ProcessFixture fixture;
    auto made = fixture.make(testEffectPath("effect_programs"));
    auto& process = dynamic_cast<TestRiloProcess&>(*made);
    CPluginWrapper& wrapper = process.Wrapper();
    constexpr int kEvents = 1000;  // fewer than one block holds, so none may be dropped

    RenderThread render(process);
    std::thread midiWriter([&] {
        for (int i = 0; i < kEvents; ++i) {
            const uint8_t bytes[4] = {0xB0, static_cast<uint8_t>(i % 128), static_cast<uint8_t>(i / 128), 0};
            wrapper.QueueMidiEvent(bytes, i % 70);
        }
    });
    render.awaitCalls(10);
    for (int round = 0; round < 200; ++round) {
        const float a = static_cast<float>(round % 10) / 10.0f;
        process.HostSetsControl(2, ToControlValue(a, 0, 1));
        process.HostSetsControl(3, ToControlValue(1.0 - a, 0, 1));
        std::vector<uint8_t> saved(static_cast<std::size_t>(wrapper.GetStateSize()));
        wrapper.GetState(saved.data());
        process.HostSetsControl(2, ToControlValue(0.95, 0, 1));
        wrapper.SetState(saved.data(), static_cast<int32_t>(saved.size()));
        ASSERT_FLOAT_EQ(wrapper.GetParameter(0), a);
        ASSERT_FLOAT_EQ(wrapper.GetParameter(1), 1.0f - a);
    }
    midiWriter.join();
    const int calls = render.join();
    EXPECT_GT(calls, 10);

    // One more call sends what is still queued; every event arrived once, in order.
    std::vector<float> left(8), right(8);
    float* channels[] = {left.data(), right.data(), left.data(), right.data()};
    wrapper.Process(channels, 8, nullptr);
    ASSERT_EQ(query(wrapper, kQueryMidiEvents), kEvents);
    for (int i = 0; i < kEvents; ++i)
        ASSERT_EQ(query(wrapper, kQueryMidiEventBytes, i),
                  static_cast<VstIntPtr>((0xB0u << 24) | (static_cast<uint32_t>(i % 128) << 16) | (static_cast<uint32_t>(i / 128) << 8)));
}

// The slow-state effect keeps 16 equal words that every process call checks and
// rewrites, and copies them one word at a time, pausing, when its chunk is saved or
// restored: a process call in the middle of a restore tears them.
constexpr std::size_t kGenerationWords = 16;
constexpr std::size_t kGenerationBytes = 4 + 4 * kGenerationWords;  // "GENS" and the words

std::vector<uint8_t> chunkFormBlock(uint32_t generation) {
    std::vector<uint8_t> block(kGenerationBytes + 8);
    std::memcpy(block.data(), "GENS", 4);
    for (std::size_t i = 0; i < kGenerationWords; ++i) std::memcpy(block.data() + 4 + 4 * i, &generation, 4);
    for (std::size_t trailer : {kGenerationBytes, kGenerationBytes + 4}) {
        const uint8_t tag[4] = {0, 0, 0x30, 0};  // 0x3000, big-endian
        std::memcpy(block.data() + trailer, tag, 4);
    }
    return block;
}

TEST(ConcurrentStateAndMidi, ChunkFormRestoreNeverMeetsAProcessCall) {
    QuietHost host;
    host.platform.engine.setMaxRealTimeBlock(32);
    ProcessFixture fixture;
    auto process = fixture.make(testEffectPath("effect_slow_state"));
    CPluginWrapper& wrapper = process->Wrapper();
    ASSERT_EQ(wrapper.GetStateSize(), static_cast<int32_t>(kGenerationBytes + 8));

    RenderThread render(*process);
    render.awaitCalls(10);
    const int callsBefore = render.calls();
    for (uint32_t round = 1; round <= 40; ++round) {
        const std::vector<uint8_t> block = chunkFormBlock(1000000u * round);
        wrapper.SetState(block.data(), static_cast<int32_t>(block.size()));
    }
    const int calls = render.join();
    EXPECT_GT(calls, callsBefore);  // rendering went on meanwhile
    EXPECT_EQ(query(wrapper, kQueryTornStates), 0);
    EXPECT_EQ(query(wrapper, kQuerySetChunkSize), static_cast<VstIntPtr>(kGenerationBytes));  // without the trailer
    std::vector<uint8_t> saved(static_cast<std::size_t>(wrapper.GetStateSize()));
    ASSERT_EQ(wrapper.GetState(saved.data(), static_cast<int32_t>(saved.size())), static_cast<int32_t>(saved.size()));
    uint32_t first = 0;
    std::memcpy(&first, saved.data() + 4, 4);
    EXPECT_GE(first, 40000000u);  // the last restore reached the effect
}

// Saving only reads the effect's chunk, so rendering is never held for it: while the
// host saves again and again, every block the host gets went through the effect (the
// test effect halves the left channel; a block without it would come back whole).
TEST(ConcurrentStateAndMidi, ChunkFormSavesNeverTakeABlockFromTheEffect) {
    QuietHost host;
    host.platform.engine.setMaxRealTimeBlock(32);
    ProcessFixture fixture;
    auto process = fixture.make(testEffectPath("effect_slow_state"));
    CPluginWrapper& wrapper = process->Wrapper();

    std::atomic<int> blocksWithoutTheEffect{0};
    RenderThread render(*process, [&](const std::vector<float>& outLeft) {
        for (float sample : outLeft)
            if (sample != 0.125f) {
                blocksWithoutTheEffect.fetch_add(1, std::memory_order_relaxed);
                return;
            }
    });
    render.awaitCalls(10);
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> saved(static_cast<std::size_t>(wrapper.GetStateSize()));
        ASSERT_EQ(wrapper.GetState(saved.data(), static_cast<int32_t>(saved.size())), static_cast<int32_t>(saved.size()));
        ASSERT_EQ(std::memcmp(saved.data(), "GENS", 4), 0);
    }
    EXPECT_GT(render.join(), 10);
    EXPECT_EQ(blocksWithoutTheEffect.load(), 0);
}

TEST(ConcurrentStateAndMidi, RuvaneChunkStateWhileRendering) {
    QuietHost host;
    ProcessFixture fixture;
    auto made = fixture.make(RUVANE_PLUGIN_PATH);
    auto& process = dynamic_cast<TestRiloProcess&>(*made);
    CPluginWrapper& wrapper = process.Wrapper();
    std::vector<uint8_t> original(static_cast<std::size_t>(wrapper.GetStateSize()));
    wrapper.GetState(original.data());

    RenderThread render(process);
    render.awaitCalls(5);
    for (int round = 0; round < 20; ++round) {
        process.HostSetsControl(2 + 3, ToControlValue(round / 20.0, 0, 1));  // DlyL Fb
        std::vector<uint8_t> saved(static_cast<std::size_t>(wrapper.GetStateSize()));
        wrapper.GetState(saved.data());
        wrapper.SetState(original.data(), static_cast<int32_t>(original.size()));
        wrapper.SetState(saved.data(), static_cast<int32_t>(saved.size()));
        ASSERT_FLOAT_EQ(wrapper.GetParameter(3), static_cast<float>(FromControlValue(ToControlValue(round / 20.0, 0, 1), 0, 1)));
        const uint8_t controller[4] = {0xB0, 21, static_cast<uint8_t>(round * 6), 0};  // Main Mix
        wrapper.QueueMidiEvent(controller, 0);
    }
    EXPECT_GT(render.join(), 5);
}

}  // namespace
}  // namespace ruvane::testing
