#include "tools/ruvane-render/tail_keeper.h"

#include <algorithm>
#include <cmath>

namespace ruvane::render {

namespace {

float peakOf(const float* left, const float* right, size_t frames) {
    float peak = 0.0f;
    for (size_t i = 0; i < frames; ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    return peak;
}

}  // namespace

TailKeeper TailKeeper::fixed(AudioSink& sink, int64_t frames, double sampleRate) {
    const int64_t fadeFrames = static_cast<int64_t>(std::round(kTailFadeSeconds * sampleRate));
    return TailKeeper(sink, std::max<int64_t>(frames, 0), 0, fadeFrames, false);
}

TailKeeper TailKeeper::automatic(AudioSink& sink, int64_t capFrames, int64_t quietFrames, double sampleRate) {
    const int64_t fadeFrames = static_cast<int64_t>(std::round(kTailFadeSeconds * sampleRate));
    capFrames = std::max<int64_t>(capFrames, 0);
    return TailKeeper(sink, capFrames, std::clamp<int64_t>(quietFrames, 1, std::max<int64_t>(capFrames, 1)),
                      fadeFrames, true);
}

TailKeeper::TailKeeper(AudioSink& sink, int64_t capFrames, int64_t quietFrames, int64_t fadeFrames, bool automatic)
    : sink_(sink),
      capFrames_(capFrames),
      quietFrames_(quietFrames),
      fadeFrames_(std::min(fadeFrames, capFrames)),
      automatic_(automatic),
      finished_(capFrames == 0) {
    if (automatic_) {
        heldLeft_.resize(static_cast<size_t>(quietFrames_));
        heldRight_.resize(static_cast<size_t>(quietFrames_));
    }
}

void TailKeeper::fade(float* left, float* right, size_t frames) const {
    const int64_t fadeStart = capFrames_ - fadeFrames_;
    for (size_t i = 0; i < frames; ++i) {
        const int64_t at = offered_ + static_cast<int64_t>(i);
        if (at < fadeStart) continue;
        const float gain = static_cast<float>(capFrames_ - at - 1) / static_cast<float>(fadeFrames_);
        left[i] *= gain;
        right[i] *= gain;
    }
}

void TailKeeper::hold(const float* left, const float* right, size_t frames) {
    std::copy_n(left, frames, heldLeft_.begin() + static_cast<std::ptrdiff_t>(held_));
    std::copy_n(right, frames, heldRight_.begin() + static_cast<std::ptrdiff_t>(held_));
    held_ += frames;
}

void TailKeeper::release() {
    if (held_ > 0) sink_.write(heldLeft_.data(), heldRight_.data(), held_);
    held_ = 0;
}

bool TailKeeper::offer(float* left, float* right, size_t frames) {
    if (finished_) return false;
    frames = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(frames), capFrames_ - offered_));
    fade(left, right, frames);
    if (!automatic_) {
        sink_.write(left, right, frames);
    } else {
        // Quiet stretches are held back in pieces no larger than what is left of the window.
        size_t done = 0;
        while (done < frames && !finished_) {
            const size_t piece = std::min(frames - done, heldLeft_.size() - held_);
            if (peakOf(left + done, right + done, piece) < kQuietLevel) {
                hold(left + done, right + done, piece);
                if (static_cast<int64_t>(held_) >= quietFrames_) finished_ = true;  // the quiet lasted: done
            } else {
                release();
                sink_.write(left + done, right + done, piece);
            }
            done += piece;
        }
        frames = done;
    }
    offered_ += static_cast<int64_t>(frames);
    if (offered_ >= capFrames_ && !finished_) {
        finished_ = true;
        reachedCap_ = automatic_ && held_ == 0;  // still sounding when cut
    }
    if (finished_) held_ = 0;  // what is still held back is silence at the end: dropped
    return !finished_;
}

}  // namespace ruvane::render
