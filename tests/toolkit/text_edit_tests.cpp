// CTextEdit and its text buffer: typing, caret keys, commit by Return or a click
// elsewhere, cancel by Escape, host-forwarded keys, and the keyboard grab.
#include <gtest/gtest.h>

#include "toolkit/text_buffer.h"
#include "toolkit/text_edit.h"
#include "toolkit_test_support.h"

namespace toolkit_test {
namespace {

KeyCode character(char32_t c) { return KeyCode{c, kKeyNone, 0}; }
KeyCode virtualKey(int key) { return KeyCode{0, key, 0}; }

TEST(TextBuffer, EditingKeysWorkOnWholeUtf8Characters) {
    struct Case {
        const char* name;
        std::string start;
        std::vector<std::pair<char, char32_t>> steps;  // 'i' insert, 'b' backspace, 'd' delete, 'l' left, 'r' right, 'h' home, 'e' end
        std::string text;
        std::size_t caret;
    };
    const Case cases[] = {
        {"typing appends", "ab", {{'i', 'c'}}, "abc", 3},
        {"backspace", "abc", {{'b', 0}}, "ab", 2},
        {"home then delete", "abc", {{'h', 0}, {'d', 0}}, "bc", 0},
        {"insert in the middle", "ac", {{'l', 0}, {'i', 'b'}}, "abc", 2},
        {"backspace at the start does nothing", "ab", {{'h', 0}, {'b', 0}}, "ab", 0},
        {"delete at the end does nothing", "ab", {{'d', 0}}, "ab", 2},
        {"two-byte character backspace", "a\xC3\xA9", {{'b', 0}}, "a", 1},
        {"left over a two-byte character", "\xC3\xA9z", {{'l', 0}, {'l', 0}, {'d', 0}}, "z", 0},
        {"non-Latin insert", "", {{'i', U'\u00FC'}, {'i', U'\u20AC'}}, "\xC3\xBC\xE2\x82\xAC", 5},
        {"control characters are not text", "a", {{'i', U'\n'}, {'i', 0x7F}, {'i', 0xD800}}, "a", 1},
        {"end after home", "abc", {{'h', 0}, {'e', 0}, {'i', 'd'}}, "abcd", 4},
        {"right at the end stays", "ab", {{'r', 0}}, "ab", 2},
    };
    for (const Case& c : cases) {
        TextBuffer buffer(c.start);
        for (const auto& [op, ch] : c.steps) {
            switch (op) {
                case 'i': buffer.insert(ch); break;
                case 'b': buffer.backspace(); break;
                case 'd': buffer.deleteForward(); break;
                case 'l': buffer.moveLeft(); break;
                case 'r': buffer.moveRight(); break;
                case 'h': buffer.moveHome(); break;
                case 'e': buffer.moveEnd(); break;
            }
        }
        EXPECT_EQ(buffer.text(), c.text) << c.name;
        EXPECT_EQ(buffer.caretPosition(), c.caret) << c.name;
    }
}

struct EditFixture : FrameFixture {
    CTextEdit* edit;
    explicit EditFixture(int32_t style = 0) {
        edit = add(new CTextEdit(CRect(10, 10, 110, 30), &listener, 80, "Init", nullptr, style));
        add(new CControl(CRect(150, 10, 190, 30), nullptr, 1));
    }
    void type(const char* text) {
        for (const char* p = text; *p; ++p) frame->keyDown(character(static_cast<unsigned char>(*p)));
    }
};

const std::vector<std::string> kCommitted = {"listener begin 80", "editor begin 80", "changed 80=0", "editor end 80",
                                             "listener end 80"};

TEST(TextEdit, ClickStartsEditingWithFocusAndAKeyboardGrab) {
    EditFixture f;
    EXPECT_EQ(f.frame->mouseDown({20, 20}, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_TRUE(f.edit->isEditingText());
    EXPECT_EQ(f.frame->getFocusView(), f.edit);
    EXPECT_TRUE(f.frame->isKeyboardGrabbed());
    EXPECT_EQ(f.edit->getEditText(), "Init");
}

TEST(TextEdit, CommitAndCancelRoutes) {
    struct Case {
        const char* name;
        std::function<void(EditFixture&)> finish;
        std::string expectedText;
        bool notified;
    };
    const Case cases[] = {
        {"Return commits", [](EditFixture& f) { f.frame->keyDown(virtualKey(kKeyReturn)); }, "Init!", true},
        {"keypad Enter commits", [](EditFixture& f) { f.frame->keyDown(virtualKey(kKeyEnter)); }, "Init!", true},
        {"a click elsewhere commits", [](EditFixture& f) { f.frame->mouseDown({160, 20}, kLButton); }, "Init!", true},
        {"a click on empty frame commits", [](EditFixture& f) { f.frame->mouseDown({5, 90}, kLButton); }, "Init!", true},
        {"Escape cancels", [](EditFixture& f) { f.frame->keyDown(virtualKey(kKeyEscape)); }, "Init", false},
        {"Tab commits by moving focus", [](EditFixture& f) { f.frame->keyDown(virtualKey(kKeyTab)); }, "Init!", true},
        {"removing the view commits", [](EditFixture& f) { f.frame->removeView(f.edit); }, "Init!", true},
    };
    for (const Case& c : cases) {
        EditFixture f;
        f.edit->remember();
        f.frame->mouseDown({20, 20}, kLButton);
        f.type("!");
        EXPECT_TRUE(f.log.entries.empty()) << c.name << ": typing alone tells nobody";
        c.finish(f);
        EXPECT_FALSE(f.edit->isEditingText()) << c.name;
        EXPECT_FALSE(f.frame->isKeyboardGrabbed()) << c.name << ": the grab ends with the edit";
        EXPECT_EQ(f.edit->getText(), c.expectedText) << c.name;
        if (c.notified) {
            EXPECT_EQ(f.log.entries, kCommitted) << c.name;
        } else {
            EXPECT_TRUE(f.log.entries.empty()) << c.name;
        }
        f.edit->forget();
    }
}

TEST(TextEdit, CommittingUnchangedTextTellsNobody) {
    EditFixture f;
    f.frame->mouseDown({20, 20}, kLButton);
    f.type("x");
    f.frame->keyDown(virtualKey(kKeyBackspace));
    f.frame->keyDown(virtualKey(kKeyReturn));
    EXPECT_TRUE(f.log.entries.empty());
    EXPECT_TRUE(f.edit->wasReturnPressed());
}

TEST(TextEdit, HostForwardedKeysEditLikeWindowKeys) {
    // effEditKeyDown delivers ASCII characters and VST virtual keys through CFrame::keyDown.
    EditFixture f;
    f.frame->mouseDown({20, 20}, kLButton);
    f.frame->keyDown(virtualKey(kKeyHome));
    f.frame->keyDown(virtualKey(kKeyDelete));
    f.frame->keyDown(KeyCode{'B', kKeyNone, kShiftModifier});
    f.frame->keyDown(virtualKey(kKeyEnd));
    f.frame->keyDown(KeyCode{' ', kKeySpace, 0});
    f.frame->keyDown(virtualKey(kKeyLeft));
    f.frame->keyDown(virtualKey(kKeyRight));
    f.frame->keyDown(KeyCode{'2', kKeyNone, 0});
    EXPECT_EQ(f.frame->keyDown(KeyCode{'s', kKeyNone, kCommandModifier}), 1)
        << "Ctrl shortcuts are swallowed while typing, not passed to the host";
    EXPECT_EQ(f.edit->getEditText(), "Bnit 2");
    f.frame->keyDown(virtualKey(kKeyReturn));
    EXPECT_EQ(f.edit->getText(), "Bnit 2");
}

TEST(TextEdit, KeysAreNotTakenWhenNotEditing) {
    EditFixture f;
    KeyCode key = character('a');
    EXPECT_EQ(f.edit->onKeyDown(key), -1);
    EXPECT_EQ(f.frame->keyDown(character('a')), -1);
}

TEST(TextEdit, DoubleClickStyleNeedsADoubleClick) {
    EditFixture f(kDoubleClickStyle);
    EXPECT_FALSE(f.edit->wantsFocus());
    f.frame->mouseDown({20, 20}, kLButton, 1000);
    f.frame->mouseUp({20, 20}, kLButton);
    EXPECT_FALSE(f.edit->isEditingText());
    f.frame->mouseDown({20, 20}, kLButton, 1200);
    EXPECT_TRUE(f.edit->isEditingText());
    EXPECT_TRUE(f.edit->wantsFocus());
}

TEST(TextEdit, DrawsTypedTextAndACaret) {
    EditFixture f;
    f.edit->setFont(CFontDesc{"Arial", 14});
    f.edit->setHoriAlign(kLeftText);
    f.frame->mouseDown({20, 20}, kLButton);
    f.frame->keyDown(virtualKey(kKeyHome));
    for (double scale : {1.0, 2.0}) {
        Canvas canvas(200, 100, scale);
        canvas.paint(*f.frame);
        const int s = static_cast<int>(scale);
        // The caret at the start: a white column at the text's left edge, taller than a letter's stroke gap.
        EXPECT_GE(canvas.count(10 * s, 12 * s, 12 * s, 28 * s, near(kWhiteCColor, 30)), 10 * s) << scale;
        EXPECT_GT(canvas.count(12 * s, 12 * s, 60 * s, 28 * s, near(kWhiteCColor, 30)), 20) << "text " << scale;
    }
}

}  // namespace
}  // namespace toolkit_test
