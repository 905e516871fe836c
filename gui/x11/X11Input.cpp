#include "gui/x11/X11Input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace zykgui {

using namespace VSTGUI;

int32_t modifiersFromX(unsigned int state) {
    int32_t mods = 0;
    if (state & ShiftMask) mods |= kShift;
    if (state & ControlMask) mods |= kControl;
    if (state & Mod1Mask) mods |= kAlt;
    if (state & Mod4Mask) mods |= kApple;
    return mods;
}

int32_t buttonsFromX(unsigned int state) {
    int32_t buttons = modifiersFromX(state);
    if (state & Button1Mask) buttons |= kLButton;
    if (state & Button2Mask) buttons |= kMButton;
    if (state & Button3Mask) buttons |= kRButton;
    return buttons;
}

int32_t buttonFromXNumber(unsigned int button) {
    switch (button) {
    case Button1:
        return kLButton;
    case Button2:
        return kMButton;
    case Button3:
        return kRButton;
    default:
        return 0;
    }
}

VstKeyCode keyCodeFromX(unsigned long keysym, int32_t character, unsigned int state) {
    struct Virtual {
        unsigned long keysym;
        unsigned char virt;
    };
    static constexpr Virtual table[] = {
        {XK_BackSpace, VKEY_BACK},   {XK_Tab, VKEY_TAB},        {XK_ISO_Left_Tab, VKEY_TAB},
        {XK_Return, VKEY_RETURN},    {XK_KP_Enter, VKEY_ENTER}, {XK_Escape, VKEY_ESCAPE},
        {XK_Left, VKEY_LEFT},        {XK_KP_Left, VKEY_LEFT},   {XK_Up, VKEY_UP},
        {XK_KP_Up, VKEY_UP},         {XK_Right, VKEY_RIGHT},    {XK_KP_Right, VKEY_RIGHT},
        {XK_Down, VKEY_DOWN},        {XK_KP_Down, VKEY_DOWN},   {XK_Home, VKEY_HOME},
        {XK_KP_Home, VKEY_HOME},     {XK_End, VKEY_END},        {XK_KP_End, VKEY_END},
        {XK_Page_Up, VKEY_PAGEUP},   {XK_Page_Down, VKEY_NEXT}, {XK_Delete, VKEY_DELETE},
        {XK_KP_Delete, VKEY_DELETE}, {XK_Insert, VKEY_INSERT},
    };
    VstKeyCode code;
    const int32_t mods = modifiersFromX(state);
    if (mods & kShift) code.modifier |= MODIFIER_SHIFT;
    if (mods & kAlt) code.modifier |= MODIFIER_ALTERNATE;
    if (mods & kControl) code.modifier |= MODIFIER_CONTROL;
    if (mods & kApple) code.modifier |= MODIFIER_COMMAND;
    for (const Virtual& v : table) {
        if (v.keysym != keysym) continue;
        code.virt = v.virt;
        return code;
    }
    if (keysym == XK_space) {
        code.virt = VKEY_SPACE;
        code.character = ' ';
        return code;
    }
    // Control characters (Ctrl+letter gives 1..26) are not text.
    if (character >= 32 && character != 127) code.character = character;
    return code;
}

bool DoubleClickDetector::onPress(unsigned int button, int x, int y, uint64_t timeMs) {
    const bool isDouble = armed && button == lastButton && timeMs >= lastTime &&
                          timeMs - lastTime <= kMaxIntervalMs && std::abs(x - lastX) <= kMaxDistance &&
                          std::abs(y - lastY) <= kMaxDistance;
    armed = !isDouble;
    lastButton = button;
    lastX = x;
    lastY = y;
    lastTime = timeMs;
    return isDouble;
}

} // namespace zykgui
