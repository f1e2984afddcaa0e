#include "tools/ruvane-render/audio_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tools/ruvane-render/exit_codes.h"
#include "tools/ruvane-render/interruption.h"

namespace ruvane::render {

namespace fs = std::filesystem;

namespace {

std::string lowerExtension(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

mode_t currentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

}  // namespace

InputFile::InputFile(const std::string& path, size_t maxFrames) : path_(path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) throw ToolError(kExitBadInput, "cannot open '" + path + "': no such file");
    if (fs::is_directory(status))
        throw ToolError(kExitBadInput, "cannot read '" + path + "': it is a directory, not an audio file");
    if (access(path.c_str(), R_OK) != 0)
        throw ToolError(kExitBadInput, "cannot read '" + path + "': " + std::strerror(errno));
    file_ = sf_open(path.c_str(), SFM_READ, &info_);
    if (file_ == nullptr) {
        const std::string why = sf_strerror(nullptr);
        throw ToolError(kExitBadInput, "cannot read '" + path + "' as audio: " + why +
                                           " (ruvane-render reads WAV, FLAC, Ogg and the other formats of libsndfile)");
    }
    if (info_.channels < 1 || info_.channels > 2) {
        const int channels = info_.channels;
        sf_close(file_);
        file_ = nullptr;
        throw ToolError(kExitBadInput, "'" + path + "' has " + std::to_string(channels) +
                                           " channels; ruvane-render takes mono or stereo files");
    }
    if (info_.samplerate <= 0) {
        sf_close(file_);
        file_ = nullptr;
        throw ToolError(kExitBadInput, "'" + path + "' gives no sample rate");
    }
    interleaved_.resize(maxFrames * static_cast<size_t>(info_.channels));
}

InputFile::~InputFile() {
    if (file_ != nullptr) sf_close(file_);
}

std::optional<int64_t> InputFile::lengthFrames() const {
    if (info_.frames <= 0 || info_.frames == SF_COUNT_MAX) return std::nullopt;
    return info_.frames;
}

size_t InputFile::read(float* left, float* right, size_t frames) {
    const size_t channels = static_cast<size_t>(info_.channels);
    frames = std::min(frames, interleaved_.size() / channels);
    const sf_count_t got = sf_readf_float(file_, interleaved_.data(), static_cast<sf_count_t>(frames));
    if (sf_error(file_) != SF_ERR_NO_ERROR)
        throw ToolError(kExitRenderFailed, "reading '" + path_ + "' failed: " + sf_strerror(file_));
    const size_t count = got > 0 ? static_cast<size_t>(got) : 0;
    for (size_t i = 0; i < count; ++i) {
        left[i] = interleaved_[i * channels];
        right[i] = interleaved_[i * channels + channels - 1];
    }
    return count;
}

OutputFormat outputFormatFor(const std::string& path, SampleFormat sampleFormat) {
    const std::string extension = lowerExtension(path);
    OutputFormat format;
    const auto pcm = [&](int container, const char* name) {
        switch (sampleFormat) {
            case SampleFormat::Pcm16:
                format = {container | SF_FORMAT_PCM_16, true, std::string(name) + " 16-bit"};
                break;
            case SampleFormat::Float:
                format = {container | SF_FORMAT_FLOAT, false, std::string(name) + " float"};
                break;
            case SampleFormat::Default:
            case SampleFormat::Pcm24:
                format = {container | SF_FORMAT_PCM_24, true, std::string(name) + " 24-bit"};
                break;
        }
    };
    if (extension == ".wav") {
        pcm(SF_FORMAT_WAV, "WAV");
    } else if (extension == ".flac") {
        if (sampleFormat == SampleFormat::Float)
            throw ToolError(kExitUsage, "FLAC stores whole numbers: use --bits 16 or 24, or a .wav output for float");
        pcm(SF_FORMAT_FLAC, "FLAC");
    } else if (extension == ".ogg" || extension == ".oga") {
        if (sampleFormat != SampleFormat::Default)
            throw ToolError(kExitUsage, "--bits does not apply to Ogg Vorbis output");
        format = {SF_FORMAT_OGG | SF_FORMAT_VORBIS, false, "Ogg Vorbis"};
    } else {
        throw ToolError(kExitUsage, "cannot write '" + path + "': unknown output format '" + extension +
                                        "'; name the output .wav, .flac or .ogg");
    }
    return format;
}

OutputFile::OutputFile(const std::string& path, const OutputFormat& format, int sampleRate, int channels,
                       size_t maxFrames)
    : path_(path), channels_(channels) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".part-XXXXXX")).string();
    const int descriptor = mkstemp(pattern.data());
    if (descriptor < 0)
        throw ToolError(kExitRenderFailed, "cannot write into '" + folder.string() + "': " + std::strerror(errno));
    temporaryPath_ = pattern;
    registerTemporaryFile(temporaryPath_.c_str());
    // mkstemp makes the file private; the finished output gets the usual permissions.
    fchmod(descriptor, 0666 & ~currentUmask());

    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format.sndfileFormat;
    file_ = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (file_ == nullptr) {
        // libsndfile has closed the descriptor it was given.
        const std::string why = sf_strerror(nullptr);
        discard();
        throw ToolError(kExitRenderFailed, "cannot write " + format.name + " to '" + path + "': " + why);
    }
    if (format.integerSamples) sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    interleaved_.resize(maxFrames * static_cast<size_t>(channels));
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::write(const float* left, const float* right, size_t frames) {
    const size_t channels = static_cast<size_t>(channels_);
    const size_t capacity = interleaved_.size() / channels;
    while (frames > 0) {
        const size_t count = std::min(frames, capacity);
        for (size_t i = 0; i < count; ++i) {
            if (channels == 1) {
                interleaved_[i] = 0.5f * (left[i] + right[i]);
            } else {
                interleaved_[2 * i] = left[i];
                interleaved_[2 * i + 1] = right[i];
            }
        }
        const sf_count_t written = sf_writef_float(file_, interleaved_.data(), static_cast<sf_count_t>(count));
        if (written != static_cast<sf_count_t>(count))
            throw ToolError(kExitRenderFailed, "writing '" + path_ + "' failed: " + sf_strerror(file_));
        left += count;
        right += count;
        frames -= count;
    }
}

void OutputFile::commit() {
    sf_write_sync(file_);
    const int closeResult = sf_close(file_);
    file_ = nullptr;
    if (closeResult != 0) throw ToolError(kExitRenderFailed, "finishing '" + path_ + "' failed: " + sf_error_number(closeResult));
    std::error_code error;
    fs::rename(temporaryPath_, path_, error);
    if (error) throw ToolError(kExitRenderFailed, "cannot rename the finished file to '" + path_ + "': " + error.message());
    registerTemporaryFile(nullptr);
    temporaryPath_.clear();
}

void OutputFile::discard() {
    if (file_ != nullptr) {
        sf_close(file_);
        file_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        unlink(temporaryPath_.c_str());
        registerTemporaryFile(nullptr);
        temporaryPath_.clear();
    }
}

}  // namespace ruvane::render
