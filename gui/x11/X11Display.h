// Our own connections to the X display. Each one handles its protocol errors itself for its
// whole life: they are counted here and never reach the process-wide error handler, which
// belongs to the host (Xlib's default one ends the process). Other connections' errors are
// left alone.
//
// Thread contract: a connection is used by one thread at a time (the user-interface thread);
// the error counts are guarded, as Xlib reports an error on the thread that reads it.
#pragma once

typedef struct _XDisplay Display;

namespace zykgui {

// The display named by DISPLAY, or null (at once when DISPLAY is unset). A server busy
// accepting other clients refuses a connection for a moment, so a few attempts are made over
// about a second.
Display* openDisplay();

// Closes a connection made by openDisplay().
void closeDisplay(Display* display);

// The protocol errors seen so far on a connection made by openDisplay() (0 for any other).
unsigned long countErrors(Display* display);

} // namespace zykgui
