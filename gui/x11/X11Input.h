// Pure translations of X11 input into the GUI layer's terms, kept apart from Xlib calls so they
// can be tested without a display.
#pragma once

#include "gui/CButtonState.h"
#include "gui/VstKeyCode.h"

#include <cstdint>

namespace zykgui {

// Modifier bits of an X event's state (Shift, Control, Mod1 = Alt, Mod4 = Super).
int32_t modifiersFromX(unsigned int state);
// Buttons held according to an X event's state, plus its modifiers.
int32_t buttonsFromX(unsigned int state);
// The button bit of X button number 1-3, or 0 (4-7 are the wheel).
int32_t buttonFromXNumber(unsigned int button);

// A key from its keysym and the Latin-1/Unicode character it types (0 for none).
VSTGUI::VstKeyCode keyCodeFromX(unsigned long keysym, int32_t character, unsigned int state);

// Tells a second press of the same button near the first and soon after it.
class DoubleClickDetector {
public:
    static constexpr uint64_t kMaxIntervalMs = 400;
    static constexpr int kMaxDistance = 4;

    // True when this press completes a double click; a third press starts over.
    bool onPress(unsigned int button, int x, int y, uint64_t timeMs);

private:
    unsigned int lastButton = 0;
    int lastX = 0;
    int lastY = 0;
    uint64_t lastTime = 0;
    bool armed = false;
};

} // namespace zykgui
