// Catches X protocol errors around a few calls instead of letting Xlib's default handler end
// the host's process. The handler is process-wide: errors of other connections go on to the
// previous handler, which is restored when the trap ends.
//
// Thread contract: the user-interface thread; the trap is held only around a few calls.
#pragma once

typedef struct _XDisplay Display;

namespace zykgui {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server's answers and tells whether an error came since the trap was set.
    bool failed();

private:
    Display* display;
    int (*previous)(Display*, void*);
};

} // namespace zykgui
