// The building blocks: the context-menu popup, the multilevel menu's title, view lookup by name.
#include "editor/ControlHelpers.h"
#include "editor/uiMultilevelOptionMenu.h"
#include "editor/uiPopup.h"
#include "gui/vstgui/vstgui.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace VSTGUI;

namespace {
class MenuFrame : public ::testing::Test {
protected:
    MenuFrame() {
        anchor = new CView(CRect(10, 10, 110, 30));
        frame->addView(anchor);
    }
    void press(unsigned char virt) {
        VstKeyCode key{0, virt, 0};
        frame->platformOnKeyDown(key);
    }

    SharedPointer<CFrame> frame = owned(new CFrame(CRect(0, 0, 400, 300), nullptr));
    CView* anchor = nullptr;
};

void setName(CView* view, const char* name) {
    view->setAttribute(kCViewCustomViewNameAttribute, uint32_t(std::strlen(name) + 1), name);
}
} // namespace

TEST_F(MenuFrame, PopupCallsBackWithTheChosenTagAndRemovesItsMenu) {
    std::vector<int> chosen;
    {
        uiPopup popup(anchor);
        popup.addEntry("Copy", 0);
        popup.addEntry("Paste", 1, false);
        popup.addSeparator();
        EXPECT_EQ(frame->getNbViews(), 2u);
        popup.popup([&](int tag) { chosen.push_back(tag); });
        press(VKEY_DOWN);
        press(VKEY_RETURN);
        EXPECT_EQ(popup.getMenu(), nullptr);
        EXPECT_EQ(frame->getNbViews(), 1u);
        popup.popup([&](int tag) { chosen.push_back(tag); }); // gone: nothing opens
        EXPECT_FALSE(frame->isMenuPopupOpen());
    }
    EXPECT_EQ(chosen, std::vector<int>{0});

    // Closed without a choice, or destroyed while open: no call back, the menu is gone.
    for (bool destroyWhileOpen : {false, true}) {
        auto popup = std::make_unique<uiPopup>(anchor);
        popup->addEntry("Copy", 0);
        popup->popup([&](int tag) { chosen.push_back(tag); });
        if (destroyWhileOpen)
            popup.reset();
        else
            press(VKEY_ESCAPE);
        EXPECT_FALSE(frame->isMenuPopupOpen());
        EXPECT_EQ(frame->getNbViews(), 1u);
    }
    EXPECT_EQ(chosen.size(), 1u);
}

TEST_F(MenuFrame, MultilevelMenuKeepsOneTitleEntryOnlyWhileClosed) {
    auto* menu = new COptionMenu(CRect(10, 40, 110, 60), nullptr, 0);
    frame->addView(menu);
    auto sub = owned(new COptionMenu());
    sub->addEntry(new CMenuItem("one", 1));
    menu->addEntry(sub, "Group");
    uiMultilevelOptionMenu multilevel(menu);

    multilevel.setTitle("first");
    multilevel.setTitle("second");
    ASSERT_EQ(menu->getNbEntries(), 2);
    EXPECT_EQ(menu->getCurrent()->getTitle().getString(), "second");

    menu->popup();
    EXPECT_EQ(menu->getNbEntries(), 1) << "no title entry while open";
    press(VKEY_ESCAPE);
    ASSERT_EQ(menu->getNbEntries(), 2);
    EXPECT_EQ(menu->getCurrent()->getTitle().getString(), "second");
}

TEST(ControlHelpers, FindsViewsByNameAndClassAndLogsWhatIsMissing) {
    LogCapture log;
    auto root = owned(new CViewContainer(CRect(0, 0, 100, 100)));
    auto* unnamed = new CViewContainer(CRect(0, 0, 50, 50));
    auto* label = new CTextLabel(CRect(0, 0, 10, 10));
    auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), nullptr, 0, 0, 10, nullptr);
    setName(label, "Param_Volume");
    setName(knob, "Param_Volume");
    unnamed->addView(label);
    root->addView(unnamed);
    root->addView(knob);

    ViewsByName map;
    ControlHelpers::getViewsByCustomViewName(map, root);
    ASSERT_EQ(map.size(), 1u) << "named children of an unnamed container are found";
    EXPECT_EQ(map["Param_Volume"], (std::vector<CView*>{label, knob}));
    EXPECT_EQ(ControlHelpers::initView<CView>(map, "Param_Volume"), label);
    EXPECT_EQ(ControlHelpers::initView<CKnobBase>(map, "Param_Volume"), knob);
    EXPECT_TRUE(log.lines().empty());

    EXPECT_EQ(ControlHelpers::initView<CTextEdit>(map, "Param_Volume"), nullptr);
    EXPECT_EQ(ControlHelpers::initView<CView>(map, "nothing"), nullptr);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"initView@49: View named Param_Volume not found as required type",
                                        "initView@37: Failed to find view named nothing"}));
}
