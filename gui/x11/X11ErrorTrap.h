// Tells whether a few calls on one of our connections (openDisplay()) caused protocol errors.
// The connection handles its errors itself (X11Display.h), so nothing process-wide changes.
//
// Thread contract: the thread that uses the connection; the trap is held only around a few calls.
#pragma once

typedef struct _XDisplay Display;

namespace zykgui {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server's answers and tells whether an error came since the trap was set.
    bool failed();

private:
    Display* display;
    unsigned long errorsBefore;
};

} // namespace zykgui
