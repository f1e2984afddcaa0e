// The test phrase player: it runs processReplacing on its own thread, paced like a
// sound card, and stops cleanly.
#include "tools/ruvane-view/audio_player.h"

#include <gtest/gtest.h>

#include "loaded_plugin.h"
#include "view_support.h"

namespace ruvane::testing {
namespace {

// Named for the thread-sanitizer run (make check-tsan picks "Threads").
class AudioPlayerThreads : public LoadedPlugin {};

TEST_F(AudioPlayerThreads, PlaysBlocksUntilStopped) {
    plugin->start(44100.0, view::AudioPlayer::kBlockSize);
    view::AudioPlayer player(*plugin, 44100.0, 120.0);
    EXPECT_EQ(player.blocksPlayed(), 0);
    player.start();
    EXPECT_TRUE(eventually([&] { return player.blocksPlayed() >= 20; })) << "the player processed no audio";
    player.stop();
    const long played = player.blocksPlayed();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a running thread would add two blocks here
    EXPECT_EQ(player.blocksPlayed(), played);
    player.stop();  // a second stop is harmless
}

TEST_F(AudioPlayerThreads, ThePhraseComesOutOfTheEffect) {
    plugin->start(44100.0, view::AudioPlayer::kBlockSize);
    view::AudioPlayer player(*plugin, 44100.0, 120.0);
    EXPECT_EQ(player.outputPeak(), 0.0f);
    player.start();
    // The first notes of the phrase pass the effect (dry and echoed) at an audible level.
    EXPECT_TRUE(eventually([&] { return player.outputPeak() > 0.05f; })) << "peak " << player.outputPeak();
    player.stop();
    EXPECT_LT(player.outputPeak(), 4.0f);
}

}  // namespace
}  // namespace ruvane::testing
