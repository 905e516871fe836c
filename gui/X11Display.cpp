#include "X11Display.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace zykgui {

Display* openDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    // A busy server may refuse a connection for a moment (its listen queue is full); whatever
    // errno Xlib leaves behind, a few tries over about a second tell a busy server from none.
    constexpr int kAttempts = 8;
    for (int attempt = 1;; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) return display;
        if (attempt == kAttempts) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(30 * attempt));
    }
}

} // namespace zykgui
