// The building blocks: the context-menu popup, the multilevel menu's title, view lookup by name,
// binding tables and the document reader.
#include "ControlHelpers.h"
#include "LogCapture.h"
#include "ParameterControls.h"
#include "XmlContentProvider.h"
#include "uiMultilevelOptionMenu.h"
#include "uiPopup.h"
#include "vstgui/vstgui.h"

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

TEST(ControlHelpers, MenuEntriesCarryPlainValuesAndAreFoundByTag) {
    auto menu = owned(new COptionMenu());
    ControlHelpers::addTitle(menu, "Group");
    ControlHelpers::addRangeAsSubmenu(menu, k1lib::Param_SourceS1Wave, "One", 5, 5);
    ControlHelpers::addRangeAsSubmenu(menu, k1lib::Param_SourceS1Wave, "Empty", 3, 2);
    ASSERT_EQ(menu->getNbEntries(), 3);
    EXPECT_TRUE(menu->getEntry(0)->isTitle());
    COptionMenu* one = menu->getEntry(1)->getSubmenu();
    ASSERT_EQ(one->getNbEntries(), 1);
    EXPECT_EQ(one->getEntry(0)->getTag(), 4);
    EXPECT_EQ(menu->getEntry(2)->getSubmenu()->getNbEntries(), 0);
    EXPECT_EQ(ControlHelpers::getItemTextByTag(menu, 4),
              k1lib::g_params[k1lib::Param_SourceS1Wave].formatValue(k1lib::Param_SourceS1Wave, 4));
    EXPECT_EQ(ControlHelpers::getItemTextByTag(menu, 7), "");

    auto plain = owned(new COptionMenu());
    ControlHelpers::addParameterRangeAsMenuEntries(plain, k1lib::Param_Volume);
    EXPECT_EQ(plain->getNbEntries(), 100);
    EXPECT_EQ(plain->getEntry(0)->getTag(), -1) << "position, not tag, selects";
}

TEST(ParameterControls, ABoundViewReplacesTheEntryAndUnbindingRemovesOnlyItself) {
    ParameterControls tables;
    auto first = owned(new CTextLabel(CRect(0, 0, 10, 10)));
    auto second = owned(new CTextLabel(CRect(0, 0, 10, 10)));
    auto menu = owned(new COptionMenu(CRect(0, 0, 10, 10), nullptr, 0));
    tables.assignViewToParam(k1lib::Param_Volume, first);
    tables.assignViewToParam(k1lib::Param_Volume, second);
    tables.assignViewToParam(k1lib::Param_LfoShape, menu);
    uiMultilevelOptionMenu multilevel(menu);
    tables.assignMultilevelOptionMenuToParam(k1lib::Param_LfoShape, &multilevel);
    EXPECT_EQ(tables.labels[k1lib::Param_Volume], second.get());
    tables.unassignViewFromParam(first);
    EXPECT_EQ(tables.labels[k1lib::Param_Volume], second.get());
    tables.unassignViewFromParam(menu);
    EXPECT_EQ(tables.optionMenus[k1lib::Param_LfoShape], nullptr);
    EXPECT_EQ(tables.multilevelOptionMenus[k1lib::Param_LfoShape], nullptr);
    tables.assignViewToParam(k1lib::kParamCount, first); // out of range: ignored
}

TEST(XmlContentProvider, DeliversTheEmbeddedDocumentOnceUntilRewound) {
    XmlContentProvider provider;
    const unsigned long size = k1editor::getDataSize_uiXml();
    std::vector<int8_t> buffer(size + 100);
    EXPECT_EQ(provider.readRawXmlData(buffer.data(), 3), 3u);
    EXPECT_EQ(std::memcmp(buffer.data(), "\xEF\xBB\xBF", 3), 0) << "the byte-order mark first";
    EXPECT_EQ(provider.readRawXmlData(buffer.data(), uint32_t(buffer.size())), size - 3);
    EXPECT_EQ(provider.readRawXmlData(buffer.data(), uint32_t(buffer.size())), 0u);
    provider.rewind();
    EXPECT_EQ(provider.readRawXmlData(buffer.data(), 3), 3u);
    EXPECT_EQ(std::memcmp(buffer.data(), "\xEF\xBB\xBF", 3), 0);
}
