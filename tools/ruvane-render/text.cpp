#include "tools/ruvane-render/text.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace ruvane::render {

namespace {
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

std::string looseKey(std::string_view name) {
    std::string key;
    for (char c : name) {
        if (blank(c) || c == '_' || c == '-') continue;
        key += lower(c);
    }
    return key;
}

std::string presetKey(std::string_view name) {
    std::string key;
    bool pendingBlank = false;
    for (char c : name) {
        if (blank(c)) {
            pendingBlank = !key.empty();
            continue;
        }
        if (pendingBlank) key += ' ';
        pendingBlank = false;
        key += lower(c);
    }
    return key;
}

std::optional<double> parseNumber(std::string_view text) {
    const std::string copy = trim(text);
    if (copy.empty()) return std::nullopt;
    double value = 0.0;
    const char* end = copy.data() + copy.size();
    const auto [stop, error] = std::from_chars(copy.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<long> parseInteger(std::string_view text) {
    const std::string copy = trim(text);
    if (copy.empty()) return std::nullopt;
    long value = 0;
    const char* end = copy.data() + copy.size();
    const auto [stop, error] = std::from_chars(copy.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::string trim(std::string_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

}  // namespace ruvane::render
