// Mouse buttons and modifier keys of one input event.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum CButton : int32_t {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    kApple = 1 << 7,
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10,
};

struct CButtonState {
    static constexpr int32_t kButtonMask = kLButton | kMButton | kRButton | kButton4 | kButton5;
    static constexpr int32_t kModifierMask = kShift | kControl | kAlt | kApple;

    int32_t state = 0;

    constexpr CButtonState(int32_t s = 0) : state(s) {}

    int32_t getButtonState() const { return state & kButtonMask; }
    int32_t getModifierState() const { return state & kModifierMask; }
    bool isLeftButton() const { return (state & kLButton) != 0; }
    constexpr operator int32_t() const { return state; }
    CButtonState& operator|=(int32_t bits) {
        state |= bits;
        return *this;
    }
};

enum CMouseEventResult {
    kMouseEventNotImplemented = 0,
    kMouseEventHandled = 1,
    kMouseEventNotHandled = 2,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
    kMouseMoveEventHandledButDontNeedMoreEvents = 4,
};

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY = 1 };

} // namespace VSTGUI
