// The frame's X11 window: a child of the host's window (XEmbed info), with its own connection
// to the display, a back buffer the dirty region is painted into, and translation of X events
// into the frame's platformOn* entry points.
//
// Thread contract: the user-interface thread only. Xlib is never touched from another thread;
// the host's run loop calls processEvents() when the connection has data and on its timer.
#pragma once

#include <cstdint>
#include <memory>

namespace VSTGUI {
class CFrame;
}

namespace zykgui {

class X11FrameWindow {
public:
    // Null (and a log line) when there is no display or the parent is not a window.
    static std::unique_ptr<X11FrameWindow> create(VSTGUI::CFrame* frame, uint32_t parentWindow);
    ~X11FrameWindow();
    X11FrameWindow(const X11FrameWindow&) = delete;
    X11FrameWindow& operator=(const X11FrameWindow&) = delete;

    // The connection's descriptor, for the run loop to watch.
    int getFileDescriptor() const;
    uint32_t getWindowId() const;
    // Dispatches every queued event, follows the frame's size and paints its dirty region.
    // Without `acceptInput` (a modal dialog is up) only exposures are served.
    void processEvents(bool acceptInput = true);

private:
    struct Impl;
    X11FrameWindow(std::unique_ptr<Impl> impl, uint32_t parent);

    std::unique_ptr<Impl> impl;
    uint32_t parent;
};

} // namespace zykgui
