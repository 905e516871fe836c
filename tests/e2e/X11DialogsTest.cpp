// The dialogs as real windows on a display (run under a private Xvfb): another X client finds
// them by title and answers with keys or clicks, the way a user would.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "gui/x11/X11Dialogs.h"
#include "tests/e2e/XWindows.h"
#include "tests/support/LogCapture.h"

namespace {

// A user at another connection: waits for a window titled "Marn' Zyk", then answers it.
class User {
public:
    explicit User(std::function<void(User&, Window)> answer)
        : thread([this, answer] {
              display = XOpenDisplay(nullptr);
              if (!display) return;
              if (Window w = waitForDialog()) answer(*this, w);
              XCloseDisplay(display);
          }) {}
    ~User() { thread.join(); }

    // Whether this connection can grab the keyboard (or the pointer) now; lets go at once.
    bool canGrab(bool keyboard = true) {
        const Window root = DefaultRootWindow(display);
        const bool ok = keyboard ? XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync,
                                                 CurrentTime) == GrabSuccess
                                 : XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync,
                                                GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
        keyboard ? XUngrabKeyboard(display, CurrentTime) : XUngrabPointer(display, CurrentTime);
        XSync(display, False);
        return ok;
    }
    Display* connection() const { return display; }

    void key(Window w, KeySym keysym) {
        XEvent e{};
        e.xkey.display = display;
        e.xkey.window = w;
        e.xkey.keycode = XKeysymToKeycode(display, keysym);
        e.xkey.same_screen = True;
        for (int type : {KeyPress, KeyRelease}) {
            e.xkey.type = type;
            XSendEvent(display, w, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
        }
        XFlush(display);
    }
    void type(Window w, const std::string& text) {
        for (char c : text)
            key(w, static_cast<KeySym>(c));
    }
    // A click on the rightmost button ("OK").
    void clickOk(Window w) {
        XWindowAttributes a;
        XGetWindowAttributes(display, w, &a);
        XEvent e{};
        e.xbutton.display = display;
        e.xbutton.window = w;
        e.xbutton.x = a.width - 20 - 48;
        e.xbutton.y = a.height - 20 - 15;
        e.xbutton.button = Button1;
        e.xbutton.same_screen = True;
        for (int type : {ButtonPress, ButtonRelease}) {
            e.xbutton.type = type;
            XSendEvent(display, w, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
        }
        XFlush(display);
    }

private:
    Window waitForDialog() {
        for (int i = 0; i < 200; ++i) {
            if (Window found = xtest::findViewableTopLevel(display, "Marn' Zyk")) {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                return found;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return 0;
    }

    Display* display = nullptr;
    std::thread thread;
};

class X11DialogWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under Xvfb";
        // The user's thread and the dialogs open connections at the same time.
        static const bool threads = XInitThreads() != 0;
        ASSERT_TRUE(threads);
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        char pattern[] = "/tmp/zyk-dialogs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work = pattern;
        oldPath = std::getenv("PATH");
        oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        setenv("HOME", work.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        setenv("HOME", oldHome.c_str(), 1);
        std::system(("rm -rf '" + work + "'").c_str());
    }

    LogCapture log;
    zykgui::X11Dialogs dialogs;
    std::string work, oldPath, oldHome;
};

} // namespace

TEST_F(X11DialogWindows, QuestionsAnswerOkOnlyForTheOkButton) {
    {
        User user([](User& u, Window w) { u.key(w, XK_Escape); });
        EXPECT_FALSE(dialogs.askOkCancel(nullptr, "Marn' Zyk", "Escape?"));
    }
    {
        User user([](User& u, Window w) { u.key(w, XK_Return); }); // the default is "Cancel"
        EXPECT_FALSE(dialogs.askOkCancel(nullptr, "Marn' Zyk", "Return?"));
    }
    {
        User user([](User& u, Window w) { u.clickOk(w); });
        EXPECT_TRUE(dialogs.askOkCancel(nullptr, "Marn' Zyk", "Click OK?"));
    }
    {
        User user([](User& u, Window w) { u.key(w, XK_Return); });
        dialogs.showNotice(nullptr, "Marn' Zyk", "A notice closes with its one button");
    }
}

// While a box is up it holds the keyboard and the pointer, so nothing meant for the host's windows
// waits to replay after it; a grab the host holds as the box opens (a menu) only delays it, and
// the host taking the focus back takes no keys from it.
TEST_F(X11DialogWindows, ABoxHoldsKeyboardAndPointerWhileItIsUp) {
    bool heldBoth = false, heldAfterHostLetGo = false, keptKeys = false, freedAfter = false;
    {
        User user([&](User& u, Window w) {
            heldBoth = !u.canGrab() && !u.canGrab(false);
            XSetInputFocus(u.connection(), PointerRoot, RevertToPointerRoot, CurrentTime); // the host's
            XSync(u.connection(), False);
            keptKeys = !u.canGrab();
            u.key(w, XK_Escape);
        });
        EXPECT_FALSE(dialogs.askOkCancel(nullptr, "Marn' Zyk", "Hold?"));
    }
    EXPECT_TRUE(heldBoth);
    EXPECT_TRUE(keptKeys);
    {
        // The host holds the keyboard while the box opens and lets go a moment later.
        Display* host = XOpenDisplay(nullptr);
        ASSERT_NE(host, nullptr);
        ASSERT_EQ(
            XGrabKeyboard(host, DefaultRootWindow(host), False, GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
        XSync(host, False);
        User user([&](User& u, Window w) {
            XUngrabKeyboard(host, CurrentTime);
            XSync(host, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            heldAfterHostLetGo = !u.canGrab();
            u.key(w, XK_Escape);
        });
        dialogs.showNotice(nullptr, "Marn' Zyk", "Held after the host let go?");
        freedAfter = XGrabKeyboard(host, DefaultRootWindow(host), False, GrabModeAsync, GrabModeAsync,
                                   CurrentTime) == GrabSuccess;
        XCloseDisplay(host);
    }
    EXPECT_TRUE(heldAfterHostLetGo);
    EXPECT_TRUE(freedAfter) << "the box let go when it closed";
}

TEST_F(X11DialogWindows, WithoutAFileSelectorProgramThePathWindowAsksForThePath) {
    setenv("PATH", (work + "/nothing").c_str(), 1); // neither zenity nor kdialog
    const zykgui::FileRequest request{true, "Choose a sysex file", {{"Sysex File (*.syx)", "syx"}}, "syx"};
    {
        User user([](User& u, Window w) {
            u.type(w, "bank.syx");
            u.key(w, XK_BackSpace);
            u.type(w, "x");
            u.key(w, XK_Return);
        });
        EXPECT_EQ(dialogs.chooseFile(nullptr, request), work + "/bank.syx");
    }
    {
        User user([](User& u, Window w) {
            u.type(w, "other.syx");
            u.key(w, XK_Escape);
        });
        EXPECT_EQ(dialogs.chooseFile(nullptr, request), "");
    }
}

TEST_F(X11DialogWindows, WebPagesOpenThroughXdgOpenWithTheAddressAsOneArgument) {
    const std::string marker = work + "/opened";
    std::ofstream(work + "/xdg-open") << "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" > " << marker << "\n";
    chmod((work + "/xdg-open").c_str(), 0755);
    setenv("PATH", work.c_str(), 1);
    const std::string url = "https://zyk.example.org/a b;touch " + work + "/injected";
    dialogs.openURL(url);
    for (int i = 0; i < 100 && access(marker.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string line;
    std::getline(std::ifstream(marker), line);
    EXPECT_EQ(line, "1|" + url);
    EXPECT_NE(access((work + "/injected").c_str(), F_OK), 0); // no shell saw the address

    setenv("PATH", (work + "/nothing").c_str(), 1);
    dialogs.openURL("https://zyk.example.org"); // nothing to start: a log line, no crash
    EXPECT_FALSE(log.lines().empty());
}
