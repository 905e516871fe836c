// Resizing with a host that re-enters the view from its own resizeView, the way the newest
// Qtractor does: whatever the user does, the view asks at most once, never from inside the
// host's call, and only for sizes its own size check keeps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/LogCapture.h"
#include "tests/support/ZykGuiTest.h"
#include "tests/vst3/Instrument.h"
#include "tests/vst3/TestHost.h"
#include "vst3/k1EditController.h"

using namespace Steinberg;
using testhost::FakeRunLoop;

namespace {

// resizeView sets a guard and resizes the widget, whose resize event fires at once: it checks
// the size, sets the window to the checked one and calls onSize with it. With the guard cleared,
// a view whose getSize differs from the request gets onSize again with the unchecked request.
class ReenteringPlugFrame : public IPlugFrame {
public:
    explicit ReenteringPlugFrame(FakeRunLoop& runLoop) : loop(runLoop) {}

    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* size) override {
        ++requests;
        if (depth > 0) ++nested;
        if (depth >= kMaxDepth) return kResultFalse; // where the real host's stack runs out
        ViewRect checked = *size;
        view->checkSizeConstraint(&checked);
        if (!same(checked, *size)) moved.push_back(text(*size) + " -> " + text(checked));
        ++depth;
        guard = true;
        widgetResized(view, *size);
        guard = false;
        ViewRect now;
        view->getSize(&now);
        if (!same(now, *size)) view->onSize(size);
        --depth;
        return kResultOk;
    }
    // The user (or the window system) gives the window a size.
    void widgetResized(IPlugView* view, ViewRect size) {
        view->checkSizeConstraint(&size);
        window = size;
        view->onSize(&size);
    }
    tresult PLUGIN_API queryInterface(const TUID id, void** obj) override {
        if (FUnknownPrivate::iidEqual(id, IPlugFrame::iid) || FUnknownPrivate::iidEqual(id, FUnknown::iid)) {
            *obj = static_cast<IPlugFrame*>(this);
            return kResultOk;
        }
        if (FUnknownPrivate::iidEqual(id, Linux::IRunLoop::iid)) {
            loop.addRef();
            *obj = static_cast<Linux::IRunLoop*>(&loop);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    static bool same(const ViewRect& a, const ViewRect& b) {
        return a.getWidth() == b.getWidth() && a.getHeight() == b.getHeight();
    }
    static std::string text(const ViewRect& r) {
        return std::to_string(r.getWidth()) + "x" + std::to_string(r.getHeight());
    }
    void forget() {
        requests = nested = 0;
        moved.clear();
    }

    static constexpr int kMaxDepth = 64;
    FakeRunLoop& loop;
    bool guard = false;
    int depth = 0;
    int requests = 0;
    int nested = 0;
    std::vector<std::string> moved; // requests the view's own check changed
    ViewRect window;
};

} // namespace

TEST(ResizeHost, AReenteringHostGetsAtMostOneRequestPerUserActionAndOnlyCheckedSizes) {
    LogCapture log;
    zykgui::test::ScriptedDialogs dialogs;
    FakeRunLoop loop;
    ReenteringPlugFrame host(loop);
    testhost::Instrument i;
    auto* view = static_cast<k1EditController*>(i->createView("editor"));
    ASSERT_NE(view, nullptr);
    view->setFrame(&host);
    ASSERT_EQ(view->attached(nullptr, "X11EmbedWindowID"), kResultTrue);
    VSTGUI::CFrame* frame = view->getEditor()->getFrame();
    VSTGUI::CView* grip = view->getEditor()->getViewsByName().at("resizeHandle").front();
    VSTGUI::CPoint start = grip->getViewSize().getCenter();
    grip->localToFrame(start);

    // The resize corner, dragged in from near the bottom-right of the 1024x576 panel, then out.
    host.forget();
    frame->platformOnMouseDown(start, VSTGUI::kLButton);
    for (VSTGUI::CPoint to : {VSTGUI::CPoint(900, 500), VSTGUI::CPoint(700, 400), VSTGUI::CPoint(1100, 640),
                              VSTGUI::CPoint(1300, 760), VSTGUI::CPoint(1617, 903)}) {
        const int before = host.requests;
        frame->platformOnMouseMoved(to, VSTGUI::kLButton);
        EXPECT_LE(host.requests - before, 1) << "moving to " << to.x << "," << to.y;
        ViewRect shown;
        view->getSize(&shown);
        EXPECT_TRUE(ReenteringPlugFrame::same(shown, host.window)) << ReenteringPlugFrame::text(shown);
    }
    frame->platformOnMouseUp({1617, 903}, VSTGUI::kLButton);
    EXPECT_GE(host.requests, 4);
    EXPECT_EQ(host.nested, 0);
    EXPECT_TRUE(host.moved.empty()) << host.moved.front();

    // Window sizes the host sets, on the rule or off it, are final: the view asks nothing back.
    for (auto [w, h] : {std::pair{909, 511}, {1000, 1000}, {641, 361}, {700, 300}}) {
        host.forget();
        host.widgetResized(view, ViewRect(0, 0, w, h));
        EXPECT_EQ(host.requests, 0) << w << "x" << h;
        ViewRect shown;
        view->getSize(&shown);
        EXPECT_TRUE(ReenteringPlugFrame::same(shown, host.window)) << w << "x" << h;
    }
    view->removed();
    view->release();
}
