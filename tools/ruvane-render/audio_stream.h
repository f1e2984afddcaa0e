// Where the render loop takes its audio from and where it puts it: always as separate
// left and right channels, whatever the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace ruvane::render {

class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual double sampleRate() const = 0;
    virtual int channels() const = 0;
    virtual std::optional<int64_t> lengthFrames() const = 0;  // none when not known ahead
    // Fills up to frames samples of each channel (mono is copied to both) and answers
    // how many it filled; fewer than asked only at the end. Throws ToolError on failure.
    virtual size_t read(float* left, float* right, size_t frames) = 0;
};

class AudioSink {
public:
    virtual ~AudioSink() = default;
    virtual void write(const float* left, const float* right, size_t frames) = 0;  // throws ToolError
};

}  // namespace ruvane::render
