// Saved chunks keep their numbers big-endian, whatever the machine's order.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

inline void PutBigEndian32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value >> 24);
    out[1] = static_cast<uint8_t>(value >> 16);
    out[2] = static_cast<uint8_t>(value >> 8);
    out[3] = static_cast<uint8_t>(value);
}

inline uint32_t ReadBigEndian32(const uint8_t* in) {
    return (uint32_t{in[0]} << 24) | (uint32_t{in[1]} << 16) | (uint32_t{in[2]} << 8) | uint32_t{in[3]};
}

inline void PutBigEndianFloat(uint8_t* out, float value) { PutBigEndian32(out, std::bit_cast<uint32_t>(value)); }
inline float ReadBigEndianFloat(const uint8_t* in) { return std::bit_cast<float>(ReadBigEndian32(in)); }
