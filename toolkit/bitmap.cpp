#include "toolkit/bitmap.h"

#include <cstring>

namespace toolkit {
namespace {

struct PngReader {
    std::span<const uint8_t> bytes;
    std::size_t position = 0;
};

cairo_status_t readPngBytes(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->bytes.size() - reader->position < length) {
        return CAIRO_STATUS_READ_ERROR;
    }
    std::memcpy(data, reader->bytes.data() + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

// Null for empty or undecodable bytes.
cairo_surface_t* decodePng(std::span<const uint8_t> png) {
    if (png.empty()) {
        return nullptr;
    }
    PngReader reader{png};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readPngBytes, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

bool isDoubleOf(cairo_surface_t* image2x, cairo_surface_t* image1x) {
    return cairo_image_surface_get_width(image2x) == 2 * cairo_image_surface_get_width(image1x) &&
           cairo_image_surface_get_height(image2x) == 2 * cairo_image_surface_get_height(image1x);
}

}  // namespace

CBitmap::CBitmap(std::span<const uint8_t> png1x, std::span<const uint8_t> png2x) : image1x(decodePng(png1x)) {
    if (image1x != nullptr) {
        image2x = decodePng(png2x);
        if (image2x != nullptr && !isDoubleOf(image2x, image1x)) {
            cairo_surface_destroy(image2x);
            image2x = nullptr;
        }
    }
}

CBitmap::CBitmap(cairo_surface_t* first, cairo_surface_t* second) {
    if (first != nullptr && cairo_surface_status(first) == CAIRO_STATUS_SUCCESS &&
        cairo_surface_get_type(first) == CAIRO_SURFACE_TYPE_IMAGE) {
        image1x = cairo_surface_reference(first);
        if (second != nullptr && cairo_surface_get_type(second) == CAIRO_SURFACE_TYPE_IMAGE &&
            isDoubleOf(second, first)) {
            image2x = cairo_surface_reference(second);
        }
    }
}

CBitmap::~CBitmap() {
    if (image2x != nullptr) {
        cairo_surface_destroy(image2x);
    }
    if (image1x != nullptr) {
        cairo_surface_destroy(image1x);
    }
}

CCoord CBitmap::getWidth() const { return image1x ? cairo_image_surface_get_width(image1x) : 0; }

CCoord CBitmap::getHeight() const { return image1x ? cairo_image_surface_get_height(image1x) : 0; }

cairo_surface_t* CBitmap::imageFor(double scaleFactor) const {
    if (scaleFactor >= 2 && image2x != nullptr) {
        return image2x;
    }
    return image1x;
}

}  // namespace toolkit
