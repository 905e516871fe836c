#include "gui/x11/X11Display.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

// Xlib's internal header (for the per-connection error hook) defines min and max as macros; it
// comes after the standard headers, and the macros go.
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#undef min
#undef max

namespace zykgui {

namespace {
std::mutex g_errorsMutex;
std::map<Display*, unsigned long> g_errorCounts; // our open connections

// Xlib asks this before the process-wide handler; False means the error is dealt with.
Bool keepOwnError(Display* display, XErrorEvent*, xError*) {
    std::lock_guard<std::mutex> lock(g_errorsMutex);
    ++g_errorCounts[display];
    return False;
}

void handleErrorsOf(Display* display) {
    {
        std::lock_guard<std::mutex> lock(g_errorsMutex);
        g_errorCounts[display] = 0;
    }
    // Core and extension error codes alike (0 is never an error code).
    for (int code = 1; code < 256; ++code)
        XESetWireToError(display, code, keepOwnError);
}
} // namespace

Display* openDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    // A busy server may refuse a connection for a moment (its listen queue is full); whatever
    // errno Xlib leaves behind, a few tries over about a second tell a busy server from none.
    constexpr int kAttempts = 8;
    for (int attempt = 1;; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            handleErrorsOf(display);
            return display;
        }
        if (attempt == kAttempts) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(30 * attempt));
    }
}

void closeDisplay(Display* display) {
    if (!display) return;
    // Errors still queued for this connection arrive while it closes.
    XCloseDisplay(display);
    std::lock_guard<std::mutex> lock(g_errorsMutex);
    g_errorCounts.erase(display);
}

unsigned long countErrors(Display* display) {
    std::lock_guard<std::mutex> lock(g_errorsMutex);
    const auto it = g_errorCounts.find(display);
    return it == g_errorCounts.end() ? 0 : it->second;
}

} // namespace zykgui
