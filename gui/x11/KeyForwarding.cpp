#include "gui/x11/KeyForwarding.h"

namespace zykgui {

bool KeyForwarding::same(const Key& a, const Key& b) {
    return a.press == b.press && a.keycode == b.keycode && a.state == b.state && a.time == b.time;
}

bool KeyForwarding::isEcho(const Key& key, bool sentByClient, uint64_t nowMs) {
    if (!sentByClient) return false;
    for (Sent& s : sent) {
        if (!s.pending || nowMs - s.atMs > kEchoWindowMs || !same(s.key, key)) continue;
        s.pending = false;
        return true;
    }
    return false;
}

bool KeyForwarding::shouldForward(const Key& key, bool handledByPanel, uint64_t nowMs) {
    bool& pressWentOn = pressForwarded[key.keycode & 0xFF];
    if (key.press) {
        pressWentOn = !handledByPanel;
    } else {
        const bool forward = pressWentOn && !handledByPanel;
        pressWentOn = false;
        if (!forward) return false;
    }
    if (handledByPanel) return false;
    sent[nextSlot] = {key, nowMs, true};
    nextSlot = (nextSlot + 1) % sent.size();
    return true;
}

} // namespace zykgui
