// The progress bar on a terminal and the summary line at the end.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace ruvane::render {

// Draws on standard error, only when it is a terminal and only once a render has run
// for half a second, so short renders stay quiet.
class ProgressBar {
public:
    ProgressBar(bool enabled, std::optional<int64_t> inputFrames, double sampleRate);
    ~ProgressBar() { finish(); }
    void update(int64_t inputFramesDone, int64_t tailFramesDone);
    void finish();  // clears the line

private:
    bool enabled_;
    std::optional<int64_t> inputFrames_;
    double sampleRate_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastDrawn_;
    bool drawn_ = false;
};

struct RenderSummary {
    std::string outputPath;
    std::string formatName;
    int channels = 2;
    double sampleRate = 44100.0;
    int64_t frames = 0;
    int64_t tailFrames = 0;  // of frames, those after the input
    double peak = 0.0;
    double rms = 0.0;
    double wallSeconds = 0.0;
    bool tailCut = false;
};

// One line: where, how long, format, peak and RMS in dBFS, tail, speed.
std::string formatSummary(const RenderSummary& summary);

}  // namespace ruvane::render
