// What to keep of the effect's output after the input has ended.
//
// A fixed tail keeps exactly that many frames and fades out over the last 10 ms. An
// automatic tail keeps going while the output still sounds: quiet stretches (peak
// below -90 dBFS) are held back, written only if something audible follows, and
// dropped once the quiet has lasted longer than the longest gap between two echoes.
// Either way the tail ends at its cap, fading out there. The hold-back buffer is
// made once, so memory does not grow with the tail.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/ruvane-render/audio_stream.h"

namespace ruvane::render {

inline constexpr double kQuietLevel = 3.1622777e-5;  // -90 dBFS
inline constexpr double kTailFadeSeconds = 0.01;

class TailKeeper {
public:
    static TailKeeper fixed(AudioSink& sink, int64_t frames, double sampleRate);
    static TailKeeper automatic(AudioSink& sink, int64_t capFrames, int64_t quietFrames, double sampleRate);

    // Whether more tail is wanted at all.
    bool wantsMore() const { return !finished_; }
    // Offers the next frames of tail; they may be faded in place. Writes what is kept
    // to the sink (at once, or later when held back) and answers wantsMore().
    bool offer(float* left, float* right, size_t frames);

    int64_t framesOffered() const { return offered_; }
    // An automatic tail that was still sounding when the cap cut it.
    bool reachedCap() const { return reachedCap_; }

private:
    TailKeeper(AudioSink& sink, int64_t capFrames, int64_t quietFrames, int64_t fadeFrames, bool automatic);
    void fade(float* left, float* right, size_t frames) const;
    void hold(const float* left, const float* right, size_t frames);
    void release();

    AudioSink& sink_;
    int64_t capFrames_;
    int64_t quietFrames_;
    int64_t fadeFrames_;
    bool automatic_;
    int64_t offered_ = 0;
    bool finished_ = false;
    bool reachedCap_ = false;
    std::vector<float> heldLeft_;
    std::vector<float> heldRight_;
    size_t held_ = 0;
};

}  // namespace ruvane::render
