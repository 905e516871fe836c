// zyk_embedhost <module.so> <script> <output dir>
// A small VST3 host of our own that embeds the instrument's editor in an X11 window: it loads
// the module, creates the component and its "editor" view, serves IPlugFrame and the Linux run
// loop on its main thread, and plays a script. The script runs on a second thread with its own
// X connection, so it can send input, take screenshots and answer the editor's modal windows
// while the main thread is inside them; view calls (open, close, resize) go to the main thread.
//
// Script lines ('#' starts a comment):
//   open | close                      attach a new view / remove and release it
//   wait <ms>
//   click <x> <y> [button]            press and release in the editor window (window pixels)
//   drag <x1> <y1> <x2> <y2>          left drag in 8 steps
//   move <x> <y>                      the pointer moves there, no button held
//   key <keysym name or character>
//   resize <w> <h>                    the host's drag: checkSizeConstraint, then onSize
//   expect-size <w> <h>               getSize and the editor window both have that size
//   expect-wider-than <w>             both have one 16:9 size wider than w
//   shot <name>                       screenshot of the editor window into <out>/<name>.png
//   expect-color <shot> <x> <y> <w> <h> <r> <g> <b> <tolerance>   mean colour of a region
//   expect-bright <shot> <x> <y> <w> <h> <min mean brightness>
//   expect-differs <shotA> <shotB> <x> <y> <w> <h>                 some pixel differs
//   expect-same <shotA> <shotB> <x> <y> <w> <h>                    no pixel differs
//   expect-window <title> | answer <title> ok|cancel               the editor's modal windows
//   expect-file <path> | expect-no-file <path>
//   expect-dominant <shot> <x> <y> <w> <h> red|green|blue          that channel leads the mean colour
//   expect-edits <n>                  at least n complete begin/perform/end edits, no bare ones
//   expect-resize-requests <n>        resizeView calls since the last open
//   bounce-keys                       from now on, every key event the editor forwards to the
//                                     host window is sent straight back into the editor window
//   expect-forwarded-keys <max>       at most this many key events forwarded since the start
//   cycles <n>                        n opens and closes of the editor, each painted; after every
//                                     close the X server holds what it held before (clients and
//                                     resources by type); prints the server's memory growth
//   plain-cycles <n>                  the same with a plain window of the editor's size, which
//                                     another client makes, paints once and drops (the yardstick)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iomanip>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tests/e2e/HostRunLoop.h"
#include "tests/e2e/ServerResources.h"
#include "tests/e2e/XWindows.h"

using namespace Steinberg;
using embedhost::HostRunLoop;

namespace {

bool sameIid(const TUID a, const FUID& b) {
    return std::memcmp(a, b.toTUID(), sizeof(TUID)) == 0;
}

struct Failure {
    std::string text;
};

[[noreturn]] void fail(const std::string& text) {
    throw Failure{text};
}

// The host's side of the view: its window, its run loop and the edits it is told of.
class PlugFrame : public IPlugFrame, public Vst::IComponentHandler {
public:
    PlugFrame(HostRunLoop& runLoop, Display* connection, Window parent)
        : loop(runLoop), display(connection), window(parent) {}

    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override {
        if (!view || !newSize) return kInvalidArgument;
        ++resizeRequests;
        XResizeWindow(display, window, newSize->getWidth(), newSize->getHeight());
        XSync(display, False);
        return view->onSize(newSize);
    }
    tresult PLUGIN_API beginEdit(Vst::ParamID) override {
        ++openEdits;
        return kResultOk;
    }
    tresult PLUGIN_API performEdit(Vst::ParamID, Vst::ParamValue) override {
        if (openEdits <= 0) ++bareEdits;
        ++performed;
        return kResultOk;
    }
    tresult PLUGIN_API endEdit(Vst::ParamID) override {
        if (openEdits > 0 && performed > 0) ++completeEdits;
        --openEdits;
        return kResultOk;
    }
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
        if (sameIid(iid, IPlugFrame::iid) || sameIid(iid, FUnknown::iid)) {
            *obj = static_cast<IPlugFrame*>(this);
            return kResultOk;
        }
        if (sameIid(iid, Vst::IComponentHandler::iid)) {
            *obj = static_cast<Vst::IComponentHandler*>(this);
            return kResultOk;
        }
        if (sameIid(iid, Linux::IRunLoop::iid)) {
            *obj = static_cast<Linux::IRunLoop*>(&loop);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    HostRunLoop& loop;
    Display* display;
    Window window;
    int resizeRequests = 0;
    int openEdits = 0;
    int performed = 0;
    int completeEdits = 0;
    int bareEdits = 0;
    // Key events the editor passed on to the host window (main thread).
    int forwardedKeys = 0;
    bool bounceKeys = false;
};

// Work the script thread hands to the main thread, which runs it between run-loop rounds.
class MainThreadQueue {
public:
    MainThreadQueue() {
        if (pipe(fds) != 0) fail("pipe");
    }
    // Blocks until the main thread has run `work`; its failure comes back here.
    void run(std::function<void()> work) {
        std::unique_lock<std::mutex> lock(mutex);
        pending = std::move(work);
        done = false;
        error.clear();
        const char byte = 1;
        if (write(fds[1], &byte, 1) != 1) fail("write");
        // A main thread stuck (in a modal window nobody answers) cannot be unwound: report, stop.
        if (!finished.wait_for(lock, std::chrono::seconds(30), [&] { return done; })) {
            std::fprintf(stderr, "FAILED: the main thread has not answered for 30 s\n");
            std::_Exit(1);
        }
        if (!error.empty()) fail(error);
    }
    // Main thread.
    void serve() {
        char byte;
        if (read(fds[0], &byte, 1) != 1) return;
        std::function<void()> work;
        {
            std::lock_guard<std::mutex> lock(mutex);
            work = std::move(pending);
        }
        std::string message;
        try {
            if (work) work();
        } catch (const Failure& f) {
            message = f.text;
        }
        std::lock_guard<std::mutex> lock(mutex);
        error = message;
        done = true;
        finished.notify_all();
    }
    int fd() const { return fds[0]; }

private:
    int fds[2];
    std::mutex mutex;
    std::condition_variable finished;
    std::function<void()> pending;
    bool done = false;
    std::string error;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xRRGGBB
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class Script {
public:
    Script(const std::string& out, MainThreadQueue& mainQueue,
           std::function<void(const std::vector<std::string>&)> callView,
           std::function<std::pair<int, int>()> sizeOfView, PlugFrame& frame, Window host)
        : outDir(out), mainThread(mainQueue), viewCall(std::move(callView)), viewSize(std::move(sizeOfView)),
          plugFrame(frame), hostWindow(host) {
        display = XOpenDisplay(nullptr);
        if (!display) fail("the script cannot open the display");
    }
    ~Script() { XCloseDisplay(display); }

    void runLine(const std::vector<std::string>& w) {
        const std::string& c = w[0];
        if (c == "open" || c == "close" || c == "resize") {
            mainThread.run([&] { viewCall(w); });
        } else if (c == "wait") {
            usleep(static_cast<useconds_t>(number(w, 1) * 1000));
        } else if (c == "click") {
            const unsigned button = w.size() > 3 ? static_cast<unsigned>(number(w, 3)) : 1;
            sendButton(ButtonPress, button, number(w, 1), number(w, 2), 0);
            sendButton(ButtonRelease, button, number(w, 1), number(w, 2), buttonMask(button));
        } else if (c == "drag") {
            const int x1 = number(w, 1), y1 = number(w, 2), x2 = number(w, 3), y2 = number(w, 4);
            sendButton(ButtonPress, 1, x1, y1, 0);
            for (int i = 1; i <= 8; ++i) {
                sendMotion(x1 + (x2 - x1) * i / 8, y1 + (y2 - y1) * i / 8, Button1Mask);
                usleep(20000);
            }
            sendButton(ButtonRelease, 1, x2, y2, Button1Mask);
        } else if (c == "move") {
            sendMotion(number(w, 1), number(w, 2), 0);
            usleep(30000);
        } else if (c == "key") {
            sendKey(editorWindow(), w.at(1));
        } else if (c == "expect-size") {
            const std::pair<int, int> size = consistentSize();
            if (size != std::make_pair(number(w, 1), number(w, 2)))
                fail("size " + std::to_string(size.first) + "x" + std::to_string(size.second));
        } else if (c == "expect-wider-than") {
            const std::pair<int, int> size = consistentSize();
            const bool sixteenByNine = std::abs(size.first * 9 - size.second * 16) <= 16;
            if (size.first <= number(w, 1) || !sixteenByNine)
                fail("size " + std::to_string(size.first) + "x" + std::to_string(size.second));
        } else if (c == "shot") {
            shots[w.at(1)] = screenshot(editorWindow(), outDir + "/" + w.at(1) + ".png");
        } else if (c == "expect-color") {
            const auto mean =
                meanColor(shot(w.at(1)), number(w, 2), number(w, 3), number(w, 4), number(w, 5));
            const int tolerance = number(w, 9);
            for (int i = 0; i < 3; ++i)
                if (std::abs(mean[i] - number(w, 6 + i)) > tolerance)
                    fail("colour in " + w[1] + ": " + std::to_string(int(mean[0])) + "," +
                         std::to_string(int(mean[1])) + "," + std::to_string(int(mean[2])));
        } else if (c == "expect-bright") {
            const auto mean =
                meanColor(shot(w.at(1)), number(w, 2), number(w, 3), number(w, 4), number(w, 5));
            const double brightness = (mean[0] + mean[1] + mean[2]) / 3;
            if (brightness < number(w, 6)) fail("brightness in " + w[1] + ": " + std::to_string(brightness));
        } else if (c == "expect-dominant") {
            const auto mean =
                meanColor(shot(w.at(1)), number(w, 2), number(w, 3), number(w, 4), number(w, 5));
            const std::string& hue = w.at(6);
            const int i = hue == "red" ? 0 : hue == "green" ? 1 : 2;
            if (mean[i] < 1.4 * mean[(i + 1) % 3] || mean[i] < 1.4 * mean[(i + 2) % 3])
                fail("not " + hue + " in " + w[1] + ": " + std::to_string(int(mean[0])) + "," +
                     std::to_string(int(mean[1])) + "," + std::to_string(int(mean[2])));
        } else if (c == "expect-differs" || c == "expect-same") {
            const int changed = differingPixels(shot(w.at(1)), shot(w.at(2)), number(w, 3), number(w, 4),
                                                number(w, 5), number(w, 6));
            if (c == "expect-differs" && changed == 0)
                fail("no pixel differs between " + w[1] + " and " + w[2]);
            if (c == "expect-same" && changed != 0)
                fail(std::to_string(changed) + " pixels differ between " + w[1] + " and " + w[2]);
        } else if (c == "expect-window" || c == "answer") {
            const Window dialog = waitForWindow(w.at(1));
            screenshot(dialog, outDir + "/dialog-" + std::to_string(++dialogs) + ".png");
            if (c == "answer") answer(dialog, w.at(2));
        } else if (c == "expect-file" || c == "expect-no-file") {
            const bool exists = access(w.at(1).c_str(), F_OK) == 0;
            if (exists != (c == "expect-file")) fail(w[1] + (exists ? " exists" : " does not exist"));
        } else if (c == "expect-edits") {
            int complete = 0, bare = 0;
            mainThread.run([&] { complete = plugFrame.completeEdits, bare = plugFrame.bareEdits; });
            if (complete < number(w, 1) || bare != 0)
                fail("edits: " + std::to_string(complete) + " complete, " + std::to_string(bare) + " bare");
        } else if (c == "bounce-keys") {
            mainThread.run([&] { plugFrame.bounceKeys = true; });
        } else if (c == "expect-forwarded-keys") {
            int forwarded = 0;
            mainThread.run([&] { forwarded = plugFrame.forwardedKeys; });
            std::printf("  %d key events forwarded to the host\n", forwarded);
            if (forwarded > number(w, 1)) fail("forwarded key events: " + std::to_string(forwarded));
        } else if (c == "cycles" || c == "plain-cycles") {
            cycles(number(w, 1), c == "plain-cycles");
        } else if (c == "expect-resize-requests") {
            int requests = 0;
            mainThread.run([&] { requests = plugFrame.resizeRequests; });
            if (requests != number(w, 1)) fail("resize requests: " + std::to_string(requests));
        } else {
            fail("unknown command " + c);
        }
    }

private:
    static int number(const std::vector<std::string>& w, size_t i) {
        if (i >= w.size()) fail("missing argument " + std::to_string(i) + " of " + w[0]);
        return std::stoi(w[i]);
    }
    static unsigned buttonMask(unsigned button) {
        return button == 1 ? Button1Mask : button == 2 ? Button2Mask : Button3Mask;
    }

    // The server must be back where it was after each close; a client's departure may take the
    // server a moment.
    void cycles(int count, bool plain) {
        const xtest::ServerResources before = xtest::ServerResources::take(display);
        const long memoryBefore = xtest::ServerResources::serverMemoryKb();
        for (int i = 0; i < count; ++i) {
            if (plain)
                plainWindowCycle();
            else
                editorCycle();
            xtest::ServerResources after = xtest::ServerResources::take(display);
            for (int tries = 0; tries < 100 && !(after == before); ++tries) {
                usleep(10000);
                after = xtest::ServerResources::take(display);
            }
            if (!(after == before))
                fail("after close " + std::to_string(i + 1) + ": " + after.describe() +
                     " (before: " + before.describe() + ")");
        }
        const long memoryAfter = xtest::ServerResources::serverMemoryKb();
        if (memoryBefore >= 0 && memoryAfter >= 0)
            std::printf("  X server memory over %d %s cycles: %+ld kB (%s)\n", count,
                        plain ? "plain window" : "editor", memoryAfter - memoryBefore,
                        before.describe().c_str());
    }

    void editorCycle() {
        std::vector<std::string> open{"open"}, close{"close"};
        mainThread.run([&] { viewCall(open); });
        usleep(150000); // the run loop paints the whole panel
        mainThread.run([&] { viewCall(close); });
    }

    void plainWindowCycle() {
        const std::pair<int, int> size{1024, 576};
        Display* other = XOpenDisplay(nullptr);
        if (!other) fail("cannot open a second connection");
        const Window child = XCreateSimpleWindow(other, hostWindow, 0, 0, size.first, size.second, 0, 0, 0);
        XMapWindow(other, child);
        std::vector<char> pixels(static_cast<size_t>(size.first) * size.second * 4, 0x40);
        XImage* image = XCreateImage(other, DefaultVisual(other, DefaultScreen(other)), 24, ZPixmap, 0,
                                     pixels.data(), size.first, size.second, 32, 0);
        GC gc = XCreateGC(other, child, 0, nullptr);
        XPutImage(other, child, gc, image, 0, 0, 0, 0, size.first, size.second);
        XFreeGC(other, gc);
        image->data = nullptr;
        XDestroyImage(image);
        XSync(other, False);
        usleep(150000);
        XDestroyWindow(other, child);
        XCloseDisplay(other);
    }

    // The size the view reports, which its window must have too.
    std::pair<int, int> consistentSize() {
        std::pair<int, int> size;
        mainThread.run([&] { size = viewSize(); });
        int x, y;
        unsigned width, height, border, depth;
        Window root;
        XGetGeometry(display, editorWindow(), &root, &x, &y, &width, &height, &border, &depth);
        if (static_cast<int>(width) != size.first || static_cast<int>(height) != size.second)
            fail("size: view " + std::to_string(size.first) + "x" + std::to_string(size.second) +
                 ", window " + std::to_string(width) + "x" + std::to_string(height));
        return size;
    }

    // The editor's window: the child of the host window made by another client.
    Window editorWindow() {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, hostWindow, &root, &parent, &children, &count);
        const Window found = count > 0 ? children[0] : 0;
        if (children) XFree(children);
        if (!found) fail("the host window holds no editor window");
        return found;
    }

    void sendButton(int type, unsigned button, int x, int y, unsigned state) {
        sendButtonTo(editorWindow(), type, button, x, y, state);
    }

    void sendButtonTo(Window target, int type, unsigned button, int x, int y, unsigned state) {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.display = display;
        e.xbutton.window = target;
        e.xbutton.root = DefaultRootWindow(display);
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = button;
        e.xbutton.state = state;
        e.xbutton.same_screen = True;
        e.xbutton.time = ++fakeTime * 1000; // far apart: no double clicks unless asked for
        XSendEvent(display, e.xbutton.window, False,
                   type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
        XFlush(display);
        usleep(30000);
    }

    void sendMotion(int x, int y, unsigned state) {
        XEvent e{};
        e.xmotion.type = MotionNotify;
        e.xmotion.display = display;
        e.xmotion.window = editorWindow();
        e.xmotion.root = DefaultRootWindow(display);
        e.xmotion.x = x;
        e.xmotion.y = y;
        e.xmotion.state = state;
        e.xmotion.same_screen = True;
        XSendEvent(display, e.xmotion.window, False, PointerMotionMask, &e);
        XFlush(display);
    }

    void sendKey(Window target, const std::string& name) {
        KeySym keysym = name.size() == 1 ? static_cast<KeySym>(static_cast<unsigned char>(name[0]))
                                         : XStringToKeysym(name.c_str());
        if (keysym == NoSymbol) fail("unknown key " + name);
        XEvent e{};
        e.xkey.display = display;
        e.xkey.window = target;
        e.xkey.root = DefaultRootWindow(display);
        e.xkey.keycode = XKeysymToKeycode(display, keysym);
        e.xkey.same_screen = True;
        KeySym lower, upper;
        XConvertCase(keysym, &lower, &upper);
        if (keysym != lower) e.xkey.state = ShiftMask;
        for (int type : {KeyPress, KeyRelease}) {
            e.xkey.type = type;
            XSendEvent(display, target, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
        }
        XFlush(display);
        usleep(30000);
    }

    Image screenshot(Window window, const std::string& path) {
        XWindowAttributes a;
        XGetWindowAttributes(display, window, &a);
        XImage* x = XGetImage(display, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
        if (!x) fail("cannot read the window's pixels");
        Image image;
        image.width = a.width;
        image.height = a.height;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, a.width, a.height);
        auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
        const int stride = cairo_image_surface_get_stride(surface) / 4;
        for (int y = 0; y < a.height; ++y)
            for (int xx = 0; xx < a.width; ++xx) {
                const uint32_t p = static_cast<uint32_t>(XGetPixel(x, xx, y)) & 0xFFFFFF;
                image.pixels.push_back(p);
                data[y * stride + xx] = p;
            }
        cairo_surface_mark_dirty(surface);
        cairo_surface_write_to_png(surface, path.c_str());
        cairo_surface_destroy(surface);
        XDestroyImage(x);
        return image;
    }

    const Image& shot(const std::string& name) {
        auto it = shots.find(name);
        if (it == shots.end()) fail("no shot " + name);
        return it->second;
    }

    static int differingPixels(const Image& a, const Image& b, int x0, int y0, int w, int h) {
        int changed = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (x < a.width && y < a.height && x < b.width && y < b.height && a.at(x, y) != b.at(x, y))
                    ++changed;
        return changed;
    }

    static std::array<double, 3> meanColor(const Image& image, int x0, int y0, int w, int h) {
        std::array<double, 3> sum{};
        int n = 0;
        for (int y = y0; y < y0 + h && y < image.height; ++y)
            for (int x = x0; x < x0 + w && x < image.width; ++x) {
                const uint32_t p = image.at(x, y);
                sum[0] += (p >> 16) & 0xFF;
                sum[1] += (p >> 8) & 0xFF;
                sum[2] += p & 0xFF;
                ++n;
            }
        if (n == 0) fail("empty region");
        for (double& s : sum)
            s /= n;
        return sum;
    }

    bool isViewable(Window window) {
        XWindowAttributes a;
        return XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable;
    }

    Window waitForWindow(const std::string& title) {
        for (int i = 0; i < 100; ++i) {
            if (Window w = xtest::findViewableTopLevel(display, title)) {
                usleep(200000); // let it paint
                return w;
            }
            usleep(50000);
        }
        fail("no window \"" + title + "\"");
    }

    // Our modal windows: Escape answers Cancel; "OK" is the rightmost button.
    void answer(Window dialog, const std::string& choice) {
        if (choice == "cancel") {
            sendKey(dialog, "Escape");
        } else {
            XWindowAttributes a;
            XGetWindowAttributes(display, dialog, &a);
            const int x = a.width - 20 - 48, y = a.height - 20 - 15;
            sendButtonTo(dialog, ButtonPress, 1, x, y, 0);
            sendButtonTo(dialog, ButtonRelease, 1, x, y, Button1Mask);
        }
        for (int i = 0; i < 100 && isViewable(dialog); ++i)
            usleep(50000);
        if (isViewable(dialog)) fail("the window did not close");
        usleep(100000);
    }

    std::string outDir;
    MainThreadQueue& mainThread;
    std::function<void(const std::vector<std::string>&)> viewCall;
    std::function<std::pair<int, int>()> viewSize;
    PlugFrame& plugFrame;
    Window hostWindow;
    Display* display;
    std::map<std::string, Image> shots;
    int dialogs = 0;
    unsigned long fakeTime = 0;
};

// Like a host that hands every key it gets from an embedded window back to that window.
void bounceKey(Display* display, Window host, XEvent event, PlugFrame& plugFrame) {
    ++plugFrame.forwardedKeys;
    if (!plugFrame.bounceKeys) return;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, host, &root, &parent, &children, &count);
    const Window editor = count > 0 ? children[0] : 0;
    if (children) XFree(children);
    if (!editor) return;
    event.xkey.window = editor;
    XSendEvent(display, editor, False, event.type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
    XFlush(display);
}

std::vector<std::vector<std::string>> readScript(const std::string& path) {
    std::ifstream in(path);
    if (!in) fail("cannot read " + path);
    std::vector<std::vector<std::string>> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        std::string word;
        while (words >> std::quoted(word))
            w.push_back(word);
        if (!w.empty()) lines.push_back(w);
    }
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <module.so> <script> <output dir>\n", argv[0]);
        return 2;
    }
    // The script's thread has its own connection, opened while the plug-in opens its own.
    XInitThreads();
    // A window that goes away between a query and its use is not the host's failure.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto moduleEntry = reinterpret_cast<bool (*)(void*)>(dlsym(module, "ModuleEntry"));
    auto moduleExit = reinterpret_cast<bool (*)()>(dlsym(module, "ModuleExit"));
    auto getFactory = reinterpret_cast<IPluginFactory* (*)()>(dlsym(module, "GetPluginFactory"));
    if (!moduleEntry || !moduleExit || !getFactory || !moduleEntry(module)) {
        std::fprintf(stderr, "not a VST3 module\n");
        return 1;
    }
    int rc = 0;
    {
        IPluginFactory* factory = getFactory();
        PClassInfo info;
        factory->getClassInfo(0, &info);
        Vst::IComponent* component = nullptr;
        factory->createInstance(info.cid, Vst::IComponent::iid, reinterpret_cast<void**>(&component));
        Vst::IEditController* controller = nullptr;
        if (!component || component->queryInterface(Vst::IEditController::iid,
                                                    reinterpret_cast<void**>(&controller)) != kResultOk) {
            std::fprintf(stderr, "no component with an edit controller\n");
            return 1;
        }
        component->initialize(nullptr);

        Display* display = XOpenDisplay(nullptr);
        if (!display) {
            std::fprintf(stderr, "no X display\n");
            return 1;
        }
        const Window window =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1024, 576, 0, 0, 0x202020);
        XStoreName(display, window, "Zyk embedding host");
        XSelectInput(display, window, StructureNotifyMask | KeyPressMask | KeyReleaseMask);
        XMapWindow(display, window);
        XSync(display, False);

        HostRunLoop loop;
        PlugFrame plugFrame(loop, display, window);
        controller->setComponentHandler(&plugFrame);
        MainThreadQueue mainThread;
        loop.watch(mainThread.fd(), [&] { mainThread.serve(); });
        loop.watch(ConnectionNumber(display), [&] {
            while (XPending(display)) {
                XEvent e;
                XNextEvent(display, &e);
                if ((e.type == KeyPress || e.type == KeyRelease) && e.xkey.window == window)
                    bounceKey(display, window, e, plugFrame);
            }
        });

        IPlugView* view = nullptr;
        auto viewCall = [&](const std::vector<std::string>& w) {
            if (w[0] == "open") {
                if (view) fail("a view is open");
                view = controller->createView("editor");
                if (!view) fail("createView(\"editor\") gave no view");
                plugFrame.resizeRequests = 0;
                view->setFrame(&plugFrame);
                if (view->attached(reinterpret_cast<void*>(window), "X11EmbedWindowID") != kResultOk)
                    fail("attached refused");
            } else if (w[0] == "close") {
                if (!view) fail("no view is open");
                view->removed();
                view->setFrame(nullptr);
                view->release();
                view = nullptr;
                if (loop.registrations() != 0) fail("the view left registrations in the run loop");
            } else if (w[0] == "resize") {
                if (!view) fail("no view is open");
                ViewRect r(0, 0, std::stoi(w.at(1)), std::stoi(w.at(2)));
                if (view->canResize() == kResultTrue) view->checkSizeConstraint(&r);
                XResizeWindow(display, window, r.getWidth(), r.getHeight());
                view->onSize(&r);
            }
        };
        auto viewSize = [&]() -> std::pair<int, int> {
            ViewRect r;
            if (!view || view->getSize(&r) != kResultOk) fail("no size");
            return {r.getWidth(), r.getHeight()};
        };

        std::atomic<bool> finished{false};
        std::string error;
        int line = 0;
        std::thread scriptThread([&] {
            try {
                Script script(argv[3], mainThread, viewCall, viewSize, plugFrame, window);
                for (const auto& w : readScript(argv[2])) {
                    ++line;
                    std::string text;
                    for (const auto& word : w)
                        text += word + " ";
                    std::printf("> %s\n", text.c_str());
                    std::fflush(stdout);
                    script.runLine(w);
                }
            } catch (const Failure& f) {
                error = f.text;
            } catch (const std::exception& e) {
                error = e.what();
            }
            finished = true;
        });
        while (!finished)
            loop.run(50);
        scriptThread.join();
        if (view) {
            view->removed();
            view->release();
        }
        if (!error.empty()) {
            std::fprintf(stderr, "FAILED at command %d: %s\n", line, error.c_str());
            rc = 1;
        } else {
            std::printf("embedding host: script passed\n");
        }
        controller->release();
        component->terminate();
        component->release();
        factory->release();
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    moduleExit();
    dlclose(module);
    return rc;
}
