// Copies parts of a cairo image (RGB24) into an X window with XPutImage. Cairo's own xlib
// surfaces keep a device per connection that outlives it; plain images do not.
//
// Thread contract: the user-interface thread that owns the connection.
#pragma once

typedef struct _cairo_surface cairo_surface_t;
typedef struct _XDisplay Display;

namespace zykgui {

// True when the window's visual takes 32-bit pixels as 0x00RRGGBB (24- or 32-bit TrueColor).
bool canBlitTo(Display* display, unsigned long window);

// Copies the rectangle (x, y, w, h) of `image` to the same place in `window`.
void blitImage(Display* display, unsigned long window, cairo_surface_t* image, int x, int y, int w, int h);

} // namespace zykgui
