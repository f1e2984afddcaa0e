// The module's byte-order hook for its resource file: puts the fields of the resource
// kinds it owns into this machine's order when the file was written in the other one.
#pragma once

#include <cstdint>

inline constexpr uint32_t kCodeFragmentResource = 0x63667267;  // 'cfrg'
inline constexpr uint32_t kComponentResource = 0x74686e67;     // 'thng'

// Answers 1 for 'cfrg' and 'thng' (their fields reversed in place), 0 for other kinds.
int32_t ReverseResourceFields(uint32_t kind, int32_t id, void* data, int32_t size);
