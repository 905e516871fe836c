// Clicks on the panel reach the views the editor listens to: captions, value labels, the display's cells and
// its glass shadow lie over them without taking the mouse.
#include "tests/panel/PanelTestSupport.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using namespace paneltest;

namespace {
using Result = CMouseEventResult;

struct ClickRecorder : ViewMouseListenerAdapter {
    std::vector<CView*> downs;
    Result viewOnMouseDown(CView* view, CPoint, CButtonState) override {
        downs.push_back(view);
        return kMouseEventHandled;
    }
};

struct ValueRecorder : IControlListener {
    std::vector<float> values;
    void valueChanged(CControl* control) override { values.push_back(control->getValue()); }
};

// Presses and releases the left button at the centre of `view` (or at `offset` from its top left).
void click(PanelFrame& panel, CView* view, CPoint offset = {-1, -1}) {
    CRect r = view->getViewSize();
    CPoint p = offset.x < 0 ? r.getCenter() : CPoint(r.left + offset.x, r.top + offset.y);
    zykgui::test::click(panel.frame, panel.toWindow(view, p));
}

} // namespace

TEST(PanelClicks, ListenedViewsReceiveTheirClicks) {
    PanelFrame panel(0.5);
    ASSERT_TRUE(panel.valid());
    panel.showPage("mode_play");
    ClickRecorder recorder;
    std::vector<CView*> listened;
    for (const char* name :
         {"LCDLight", "clickableLogo", "btDonate", "throttle", "resizeHandle", "singleA0", "singleD7"})
        listened.push_back(panel.view(name));
    for (CView* v : listened)
        v->registerViewMouseListener(&recorder);
    // The display is clicked through its cells and glass shadow, next to a character and between the rows.
    click(panel, panel.view("char007"));
    click(panel, panel.view("LCDLight"), {300, 166});
    for (size_t i = 1; i < listened.size(); ++i)
        click(panel, listened[i]);
    for (CView* v : listened)
        v->unregisterViewMouseListener(&recorder);
    std::vector<CView*> expected{listened[0]};
    expected.insert(expected.end(), listened.begin(), listened.end());
    EXPECT_EQ(recorder.downs, expected);
}

TEST(PanelClicks, CaptionsAndValueLabelsLetClicksThroughToTheirControls) {
    PanelFrame panel(0.5);
    ASSERT_TRUE(panel.valid());
    panel.showPage("mode_edit");
    ValueRecorder values;
    auto* single = dynamic_cast<CKickButton*>(panel.view("btModeSingle"));
    auto* keyTrack = dynamic_cast<CKickButton*>(panel.view("Param_SourceS1KeyTrack"));
    ASSERT_TRUE(single && keyTrack);
    for (CControl* c : {static_cast<CControl*>(single), static_cast<CControl*>(keyTrack)}) {
        c->setListener(&values);
        click(panel, c);
    }
    EXPECT_EQ(values.values, (std::vector<float>{1, 0, 1, 0})) << "each press is a kick: 1 then 0";

    // Dragging up on a knob's value label turns the knob.
    auto* attack = dynamic_cast<CAnimKnob*>(panel.view("Param_SourceS1EnvAttack"));
    ASSERT_NE(attack, nullptr);
    attack->setListener(&values);
    attack->setValueNormalized(0.2f);
    CPoint p = panel.toWindow(attack, attack->getViewSize().getCenter());
    zykgui::test::drag(panel.frame, p, CPoint(p.x, p.y - 60));
    EXPECT_GT(attack->getValueNormalized(), 0.25f);

    // The ornamental key below the mutes takes no clicks.
    EXPECT_FALSE(panel.view("button (2)")->getMouseEnabled());
}
