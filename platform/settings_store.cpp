#include "platform/settings_store.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#include "platform/file_io.h"

namespace ruvane {

namespace {

constexpr char kProductFolder[] = "Orvanta/Ruvane";
constexpr std::size_t kMaxNameBytes = 128;

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path SettingsStore::defaultFolder() {
    // A relative XDG_CONFIG_HOME is not valid and is ignored, as the base-directory rules say.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
        return std::filesystem::path(config) / kProductFolder;
    const std::filesystem::path home = homeFolder();
    if (home.empty()) return {};
    return home / ".config" / kProductFolder;
}

bool SettingsStore::isValidName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameBytes || name.front() == '.') return false;
    return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::optional<std::filesystem::path> SettingsStore::valuePath(std::string_view name) const {
    if (folder_.empty() || !isValidName(name)) return std::nullopt;
    return folder_ / std::string(name);
}

bool SettingsStore::makeFolder() {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    return !error && std::filesystem::is_directory(folder_, error);
}

bool SettingsStore::readBinary(std::string_view name, std::span<uint8_t> image) const {
    std::memset(image.data(), 0, image.size());
    const auto path = valuePath(name);
    if (!path) return false;
    const auto start = readFileStart(*path, image);
    if (start && start->bytesRead == image.size() && !start->hasMore) return true;
    std::memset(image.data(), 0, image.size());
    return false;
}

bool SettingsStore::writeBinary(std::string_view name, std::span<const uint8_t> bytes) {
    const auto path = valuePath(name);
    return path && makeFolder() && replaceFile(*path, bytes);
}

bool SettingsStore::remove(std::string_view name) {
    const auto path = valuePath(name);
    if (!path) return false;
    if (::unlink(path->c_str()) == 0 || errno == ENOENT) return true;
    return false;
}

std::optional<std::string> SettingsStore::readText(std::string_view name, std::size_t maxBytes) const {
    const auto path = valuePath(name);
    if (!path) return std::nullopt;
    std::vector<uint8_t> bytes(maxBytes);
    const auto start = readFileStart(*path, bytes);
    if (!start || start->hasMore) return std::nullopt;
    std::string text(reinterpret_cast<const char*>(bytes.data()), start->bytesRead);
    if (const std::size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
    return text;
}

bool SettingsStore::writeText(std::string_view name, std::string_view text) {
    const auto path = valuePath(name);
    return path && makeFolder() &&
           replaceFile(*path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace ruvane
