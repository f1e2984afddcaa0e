#include "toolkit/text_label.h"

namespace toolkit {

CTextLabel::CTextLabel(const CRect& size, std::string text, CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style), text(std::move(text)) {}

bool CTextLabel::isTypeOf(std::string_view className) const {
    return className == "CTextLabel" || CParamDisplay::isTypeOf(className);
}

void CTextLabel::setText(const std::string& newText) {
    if (newText != text) {
        text = newText;
        setDirty();
    }
}

void CTextLabel::draw(CDrawContext* context) {
    if ((style & kNoDrawStyle) != 0) {
        return;
    }
    drawBack(context);
    if ((style & kNoTextStyle) == 0) {
        drawText(context, text);
    }
    setDirty(false);
}

}  // namespace toolkit
