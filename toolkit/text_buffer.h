// The text being typed in an in-place edit, with a caret between characters (UTF-8).
#pragma once

#include <cstddef>
#include <string>

namespace toolkit {

class TextBuffer {
public:
    TextBuffer() = default;
    explicit TextBuffer(std::string text) : content(std::move(text)), caret(content.size()) {}

    const std::string& text() const { return content; }
    // Byte offset of the caret; always on a character boundary.
    std::size_t caretPosition() const { return caret; }

    void insert(char32_t character);
    void backspace();
    void deleteForward();
    void moveLeft();
    void moveRight();
    void moveHome() { caret = 0; }
    void moveEnd() { caret = content.size(); }

private:
    std::size_t previousBoundary(std::size_t position) const;
    std::size_t nextBoundary(std::size_t position) const;

    std::string content;
    std::size_t caret = 0;
};

}  // namespace toolkit
