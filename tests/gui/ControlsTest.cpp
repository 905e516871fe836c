// Value behaviour of controls: ranges, default on Ctrl+click, knob drag and wheel, strip
// frames, kick button notifications.
#include "tests/gui/GuiTestHelpers.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using guitest::Recorder;

namespace {
struct GuiControls : ::testing::Test {
    SharedPointer<CFrame> frame = owned(new CFrame(CRect(0, 0, 400, 400), nullptr));
    Recorder recorder;
};
} // namespace

TEST(GuiControl, NormalisedValueFollowsTheRange) {
    auto control = owned(new CControl(CRect(0, 0, 10, 10)));
    control->setMin(60);
    control->setMax(108);
    control->setValueNormalized(0.5f);
    EXPECT_FLOAT_EQ(control->getValue(), 84);
    control->setValue(120);
    EXPECT_FLOAT_EQ(control->getValue(), 120) << "setValue does not clamp";
    EXPECT_TRUE(control->bounceValue());
    EXPECT_FLOAT_EQ(control->getValue(), 108);
    control->setMax(60);
    EXPECT_FLOAT_EQ(control->getValueNormalized(), 0.f) << "a zero range gives 0";
}

TEST_F(GuiControls, KnobDragIsLinearInWindowPixels) {
    auto* knob = new CAnimKnob(CRect(100, 100, 150, 150), &recorder, 7, nullptr);
    frame->addView(knob);
    knob->setValueNormalized(0.2f);
    frame->platformOnMouseDown({120, 120}, kLButton);
    frame->platformOnMouseMoved({120, 120 - CKnobBase::kDragPixelsPerRange / 2}, kLButton);
    EXPECT_NEAR(knob->getValueNormalized(), 0.7f, 1e-5);
    frame->platformOnMouseMoved({120, -1000}, kLButton);
    EXPECT_FLOAT_EQ(knob->getValueNormalized(), 1.f) << "clamped at the end of the range";
    frame->platformOnMouseUp({120, -1000}, kLButton);
    ASSERT_GE(recorder.calls.size(), 4u);
    EXPECT_EQ(recorder.calls.front(), "begin");
    EXPECT_EQ(recorder.calls.back(), "end");
    EXPECT_FALSE(knob->isEditing());
}

TEST_F(GuiControls, KnobShiftDragIsFinerByTheZoomFactor) {
    auto* knob = new CAnimKnob(CRect(0, 0, 50, 50), &recorder, 1, nullptr);
    frame->addView(knob);
    knob->setZoomFactor(2.f);
    knob->setValueNormalized(0.5f);
    frame->platformOnMouseDown({10, 40}, kLButton);
    frame->platformOnMouseMoved({10, 40 - 50}, kLButton | kShift);
    EXPECT_NEAR(knob->getValueNormalized(), 0.5f + 50.f / 250.f / 2.f, 1e-5);
    frame->platformOnMouseMoved({10, 40 - 100}, kLButton);
    EXPECT_NEAR(knob->getValueNormalized(), 0.6f + 50.f / 250.f, 1e-5) << "back to full speed from there";
    frame->platformOnMouseUp({10, -60}, kLButton);
}

TEST_F(GuiControls, CtrlClickRestoresTheDefaultAndWheelStepsInPlainUnits) {
    auto* knob = new CAnimKnob(CRect(0, 0, 50, 50), &recorder, 1, nullptr);
    frame->addView(knob);
    knob->setMin(60);
    knob->setMax(108);
    knob->setValue(100);
    knob->setDefaultValue(84);
    frame->platformOnMouseDown({10, 10}, kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 84);
    EXPECT_EQ(recorder.calls, std::vector<std::string>({"begin", "value", "end"}));
    EXPECT_EQ(frame->getMouseDownView(), nullptr);

    // The wheel steps by the wheel increment; Shift is ten times finer.
    knob->setWheelInc(1.f / 48.f);
    EXPECT_TRUE(frame->platformOnMouseWheel({10, 10}, kMouseWheelAxisY, 2.f, 0));
    EXPECT_NEAR(knob->getValue(), 86, 1e-4);
    frame->platformOnMouseWheel({10, 10}, kMouseWheelAxisY, -10.f, kShift);
    EXPECT_NEAR(knob->getValue(), 85, 1e-4);
    EXPECT_FALSE(frame->platformOnMouseWheel({300, 300}, kMouseWheelAxisY, 1.f, 0))
        << "nothing under the pointer";
}

TEST(GuiAnimKnob, FrameIsRoundedAndClampedToTheStrip) {
    auto strip = owned(guitest::makeStrip(10, 10, 5, {kRedCColor}));
    auto knob = owned(new CAnimKnob(CRect(0, 0, 10, 10), nullptr, 1, strip));
    knob->setHeightOfOneImage(10);
    EXPECT_EQ(knob->getNumSubPixmaps(), 5);
    knob->setValueNormalized(0.f);
    EXPECT_EQ(knob->getCurrentFrame(), 0);
    knob->setValueNormalized(0.6f);
    EXPECT_EQ(knob->getCurrentFrame(), 2) << "round(0.6 * 4) = 2";
    knob->setValueNormalized(0.65f);
    EXPECT_EQ(knob->getCurrentFrame(), 3);
    knob->setMin(60);
    knob->setMax(108);
    knob->setValue(120);
    EXPECT_EQ(knob->getCurrentFrame(), 4) << "values past the maximum show the last frame";
    knob->setValue(0);
    EXPECT_EQ(knob->getCurrentFrame(), 0);
}

TEST_F(GuiControls, KickButtonReleaseInsideGivesOneThenZero) {
    auto* button = new CKickButton(CRect(0, 0, 40, 40), &recorder, 3, nullptr);
    frame->addView(button);
    frame->platformOnMouseDown({10, 10}, kLButton);
    EXPECT_TRUE(button->isPressed());
    EXPECT_EQ(recorder.calls, std::vector<std::string>({"begin"})) << "nothing is sent at the press";
    frame->platformOnMouseUp({10, 10}, kLButton);
    EXPECT_EQ(recorder.calls, std::vector<std::string>({"begin", "value", "value", "end"}));
    EXPECT_EQ(recorder.values, std::vector<float>({1.f, 0.f}));
    EXPECT_FALSE(button->isPressed());
}

TEST_F(GuiControls, KickButtonReleaseOutsideOrCancelGivesZeroOnly) {
    auto* button = new CKickButton(CRect(0, 0, 40, 40), &recorder, 3, nullptr);
    frame->addView(button);
    frame->platformOnMouseDown({10, 10}, kLButton);
    frame->platformOnMouseMoved({100, 100}, kLButton);
    EXPECT_FALSE(button->isPressed()) << "shown released while the pointer is outside";
    frame->platformOnMouseUp({100, 100}, kLButton);
    EXPECT_EQ(recorder.values, std::vector<float>({0.f}));

    recorder.values.clear();
    frame->platformOnMouseDown({10, 10}, kLButton);
    button->setVisible(false);
    EXPECT_EQ(recorder.values, std::vector<float>({0.f})) << "hiding the pressed button cancels it";
}

TEST_F(GuiControls, KickButtonActionMayRemoveTheButton) {
    struct Remover : IControlListener {
        CFrame* frame = nullptr;
        int calls = 0;
        void valueChanged(CControl* control) override {
            if (++calls == 1) frame->removeView(control, true);
        }
    } remover;
    remover.frame = frame;
    frame->addView(new CKickButton(CRect(0, 0, 40, 40), &remover, 3, nullptr));
    zykgui::test::click(frame, {10, 10});
    EXPECT_EQ(remover.calls, 2) << "the second notification still arrives safely";
    EXPECT_EQ(frame->getNbViews(), 0u);
}
