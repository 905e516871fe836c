#include "gui/x11/X11ModalWindow.h"

#include "gui/CFrame.h"
#include "gui/GuiLog.h"
#include "gui/UTF8String.h"
#include "gui/x11/X11Display.h"
#include "gui/x11/X11ErrorTrap.h"
#include "gui/x11/X11ImageBlit.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <poll.h>

#include <algorithm>
#include <cmath>

namespace zykgui {

namespace {
constexpr int kWidth = 480;
constexpr int kMargin = 20;
constexpr int kLineHeight = 20;
constexpr int kFieldHeight = 28;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 12;
constexpr double kFontSize = 14;

void selectFont(cairo_t* cr) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kFontSize);
}

double textWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

// The top-level window that holds `window` (its ancestor just below the root).
Window topLevelOf(Display* display, Window window) {
    Window current = window;
    for (int depth = 0; depth < 64 && current; ++depth) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, current, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        if (parent == root || !parent) return current;
        current = parent;
    }
    return 0;
}

class ModalWindow {
public:
    ModalWindow(Display* d, const ModalWindowSpec& s) : display(d), spec(s), text(s.text) {}

    ~ModalWindow() {
        if (surface) cairo_surface_destroy(surface);
        if (pointerGrabbed) XUngrabPointer(display, CurrentTime);
        if (keyboardGrabbed) XUngrabKeyboard(display, CurrentTime);
        if (window) XDestroyWindow(display, window);
    }

    bool create(Window transientFor) {
        cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        cairo_t* cr = cairo_create(scratch);
        selectFont(cr);
        lines = wrapText(spec.message, kWidth - 2 * kMargin,
                         [&](const std::string& t) { return textWidth(cr, t); });
        cairo_destroy(cr);
        cairo_surface_destroy(scratch);
        height = kMargin + static_cast<int>(lines.size()) * kLineHeight + kMargin +
                 (spec.textField ? kFieldHeight + kMargin : 0) + kButtonHeight + kMargin;

        const int screen = DefaultScreen(display);
        const int x = std::max(0, (DisplayWidth(display, screen) - kWidth) / 2);
        const int y = std::max(0, (DisplayHeight(display, screen) - height) / 2);
        X11ErrorTrap trap(display);
        window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, kWidth, height, 0,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        XSelectInput(display, window,
                     ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask);
        XStoreName(display, window, spec.title.c_str());
        const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(spec.title.data()),
                        static_cast<int>(spec.title.size()));
        const Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&dialogType), 1);
        const Atom modal = XInternAtom(display, "_NET_WM_STATE_MODAL", False);
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&modal), 1);
        if (transientFor) XSetTransientForHint(display, window, transientFor);
        deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &deleteWindow, 1);
        XSizeHints hints{};
        hints.flags = PPosition | PMinSize | PMaxSize;
        hints.x = x;
        hints.y = y;
        hints.min_width = hints.max_width = kWidth;
        hints.min_height = hints.max_height = height;
        XSetWMNormalHints(display, window, &hints);
        XMapRaised(display, window);
        if (trap.failed() || !canBlitTo(display, window)) return false;
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, height);
        return true;
    }

    // One round of events; true once answered.
    bool handleEvents() {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.xany.window != window) continue;
            switch (event.type) {
            case MapNotify:
                mapped = true;
                break;
            case Expose:
                if (event.xexpose.count == 0) draw();
                break;
            case ButtonPress:
                pressed = buttonAt(event.xbutton.x, event.xbutton.y);
                break;
            case ButtonRelease:
                if (pressed >= 0 && pressed == buttonAt(event.xbutton.x, event.xbutton.y))
                    return answer(pressed);
                pressed = -1;
                break;
            case KeyPress:
                if (onKey(event.xkey)) return true;
                break;
            case ClientMessage:
                if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
                    return answer(spec.cancelButton);
                break;
            default:
                break;
            }
        }
        return false;
    }

    // While the box is up it holds the pointer and the keyboard: what the user clicks or types
    // meanwhile is not queued for the host's windows to replay once it closes. A grab the host
    // holds (an open menu) is tried again each round; the focus is taken each round until the
    // keyboard is ours, since without a window manager nobody gives it to a new window.
    void takeInput() {
        if (!mapped || (pointerGrabbed && keyboardGrabbed)) return;
        if (!pointerGrabbed)
            pointerGrabbed =
                XGrabPointer(display, window, True, ButtonPressMask | ButtonReleaseMask, GrabModeAsync,
                             GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
        if (!keyboardGrabbed) {
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
            keyboardGrabbed = XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync,
                                            CurrentTime) == GrabSuccess;
        }
    }

    int fileDescriptor() const { return ConnectionNumber(display); }
    ModalWindowAnswer result;

private:
    bool answer(int button) {
        result.button = button;
        result.text = text;
        return true;
    }

    bool onKey(XKeyEvent& e) {
        char buffer[16] = {};
        KeySym keysym = NoSymbol;
        const int length = XLookupString(&e, buffer, sizeof(buffer) - 1, &keysym, nullptr);
        if (keysym == XK_Escape) return answer(spec.cancelButton);
        if (keysym == XK_Return || keysym == XK_KP_Enter) return answer(spec.defaultButton);
        if (!spec.textField) return false;
        if (keysym == XK_BackSpace) {
            // Drop one whole UTF-8 character.
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
                text.pop_back();
            if (!text.empty()) text.pop_back();
        } else if (length == 1 && static_cast<unsigned char>(buffer[0]) >= 32 && buffer[0] != 127) {
            // XLookupString gives Latin-1; the field keeps UTF-8.
            const unsigned char c = static_cast<unsigned char>(buffer[0]);
            if (c < 0x80) {
                text += static_cast<char>(c);
            } else {
                text += static_cast<char>(0xC0 | (c >> 6));
                text += static_cast<char>(0x80 | (c & 0x3F));
            }
        } else {
            return false;
        }
        draw();
        return false;
    }

    int buttonsTop() const { return height - kMargin - kButtonHeight; }
    int buttonLeft(int index) const {
        const int count = static_cast<int>(spec.buttons.size());
        return kWidth - kMargin - count * kButtonWidth - (count - 1) * kButtonGap +
               index * (kButtonWidth + kButtonGap);
    }

    int buttonAt(int x, int y) const {
        if (y < buttonsTop() || y >= buttonsTop() + kButtonHeight) return -1;
        for (int i = 0; i < static_cast<int>(spec.buttons.size()); ++i)
            if (x >= buttonLeft(i) && x < buttonLeft(i) + kButtonWidth) return i;
        return -1;
    }

    void draw() {
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 0.93, 0.93, 0.93);
        cairo_paint(cr);
        selectFont(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        int y = kMargin;
        for (const std::string& line : lines) {
            cairo_move_to(cr, kMargin, y + kLineHeight - 5);
            cairo_show_text(cr, line.c_str());
            y += kLineHeight;
        }
        y += kMargin;
        if (spec.textField) {
            cairo_rectangle(cr, kMargin + 0.5, y + 0.5, kWidth - 2 * kMargin - 1, kFieldHeight - 1);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            // The end of a long path stays in view.
            std::string shown = text;
            while (!shown.empty() && textWidth(cr, shown + "|") > kWidth - 2 * kMargin - 12) {
                shown.erase(0, 1);
                while (!shown.empty() && (static_cast<unsigned char>(shown.front()) & 0xC0) == 0x80)
                    shown.erase(0, 1);
            }
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_move_to(cr, kMargin + 6, y + kFieldHeight - 9);
            cairo_show_text(cr, (shown + "|").c_str());
        }
        for (int i = 0; i < static_cast<int>(spec.buttons.size()); ++i) {
            const double left = buttonLeft(i) + 0.5;
            const double top = buttonsTop() + 0.5;
            cairo_rectangle(cr, left, top, kButtonWidth - 1, kButtonHeight - 1);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
            cairo_set_line_width(cr, i == spec.defaultButton ? 2.5 : 1);
            cairo_stroke(cr);
            const double w = textWidth(cr, spec.buttons[i]);
            cairo_move_to(cr, left + (kButtonWidth - w) / 2, top + kButtonHeight / 2 + 5);
            cairo_show_text(cr, spec.buttons[i].c_str());
        }
        cairo_destroy(cr);
        blitImage(display, window, surface, 0, 0, kWidth, height);
        XFlush(display);
    }

    Display* display;
    const ModalWindowSpec& spec;
    std::string text;
    std::vector<std::string> lines;
    Window window = 0;
    Atom deleteWindow = 0;
    cairo_surface_t* surface = nullptr;
    int height = 0;
    int pressed = -1;
    bool mapped = false;
    bool pointerGrabbed = false;
    bool keyboardGrabbed = false;
};
} // namespace

ModalWindowAnswer runModalWindow(VSTGUI::CFrame* frame, const ModalWindowSpec& spec) {
    ModalWindowAnswer cancelled{spec.cancelButton, spec.text};
    Display* display = openDisplay();
    if (!display) {
        log(__func__, __LINE__, "Cannot open the X display for \"" + spec.title + "\": " + spec.message);
        return cancelled;
    }
    VSTGUI::SharedPointer<VSTGUI::CFrame> keepFrame(frame);
    ModalWindowAnswer result = cancelled;
    {
        ModalWindow window(display, spec);
        const Window frameWindow = frame ? frame->getPlatformWindowId() : 0;
        if (window.create(frameWindow ? topLevelOf(display, frameWindow) : 0)) {
            for (;;) {
                if (window.handleEvents()) {
                    result = window.result;
                    break;
                }
                window.takeInput();
                pollfd fds[2] = {{window.fileDescriptor(), POLLIN, 0}, {-1, POLLIN, 0}};
                if (frame) fds[1].fd = frame->getPlatformFileDescriptor();
                poll(fds, fds[1].fd >= 0 ? 2 : 1, 20);
                // The editor behind keeps painting; its input waits for the answer.
                if (frame) frame->processPlatformEvents(false);
            }
        } else {
            log(__func__, __LINE__, "Cannot create the window \"" + spec.title + "\"");
        }
    }
    closeDisplay(display);
    return result;
}

} // namespace zykgui
