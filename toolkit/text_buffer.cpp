#include "toolkit/text_buffer.h"

namespace toolkit {
namespace {

bool isContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

void TextBuffer::insert(char32_t character) {
    // Control characters, surrogates and values beyond Unicode are not text.
    if (character < 0x20 || character == 0x7F || (character >= 0xD800 && character <= 0xDFFF) ||
        character > 0x10FFFF) {
        return;
    }
    std::string encoded;
    appendUtf8(encoded, character);
    content.insert(caret, encoded);
    caret += encoded.size();
}

std::size_t TextBuffer::previousBoundary(std::size_t position) const {
    if (position == 0) {
        return 0;
    }
    --position;
    while (position > 0 && isContinuationByte(content[position])) {
        --position;
    }
    return position;
}

std::size_t TextBuffer::nextBoundary(std::size_t position) const {
    if (position >= content.size()) {
        return content.size();
    }
    ++position;
    while (position < content.size() && isContinuationByte(content[position])) {
        ++position;
    }
    return position;
}

void TextBuffer::backspace() {
    const std::size_t start = previousBoundary(caret);
    content.erase(start, caret - start);
    caret = start;
}

void TextBuffer::deleteForward() {
    const std::size_t end = nextBoundary(caret);
    content.erase(caret, end - caret);
}

void TextBuffer::moveLeft() { caret = previousBoundary(caret); }

void TextBuffer::moveRight() { caret = nextBoundary(caret); }

}  // namespace toolkit
