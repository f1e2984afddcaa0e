// 32-bit words in stored data are in the byte order of the machine that wrote them.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

namespace ruvane {

inline uint32_t reverseBytes(uint32_t word) {
    return (word >> 24) | ((word >> 8) & 0x0000FF00u) | ((word << 8) & 0x00FF0000u) | (word << 24);
}

inline uint32_t loadWord(const uint8_t* bytes) {
    uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

inline void storeWord(uint8_t* bytes, uint32_t word) { std::memcpy(bytes, &word, sizeof word); }

inline float loadFloat(const uint8_t* bytes, bool reversed) {
    uint32_t word = loadWord(bytes);
    if (reversed) word = reverseBytes(word);
    return std::bit_cast<float>(word);
}

inline void storeFloat(uint8_t* bytes, float value) { storeWord(bytes, std::bit_cast<uint32_t>(value)); }

// Stored data starts with the effect's id in the writer's byte order. Answers whether
// the data is byte-reversed, or nothing when the id is another effect's. An id that
// reads the same both ways counts as native.
inline std::optional<bool> isReversedId(uint32_t storedId, uint32_t ownId) {
    if (storedId == ownId) return false;
    if (storedId == reverseBytes(ownId)) return true;
    return std::nullopt;
}

}  // namespace ruvane
