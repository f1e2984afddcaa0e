// Shows a value as text over a background piece, a fill or nothing at all.
#pragma once

#include <functional>

#include "toolkit/color.h"
#include "toolkit/control.h"
#include "toolkit/draw_context.h"
#include "toolkit/font.h"

namespace toolkit {

class CParamDisplay : public CControl {
public:
    using ValueToString = std::function<bool(float value, char utf8[256], CParamDisplay* display)>;

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
    CParamDisplay(const CParamDisplay& other) = default;

    void draw(CDrawContext* context) override;

    void setFont(const CFontDesc& newFont);
    const CFontDesc& getFont() const { return font; }
    void setFontColor(const CColor& color);
    const CColor& getFontColor() const { return fontColor; }
    void setBackColor(const CColor& color);
    const CColor& getBackColor() const { return backColor; }
    void setFrameColor(const CColor& color);
    const CColor& getFrameColor() const { return frameColor; }
    void setShadowColor(const CColor& color);
    const CColor& getShadowColor() const { return shadowColor; }
    void setHoriAlign(CHoriTxtAlign align);
    CHoriTxtAlign getHoriAlign() const { return horiAlign; }
    void setTextInset(const CPoint& inset);
    const CPoint& getTextInset() const { return textInset; }
    void setStyle(int32_t newStyle);
    int32_t getStyle() const { return style; }
    void setPrecision(int32_t digits);
    int32_t getPrecision() const { return precision; }
    void setFrameWidth(CCoord width) { frameWidth = width; }
    void setRoundRectRadius(CCoord radius) { roundRectRadius = radius; }
    void setAntialias(bool state) { antialias = state; }
    void setValueToStringFunction(ValueToString function) { valueToString = std::move(function); }

    // The text shown for the current value: the hook's, else the value with `precision` decimals.
    std::string valueText();

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CParamDisplay"; }
    CView* newCopy() const override { return new CParamDisplay(*this); }

protected:
    void drawBack(CDrawContext* context);
    void drawText(CDrawContext* context, std::string_view text);

    CFontDesc font;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    CHoriTxtAlign horiAlign = kCenterText;
    CPoint textInset;
    int32_t style;
    int32_t precision = 2;
    CCoord frameWidth = 1;
    CCoord roundRectRadius = 6;
    bool antialias = true;
    ValueToString valueToString;
};

}  // namespace toolkit
