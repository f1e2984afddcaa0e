// One key event. Virtual keys and modifier bits carry the VST 2.4 numbers, so keys a
// host forwards through effEditKeyDown/effEditKeyUp map one to one.
#pragma once

#include <cstdint>

namespace toolkit {

enum VirtualKey : int {
    kKeyNone = 0,
    kKeyBackspace = 1,
    kKeyTab = 2,
    kKeyClear = 3,
    kKeyReturn = 4,
    kKeyPause = 5,
    kKeyEscape = 6,
    kKeySpace = 7,
    kKeyNext = 8,
    kKeyEnd = 9,
    kKeyHome = 10,
    kKeyLeft = 11,
    kKeyUp = 12,
    kKeyRight = 13,
    kKeyDown = 14,
    kKeyPageUp = 15,
    kKeyPageDown = 16,
    kKeySelect = 17,
    kKeyPrint = 18,
    kKeyEnter = 19,
    kKeySnapshot = 20,
    kKeyInsert = 21,
    kKeyDelete = 22,
};

enum KeyModifier : int {
    kShiftModifier = 1,
    kAlternateModifier = 2,
    kCommandModifier = 4,  // the Ctrl key on Linux
    kControlModifier = 8,
};

struct KeyCode {
    char32_t character = 0;  // Unicode code point of a printable key, else 0
    int virtualKey = kKeyNone;
    int modifiers = 0;
};

}  // namespace toolkit
