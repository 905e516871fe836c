// Mouse and key dispatch through the frame: hit order, listener precedence, capture,
// visibility, coordinates under zoom, focus and keyboard hooks, dirty regions.
#include "gui/vstgui/vstgui.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace VSTGUI;

namespace {
using Log = std::vector<std::string>;

using Result = CMouseEventResult;

struct ProbeView : CView {
    ProbeView(const CRect& r, std::string n, Log& l, Result down = kMouseEventHandled)
        : CView(r), name(std::move(n)), log(l), downResult(down) {}
    Result record(const char* event, CPoint where, Result result = kMouseEventHandled) {
        log.push_back(name + event);
        lastWhere = where;
        return result;
    }
    Result onMouseDown(CPoint& p, const CButtonState&) override { return record(":down", p, downResult); }
    Result onMouseMoved(CPoint& p, const CButtonState&) override { return record(":moved", p); }
    Result onMouseUp(CPoint& p, const CButtonState&) override { return record(":up", p); }
    Result onMouseCancel() override { return record(":cancel", lastWhere); }
    int32_t onKeyDown(VstKeyCode& key) override {
        log.push_back(name + ":key" + std::to_string(key.character));
        return 1;
    }
    std::string name;
    Log& log;
    Result downResult;
    CPoint lastWhere;
};

struct ProbeListener : ViewMouseListenerAdapter {
    ProbeListener(std::string n, Log& l, Result r) : name(std::move(n)), log(l), result(r) {}
    Result record(const char* event) {
        log.push_back(name + event);
        return result;
    }
    Result viewOnMouseDown(CView*, CPoint, CButtonState) override { return record(":down"); }
    Result viewOnMouseUp(CView*, CPoint, CButtonState) override { return record(":up"); }
    Result viewOnMouseMoved(CView*, CPoint, CButtonState) override { return record(":moved"); }
    void viewOnMouseEntered(CView*) override { record(":entered"); }
    void viewOnMouseExited(CView*) override { record(":exited"); }
    std::string name;
    Log& log;
    Result result;
};

struct HookProbe : IKeyboardHook {
    HookProbe(std::string n, Log& l, int32_t r) : name(std::move(n)), log(l), result(r) {}
    int32_t onKeyDown(const VstKeyCode&, CFrame*) override {
        log.push_back(name);
        return result;
    }
    int32_t onKeyUp(const VstKeyCode&, CFrame*) override { return -1; }
    std::string name;
    Log& log;
    int32_t result;
};

struct GuiDispatch : ::testing::Test {
    SharedPointer<CFrame> frame = owned(new CFrame(CRect(0, 0, 400, 300), nullptr));
    Log log;
    ProbeView* add(CViewContainer* parent, const CRect& r, const std::string& name,
                   CMouseEventResult down = kMouseEventHandled) {
        auto* view = new ProbeView(r, name, log, down);
        parent->addView(view);
        return view;
    }
    // A probe "view" inside a container, with the frame zoomed to one half.
    ProbeView* addNestedAtHalfZoom(const CRect& containerSize, const CRect& viewSize) {
        auto* container = new CViewContainer(containerSize);
        frame->addView(container);
        CGraphicsTransform zoom;
        zoom.scale(0.5, 0.5);
        frame->setTransform(zoom);
        return add(container, viewSize, "view");
    }
};
} // namespace

TEST_F(GuiDispatch, TopmostVisibleMouseEnabledViewIsHit) {
    add(frame, CRect(0, 0, 100, 100), "below");
    ProbeView* top = add(frame, CRect(50, 50, 150, 150), "top");
    frame->platformOnMouseDown({60, 60}, kLButton);
    EXPECT_EQ(log, Log({"top:down"}));

    log.clear();
    frame->platformOnMouseUp({60, 60}, kLButton);
    top->setVisible(false);
    frame->platformOnMouseDown({60, 60}, kLButton);
    EXPECT_EQ(log, Log({"top:up", "below:down"})) << "hidden views are never hit";

    log.clear();
    frame->platformOnMouseUp({60, 60}, kLButton);
    top->setVisible(true);
    top->setAlphaValue(0.f);
    EXPECT_FALSE(top->isVisible());
    frame->platformOnMouseDown({60, 60}, kLButton);
    EXPECT_EQ(log, Log({"below:up", "below:down"})) << "alpha 0 counts as hidden";

    log.clear();
    frame->platformOnMouseUp({60, 60}, kLButton);
    top->setAlphaValue(1.f);
    top->setMouseEnabled(false);
    frame->platformOnMouseDown({60, 60}, kLButton);
    EXPECT_EQ(log, Log({"below:up", "below:down"})) << "mouse-disabled views are passed over";
}

TEST_F(GuiDispatch, NotHandledGoesOnToTheViewsBelow) {
    add(frame, CRect(0, 0, 100, 100), "below");
    add(frame, CRect(0, 0, 100, 100), "top", kMouseEventNotHandled);
    frame->platformOnMouseDown({10, 10}, kLButton);
    EXPECT_EQ(log, Log({"top:down", "below:down"}));
}

TEST_F(GuiDispatch, HiddenOrMouseDisabledContainerHidesItsChildren) {
    auto* container = new CViewContainer(CRect(0, 0, 200, 200));
    frame->addView(container);
    add(frame, CRect(0, 0, 200, 200), "frameChild");
    frame->changeViewZOrder(container, 1);
    add(container, CRect(0, 0, 50, 50), "inner");
    frame->platformOnMouseDown({10, 10}, kLButton);
    frame->platformOnMouseUp({10, 10}, kLButton);
    container->setVisible(false);
    frame->platformOnMouseDown({10, 10}, kLButton);
    frame->platformOnMouseUp({10, 10}, kLButton);
    container->setVisible(true);
    container->setMouseEnabled(false);
    frame->platformOnMouseDown({10, 10}, kLButton);
    EXPECT_EQ(log, Log({"inner:down", "inner:up", "frameChild:down", "frameChild:up", "frameChild:down"}));
}

TEST_F(GuiDispatch, ListenersRunBeforeTheViewAndCanConsume) {
    ProbeView* view = add(frame, CRect(0, 0, 100, 100), "view");
    ProbeListener passive("passive", log, kMouseEventNotImplemented);
    ProbeListener greedy("greedy", log, kMouseEventHandled);
    view->registerViewMouseListener(&passive);
    frame->platformOnMouseDown({10, 10}, kLButton);
    frame->platformOnMouseUp({10, 10}, kLButton);
    EXPECT_EQ(log, Log({"passive:down", "view:down", "passive:up", "view:up"}));

    log.clear();
    view->registerViewMouseListener(&greedy);
    frame->platformOnMouseDown({10, 10}, kLButton);
    frame->platformOnMouseMoved({20, 20}, kLButton);
    frame->platformOnMouseUp({20, 20}, kLButton);
    EXPECT_EQ(
        log, Log({"passive:down", "greedy:down", "passive:moved", "greedy:moved", "passive:up", "greedy:up"}))
        << "a listener's handled press captures for the view and its listeners";
    view->unregisterViewMouseListener(&greedy);
    view->unregisterViewMouseListener(&passive);
}

TEST_F(GuiDispatch, HandledPressCapturesMovesAndReleaseOutside) {
    ProbeView* view = add(frame, CRect(0, 0, 50, 50), "view");
    add(frame, CRect(100, 100, 200, 200), "other");
    frame->platformOnMouseDown({10, 10}, kLButton);
    EXPECT_EQ(frame->getMouseDownView(), view);
    frame->platformOnMouseMoved({150, 150}, kLButton);
    frame->platformOnMouseUp({150, 150}, kLButton);
    EXPECT_EQ(log, Log({"view:down", "view:moved", "view:up"}));
    EXPECT_EQ(view->lastWhere, CPoint(150, 150));
    EXPECT_EQ(frame->getMouseDownView(), nullptr);
}

TEST_F(GuiDispatch, HidingTheCapturingViewCancelsAndRemovingItForgets) {
    ProbeView* view = add(frame, CRect(0, 0, 50, 50), "view");
    frame->platformOnMouseDown({10, 10}, kLButton);
    view->setVisible(false);
    EXPECT_EQ(frame->getMouseDownView(), nullptr);
    EXPECT_EQ(log, Log({"view:down", "view:cancel"}));

    view->setVisible(true);
    frame->platformOnMouseDown({10, 10}, kLButton);
    frame->removeView(view, true);
    EXPECT_EQ(frame->getMouseDownView(), nullptr);
    frame->platformOnMouseUp({10, 10}, kLButton);
}

TEST_F(GuiDispatch, WhereIsInTheViewsParentCoordinatesUnderZoomAndNesting) {
    ProbeView* view = addNestedAtHalfZoom(CRect(100, 40, 500, 400), CRect(20, 10, 120, 60));
    // Design point (100 + 30, 40 + 20) appears at window (65, 30).
    frame->platformOnMouseDown({65, 30}, kLButton);
    ASSERT_EQ(log, Log({"view:down"}));
    EXPECT_DOUBLE_EQ(view->lastWhere.x, 30);
    EXPECT_DOUBLE_EQ(view->lastWhere.y, 20);

    CPoint p(30, 20);
    EXPECT_EQ(view->localToFrame(p), CPoint(65, 30));
    EXPECT_EQ(view->frameToLocal(p), CPoint(30, 20));
}

TEST_F(GuiDispatch, KeysGoToHooksInOrderThenToTheFocusView) {
    ProbeView* view = add(frame, CRect(0, 0, 50, 50), "view");
    HookProbe first("first", log, -1);
    HookProbe second("second", log, -1);
    frame->registerKeyboardHook(&first);
    frame->registerKeyboardHook(&second);
    EXPECT_FALSE(zykgui::test::typeKey(frame, 'a')) << "no focus view: unhandled";
    frame->setFocusView(view);
    EXPECT_TRUE(zykgui::test::typeKey(frame, 'b'));
    EXPECT_EQ(log, Log({"first", "second", "first", "second", "view:key98"}));

    log.clear();
    second.result = 0;
    EXPECT_TRUE(zykgui::test::typeKey(frame, 'c'));
    EXPECT_EQ(log, Log({"first", "second"})) << "any result other than -1 consumes";
    frame->unregisterKeyboardHook(&first);
    frame->unregisterKeyboardHook(&second);
}

TEST_F(GuiDispatch, InvalidationCollectsWindowRectangles) {
    ProbeView* view = addNestedAtHalfZoom(CRect(100, 100, 300, 300), CRect(10, 10, 20, 20));
    auto context = COffscreenContext::create(frame, 400, 300);
    frame->paintDirtyRegion(context);
    ASSERT_FALSE(frame->hasDirtyRegion());
    view->invalid();
    ASSERT_EQ(frame->getDirtyRects().size(), 1u);
    EXPECT_EQ(frame->getDirtyRects()[0], CRect(55, 55, 60, 60));

    view->setDirty(false);
    EXPECT_TRUE(frame->hasDirtyRegion()) << "setDirty(false) never cancels a pending invalidation";
}

TEST_F(GuiDispatch, SetZoomScalesSizeFromTheCurrentTransform) {
    frame->setSize(2560 * 0.5, 1440 * 0.5);
    CGraphicsTransform half;
    half.scale(0.5, 0.5);
    frame->setTransform(half);
    ASSERT_TRUE(frame->setZoom(0.25));
    CRect size;
    frame->getSize(size);
    EXPECT_EQ(size, CRect(0, 0, 640, 360));
    EXPECT_DOUBLE_EQ(frame->getZoom(), 0.25);
    EXPECT_FALSE(frame->setZoom(0));
}

TEST(GuiFrame, CloseRemovesTheViewsAndReleasesTheCallersReference) {
    auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr);
    auto* child = new CView(CRect(0, 0, 10, 10));
    child->remember();
    frame->addView(child);
    frame->remember();
    ASSERT_TRUE(frame->open(nullptr));
    frame->close();
    EXPECT_EQ(frame->getNbReference(), 1);
    EXPECT_EQ(frame->getNbViews(), 0u);
    EXPECT_EQ(child->getParentView(), nullptr);
    EXPECT_EQ(child->getNbReference(), 1);
    child->forget();
    frame->forget();
}

TEST_F(GuiDispatch, HoverReportsEnteredAndExitedToListeners) {
    ProbeView* view = add(frame, CRect(0, 0, 50, 50), "view");
    ProbeListener listener("l", log, kMouseEventNotImplemented);
    view->registerViewMouseListener(&listener);
    frame->platformOnMouseMoved({10, 10}, 0);
    frame->platformOnMouseMoved({20, 20}, 0);
    frame->platformOnMouseMoved({100, 100}, 0);
    frame->platformOnMouseMoved({10, 10}, 0);
    frame->platformOnMouseExited();
    EXPECT_EQ(log, Log({"l:entered", "l:moved", "view:moved", "l:moved", "view:moved", "l:exited",
                        "l:entered", "l:moved", "view:moved", "l:exited"}));
    view->unregisterViewMouseListener(&listener);
}

TEST_F(GuiDispatch, NonFiniteWheelDistancesAreIgnored) {
    auto* knob = new CAnimKnob(CRect(0, 0, 50, 50), nullptr, 1, nullptr);
    frame->addView(knob);
    knob->setValue(0.5f);
    EXPECT_FALSE(
        frame->platformOnMouseWheel({10, 10}, kMouseWheelAxisY, std::numeric_limits<float>::infinity(), 0));
    EXPECT_FALSE(frame->platformOnMouseWheel({10, 10}, kMouseWheelAxisY, std::nanf(""), 0));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
}
