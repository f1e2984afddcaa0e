#include "toolkit/text_edit.h"

#include <algorithm>
#include <cmath>

#include "toolkit/draw_context.h"
#include "toolkit/frame.h"

namespace toolkit {
namespace {

constexpr uint8_t kEditOutlineAlpha = 140;
constexpr CCoord kCaretInset = 2;

}  // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, std::string text,
                     CBitmap* background, int32_t style)
    : CTextLabel(size, std::move(text), background, style) {
    this->listener = listener;
    this->tag = tag;
    setWantsFocus(true);
}

bool CTextEdit::isTypeOf(std::string_view className) const {
    return className == "CTextEdit" || CTextLabel::isTypeOf(className);
}

bool CTextEdit::wantsFocus() const {
    // With the double-click style only a running edit keeps the focus (Tab skips it).
    if ((style & kDoubleClickStyle) != 0) {
        return isEditingText();
    }
    return CTextLabel::wantsFocus();
}

void CTextEdit::startEditing() {
    if (isEditingText()) {
        return;
    }
    buffer.emplace(text);
    returnPressed = false;
    cancelRequested = false;
    if (CFrame* frame = getFrame()) {
        frame->grabKeyboard();
        if (frame->getFocusView() != this) {
            frame->setFocusView(this);
        }
    }
    invalid();
}

void CTextEdit::takeFocus() { startEditing(); }

void CTextEdit::looseFocus() { endEditing(!cancelRequested); }

void CTextEdit::commitEditing() {
    CFrame* frame = getFrame();
    if (frame != nullptr && frame->getFocusView() == this) {
        frame->setFocusView(nullptr);  // looseFocus commits
    } else {
        endEditing(true);
    }
}

void CTextEdit::cancelEditing() {
    cancelRequested = true;
    CFrame* frame = getFrame();
    if (frame != nullptr && frame->getFocusView() == this) {
        frame->setFocusView(nullptr);
    } else {
        endEditing(false);
    }
    cancelRequested = false;
}

void CTextEdit::endEditing(bool commit) {
    if (!buffer) {
        return;
    }
    const std::string typed = buffer->text();
    buffer.reset();
    if (CFrame* frame = getFrame()) {
        frame->releaseKeyboard();
    }
    invalid();
    if (commit && typed != text) {
        beginEdit();
        setText(typed);
        valueChanged();
        endEdit();
    }
}

bool CTextEdit::removed(CView* parentView) {
    // Leaving the frame without the focus path (the frame commits a focused edit
    // before it removes the view): drop the typed text quietly.
    if (buffer) {
        buffer.reset();
        if (CFrame* frame = getFrame()) {
            frame->releaseKeyboard();
        }
    }
    return CTextLabel::removed(parentView);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const CButtonState& buttons) {
    if ((buttons & kLButton) == 0) {
        return kMouseEventNotHandled;
    }
    if (isEditingText()) {
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    if ((style & kDoubleClickStyle) != 0 && !buttons.isDoubleClick()) {
        return kMouseEventNotHandled;
    }
    startEditing();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

int32_t CTextEdit::onKeyDown(KeyCode& key) {
    if (!buffer) {
        return -1;
    }
    switch (key.virtualKey) {
        case kKeyReturn:
        case kKeyEnter:
            returnPressed = true;
            commitEditing();
            return 1;
        case kKeyEscape: cancelEditing(); return 1;
        case kKeyTab: return -1;  // the frame moves the focus on, which commits
        case kKeyBackspace: buffer->backspace(); break;
        case kKeyDelete: buffer->deleteForward(); break;
        case kKeyLeft: buffer->moveLeft(); break;
        case kKeyRight: buffer->moveRight(); break;
        case kKeyHome: buffer->moveHome(); break;
        case kKeyEnd: buffer->moveEnd(); break;
        default:
            if (key.character != 0 && (key.modifiers & (kCommandModifier | kAlternateModifier)) == 0) {
                buffer->insert(key.character);
            }
            break;
    }
    invalid();
    // While typing every key belongs to the edit, so the host never sees it as a shortcut.
    return 1;
}

int32_t CTextEdit::onKeyUp(KeyCode&) { return buffer ? 1 : -1; }

void CTextEdit::draw(CDrawContext* context) {
    if (!buffer) {
        CTextLabel::draw(context);
        return;
    }
    drawBack(context);
    CColor outline = fontColor;
    outline.alpha = kEditOutlineAlpha;
    context->setFrameColor(outline);
    context->setLineWidth(1);
    context->drawRect(size, kDrawStroked);

    CRect textRect = size;
    textRect.inset(textInset.x, textInset.y);
    const std::string& typed = buffer->text();
    drawText(context, typed);
    context->setFont(font);
    const CCoord fullWidth = context->getStringWidth(typed);
    const CCoord caretOffset = context->getStringWidth(std::string_view(typed).substr(0, buffer->caretPosition()));
    CCoord x = textRect.left;
    if (horiAlign == kCenterText) {
        x = textRect.left + (textRect.getWidth() - fullWidth) / 2;
    } else if (horiAlign == kRightText) {
        x = textRect.right - fullWidth;
    }
    const CCoord caretX = std::clamp(std::floor(x + caretOffset), textRect.left, textRect.right - 1);
    const CCoord half = std::min(font.size / 2 + 1, textRect.getHeight() / 2 - kCaretInset);
    const CCoord middle = std::floor(textRect.getCenter().y);
    context->setFrameColor(fontColor);
    context->drawLine(CPoint(caretX, middle - half), CPoint(caretX, middle + half - 1));
    setDirty(false);
}

}  // namespace toolkit
