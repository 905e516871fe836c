// In-frame text editing: focus, caret movement, insertion and deletion, commit and revert.
#include "tests/gui/GuiTestHelpers.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using zykgui::test::typeKey;
using zykgui::test::typeText;

namespace {
struct TextRecorder : IControlListener {
    std::vector<std::string> texts;
    void valueChanged(CControl* control) override {
        texts.push_back(static_cast<CTextEdit*>(control)->getText().getString());
    }
};

struct GuiTextEdit : ::testing::Test {
    SharedPointer<CFrame> frame = owned(new CFrame(CRect(0, 0, 300, 200), nullptr));
    TextRecorder recorder;
    CTextEdit* edit = nullptr;
    void SetUp() override {
        edit = new CTextEdit(CRect(10, 10, 150, 30), &recorder, 1, "Piano");
        frame->addView(edit);
        frame->addView(new CView(CRect(0, 100, 300, 200)));
    }
    void startEditing() {
        zykgui::test::click(frame, {20, 20});
        ASSERT_TRUE(edit->isEditing());
    }
};
} // namespace

TEST_F(GuiTextEdit, ClickTakesFocusAndEditingKeysChangeTextAtTheCaret) {
    EXPECT_FALSE(typeKey(frame, 'x')) << "without focus keys go nowhere";
    startEditing();
    EXPECT_EQ(frame->getFocusView(), edit);
    EXPECT_EQ(edit->getCaretPosition(), 5u);
    typeKey(frame, 0, VKEY_BACK);
    typeKey(frame, 0, VKEY_HOME);
    typeText(frame, "E.");
    typeKey(frame, 0, VKEY_RIGHT);
    typeKey(frame, 0, VKEY_DELETE);
    typeKey(frame, 0, VKEY_END);
    typeKey(frame, 0, VKEY_LEFT);
    typeKey(frame, 0xE4);
    EXPECT_EQ(edit->getText(), "E.Pa\xC3\xA4n");
    EXPECT_TRUE(recorder.texts.empty()) << "nothing is sent before the commit";
    EXPECT_FALSE(typeKey(frame, 'c', 0, MODIFIER_CONTROL)) << "shortcuts are left to others";
}

TEST_F(GuiTextEdit, ReturnCommitsOnceAndEndsEditing) {
    startEditing();
    typeKey(frame, 0, VKEY_RETURN);
    EXPECT_TRUE(recorder.texts.empty()) << "nothing is sent without a change";
    startEditing();
    typeText(frame, "s");
    typeKey(frame, 0, VKEY_RETURN);
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(recorder.texts, std::vector<std::string>({"Pianos"}));
}

TEST_F(GuiTextEdit, EscapeRevertsWithoutNotifyingAndAClickElsewhereCommits) {
    startEditing();
    typeText(frame, "xyz");
    typeKey(frame, 0, VKEY_ESCAPE);
    EXPECT_EQ(edit->getText(), "Piano");
    EXPECT_TRUE(recorder.texts.empty());
    startEditing();
    typeText(frame, "!");
    zykgui::test::click(frame, {50, 150});
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(recorder.texts, std::vector<std::string>({"Piano!"}));
}

TEST_F(GuiTextEdit, ImmediateChangeNotifiesEachEditAndEscapeReportsTheRevert) {
    edit->setImmediateTextChange(true);
    startEditing();
    typeText(frame, "ab");
    typeKey(frame, 0, VKEY_BACK);
    EXPECT_EQ(recorder.texts, std::vector<std::string>({"Pianoa", "Pianoab", "Pianoa"}));
    typeKey(frame, 0, VKEY_ESCAPE);
    EXPECT_EQ(recorder.texts.back(), "Piano");
    EXPECT_EQ(recorder.texts.size(), 4u);
}

TEST_F(GuiTextEdit, RemovalEndsEditingWithoutNotifying) {
    startEditing();
    typeText(frame, "zz");
    edit->remember();
    frame->removeView(edit, true);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_FALSE(edit->isEditing());
    EXPECT_TRUE(recorder.texts.empty());
    edit->forget();
}

TEST_F(GuiTextEdit, InvalidUtf8TextIsRepairedBeforeDrawing) {
    edit->setText("A\xFF");
    EXPECT_EQ(edit->getText(), "A?");
}
