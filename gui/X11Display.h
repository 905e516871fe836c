// Opening a connection to the X display for a window of ours.
//
// Thread contract: the user-interface thread (each window keeps its connection to itself).
#pragma once

typedef struct _XDisplay Display;

namespace zykgui {

// The display named by DISPLAY, or null (at once when DISPLAY is unset). A server busy
// accepting other clients refuses a connection for a moment, so a few attempts are made over
// about a second.
Display* openDisplay();

} // namespace zykgui
