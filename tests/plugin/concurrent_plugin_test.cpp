// A host's two threads at once: the audio thread processes and feeds MIDI controllers
// while the user-interface thread automates every parameter, switches the reverb type
// and saves and restores the state. Run under the thread sanitizer by make check-tsan.
#include <atomic>
#include <random>
#include <thread>

#include "loaded_plugin.h"

namespace ruvane::testing {
namespace {

TEST_F(LoadedPlugin, ConcurrentAutomationMidiAndStateStayCleanAndFinite) {
    const std::vector<uint8_t> saved = plugin->getChunk();
    std::atomic<bool> audioDone{false};
    std::atomic<bool> allFinite{true};

    std::thread audio([&] {
        std::mt19937 random(11);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        std::vector<float> left(64), right(64), outLeft(64), outRight(64);
        for (int block = 0; block < 1500; ++block) {
            for (size_t n = 0; n < left.size(); ++n) {
                left[n] = noise(random);
                right[n] = noise(random);
            }
            const auto controller = static_cast<uint8_t>(20 + block % 30);
            plugin->sendMidi({{0xB0, controller, static_cast<uint8_t>(block % 128)}});
            plugin->process(left.data(), right.data(), outLeft.data(), outRight.data(), 64);
            for (size_t n = 0; n < outLeft.size(); ++n)
                if (!std::isfinite(outLeft[n]) || !std::isfinite(outRight[n])) allFinite = false;
        }
        audioDone = true;
    });

    std::mt19937 random(12);
    std::uniform_int_distribution<int> parameter(0, 95);
    std::uniform_real_distribution<float> value(-0.2f, 1.2f);
    for (int step = 0; !audioDone; ++step) {
        const int index = parameter(random);
        plugin->setParameter(index, value(random));
        plugin->parameterDisplay(index % 48);
        if (step % 50 == 0) plugin->setParameter(38, step % 100 == 0 ? 1.0f : 0.0f);
        if (step % 200 == 0) plugin->getChunk();
        if (step % 500 == 0) plugin->setChunk(saved);
    }
    audio.join();
    EXPECT_TRUE(allFinite);
}

}  // namespace
}  // namespace ruvane::testing
