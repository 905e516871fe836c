// The Multi page (four columns over eight sections, the Single lists) and the settings page (the
// twelve menus over the engine's settings).
#include "editor/uiMulti.h"
#include "editor/uiMultiSection.h"
#include "tests/editor/PagesFixture.h"

#include "k1lib/engine/Engine.h"

using namespace VSTGUI;
using k1lib::Engine;

class MultiPageTest : public PagesTest {
protected:
    void SetUp() override {
        PagesTest::SetUp();
        plugin.setPlayMode(k1lib::PlayMode_Multi);
        editor->onPlayModeChanged();
        editor->setModeEdit(true);
    }
    std::string title(CMenuItem* item) const { return item->getTitle().getString(); }
    CKnobBase* levelKnob(int column) const { return nthOfClass<CKnobBase>("multiSectionLevel", column); }
    COptionMenu* singleMenu(int column) const {
        return nthOfClass<COptionMenu>("multiSectionSingle", column);
    }
    void clickArrow(const char* name) { click(view(name)); }
};

TEST_F(MultiPageTest, ArrowsSwitchBetweenSectionsOneToFourAndFiveToEight) {
    EXPECT_FALSE(view("arrowLeft")->isVisible());
    render("multi_page_1_4");
    clickArrow("arrowRight");
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(nthOfClass<CTextLabel>("multiSectionName", k)->getText(),
                  "SECTION " + std::to_string(5 + k));
    EXPECT_FALSE(view("arrowRight")->isVisible());
    render("multi_page_5_8");

    // Section 5's level moves the knob of column A; section 1's moves no visible knob.
    editor->onParamChanged(k1lib::Param_MultiS5Level, 0.25f);
    EXPECT_FLOAT_EQ(levelKnob(0)->getValueNormalized(), 0.25f);
    editor->onParamChanged(k1lib::Param_MultiS1Level, 0.75f);
    for (int k = 0; k < 4; ++k)
        EXPECT_NE(levelKnob(k)->getValueNormalized(), 0.75f);
    // Asking for the sections already shown rebinds nothing: a value set on the knob stays.
    levelKnob(0)->setValueNormalized(0.5f);
    editor->getMulti()->updateSectionOffset(4);
    EXPECT_FLOAT_EQ(levelKnob(0)->getValueNormalized(), 0.5f);

    clickArrow("arrowLeft");
    EXPECT_EQ(nthOfClass<CTextLabel>("multiSectionName", 0)->getText(), "SECTION 1");
    // The page object knows its editor and the page it drives.
    EXPECT_EQ(&editor->getMulti()->getEditor(), editor.get());
    EXPECT_EQ(editor->getMulti()->getContainer(), view<CViewContainer>("mode_edit_multi"));
    EXPECT_TRUE(view("arrowRight")->isVisible());
    EXPECT_FLOAT_EQ(levelKnob(0)->getValueNormalized(), plugin.getParameter(k1lib::Param_MultiS1Level));
}

TEST_F(MultiPageTest, TheSingleListHoldsTheSixtyFourSinglesOfTheMultisBank) {
    const uint64_t cardMulti = Engine::getStorageInfos(k1lib::PlayMode_Multi).at(1).offset;
    for (const uint64_t multiIndex : {uint64_t(0), cardMulti}) {
        ASSERT_TRUE(plugin.setCurrentPresetIndex(multiIndex));
        editor->onActiveMultiChanged(multiIndex);
        const uint64_t first = Engine::getSinglesOffsetForMulti(multiIndex);
        COptionMenu* menu = singleMenu(2);
        // Closed, the menu shows a title entry before the eight groups.
        ASSERT_EQ(menu->getNbEntries(), 9);
        for (int g = 0; g < 8; ++g) {
            COptionMenu* group = menu->getEntry(g + 1)->getSubmenu();
            ASSERT_EQ(group->getNbEntries(), 8);
            for (int i = 0; i < 8; ++i)
                EXPECT_EQ(group->getEntry(i)->getTag(), 8 * g + i);
            EXPECT_EQ(title(menu->getEntry(g + 1)), Engine::getSingleNumberAsName(first + 8 * g) + "-" +
                                                        Engine::getSingleNumberAsName(first + 8 * g + 7));
        }
    }
    EXPECT_TRUE(plugin.setCurrentPresetIndex(0));
    editor->onActiveMultiChanged(0);
    EXPECT_EQ(title(singleMenu(0)->getEntry(1)), "IA-1-IA-8");
    EXPECT_EQ(title(singleMenu(0)->getEntry(5)), "iA-1-iA-8");
    k1lib::SinglePreset single{};
    ASSERT_TRUE(plugin.getSingle(single, 9));
    EXPECT_EQ(title(singleMenu(0)->getEntry(2)->getSubmenu()->getEntry(1)),
              std::string("IB-2  ") + single.name);
}

TEST_F(MultiPageTest, SectionValuesOutsideTheMenusShowNothingAndBreakNothing) {
    editor->onParamChanged(k1lib::Param_MultiS1Single, 5.f / 63);
    k1lib::SinglePreset single{};
    EXPECT_TRUE(plugin.getSingle(single, 5));
    EXPECT_EQ(title(singleMenu(0)->getEntry(0)), std::string("IA-6  ") + single.name);
    // A Single beyond the 64, a channel beyond 16, a zone below 0: no entry, no table overrun.
    editor->onParamChanged(k1lib::Param_MultiS1Single, 3.f);
    EXPECT_EQ(title(singleMenu(0)->getEntry(0)), "");
    editor->onParamChanged(k1lib::Param_MultiS1Channel, 2.f);
    editor->onParamChanged(k1lib::Param_MultiS1ZoneLow, -1.f);

    uiMultiSection* column = editor->getMulti()->getSection(0);
    EXPECT_TRUE(column->onParamChanged(k1lib::Param_MultiS1Single, 0.f));
    EXPECT_FALSE(column->onParamChanged(k1lib::Param_MultiS1Channel, 0.f)) << "only the multilevel menus";
    EXPECT_FALSE(column->onParamChanged(k1lib::Param_MultiS2Single, 0.f)) << "another section";
}

TEST_F(MultiPageTest, ClosingWithAColumnMenuOpenLeavesNothingBehind) {
    click(singleMenu(1));
    ASSERT_TRUE(frame()->isMenuPopupOpen());
    editor->getMulti()->updateSectionOffset(4);
    editor.reset();
    EXPECT_EQ(zykgui::TimerHub::instance().size(), 0u);
}

class SettingsPageTest : public PagesTest {
protected:
    COptionMenu* menu(const std::string& name) const { return view<COptionMenu>(name); }
    std::string shown(const std::string& name) const {
        CMenuItem* current = menu(name)->getCurrent();
        return current ? current->getTitle().getString() : "(none)";
    }
    // A choice in the menu, as the popup makes it; the facade's echo is shown on the next idle.
    void choose(const std::string& name, int entry) {
        menu(name)->setCurrent(entry);
        menu(name)->valueChanged();
        editor->idle();
    }
    void store(const Engine::Config& config) {
        plugin.setConfig(config);
        editor->idle();
    }
};

TEST_F(SettingsPageTest, ChannelAndOmni) {
    Engine::Config config;
    config.omni = 1;
    config.midiReceiveChannel = 4;
    store(config);
    EXPECT_EQ(shown("midiReceiveChannel"), "Omni");
    editor->setModeSystem(true);
    render("system_page");

    choose("midiReceiveChannel", 2);
    EXPECT_EQ(plugin.getConfig().midiReceiveChannel, 2u);
    EXPECT_EQ(plugin.getConfig().omni, 0u);
    EXPECT_EQ(shown("midiReceiveChannel"), "3");
    choose("midiReceiveChannel", 16);
    EXPECT_EQ(plugin.getConfig().omni, 1u);
    EXPECT_EQ(plugin.getConfig().midiReceiveChannel, 2u) << "Omni keeps the last channel";

    // A stored channel without an entry selects none and breaks nothing.
    config.omni = 0;
    config.midiReceiveChannel = 20;
    store(config);
    EXPECT_EQ(shown("midiReceiveChannel"), "Omni");
}

TEST_F(SettingsPageTest, EachMenuChangesOnlyItsOwnSetting) {
    Engine::Config expected;
    expected.midiReceiveSysEx = 0;
    store(expected);
    EXPECT_EQ(shown("midiReceiveSysEx"), "Off");
    choose("midiReceiveSysEx", 1);
    choose("midiReceiveProgramChange", 2);
    choose("audioOutputMode", 1);
    choose("midiReceivePan", 0);
    choose("midiReceivePan", 0); // the entry already selected
    expected.midiReceiveSysEx = 1;
    expected.midiReceiveProgramChange = 2;
    expected.audioOutputMode = 1;
    expected.midiReceivePan = 0;
    EXPECT_EQ(plugin.getConfig(), expected);
    EXPECT_EQ(shown("midiReceiveProgramChange"), "Sect");
    EXPECT_EQ(shown("audioOutputMode"), "8 Channels");
}

TEST(SettingsPagePluginType, TheAudioMenuShowsOnlyForPluginsWithOutputs) {
    LogCapture log;
    for (const uint32_t type : {1u, 2u}) {
        PluginListener quiet;
        k1lib::Plugin plugin(&quiet, static_cast<k1lib::PluginType>(type));
        RecordingListener listener{plugin};
        K1Editor editor(plugin, nullptr, nullptr, &listener, K1Editor::getDefaultRect());
        EXPECT_EQ(editor.getViewsByName().at("audio").at(0)->isVisible(), type != 1) << "type " << type;
    }
}
