// A display-only film strip: the frame nearest to the value is shown.
#pragma once

#include "toolkit/control.h"

namespace toolkit {

class CMovieBitmap : public CControl {
public:
    CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                 CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = {});
    CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 const CPoint& offset = {});

    void draw(CDrawContext* context) override;

    int32_t getNumSubPixmaps() const { return subPixmaps; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    // round(norm x (n - 1)).
    int32_t frameIndex() const;

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CMovieBitmap"; }
    CView* newCopy() const override { return new CMovieBitmap(*this); }

protected:
    CPoint offset;
    int32_t subPixmaps;
    CCoord heightOfOneImage;
};

}  // namespace toolkit
