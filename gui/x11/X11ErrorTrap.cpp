#include "gui/x11/X11ErrorTrap.h"

#include "gui/x11/X11Display.h"

#include <X11/Xlib.h>

namespace zykgui {

X11ErrorTrap::X11ErrorTrap(Display* d) : display(d) {
    XSync(display, False);
    errorsBefore = countErrors(display);
}

bool X11ErrorTrap::failed() {
    XSync(display, False);
    return countErrors(display) != errorsBefore;
}

} // namespace zykgui
