// The editor's bitmaps, drawn at build time and embedded in the library as PNG files.
#pragma once

#include <cstdint>
#include <span>

namespace ruvane {

// The PNG of bitmap `id` at `scale` (1 or 2); an empty span for an unknown id or scale.
// The 2x image is exactly twice as wide and as high, with the same frames.
std::span<const uint8_t> bitmapPng(int id, int scale);

namespace detail {

// One embedded PNG; the table is generated at build time.
struct EmbeddedPng {
    int id;
    int scale;
    const uint8_t* begin;
    const uint8_t* end;
};

std::span<const EmbeddedPng> embeddedPngs();

}  // namespace detail
}  // namespace ruvane
