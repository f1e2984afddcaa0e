// Drawing on any cairo context. All coordinates are 1x units; a scale factor of 2
// draws the same picture at twice the pixel density (and picks 2x bitmaps).
#pragma once

#include <string_view>

#include <cairo.h>

#include "toolkit/color.h"
#include "toolkit/font.h"
#include "toolkit/geometry.h"

namespace toolkit {

class CBitmap;

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };
enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

class CDrawContext {
public:
    // Does not take ownership of `cr`; applies cairo_scale(scaleFactor) itself.
    CDrawContext(cairo_t* cr, double scaleFactor = 1.0);
    ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    void setFillColor(const CColor& color) { fillColor = color; }
    void setFrameColor(const CColor& color) { frameColor = color; }
    void setFontColor(const CColor& color) { fontColor = color; }
    const CColor& getFillColor() const { return fillColor; }
    const CColor& getFrameColor() const { return frameColor; }
    const CColor& getFontColor() const { return fontColor; }
    void setLineWidth(CCoord width) { lineWidth = width; }
    CCoord getLineWidth() const { return lineWidth; }
    void setFont(const CFontDesc& desc) { font = desc; }
    const CFontDesc& getFont() const { return font; }

    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void drawRoundRect(const CRect& rect, CCoord radius, CDrawStyle style = kDrawStroked);
    void drawLine(const CPoint& from, const CPoint& to);
    // One line of UTF-8 text, vertically centred on the rectangle (baseline at the
    // centre plus half the cap height), clipped to the rectangle.
    void drawString(std::string_view utf8, const CRect& rect, CHoriTxtAlign align = kCenterText,
                    bool antialias = true);
    CCoord getStringWidth(std::string_view utf8);
    // Copies the part of the bitmap starting at `sourceOffset` (1x units) to `dest`.
    void drawBitmap(CBitmap& bitmap, const CRect& dest, const CPoint& sourceOffset = {}, float alpha = 1.f);

    void saveGlobalState();
    void restoreGlobalState();
    // Intersects the current clip with `rect` (until restoreGlobalState).
    void setClipRect(const CRect& rect);

    double getScaleFactor() const { return scaleFactor; }
    cairo_t* cairo() const { return cr; }

private:
    void applyColor(const CColor& color);
    void selectFont(bool antialias);

    cairo_t* cr;
    double scaleFactor;
    CColor fillColor = kWhiteCColor;
    CColor frameColor = kBlackCColor;
    CColor fontColor = kWhiteCColor;
    CCoord lineWidth = 1;
    CFontDesc font;
};

}  // namespace toolkit
