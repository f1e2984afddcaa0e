// Mouse buttons and modifier keys of one event, and the answers views give to mouse events.
#pragma once

#include <cstdint>

namespace toolkit {

enum : int32_t {
    kLButton = 2,
    kMButton = 4,
    kRButton = 8,
    kShift = 16,
    kControl = 32,
    kAlt = 64,
    kApple = 128,
    kButton4 = 256,
    kButton5 = 512,
    kDoubleClick = 1024,
    kMouseWheelInverted = 2048,
};

class CButtonState {
public:
    static constexpr int32_t kButtonMask = kLButton | kMButton | kRButton | kButton4 | kButton5;
    static constexpr int32_t kModifierMask = kShift | kControl | kAlt | kApple;

    constexpr CButtonState(int32_t state = 0) : state(state) {}

    constexpr int32_t getButtonState() const { return state & kButtonMask; }
    constexpr int32_t getModifierState() const { return state & kModifierMask; }
    // Modifiers may be held, but no second button.
    constexpr bool isLeftButton() const { return getButtonState() == kLButton; }
    constexpr bool isRightButton() const { return getButtonState() == kRButton; }
    constexpr bool isDoubleClick() const { return (state & kDoubleClick) != 0; }
    constexpr int32_t operator&(int32_t mask) const { return state & mask; }
    constexpr int32_t operator|(int32_t mask) const { return state | mask; }
    constexpr CButtonState& operator|=(int32_t mask) {
        state |= mask;
        return *this;
    }
    constexpr bool operator==(const CButtonState&) const = default;
    constexpr int32_t value() const { return state; }

private:
    int32_t state;
};

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
    kMouseMoveEventHandledButDontNeedMoreEvents,
};

}  // namespace toolkit
