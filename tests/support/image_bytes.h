// Test helpers for the preset, bank and MIDI-settings images: where their values sit,
// and the same image as a machine of the other byte order writes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "effect/editor/preset_images.h"
#include "effect/plugin/byte_order.h"

namespace ruvane::testing {

// Which of the image's words are values (the rest are the id, tag and names).
inline std::vector<std::size_t> valueOffsets(std::size_t imageBytes) {
    std::vector<std::size_t> offsets;
    if (imageBytes == kMidiImageBytes) {
        for (std::size_t i = 0; i < 48; ++i) offsets.push_back(5 + 4 * i);
    } else {
        for (std::size_t record = 0; 5 + record * 216 < imageBytes; ++record)
            for (std::size_t i = 0; i < 48; ++i) offsets.push_back(5 + record * 216 + 24 + 4 * i);
    }
    return offsets;
}

// The image as a machine of the other byte order writes it: id and values reversed.
inline std::vector<uint8_t> otherByteOrder(std::vector<uint8_t> image) {
    auto swap = [&](std::size_t offset) { storeWord(&image[offset], reverseBytes(loadWord(&image[offset]))); };
    swap(0);
    for (std::size_t offset : valueOffsets(image.size())) swap(offset);
    return image;
}

}  // namespace ruvane::testing
