#include "toolkit/param_display.h"

#include <cstdio>

#include "toolkit/bitmap.h"

namespace toolkit {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, -1, background), style(style) {
    setDirty(false);
}

bool CParamDisplay::isTypeOf(std::string_view className) const {
    return className == "CParamDisplay" || CControl::isTypeOf(className);
}

// Setters mark the display dirty only on a real change (the font always).
void CParamDisplay::setFont(const CFontDesc& newFont) {
    font = newFont;
    setDirty();
}

void CParamDisplay::setFontColor(const CColor& color) {
    if (color != fontColor) {
        fontColor = color;
        setDirty();
    }
}

void CParamDisplay::setBackColor(const CColor& color) {
    if (color != backColor) {
        backColor = color;
        setDirty();
    }
}

void CParamDisplay::setFrameColor(const CColor& color) {
    if (color != frameColor) {
        frameColor = color;
        setDirty();
    }
}

void CParamDisplay::setShadowColor(const CColor& color) {
    if (color != shadowColor) {
        shadowColor = color;
        setDirty();
    }
}

void CParamDisplay::setHoriAlign(CHoriTxtAlign align) {
    if (align != horiAlign) {
        horiAlign = align;
        setDirty();
    }
}

void CParamDisplay::setTextInset(const CPoint& inset) {
    if (inset != textInset) {
        textInset = inset;
        setDirty();
    }
}

void CParamDisplay::setStyle(int32_t newStyle) {
    if (newStyle != style) {
        style = newStyle;
        setDirty();
    }
}

void CParamDisplay::setPrecision(int32_t digits) {
    if (digits != precision) {
        precision = digits;
        setDirty();
    }
}

std::string CParamDisplay::valueText() {
    char text[256] = {};
    if (valueToString && valueToString(value, text, this)) {
        text[sizeof(text) - 1] = '\0';  // a hook that forgot the terminator stays inside the buffer
        return text;
    }
    std::snprintf(text, sizeof(text), "%.*f", precision, static_cast<double>(value));
    return text;
}

void CParamDisplay::draw(CDrawContext* context) {
    if ((style & kNoDrawStyle) != 0) {
        return;
    }
    drawBack(context);
    if ((style & kNoTextStyle) == 0) {
        drawText(context, valueText());
    }
    setDirty(false);
}

void CParamDisplay::drawBack(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground()) {
        context->drawBitmap(*bitmap, size, backOffset);
    } else if (!getTransparency()) {
        context->setFillColor(backColor);
        context->setFrameColor(frameColor);
        context->setLineWidth(frameWidth);
        const bool framed = (style & (k3DIn | k3DOut | kNoFrame)) == 0;
        const CDrawStyle drawStyle = framed ? kDrawFilledAndStroked : kDrawFilled;
        if ((style & kRoundRectStyle) != 0) {
            context->drawRoundRect(size, roundRectRadius, drawStyle);
        } else {
            context->drawRect(size, drawStyle);
        }
    }
    if ((style & (k3DIn | k3DOut)) != 0) {
        // Raised or sunken edges: top/left in one colour, bottom/right in the other.
        const CColor topLeft = (style & k3DIn) != 0 ? backColor : frameColor;
        const CColor bottomRight = (style & k3DIn) != 0 ? frameColor : backColor;
        const CRect r(size.left, size.top, size.right - 1, size.bottom - 1);
        context->setLineWidth(1);
        context->setFrameColor(topLeft);
        context->drawLine(CPoint(r.left, r.bottom), CPoint(r.left, r.top));
        context->drawLine(CPoint(r.left, r.top), CPoint(r.right, r.top));
        context->setFrameColor(bottomRight);
        context->drawLine(CPoint(r.right, r.top), CPoint(r.right, r.bottom));
        context->drawLine(CPoint(r.right, r.bottom), CPoint(r.left, r.bottom));
    }
}

void CParamDisplay::drawText(CDrawContext* context, std::string_view text) {
    if (text.empty()) {
        return;
    }
    CRect textRect = size;
    textRect.inset(textInset.x, textInset.y);
    context->setFont(font);
    if ((style & kShadowText) != 0) {
        CRect shadowRect = textRect;
        shadowRect.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadowRect, horiAlign, antialias);
    }
    context->setFontColor(fontColor);
    context->drawString(text, textRect, horiAlign, antialias);
}

}  // namespace toolkit
