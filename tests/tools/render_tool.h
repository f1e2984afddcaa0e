// Running the built ruvane-render as a user does, and making and reading the audio
// files it works on.
#pragma once

#include <fcntl.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "loaded_plugin.h"

namespace ruvane::testing {

namespace fs = std::filesystem;

// Separate channels of a whole (short) file.
struct Audio {
    int sampleRate = 0;
    std::vector<std::vector<float>> channels;
    size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

inline Audio readAudio(const fs::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Audio audio;
    if (file == nullptr) {
        ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
        return audio;
    }
    audio.sampleRate = info.samplerate;
    std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    audio.channels.assign(static_cast<size_t>(info.channels), std::vector<float>(static_cast<size_t>(got)));
    for (sf_count_t i = 0; i < got; ++i)
        for (int c = 0; c < info.channels; ++c)
            audio.channels[static_cast<size_t>(c)][static_cast<size_t>(i)] =
                interleaved[static_cast<size_t>(i * info.channels + c)];
    return audio;
}

inline void writeAudio(const fs::path& path, const Audio& audio, int format) {
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = static_cast<int>(audio.channels.size());
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << "cannot write " << path << ": " << sf_strerror(nullptr);
    std::vector<float> interleaved(audio.frames() * audio.channels.size());
    for (size_t i = 0; i < audio.frames(); ++i)
        for (size_t c = 0; c < audio.channels.size(); ++c) interleaved[i * audio.channels.size() + c] = audio.channels[c][i];
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(audio.frames()));
    sf_close(file);
}

// Silence with a short 1 kHz burst (2 ms, half scale) at each of the given times.
inline Audio bursts(int sampleRate, int channels, double seconds, const std::vector<double>& times) {
    Audio audio;
    audio.sampleRate = sampleRate;
    const size_t frames = static_cast<size_t>(std::lround(seconds * sampleRate));
    audio.channels.assign(static_cast<size_t>(channels), std::vector<float>(frames, 0.0f));
    const size_t burst = static_cast<size_t>(0.002 * sampleRate);
    for (double time : times) {
        const size_t start = static_cast<size_t>(std::lround(time * sampleRate));
        for (size_t i = 0; i < burst && start + i < frames; ++i) {
            const float value = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i) / sampleRate));
            for (auto& channel : audio.channels) channel[start + i] = value;
        }
    }
    return audio;
}

inline float peakBetween(const std::vector<float>& samples, int sampleRate, double from, double to) {
    const size_t first = static_cast<size_t>(std::max(0.0, from) * sampleRate);
    const size_t last = std::min(samples.size(), static_cast<size_t>(to * sampleRate));
    float peak = 0.0f;
    for (size_t i = first; i < last; ++i) peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

// The time of the first sample at or after `from` whose magnitude reaches level; -1 if none.
inline double onsetAfter(const std::vector<float>& samples, int sampleRate, double from, float level) {
    for (size_t i = static_cast<size_t>(from * sampleRate); i < samples.size(); ++i)
        if (std::fabs(samples[i]) >= level) return static_cast<double>(i) / sampleRate;
    return -1.0;
}

inline std::string readText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

struct ToolRun {
    int exitCode = -1;  // -1 when killed by a signal
    int signal = 0;
    std::string out;
    std::string err;
};

// A started ruvane-render; finish() waits for it.
class ToolProcess {
public:
    ToolProcess(const std::vector<std::string>& args, const fs::path& workFolder) : folder_(workFolder) {
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(workFolder.c_str()) != 0) _exit(127);
            const int out = open((folder_ / "../stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open((folder_ / "../stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
            std::vector<char*> argv;
            std::string program = RUVANE_RENDER_PATH;
            argv.push_back(program.data());
            std::vector<std::string> copies = args;
            for (std::string& arg : copies) argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    pid_t pid() const { return pid_; }
    ToolRun finish() {
        ToolRun run;
        int status = 0;
        waitpid(pid_, &status, 0);
        if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
        run.out = readText(folder_ / "../stdout.txt");
        run.err = readText(folder_ / "../stderr.txt");
        return run;
    }

private:
    fs::path folder_;
    pid_t pid_ = -1;
};

// A private work folder (files/) and settings folder for each test.
class RenderToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ruvane-render-test-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        work = root_ / "files";
        fs::create_directory(work);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Runs with the built plug-in unless the arguments name one.
    ToolRun render(std::vector<std::string> args) {
        bool named = false;
        for (const std::string& arg : args) named = named || arg == "--plugin";
        if (!named) {
            args.insert(args.begin(), RUVANE_PLUGIN_PATH);
            args.insert(args.begin(), "--plugin");
        }
        return ToolProcess(args, work).finish();
    }

    fs::path file(const std::string& name) const { return work / name; }

    // Everything in the work folder, so a test can see that nothing was left behind.
    std::vector<std::string> filesInWork() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(work)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScopedConfigHome configHome;
    fs::path root_;
    fs::path work;
};

}  // namespace ruvane::testing
