// Whole-file reading and replacing for the small fixed-size files the effect keeps
// (presets, banks, MIDI settings, stored settings).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace ruvane {

struct FileStart {
    std::size_t bytesRead = 0;  // how much of the buffer the file filled
    bool hasMore = false;       // the file is longer than the buffer
};

// Reads the start of a regular file into buffer, opening it for reading only. The part
// of the buffer the file does not reach is zero. Nothing (and an all-zero buffer) when
// the file is missing, unreadable or not a regular file.
std::optional<FileStart> readFileStart(const std::filesystem::path& path, std::span<uint8_t> buffer);

// Replaces the file at path with data: the data goes to a temporary file in the same
// folder, is flushed to disk and then renamed over the old file, so the old file stays
// whole until the new one is complete. A file marked read-only is not replaced. On
// failure nothing is left behind and false is returned.
bool replaceFile(const std::filesystem::path& path, std::span<const uint8_t> data);

}  // namespace ruvane
