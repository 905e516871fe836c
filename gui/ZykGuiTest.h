// Helpers for headless tests of views and editors: offscreen rendering, a manual clock for
// the timer hub, and event injection in window pixels. Not used by editor code.
#pragma once

#include "CBitmap.h"
#include "CFrame.h"

#include <cstdint>
#include <string>

namespace zykgui::test {

// Draws the whole frame into an image of its size; null when the frame is empty-sized.
VSTGUI::SharedPointer<VSTGUI::CBitmap> renderFrame(VSTGUI::CFrame* frame);
// Draws the frame and writes it as PNG; false (and a log line) on failure.
bool renderToPNG(VSTGUI::CFrame* frame, const std::string& path);

// Drives the timer hub while alive: time starts at 0 and moves only by advance().
class ManualClock {
public:
    ManualClock();
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    uint64_t now() const { return time; }
    // Moves time forward in steps of at most 1 ms, pumping the hub at each; returns the
    // number of timer firings.
    int advance(uint64_t ms);

private:
    uint64_t time = 0;
};

// A press and release at one point (window pixels).
void click(VSTGUI::CFrame* frame, VSTGUI::CPoint where, int32_t buttons = VSTGUI::kLButton);
// A left drag from one point to another in `steps` moves.
void drag(VSTGUI::CFrame* frame, VSTGUI::CPoint from, VSTGUI::CPoint to, int steps = 4,
          int32_t buttons = VSTGUI::kLButton);
// Key down and up of a character or a virtual key; returns whether the down was handled.
bool typeKey(VSTGUI::CFrame* frame, int32_t character, unsigned char virt = 0, unsigned char modifier = 0);
bool typeText(VSTGUI::CFrame* frame, const std::string& ascii);

} // namespace zykgui::test
