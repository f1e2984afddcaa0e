// Audio files through libsndfile, streamed block by block. Reading takes any mono or
// stereo file libsndfile knows; writing goes to a temporary file beside the output,
// which becomes the output only when commit() is called.
#pragma once

#include <sndfile.h>

#include <string>
#include <vector>

#include "tools/ruvane-render/audio_stream.h"
#include "tools/ruvane-render/options.h"

namespace ruvane::render {

class InputFile : public AudioSource {
public:
    // Throws ToolError (kExitBadInput) for a missing, unreadable, unsupported or
    // more-than-stereo file. maxFrames is the most a read() will ask for.
    InputFile(const std::string& path, size_t maxFrames);
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    double sampleRate() const override { return info_.samplerate; }
    int channels() const override { return info_.channels; }
    std::optional<int64_t> lengthFrames() const override;
    size_t read(float* left, float* right, size_t frames) override;

private:
    std::string path_;
    SF_INFO info_{};
    SNDFILE* file_ = nullptr;
    std::vector<float> interleaved_;
};

struct OutputFormat {
    int sndfileFormat = 0;
    bool integerSamples = false;  // values beyond full scale are clipped
    std::string name;             // for the summary, e.g. "WAV 24-bit"
};

// From the output's extension (.wav, .flac, .ogg/.oga) and --bits; throws ToolError
// (kExitUsage) for anything else.
OutputFormat outputFormatFor(const std::string& path, SampleFormat sampleFormat);

class OutputFile : public AudioSink {
public:
    // Creates the temporary file beside path; throws ToolError (kExitRenderFailed).
    OutputFile(const std::string& path, const OutputFormat& format, int sampleRate, int channels, size_t maxFrames);
    ~OutputFile() override;  // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Mono output is the average of left and right.
    void write(const float* left, const float* right, size_t frames) override;
    // Finishes the file and renames it over the output; throws ToolError (kExitRenderFailed).
    void commit();
    void discard();
    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    std::string path_;
    std::string temporaryPath_;
    int channels_;
    SNDFILE* file_ = nullptr;
    std::vector<float> interleaved_;
};

}  // namespace ruvane::render
