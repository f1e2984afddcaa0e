// A text label that can be edited in place: a click (or focus) starts the edit, the
// toolkit draws the text and a caret; Return or a click elsewhere commits, Escape
// cancels. The listener hears begin/valueChanged/end only when the text changed.
#pragma once

#include <optional>

#include "toolkit/text_buffer.h"
#include "toolkit/text_label.h"

namespace toolkit {

class CTextEdit : public CTextLabel {
public:
    CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, std::string text = {},
              CBitmap* background = nullptr, int32_t style = 0);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(KeyCode& key) override;
    int32_t onKeyUp(KeyCode& key) override;
    void takeFocus() override;
    void looseFocus() override;
    bool wantsFocus() const override;
    bool removed(CView* parentView) override;

    // Starts editing (taking the frame's focus), or commits / cancels a running edit.
    void startEditing();
    void commitEditing();
    void cancelEditing();
    bool isEditingText() const { return buffer.has_value(); }
    // The text being typed (empty when not editing).
    std::string getEditText() const { return buffer ? buffer->text() : std::string{}; }
    bool wasReturnPressed() const { return returnPressed; }

    bool isTypeOf(std::string_view className) const override;
    const char* getClassName() const override { return "CTextEdit"; }
    CView* newCopy() const override { return new CTextEdit(*this); }

private:
    void endEditing(bool commit);

    std::optional<TextBuffer> buffer;
    bool returnPressed = false;
    bool cancelRequested = false;
};

}  // namespace toolkit
