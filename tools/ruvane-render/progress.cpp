#include "tools/ruvane-render/progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "tools/ruvane-render/level_meter.h"

namespace ruvane::render {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;

std::string decibels(double level) {
    const double db = toDecibels(level);
    if (!std::isfinite(db)) return "-inf dBFS";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", db);
    return text;
}

}  // namespace

ProgressBar::ProgressBar(bool enabled, std::optional<int64_t> inputFrames, double sampleRate)
    : enabled_(enabled && isatty(STDERR_FILENO) == 1),
      inputFrames_(inputFrames),
      sampleRate_(sampleRate),
      started_(Clock::now()),
      lastDrawn_(started_) {}

void ProgressBar::update(int64_t inputFramesDone, int64_t tailFramesDone) {
    if (!enabled_) return;
    const auto now = Clock::now();
    if (now - started_ < kQuietStart || now - lastDrawn_ < kRedrawEvery) return;
    lastDrawn_ = now;
    drawn_ = true;
    if (tailFramesDone > 0) {
        std::fprintf(stderr, "\r\033[Krendering the tail: %.1f s", static_cast<double>(tailFramesDone) / sampleRate_);
    } else if (inputFrames_ && *inputFrames_ > 0) {
        const double fraction = std::fmin(1.0, static_cast<double>(inputFramesDone) / static_cast<double>(*inputFrames_));
        const int filled = static_cast<int>(fraction * kBarWidth);
        std::string bar(static_cast<size_t>(filled), '#');
        bar.append(static_cast<size_t>(kBarWidth - filled), '-');
        std::fprintf(stderr, "\r\033[K[%s] %3d%%  %.1f / %.1f s", bar.c_str(), static_cast<int>(fraction * 100.0),
                     static_cast<double>(inputFramesDone) / sampleRate_,
                     static_cast<double>(*inputFrames_) / sampleRate_);
    } else {
        std::fprintf(stderr, "\r\033[K%.1f s", static_cast<double>(inputFramesDone) / sampleRate_);
    }
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (drawn_) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
    drawn_ = false;
}

std::string formatSummary(const RenderSummary& summary) {
    const double seconds = static_cast<double>(summary.frames) / summary.sampleRate;
    const double tailSeconds = static_cast<double>(summary.tailFrames) / summary.sampleRate;
    char text[512];
    std::snprintf(text, sizeof text, "%.2f s, %s %d Hz %s; peak %s, RMS %s; tail %.2f s%s", seconds, summary.channels == 1 ? "mono" : "stereo", static_cast<int>(std::lround(summary.sampleRate)),
                  summary.formatName.c_str(), decibels(summary.peak).c_str(), decibels(summary.rms).c_str(), tailSeconds,
                  summary.tailCut ? " (cut while still sounding)" : "");
    std::string line = summary.outputPath + ": " + text;
    if (summary.wallSeconds > 0.0) {
        std::snprintf(text, sizeof text, "; %.1fx real time", seconds / summary.wallSeconds);
        line += text;
    }
    return line;
}

}  // namespace ruvane::render
