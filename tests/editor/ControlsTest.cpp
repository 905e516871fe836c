// Editing on the panel: knobs, menus, kick and step buttons, name fields and the source views.
#include "tests/editor/EditorFixture.h"

#include "editor/uiMultilevelOptionMenu.h"

#include <cmath>
#include <set>

using namespace VSTGUI;
using namespace k1lib;

namespace {
struct MenuShape {
    int titles = 0;
    int submenus = 0;
    int plain = 0;
    std::multiset<int> tags;
};
MenuShape shapeOf(COptionMenu* menu) {
    MenuShape shape;
    for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
        CMenuItem* item = menu->getEntry(i);
        COptionMenu* sub = item->getSubmenu();
        shape.titles += item->isTitle();
        shape.submenus += sub != nullptr;
        shape.plain += !item->isTitle() && !sub;
        for (int32_t j = 0; sub && j < sub->getNbEntries(); ++j)
            shape.tags.insert(sub->getEntry(j)->getTag());
    }
    return shape;
}

void press(CFrame* frame, unsigned char virt) {
    VstKeyCode key{0, virt, 0};
    frame->platformOnKeyDown(key);
}
} // namespace

TEST_F(EditorTest, WaveAndCoarseMenusHoldEveryValueOnceInTheirGroups) {
    const MenuShape wave = shapeOf(editor->optionMenus[Param_SourceS1Wave]);
    EXPECT_EQ(wave.titles, 6);
    EXPECT_EQ(wave.submenus, 28);
    EXPECT_EQ(wave.plain, 1) << "the closed menu's title entry";
    ASSERT_EQ(wave.tags.size(), 256u);
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(wave.tags.count(v), 1u) << v;

    COptionMenu* coarse = editor->optionMenus[Param_SourceS1Coarse];
    EXPECT_EQ(shapeOf(coarse).submenus, 11);
    EXPECT_EQ(shapeOf(coarse).tags.size(), 128u);
    const CMenuItem* last = coarse->getEntry(coarse->getNbEntries() - 1);
    EXPECT_EQ(last->getSubmenu()->getNbEntries(), 8);
    const CParam& p = g_params[Param_SourceS1Coarse];
    EXPECT_EQ(last->getTitle().getString(),
              p.formatValue(Param_SourceS1Coarse, 120) + "-" + p.formatValue(Param_SourceS1Coarse, 127));
}

TEST_F(EditorTest, ChoiceInTheWaveMenuSendsTheEntrysTagAndTheClosedMenuShowsItsTitle) {
    editor->setActiveSource(0);
    COptionMenu* menu = editor->optionMenus[Param_SourceS1Wave];
    click(menu);
    ASSERT_TRUE(frame()->isMenuPopupOpen());
    EXPECT_EQ(shapeOf(menu).plain, 0) << "no title entry while open";
    // Down to "Sine", open it (its first wave highlighted), the second wave, choose.
    for (unsigned char k : {VKEY_DOWN, VKEY_RIGHT, VKEY_DOWN, VKEY_RETURN})
        press(frame(), k);
    ASSERT_FALSE(frame()->isMenuPopupOpen());
    ASSERT_FALSE(listener.changes.empty());
    EXPECT_EQ(listener.changes.back().first, Param_SourceS1Wave);
    EXPECT_FLOAT_EQ(listener.changes.back().second, normalised(Param_SourceS1Wave, 1));
    editor->idle();
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    EXPECT_EQ(menu->getCurrent()->getTitle().getString(),
              g_params[Param_SourceS1Wave].formatValue(Param_SourceS1Wave, 1));
}

TEST_F(EditorTest, AmplitudeModulationSwapsThePairWhenExactlyOneSideIsTwo) {
    setFromHost(Param_SourceS1Wave, 10);
    setFromHost(Param_SourceS2Wave, 20);
    COptionMenu* menu = editor->optionMenus[Param_AmpModS1S2];
    auto choose = [&](float index) {
        menu->setValue(index);
        menu->valueChanged();
        settle();
        return std::lround(plugin.getParameter(Param_SourceS1Wave) * 255);
    };
    EXPECT_EQ(choose(2), 20) << "0 -> 2 swaps";
    EXPECT_EQ(listener.changes.back().first, Param_AmpModS1S2);
    EXPECT_EQ(choose(1), 10) << "2 -> 1 swaps back";
    EXPECT_EQ(choose(0), 10) << "1 -> 0 does not swap";
    EXPECT_EQ(choose(1), 10) << "0 -> 1 does not swap";
}

TEST_F(EditorTest, KeyTrackingSwapsTheCoarseMenuAndStepButtonsAgainstTheKnob) {
    const std::vector<CView*> noteViews{editor->optionMenus[Param_SourceS1Coarse], view("btCoarseDec"),
                                        view("btCoarseInc"), view("btCoarseDecText"),
                                        view("btCoarseIncText")};
    const std::vector<CView*> knobViews{editor->controls[Param_SourceS1Coarse],
                                        editor->labels[Param_SourceS1Coarse]};
    for (bool keyTrack : {false, true}) {
        setFromHost(Param_SourceS1KeyTrack, keyTrack);
        for (CView* v : noteViews)
            EXPECT_EQ(v->isVisible(), !keyTrack);
        for (CView* v : knobViews)
            EXPECT_EQ(v->isVisible(), keyTrack);
        EXPECT_EQ(editor->kickButtons[Param_SourceS1KeyTrack]->getBackground(),
                  keyTrack ? editor->getBitmapLargeOn() : editor->getBitmapLargeOff());
    }
}

TEST_F(EditorTest, StepButtonsWrapAround) {
    editor->setActiveSource(1);
    setFromHost(Param_SourceS2KeyTrack, 0);
    struct Case {
        const char* button;
        EParam param;
        float from, to;
    } cases[] = {
        {"btWaveInc", Param_SourceS2Wave, 255, 0},     {"btWaveDec", Param_SourceS2Wave, 0, 255},
        {"btWaveInc", Param_SourceS2Wave, 100, 101},   {"btCoarseInc", Param_SourceS2Coarse, 127, 0},
        {"btCoarseDec", Param_SourceS2Coarse, 0, 127}, {"btCoarseDec", Param_SourceS2Coarse, 84, 83}};
    for (const Case& c : cases) {
        setFromHost(c.param, c.from);
        listener.changes.clear();
        click(view(c.button));
        ASSERT_EQ(listener.changes.size(), 1u) << c.button;
        EXPECT_EQ(listener.changes[0].first, c.param) << c.button;
        EXPECT_FLOAT_EQ(listener.changes[0].second, normalised(c.param, c.to)) << c.button << " " << c.from;
    }
}

TEST_F(EditorTest, NameFieldSendsTenCleanCharactersAndRenamesTheSingle) {
    auto* field = view<CTextEdit>("editSingleName");
    auto typeName = [&](const std::vector<int32_t>& characters) {
        listener.changes.clear();
        field->setText("");
        frame()->setFocusView(field);
        for (int32_t c : characters)
            zykgui::test::typeKey(frame(), c);
        zykgui::test::typeKey(frame(), 0, VKEY_RETURN);
        editor->idle();
    };
    typeName({'A', 'B', 'C'});
    ASSERT_EQ(listener.changes.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(listener.changes[i].first, Param_Name01 + i);
        EXPECT_FLOAT_EQ(listener.changes[i].second, i < 3 ? normalised(Param_Name01, float('A' + i)) : 0.f)
            << i;
    }
    EXPECT_EQ(field->getText().getString(), "ABC");

    // A letter the K1 cannot store becomes one blank everywhere; ten characters are kept.
    typeName({'Z', 0xE9, 'x', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
    ASSERT_EQ(listener.changes.size(), 10u);
    EXPECT_FLOAT_EQ(listener.changes[1].second, 0.f);
    EXPECT_EQ(std::string(plugin.getCurrentSingle().name), "Z x1234567");
    EXPECT_EQ(field->getText().getString(), "Z x1234567");
}

TEST_F(EditorTest, ActiveSourceMovesTheSourceViewsAndShowsThatSourcesValues) {
    setFromHost(Param_SourceS3Coarse, 96);
    setFromHost(Param_SourceS3Wave, 7);
    CControl* knob = editor->controls[Param_SourceS1Coarse];
    CKickButton* mute1 = editor->kickButtons[Param_SourceS1Mute];
    EXPECT_TRUE(zykgui::test::typeKey(frame(), '3'));
    EXPECT_EQ(editor->controls[Param_SourceS3Coarse], knob);
    EXPECT_EQ(editor->controls[Param_SourceS1Coarse], nullptr);
    EXPECT_EQ(editor->kickButtons[Param_SourceS1Mute], mute1) << "the mutes keep their parameters";
    EXPECT_FLOAT_EQ(knob->getValue(), 96.f);
    EXPECT_EQ(editor->labels[Param_SourceS3Coarse]->getText().getString(), "+12");
    EXPECT_EQ(editor->multilevelOptionMenus[Param_SourceS3Wave]->getTitle(),
              g_params[Param_SourceS3Wave].formatValue(Param_SourceS3Wave, 7));
    EXPECT_EQ(view("btEditSourceC")->getBackground(), editor->getBitmapSmallOn());
    EXPECT_EQ(view("btEditSourceA")->getBackground(), editor->getBitmapSmallOff());
    // A value outside the knob's 60..108 stays inside its frames; the label tells the real offset.
    setFromHost(Param_SourceS3Coarse, 0);
    EXPECT_FLOAT_EQ(knob->getValue(), knob->getMin());
    EXPECT_EQ(editor->labels[Param_SourceS3Coarse]->getText().getString(), "-84");
}

TEST_F(EditorTest, KickButtonsToggleOnceAndShowTheirImages) {
    editor->setActiveSource(0);
    CKickButton* mute2 = editor->kickButtons[Param_SourceS2Mute];
    listener.changes.clear();
    click(mute2);
    editor->idle();
    ASSERT_EQ(listener.changes.size(), 1u) << "one value per click";
    EXPECT_EQ(listener.changes[0], std::make_pair(Param_SourceS2Mute, 1.f));
    EXPECT_EQ(mute2->getBackground(), editor->getBitmapSmallRed());
    EXPECT_EQ(editor->kickButtons[Param_SourceS1Mute]->getBackground(), editor->getBitmapSmallOff());
    click(mute2);
    editor->idle();
    EXPECT_EQ(listener.changes.back(), std::make_pair(Param_SourceS2Mute, 0.f));
    EXPECT_EQ(mute2->getBackground(), editor->getBitmapSmallOff());
    setFromHost(Param_SourceS1VibABend, 1);
    EXPECT_EQ(editor->kickButtons[Param_SourceS1VibABend]->getBackground(), editor->getBitmapLargeOn());
    EXPECT_NE(editor->getBitmapLargeOn(), editor->getBitmapLargeOff());
}

TEST_F(EditorTest, KnobsSendNormalisedValuesAndCtrlClickSendsTheDefault) {
    editor->setEditModeCommon();
    CControl* volume = editor->controls[Param_Volume];
    setFromHost(Param_Volume, 50);
    listener.changes.clear();
    pluginListener.sysexSent = 0;
    const CPoint from = centre(volume);
    zykgui::test::drag(frame(), from, {from.x, from.y - 400}, 8);
    ASSERT_FALSE(listener.changes.empty());
    EXPECT_EQ(pluginListener.sysexSent, int(listener.changes.size())) << "each change also goes to the K1";
    for (size_t i = 0; i < listener.changes.size(); ++i) {
        EXPECT_EQ(listener.changes[i].first, Param_Volume);
        EXPECT_GE(listener.changes[i].second, i ? listener.changes[i - 1].second : 0.f);
    }
    EXPECT_FLOAT_EQ(listener.changes.back().second, 1.f) << "held at the end of the range";
    setFromHost(Param_Volume, 50);
    click(volume, kLButton | kControl);
    EXPECT_EQ(listener.changes.back(), std::make_pair(Param_Volume, 1.f));

    // The coarse knob's default is no transposition (84), in its own plain units.
    editor->setActiveSource(0);
    setFromHost(Param_SourceS1KeyTrack, 1);
    setFromHost(Param_SourceS1Coarse, 100);
    click(editor->controls[Param_SourceS1Coarse], kLButton | kControl);
    EXPECT_EQ(listener.changes.back().first, Param_SourceS1Coarse);
    EXPECT_FLOAT_EQ(listener.changes.back().second, normalised(Param_SourceS1Coarse, 84));
}
