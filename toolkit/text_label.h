// A parameter display that shows fixed text instead of the value.
#pragma once

#include <string>

#include "toolkit/param_display.h"

namespace toolkit {

class CTextLabel : public CParamDisplay {
public:
    CTextLabel(const CRect& size, std::string text = {}, CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;

    virtual void setText(const std::string& newText);
    const std::string& getText() const { return text; }

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CTextLabel"; }
    CView* newCopy() const override { return new CTextLabel(*this); }

protected:
    std::string text;
};

}  // namespace toolkit
