#include "X11ErrorTrap.h"

#include <X11/Xlib.h>

#include <atomic>

namespace zykgui {

namespace {
std::atomic<Display*> g_trapped{nullptr};
std::atomic<bool> g_errorSeen{false};
std::atomic<XErrorHandler> g_previous{nullptr};

// Errors of the trapped connection are recorded; other connections' errors (the host's, other
// threads') go on to the handler that was there before.
int recordError(Display* display, XErrorEvent* event) {
    if (display == g_trapped.load()) {
        g_errorSeen = true;
        return 0;
    }
    XErrorHandler previous = g_previous.load();
    return previous ? previous(display, event) : 0;
}
} // namespace

X11ErrorTrap::X11ErrorTrap(Display* d) : display(d) {
    XSync(display, False);
    g_errorSeen = false;
    g_trapped = display;
    XErrorHandler old = XSetErrorHandler(recordError);
    g_previous = old;
    previous = reinterpret_cast<int (*)(Display*, void*)>(old);
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display, False);
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous));
    g_trapped = nullptr;
}

bool X11ErrorTrap::failed() {
    XSync(display, False);
    return g_errorSeen;
}

} // namespace zykgui
