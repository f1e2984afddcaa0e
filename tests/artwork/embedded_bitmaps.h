// The editor's embedded PNGs decoded with cairo, for tests that look at their pixels.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "effect/editor/bitmap_resources.h"

namespace ruvane::testing {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// Bitmap `id` at `scale` (1 or 2); null when there is no such bitmap or it does not decode.
inline Surface decodeBitmap(int id, int scale) {
    struct Reader {
        std::span<const uint8_t> bytes;
        std::size_t offset = 0;
        static cairo_status_t read(void* closure, unsigned char* data, unsigned int length) {
            auto* reader = static_cast<Reader*>(closure);
            if (reader->offset + length > reader->bytes.size()) return CAIRO_STATUS_READ_ERROR;
            std::memcpy(data, reader->bytes.data() + reader->offset, length);
            reader->offset += length;
            return CAIRO_STATUS_SUCCESS;
        }
    };
    Reader reader{bitmapPng(id, scale)};
    if (reader.bytes.empty()) return nullptr;
    Surface surface(cairo_image_surface_create_from_png_stream(Reader::read, &reader));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return surface;
}

// The pixel at (x, y) of an image surface, as cairo stores it (ARGB32 or RGB24).
inline uint32_t pixelAt(cairo_surface_t* surface, int x, int y) {
    const unsigned char* row =
        cairo_image_surface_get_data(surface) + static_cast<std::size_t>(y) * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const uint32_t*>(row)[x];
}

}  // namespace ruvane::testing
