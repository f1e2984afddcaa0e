// Render on the audio thread while the host's main thread saves and restores state and
// moves controls and a third thread queues MIDI: the flags keep them apart, so nothing
// tears, no event is lost and the thread sanitizer sees no race.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "adapter/framework/control_values.h"
#include "adapter_test_support.h"

namespace ruvane::testing {
namespace {

// Renders 70-sample calls until told to stop; answers how many it made.
class RenderThread {
public:
    explicit RenderThread(CWrapperProcess& process)
        : thread_([this, &process] {
              std::vector<float> left(70, 0.25f), right(70, -0.25f), outLeft(70), outRight(70);
              const float* inputs[] = {left.data(), right.data()};
              float* outputs[] = {outLeft.data(), outRight.data()};
              while (!stop_.load(std::memory_order_acquire)) {
                  process.RenderAudio(inputs, outputs, nullptr, 70, false);
                  calls_.fetch_add(1, std::memory_order_relaxed);
              }
          }) {}
    ~RenderThread() { join(); }
    int join() {
        stop_.store(true, std::memory_order_release);
        if (thread_.joinable()) thread_.join();
        return calls_.load();
    }
    void awaitCalls(int count) const {
        while (calls_.load(std::memory_order_relaxed) < count) std::this_thread::yield();
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> calls_{0};
    std::thread thread_;
};

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
