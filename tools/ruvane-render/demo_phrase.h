// The built-in demo phrase: two bars of plucked notes (Karplus-Strong strings) over a
// kick and a snare, in stereo, with gaps where echoes and reverb can be heard. It
// follows the host tempo so synced delays land on the beat. Everything is generated
// block by block from buffers made once; the same rate and tempo give the same audio.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/ruvane-render/audio_stream.h"

namespace ruvane::render {

class DemoPhrase : public AudioSource {
public:
    static constexpr double kBeats = 8.0;  // two bars of 4/4

    DemoPhrase(double sampleRate, double tempo);

    double sampleRate() const override { return sampleRate_; }
    int channels() const override { return 2; }
    std::optional<int64_t> lengthFrames() const override { return length_; }
    size_t read(float* left, float* right, size_t frames) override;

    // When each event starts, in frames, in the order they sound.
    std::vector<int64_t> onsetFrames() const;

private:
    enum class Sound { Pluck, Kick, Snare };
    struct Event {
        double beat;
        Sound sound;
        double frequency;  // plucks only
        double pan;        // -1 left .. +1 right
        double level;
    };
    struct PluckVoice {
        std::vector<float> line;  // sized once for the lowest note
        size_t length = 0;
        size_t position = 0;
        float loss = 0.0f;
        float allpassCoefficient = 0.0f;
        float allpassInput = 0.0f;
        float allpassOutput = 0.0f;
        float gainLeft = 0.0f;
        float gainRight = 0.0f;
    };
    struct DrumVoice {
        bool active = false;
        int64_t age = 0;
        double phase = 0.0;
        float gainLeft = 0.0f;
        float gainRight = 0.0f;
        float noiseState = 0.0f;
    };

    static const std::array<Event, 16>& score();
    int64_t frameOf(double beat) const;
    float noise();
    void start(const Event& event);
    void stereoSample(float& left, float& right);

    double sampleRate_;
    double tempo_;
    int64_t length_;
    int64_t position_ = 0;
    size_t nextEvent_ = 0;
    uint32_t noiseState_ = 0x9E3779B9u;
    std::array<PluckVoice, 4> plucks_;
    size_t nextPluck_ = 0;
    DrumVoice kick_;
    DrumVoice snare_;
};

}  // namespace ruvane::render
