#include "tools/ruvane-view/audio_player.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "tools/ruvane-render/demo_phrase.h"

namespace ruvane::view {

AudioPlayer::AudioPlayer(vsthost::PluginInstance& plugin, double sampleRate, double tempo)
    : plugin_(plugin),
      sampleRate_(sampleRate),
      inLeft_(kBlockSize),
      inRight_(kBlockSize),
      outLeft_(kBlockSize),
      outRight_(kBlockSize) {
    // The demo phrase, rendered once into a loop: two bars of plucks over kick and snare.
    render::DemoPhrase phrase(sampleRate, tempo);
    const size_t length = static_cast<size_t>(phrase.lengthFrames().value_or(static_cast<int64_t>(sampleRate) * 4));
    loopLeft_.resize(length);
    loopRight_.resize(length);
    size_t filled = 0;
    while (filled < length) {
        const size_t got = phrase.read(loopLeft_.data() + filled, loopRight_.data() + filled,
                                       std::min<size_t>(kBlockSize, length - filled));
        if (got == 0) break;
        filled += got;
    }
    loopLeft_.resize(std::max<size_t>(filled, 1));
    loopRight_.resize(std::max<size_t>(filled, 1));
}

void AudioPlayer::start() {
    if (running_.exchange(true)) return;
    thread_ = std::thread([this] { run(); });
}

void AudioPlayer::stop() {
    running_.store(false);
    if (thread_.joinable()) thread_.join();
}

bool AudioPlayer::postParameter(int32_t index, float value) {
    const uint64_t next = posted_.load(std::memory_order_relaxed);
    if (next - applied_.load(std::memory_order_acquire) >= kMaxPending) return false;
    changes_[next % kMaxPending] = {index, value};
    // Release: the audio thread that sees the count also sees the change.
    posted_.store(next + 1, std::memory_order_release);
    return true;
}

void AudioPlayer::applyParameterChanges() {
    const uint64_t posted = posted_.load(std::memory_order_acquire);
    uint64_t applied = applied_.load(std::memory_order_relaxed);
    for (; applied < posted; ++applied) {
        const ParameterChange& change = changes_[applied % kMaxPending];
        plugin_.setParameter(change.index, change.value);
    }
    // Release: the slots are free for the poster once it sees this count.
    applied_.store(applied, std::memory_order_release);
}

void AudioPlayer::run() {
    using Clock = std::chrono::steady_clock;
    const auto blockTime = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(kBlockSize / sampleRate_));
    auto deadline = Clock::now();
    size_t position = 0;
    while (running_.load(std::memory_order_relaxed)) {
        applyParameterChanges();
        for (int i = 0; i < kBlockSize; ++i) {
            inLeft_[static_cast<size_t>(i)] = loopLeft_[position];
            inRight_[static_cast<size_t>(i)] = loopRight_[position];
            if (++position == loopLeft_.size()) position = 0;
        }
        plugin_.process(inLeft_.data(), inRight_.data(), outLeft_.data(), outRight_.data(), kBlockSize);
        float peak = peak_.load(std::memory_order_relaxed);
        for (int i = 0; i < kBlockSize; ++i)
            peak = std::max({peak, std::fabs(outLeft_[static_cast<size_t>(i)]), std::fabs(outRight_[static_cast<size_t>(i)])});
        peak_.store(peak, std::memory_order_relaxed);
        blocks_.fetch_add(1, std::memory_order_relaxed);
        deadline += blockTime;
        // A late block (a busy machine) does not make the next ones rush to catch up.
        const auto now = Clock::now();
        if (deadline < now) deadline = now;
        std::this_thread::sleep_until(deadline);
    }
}

}  // namespace ruvane::view
