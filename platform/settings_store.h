// The user's stored settings: one file per value name in a per-user folder
// ($XDG_CONFIG_HOME/Orvanta/Ruvane, or ~/.config/Orvanta/Ruvane). Binary values are
// kept as their bytes, texts as UTF-8. Every write replaces the value whole (temporary
// file, then rename), so a value is either the old one or the new one, never a mix.
// A value that is missing or cannot be read counts as absent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ruvane {

class SettingsStore {
public:
    // Texts longer than this are not taken as stored values.
    static constexpr std::size_t kMaxTextBytes = 4096;

    explicit SettingsStore(std::filesystem::path folder);

    // The folder for this user, from the environment; empty when there is no home at all.
    static std::filesystem::path defaultFolder();

    const std::filesystem::path& folder() const { return folder_; }

    // True when the value exists with exactly image.size() bytes; image then holds it.
    // Otherwise the image is all zero: a value of another size was not written by us.
    bool readBinary(std::string_view name, std::span<uint8_t> image) const;
    bool writeBinary(std::string_view name, std::span<const uint8_t> bytes);
    // True when the value is absent afterwards.
    bool remove(std::string_view name);
    // The text up to its first zero byte; nothing when absent or longer than maxBytes.
    std::optional<std::string> readText(std::string_view name, std::size_t maxBytes = kMaxTextBytes) const;
    bool writeText(std::string_view name, std::string_view text);

    // Value names are plain file names that do not start with a dot (temporary files do).
    static bool isValidName(std::string_view name);

private:
    std::optional<std::filesystem::path> valuePath(std::string_view name) const;
    bool makeFolder();

    std::filesystem::path folder_;
};

}  // namespace ruvane
