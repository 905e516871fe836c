#include "tests/support/ZykGuiTest.h"

#include "gui/COffscreenContext.h"
#include "gui/GuiLog.h"
#include "gui/TimerHub.h"

namespace zykgui::test {

using namespace VSTGUI;

SharedPointer<CBitmap> renderFrame(CFrame* frame) {
    if (!frame) return {};
    CRect size;
    frame->getSize(size);
    auto context = COffscreenContext::create(frame, size.getWidth(), size.getHeight());
    if (!context) {
        zykgui::log("renderFrame", 17, "Cannot render a frame of ", size.getWidth(), "x", size.getHeight());
        return {};
    }
    context->beginDraw();
    frame->draw(context);
    context->endDraw();
    return context->getBitmap();
}

bool renderToPNG(CFrame* frame, const std::string& path) {
    const SharedPointer<CBitmap> image = renderFrame(frame);
    return image && image->writePNG(path);
}

ManualClock::ManualClock() {
    TimerHub::instance().setClock([this] { return time; });
}

ManualClock::~ManualClock() {
    TimerHub::instance().setClock(nullptr);
}

int ManualClock::advance(uint64_t ms) {
    int fired = TimerHub::instance().pump();
    for (uint64_t i = 0; i < ms; ++i) {
        ++time;
        fired += TimerHub::instance().pump();
    }
    return fired;
}

void click(CFrame* frame, CPoint where, int32_t buttons) {
    frame->platformOnMouseDown(where, buttons);
    frame->platformOnMouseUp(where, buttons);
}

void drag(CFrame* frame, CPoint from, CPoint to, int steps, int32_t buttons) {
    frame->platformOnMouseDown(from, buttons);
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        frame->platformOnMouseMoved({from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t}, buttons);
    }
    frame->platformOnMouseUp(to, buttons);
}

bool typeKey(CFrame* frame, int32_t character, unsigned char virt, unsigned char modifier) {
    VstKeyCode key{character, virt, modifier};
    const bool handled = frame->platformOnKeyDown(key);
    frame->platformOnKeyUp(key);
    return handled;
}

bool typeText(CFrame* frame, const std::string& ascii) {
    bool all = true;
    for (char c : ascii)
        all = typeKey(frame, static_cast<unsigned char>(c)) && all;
    return all;
}

} // namespace zykgui::test
