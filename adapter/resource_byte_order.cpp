#include "adapter/resource_byte_order.h"

#include <algorithm>
#include <cstddef>

namespace {

// 'cfrg': the 4-byte field at 32. 'thng': five 4-byte fields from 0, then four groups of
// a 4-byte kind and a 2-byte id from 20.
constexpr std::size_t kCodeFragmentField = 32;
constexpr std::size_t kComponentWords = 5;
constexpr std::size_t kComponentGroups[] = {20, 26, 32, 38};

void reverse(uint8_t* data, std::size_t size, std::size_t offset, std::size_t width) {
    if (offset + width <= size) std::reverse(data + offset, data + offset + width);
}

}  // namespace

int32_t ReverseResourceFields(uint32_t kind, int32_t /*id*/, void* data, int32_t size) {
    auto* bytes = static_cast<uint8_t*>(data);
    const std::size_t length = size > 0 && bytes ? static_cast<std::size_t>(size) : 0;
    switch (kind) {
        case kCodeFragmentResource:
            reverse(bytes, length, kCodeFragmentField, 4);
            return 1;
        case kComponentResource:
            for (std::size_t word = 0; word < kComponentWords; ++word) reverse(bytes, length, 4 * word, 4);
            for (std::size_t group : kComponentGroups) {
                reverse(bytes, length, group, 4);
                reverse(bytes, length, group + 4, 2);
            }
            return 1;
        default: return 0;
    }
}
