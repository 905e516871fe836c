#include "gui/x11/X11FrameWindow.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/GuiLog.h"
#include "gui/x11/KeyForwarding.h"
#include "gui/x11/X11Display.h"
#include "gui/x11/X11ErrorTrap.h"
#include "gui/x11/X11ImageBlit.h"
#include "gui/x11/X11Input.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace zykgui {

using namespace VSTGUI;

namespace {
constexpr long kXEmbedMapped = 1;
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            KeyPressMask | KeyReleaseMask | LeaveWindowMask | StructureNotifyMask |
                            FocusChangeMask;

int pixels(CCoord c) {
    return std::max(1, static_cast<int>(std::lround(c)));
}

uint64_t nowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}
} // namespace

struct X11FrameWindow::Impl {
    CFrame* frame = nullptr;
    Display* display = nullptr;
    Window window = 0;
    int width = 0;
    int height = 0;
    cairo_surface_t* backBuffer = nullptr;
    DoubleClickDetector clicks;
    KeyForwarding keyForwarding;
    // Cleared when the window goes, so an event loop whose handler closed the frame can stop.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    ~Impl() {
        *alive = false;
        releaseSurfaces();
        if (display) {
            if (window) XDestroyWindow(display, window);
            closeDisplay(display);
        }
    }

    void releaseSurfaces() {
        if (backBuffer) cairo_surface_destroy(backBuffer);
        backBuffer = nullptr;
    }

    void makeSurfaces() {
        releaseSurfaces();
        backBuffer = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    }

    void followFrameSize() {
        CRect size;
        frame->getSize(size);
        const int w = pixels(size.getWidth());
        const int h = pixels(size.getHeight());
        if (w == width && h == height) return;
        width = w;
        height = h;
        XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
        makeSurfaces();
        frame->invalidWindowRect(size);
    }

    void paint() {
        if (!frame->hasDirtyRegion()) return;
        const std::vector<CRect> rects = frame->getDirtyRects();
        {
            cairo_t* cr = cairo_create(backBuffer);
            CDrawContext context(cr);
            cairo_destroy(cr);
            frame->paintDirtyRegion(&context);
        }
        for (const CRect& r : rects)
            blitImage(display, window, backBuffer, static_cast<int>(r.left), static_cast<int>(r.top),
                      static_cast<int>(r.getWidth()), static_cast<int>(r.getHeight()));
        XFlush(display);
    }

    void onButtonPress(XButtonEvent& e) {
        // A click in the editor takes the keyboard, so typing reaches the name fields and keys.
        XSetInputFocus(display, window, RevertToParent, e.time);
        const CPoint where(e.x, e.y);
        const int32_t mods = modifiersFromX(e.state);
        if (e.button >= 4 && e.button <= 7) {
            const bool vertical = e.button <= 5;
            const float distance = (e.button == 4 || e.button == 6) ? 1.f : -1.f;
            frame->platformOnMouseWheel(where, vertical ? kMouseWheelAxisY : kMouseWheelAxisX, distance,
                                        buttonsFromX(e.state));
            return;
        }
        const int32_t button = buttonFromXNumber(e.button);
        if (!button) return;
        CButtonState buttons(button | mods);
        if (clicks.onPress(e.button, e.x, e.y, e.time)) buttons |= kDoubleClick;
        frame->platformOnMouseDown(where, buttons);
    }

    void onKey(XKeyEvent& e, bool down) {
        const KeyForwarding::Key key{down, e.keycode, e.state, e.time};
        if (keyForwarding.isEcho(key, e.send_event, nowMs())) return;
        char text[8] = {};
        KeySym keysym = NoSymbol;
        const int length = XLookupString(&e, text, sizeof(text), &keysym, nullptr);
        int32_t character = length == 1 ? static_cast<unsigned char>(text[0]) : 0;
        // Keysyms from 0x1000000 carry a Unicode code point.
        if (!character && keysym >= 0x1000100 && keysym <= 0x110ffff)
            character = static_cast<int32_t>(keysym - 0x1000000);
        VstKeyCode code = keyCodeFromX(keysym, character, e.state);
        // A key may close the editor, and this window with it.
        const std::shared_ptr<bool> windowAlive = alive;
        const bool handled = down ? frame->platformOnKeyDown(code) : frame->platformOnKeyUp(code);
        if (!*windowAlive || !keyForwarding.shouldForward(key, handled, nowMs())) return;
        // Keys nothing here wants go on to the host's window (its shortcuts, its keyboard).
        XEvent forward;
        forward.xkey = e;
        forward.xkey.window = parentWindow;
        XSendEvent(display, parentWindow, True, down ? KeyPressMask : KeyReleaseMask, &forward);
    }

    // A release the frame never saw (it came while a modal window was up) would leave the mouse
    // captured; the first event that shows no button held ends the capture.
    void endLostCapture(const CPoint& where, unsigned int state) {
        if (frame->getMouseDownView() && !(state & (Button1Mask | Button2Mask | Button3Mask)))
            frame->platformOnMouseUp(where, modifiersFromX(state));
    }

    void dispatch(XEvent& event, bool acceptInput) {
        switch (event.type) {
        case Expose: {
            const XExposeEvent& e = event.xexpose;
            frame->invalidWindowRect(CRect(e.x, e.y, e.x + e.width, e.y + e.height));
            return;
        }
        case ButtonPress:
            if (!acceptInput) return;
            endLostCapture(CPoint(event.xbutton.x, event.xbutton.y), event.xbutton.state);
            onButtonPress(event.xbutton);
            return;
        case ButtonRelease: {
            const int32_t button = buttonFromXNumber(event.xbutton.button);
            if (acceptInput && button)
                frame->platformOnMouseUp(CPoint(event.xbutton.x, event.xbutton.y),
                                         button | modifiersFromX(event.xbutton.state));
            return;
        }
        case MotionNotify: {
            // Only the latest position matters.
            while (XCheckTypedWindowEvent(display, window, MotionNotify, &event)) {
            }
            if (!acceptInput) return;
            const CPoint where(event.xmotion.x, event.xmotion.y);
            endLostCapture(where, event.xmotion.state);
            frame->platformOnMouseMoved(where, buttonsFromX(event.xmotion.state));
            return;
        }
        case LeaveNotify:
            if (acceptInput) frame->platformOnMouseExited();
            return;
        case KeyPress:
        case KeyRelease:
            if (acceptInput) onKey(event.xkey, event.type == KeyPress);
            return;
        default:
            return;
        }
    }

    Window parentWindow = 0;
};

std::unique_ptr<X11FrameWindow> X11FrameWindow::create(CFrame* frame, uint32_t parentWindow) {
    if (!frame || !parentWindow) {
        log(__func__, __LINE__, "No parent window to open the editor in");
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->frame = frame;
    impl->parentWindow = parentWindow;
    impl->display = openDisplay();
    if (!impl->display) {
        log(__func__, __LINE__, "Cannot open the X display");
        return nullptr;
    }
    CRect size;
    frame->getSize(size);
    impl->width = pixels(size.getWidth());
    impl->height = pixels(size.getHeight());
    {
        X11ErrorTrap trap(impl->display);
        XWindowAttributes parentAttributes;
        if (!XGetWindowAttributes(impl->display, parentWindow, &parentAttributes) || trap.failed()) {
            log(__func__, __LINE__, "The parent window does not exist");
            return nullptr;
        }
        XSetWindowAttributes attributes{};
        attributes.event_mask = kEventMask;
        attributes.background_pixel = BlackPixel(impl->display, DefaultScreen(impl->display));
        impl->window = XCreateWindow(impl->display, parentWindow, 0, 0, static_cast<unsigned>(impl->width),
                                     static_cast<unsigned>(impl->height), 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWEventMask | CWBackPixel, &attributes);
        // The XEmbed protocol's info: version 0, mapped.
        const Atom xembedInfo = XInternAtom(impl->display, "_XEMBED_INFO", False);
        const long info[2] = {0, kXEmbedMapped};
        XChangeProperty(impl->display, impl->window, xembedInfo, xembedInfo, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(info), 2);
        XMapWindow(impl->display, impl->window);
        if (trap.failed()) {
            log(__func__, __LINE__, "Cannot create the editor window");
            impl->window = 0;
            return nullptr;
        }
        if (!canBlitTo(impl->display, impl->window)) {
            log(__func__, __LINE__, "The editor needs a 24-bit true-colour display");
            return nullptr;
        }
    }
    impl->makeSurfaces();
    frame->invalidWindowRect(size);
    XFlush(impl->display);
    return std::unique_ptr<X11FrameWindow>(new X11FrameWindow(std::move(impl), parentWindow));
}

X11FrameWindow::X11FrameWindow(std::unique_ptr<Impl> newImpl, uint32_t parentWindow)
    : impl(std::move(newImpl)), parent(parentWindow) {}

X11FrameWindow::~X11FrameWindow() = default;

int X11FrameWindow::getFileDescriptor() const {
    return ConnectionNumber(impl->display);
}

uint32_t X11FrameWindow::getWindowId() const {
    return static_cast<uint32_t>(impl->window);
}

void X11FrameWindow::processEvents(bool acceptInput) {
    SharedPointer<CFrame> keep(impl->frame);
    const std::shared_ptr<bool> alive = impl->alive;
    while (XPending(impl->display)) {
        XEvent event;
        XNextEvent(impl->display, &event);
        if (event.xany.window == impl->window) impl->dispatch(event, acceptInput);
        // An event handler may have closed the frame, and this window with it.
        if (!*alive) return;
    }
    impl->followFrameSize();
    impl->paint();
}

} // namespace zykgui
