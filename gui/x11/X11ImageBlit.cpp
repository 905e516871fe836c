#include "gui/x11/X11ImageBlit.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <algorithm>

namespace zykgui {

bool canBlitTo(Display* display, unsigned long window) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a) || !a.visual) return false;
    return (a.depth == 24 || a.depth == 32) && a.visual->red_mask == 0xFF0000 &&
           a.visual->green_mask == 0xFF00 && a.visual->blue_mask == 0xFF;
}

void blitImage(Display* display, unsigned long window, cairo_surface_t* image, int x, int y, int w, int h) {
    cairo_surface_flush(image);
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    x = std::max(0, x);
    y = std::max(0, y);
    w = std::min(w, width - x);
    h = std::min(h, height - y);
    if (w <= 0 || h <= 0) return;
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return;
    XImage* ximage = XCreateImage(display, a.visual, static_cast<unsigned>(a.depth), ZPixmap, 0,
                                  reinterpret_cast<char*>(cairo_image_surface_get_data(image)),
                                  static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                                  cairo_image_surface_get_stride(image));
    if (!ximage) return;
    GC gc = XCreateGC(display, window, 0, nullptr);
    XPutImage(display, window, gc, ximage, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XFreeGC(display, gc);
    ximage->data = nullptr; // the pixels are cairo's
    XDestroyImage(ximage);
}

} // namespace zykgui
