#include "toolkit/movie_bitmap.h"

#include <algorithm>
#include <cmath>

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"

namespace toolkit {

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                           CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      offset(offset),
      subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage) {}

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                           const CPoint& offset)
    : CMovieBitmap(size, listener, tag,
                   background != nullptr && size.getHeight() > 0
                       ? static_cast<int32_t>(background->getHeight() / size.getHeight())
                       : 0,
                   size.getHeight(), background, offset) {}

bool CMovieBitmap::isTypeOf(std::string_view className) const {
    return className == "CMovieBitmap" || CControl::isTypeOf(className);
}

int32_t CMovieBitmap::frameIndex() const {
    if (subPixmaps <= 1) {
        return 0;
    }
    const auto index =
        static_cast<int32_t>(std::floor(getValueNormalized() * static_cast<float>(subPixmaps - 1) + 0.5f));
    return std::clamp(index, 0, subPixmaps - 1);
}

void CMovieBitmap::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        context->drawBitmap(*bitmap, size, CPoint(offset.x, offset.y + heightOfOneImage * frameIndex()));
    }
    setDirty(false);
}

}  // namespace toolkit
