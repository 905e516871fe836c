#pragma once
// Finding windows the way a user sees them, for the tests that drive real windows.
#include <X11/Xlib.h>

#include <string>

namespace xtest {

// The mapped top-level window with this title, or 0.
inline Window findViewableTopLevel(Display* display, const std::string& title) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes a;
        if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable &&
            XFetchName(display, children[i], &name) && name) {
            if (title == name) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

} // namespace xtest
