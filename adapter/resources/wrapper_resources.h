// The registration resources of wrapper.so, as its resource file holds them:
//
//   'thng' 128 (44 bytes): component type 'Rilo', subtype 'RV7S', manufacturer 'ZAVa',
//        flags 0, flags mask 0 (five 4-byte fields), then four 6-byte references of a
//        4-byte kind and a 2-byte id: code ('cfrg' 0), name ('STR ' 128),
//        info ('STR ' 129), icon (none: 0, 0)
//   'cfrg' 0 (36 bytes): the module file name, NUL-padded to 32 bytes, then the 4-byte
//        version (major, minor, patch, 0 from the high byte down)
//   'STR ' 128: "Ruvane"; 'STR ' 129: the one-line description (plain text, no order)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostplatform/extension/resource_file.h"

namespace ruvane::adapter {

struct ResourceReference {
    uint32_t kind = 0;
    int16_t id = 0;
};

struct ComponentDescription {
    uint32_t type = 0, subtype = 0, manufacturer = 0, flags = 0, flagsMask = 0;
    ResourceReference code, name, info, icon;
};

inline constexpr std::size_t kComponentBytes = 44;
inline constexpr std::size_t kCodeFragmentBytes = 36;

ComponentDescription WrapperComponent();
uint32_t WrapperVersion(int major, int minor, int patch);

// The resources with every field in the given order.
std::vector<hostplatform::Resource> WrapperResources(uint32_t version, hostplatform::ByteOrder order);

// Reads a 'thng' resource in this machine's order.
ComponentDescription DecodeComponent(const std::vector<uint8_t>& data);

}  // namespace ruvane::adapter
