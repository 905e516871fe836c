#include "X11ErrorTrap.h"

#include <X11/Xlib.h>

#include <atomic>

namespace zykgui {

namespace {
std::atomic<bool> g_errorSeen{false};

int recordError(Display*, XErrorEvent*) {
    g_errorSeen = true;
    return 0;
}
} // namespace

X11ErrorTrap::X11ErrorTrap(Display* d) : display(d) {
    XSync(display, False);
    g_errorSeen = false;
    previous = reinterpret_cast<int (*)(Display*, void*)>(XSetErrorHandler(recordError));
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(display, False);
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous));
}

bool X11ErrorTrap::failed() {
    XSync(display, False);
    return g_errorSeen;
}

} // namespace zykgui
