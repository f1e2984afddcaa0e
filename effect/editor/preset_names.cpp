#include "effect/editor/preset_names.h"

#include <cstring>

namespace ruvane {

namespace {

// Length of the UTF-8 sequence starting at text[at], or 0 when it is not a valid one.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    // No overlong forms, no surrogates, nothing above U+10FFFF.
    if (lead == 0xE0 && byte(at + 1) < 0xA0) return 0;
    if (lead == 0xED && byte(at + 1) > 0x9F) return 0;
    if (lead == 0xF0 && byte(at + 1) < 0x90) return 0;
    if (lead == 0xF4 && byte(at + 1) > 0x8F) return 0;
    return length;
}

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = sequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

}  // namespace

std::string presetNameText(const char* nameBytes) {
    const void* end = std::memchr(nameBytes, '\0', kPresetNameBytes);
    const std::size_t size = end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - nameBytes)
                                            : static_cast<std::size_t>(kPresetNameBytes);
    const std::string_view bytes(nameBytes, size);
    if (isUtf8(bytes)) return std::string(bytes);
    std::string text;  // Latin-1: every byte is the character of the same number
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

std::string cutToPresetName(std::string_view typed) {
    std::size_t kept = 0;
    for (std::size_t at = 0; at < typed.size() && typed[at] != '\0';) {
        std::size_t length = sequenceLength(typed, at);
        if (length == 0) length = 1;  // a stray byte counts as one character
        if (at + length > static_cast<std::size_t>(kPresetNameBytes)) break;
        at += length;
        kept = at;
    }
    return std::string(typed.substr(0, kept));
}

}  // namespace ruvane
