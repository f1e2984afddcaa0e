#include "effect/editor/bitmap_resources.h"

namespace ruvane {

std::span<const uint8_t> bitmapPng(int id, int scale) {
    for (const detail::EmbeddedPng& png : detail::embeddedPngs())
        if (png.id == id && png.scale == scale)
            return {png.begin, static_cast<size_t>(png.end - png.begin)};
    return {};
}

}  // namespace ruvane
