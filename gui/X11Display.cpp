#include "X11Display.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace zykgui {

Display* openDisplay() {
    constexpr int kAttempts = 5;
    for (int attempt = 1;; ++attempt) {
        errno = 0;
        if (Display* display = XOpenDisplay(nullptr)) return display;
        if (errno != EAGAIN || attempt == kAttempts) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
    }
}

} // namespace zykgui
