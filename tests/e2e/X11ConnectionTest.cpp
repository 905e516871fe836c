// The editor's window on a real display (run under a private Xvfb): the plug-in's own X
// connection keeps its protocol errors to itself, while the host's connection still reaches the
// host's error handler.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>

#include "gui/CFrame.h"
#include "gui/x11/X11Display.h"

using namespace VSTGUI;

namespace {

int g_hostHandlerCalls = 0;

int countingHostHandler(Display*, XErrorEvent*) {
    ++g_hostHandlerCalls;
    return 0;
}

class X11Connection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under Xvfb";
        host = XOpenDisplay(nullptr);
        ASSERT_NE(host, nullptr);
        previousHandler = XSetErrorHandler(countingHostHandler);
        g_hostHandlerCalls = 0;
        hostWindow = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 400, 300, 0, 0, 0);
        XMapWindow(host, hostWindow);
        XSync(host, False);
    }
    void TearDown() override {
        XSetErrorHandler(previousHandler);
        if (host) XCloseDisplay(host);
    }

    Display* host = nullptr;
    Window hostWindow = 0;
    XErrorHandler previousHandler = nullptr;
};

TEST_F(X11Connection, AHostWindowDestroyedUnderTheEditorLeavesTheHostsHandlerUncalled) {
    auto* frame = new CFrame(CRect(0, 0, 320, 180), nullptr);
    ASSERT_TRUE(frame->open(reinterpret_cast<void*>(hostWindow), PlatformType::kX11EmbedWindowID));
    frame->processPlatformEvents();
    // The host drops its window (and the editor's child window with it) before removing the view.
    XDestroyWindow(host, hostWindow);
    XSync(host, False);
    // The editor goes on: a resize (ConfigureWindow), painting, then closing (DestroyWindow).
    frame->setSize(400, 225);
    frame->invalid();
    frame->processPlatformEvents();
    frame->close();
    XSync(host, False);
    EXPECT_EQ(g_hostHandlerCalls, 0) << "errors of the editor's connection reached the host";

    // The host's own mistakes still go to its handler.
    XDestroyWindow(host, hostWindow);
    XSync(host, False);
    EXPECT_EQ(g_hostHandlerCalls, 1);
}

TEST_F(X11Connection, OurConnectionsCountTheirOwnErrorsAndNoOneElses) {
    Display* ours = zykgui::openDisplay();
    ASSERT_NE(ours, nullptr);
    XDestroyWindow(ours, 0x7fffff); // no such window
    XSync(ours, False);
    EXPECT_EQ(zykgui::countErrors(ours), 1u);
    EXPECT_EQ(zykgui::countErrors(host), 0u);
    XWindowAttributes attributes;
    EXPECT_FALSE(XGetWindowAttributes(ours, 0x7fffff, &attributes)) << "a request with a reply fails too";
    EXPECT_EQ(zykgui::countErrors(ours), 2u);
    zykgui::closeDisplay(ours);
    EXPECT_EQ(g_hostHandlerCalls, 0);
}

} // namespace
