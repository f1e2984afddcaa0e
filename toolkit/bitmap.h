// A picture decoded from PNG bytes, with an optional image of twice the size for 2x
// screens. Film strips stack their frames vertically. Sizes are in 1x units.
#pragma once

#include <cstdint>
#include <span>

#include <cairo.h>

#include "toolkit/geometry.h"
#include "toolkit/reference_counted.h"

namespace toolkit {

class CBitmap : public CReferenceCounted {
public:
    // The 2x image is used only when it is exactly twice the 1x size.
    explicit CBitmap(std::span<const uint8_t> png1x, std::span<const uint8_t> png2x = {});
    // Takes a reference to existing cairo image surfaces (tests and generated pictures).
    CBitmap(cairo_surface_t* image1x, cairo_surface_t* image2x);

    bool isLoaded() const { return image1x != nullptr; }
    bool hasImage2x() const { return image2x != nullptr; }
    CCoord getWidth() const;
    CCoord getHeight() const;

    // The image to draw at `scaleFactor` (the 2x image at 2 when present), or null.
    cairo_surface_t* imageFor(double scaleFactor) const;

protected:
    ~CBitmap() override;

private:
    cairo_surface_t* image1x = nullptr;
    cairo_surface_t* image2x = nullptr;
};

}  // namespace toolkit
