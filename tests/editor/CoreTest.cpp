// The editor core: the panel built and bound, the event queue, a damaged description, destruction.
#include "EditorFixture.h"

#include "uiMultilevelOptionMenu.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>

using namespace VSTGUI;
using namespace k1lib;

namespace {
// Stands in for a parameter's value label and records every text the editor shows on it.
class RecordingLabel : public CTextLabel {
public:
    RecordingLabel() : CTextLabel(CRect(0, 0, 10, 10)) {}
    void setText(const UTF8String& text) override {
        CTextLabel::setText(text);
        texts.push_back(text.getString());
        if (onSet) onSet();
    }
    std::vector<std::string> texts;
    std::function<void()> onSet;
};

std::string textOf(EParam p, float normalisedValue) {
    return g_params[p].formatValue(p, normalisedValue * g_params[p].range + g_params[p].min);
}

PluginToEditorEvent parameterEvent(EParam p, float value) {
    PluginToEditorEvent e;
    e.type = PluginToEditorEvent::ParameterChanged;
    e.param = p;
    e.value = value;
    return e;
}

// Well-formed XML that is no panel description.
class BadBytes : public Xml::IContentProvider {
public:
    uint32_t readRawXmlData(int8_t* buffer, uint32_t size) override {
        static const char bytes[] = "<vstgui-ui-description version=\"1\"><bitmaps><bitmap name=\"x\"";
        const uint32_t n = std::min<uint32_t>(size, sizeof bytes - 1 - position);
        std::memcpy(buffer, bytes + position, n);
        position += n;
        return n;
    }
    void rewind() override { position = 0; }
    uint32_t position = 0;
};
} // namespace

TEST_F(EditorTest, OpensOnThePlayPageWithEveryNamedViewFound) {
    ASSERT_NE(frame(), nullptr);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines().front(), "K1Editor@87: Opening GUI");
    for (const std::string& line : log.lines())
        EXPECT_EQ(line.find("initView"), std::string::npos) << line;

    EXPECT_TRUE(view("mode_play")->isVisible());
    for (const char* page : {"mode_edit", "mode_edit_multi", "mode_edit_system"})
        EXPECT_FALSE(view(page)->isVisible()) << page;
    EXPECT_EQ(editor->getActiveSource(), 0u);
    EXPECT_EQ(view("btModeSingle")->getBackground(), editor->getBitmapSmallOn());
    EXPECT_EQ(view("btModeMulti")->getBackground(), editor->getBitmapSmallOff());
    for (const char* mute :
         {"Param_SourceS1Mute", "Param_SourceS2Mute", "Param_SourceS3Mute", "Param_SourceS4Mute"})
        EXPECT_EQ(view(mute)->getBackground(), editor->getBitmapSmallOff()) << mute;

    CRect r;
    ASSERT_TRUE(editor->getRect(r));
    EXPECT_EQ(r, CRect(0, 0, 1024, 576));
    EXPECT_DOUBLE_EQ(editor->getZoom(), 0.4);
    EXPECT_EQ(listener.sizeChanges, 0);
}

TEST_F(EditorTest, BindsTheParametersByNameIntoTheFiveTables) {
    // Knob and value label share the name; the knob takes the table's default and one step per notch.
    ASSERT_EQ(editor->controls[Param_Volume], view<CControl>("Param_Volume", 0));
    ASSERT_EQ(editor->labels[Param_Volume], view<CTextLabel>("Param_Volume", 1));
    EXPECT_FLOAT_EQ(editor->controls[Param_Volume]->getDefaultValue(), 1.f);
    EXPECT_FLOAT_EQ(editor->controls[Param_Volume]->getWheelInc(), 1.f / 99.f);
    EXPECT_EQ(editor->labels[Param_Volume]->getText().getString(),
              textOf(Param_Volume, plugin.getParameter(Param_Volume)));

    // A plain menu: one entry per value, showing the facade's value.
    COptionMenu* shape = editor->optionMenus[Param_LfoShape];
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->getNbEntries(), int(g_params[Param_LfoShape].max - g_params[Param_LfoShape].min) + 1);
    EXPECT_EQ(shape->getCurrent()->getTitle().getString(),
              textOf(Param_LfoShape, plugin.getParameter(Param_LfoShape)));

    // The coarse name stands on a menu, a knob and a label; the menu is wrapped as a multilevel menu.
    COptionMenu* coarseMenu = editor->optionMenus[Param_SourceS1Coarse];
    ASSERT_NE(editor->multilevelOptionMenus[Param_SourceS1Coarse], nullptr);
    EXPECT_EQ(editor->multilevelOptionMenus[Param_SourceS1Coarse]->getMenu(), coarseMenu);
    EXPECT_EQ(coarseMenu, view<COptionMenu>("Param_SourceS1Coarse", 0));
    EXPECT_NE(dynamic_cast<CKnobBase*>(editor->controls[Param_SourceS1Coarse]), nullptr);
    EXPECT_NE(editor->labels[Param_SourceS1Coarse], nullptr);
    EXPECT_EQ(editor->multilevelOptionMenus[Param_SourceS1Wave]->getTitle(),
              textOf(Param_SourceS1Wave, plugin.getParameter(Param_SourceS1Wave)));

    // Kick buttons: all four mutes, the other source views only in source 1's slots.
    for (int s = 0; s < 4; ++s)
        EXPECT_NE(editor->kickButtons[Param_SourceS1Mute + s], nullptr) << s;
    EXPECT_NE(editor->kickButtons[Param_SourceS1KeyTrack], nullptr);
    for (int s = 1; s < 4; ++s) {
        EXPECT_EQ(editor->kickButtons[Param_SourceS1KeyTrack + s], nullptr) << s;
        EXPECT_EQ(editor->controls[Param_SourceS1Fine + s], nullptr) << s;
    }
    // The Multi sections' views are the Multi page's, not bound by name here.
    EXPECT_EQ(editor->optionMenus[Param_MultiS1Single], nullptr);
}

TEST_F(EditorTest, BurstFromAnotherThreadIsAppliedCompletelyInOrderOnOneIdle) {
    auto label = owned(new RecordingLabel);
    editor->labels[Param_LfoSpeed] = label;
    std::vector<std::string> expected;
    for (int i = 0; i < 200; ++i)
        expected.push_back(textOf(Param_LfoSpeed, float((i * 37) % 101) / 100.f));

    std::thread audio([&] {
        for (int i = 0; i < 200; ++i)
            editor->onEvent(parameterEvent(Param_LfoSpeed, float((i * 37) % 101) / 100.f));
    });
    audio.join();
    EXPECT_TRUE(label->texts.empty()) << "nothing is shown before idle";
    editor->idle();
    EXPECT_EQ(label->texts, expected);

    // An event queued while idle applies events waits for the next idle.
    label->texts.clear();
    label->onSet = [&] {
        label->onSet = nullptr;
        editor->onEvent(parameterEvent(Param_LfoSpeed, 1.f));
    };
    editor->onEvent(parameterEvent(Param_LfoSpeed, 0.f));
    editor->idle();
    EXPECT_EQ(label->texts, std::vector<std::string>{textOf(Param_LfoSpeed, 0.f)});
    editor->idle();
    EXPECT_EQ(label->texts.back(), textOf(Param_LfoSpeed, 1.f));

    // Unknown event types are dropped.
    label->texts.clear();
    PluginToEditorEvent unknown = parameterEvent(Param_LfoSpeed, 0.5f);
    unknown.type = 11;
    editor->onEvent(unknown);
    editor->idle();
    EXPECT_TRUE(label->texts.empty());
    editor->labels[Param_LfoSpeed] = view<CTextLabel>("Param_LfoSpeed", 1);
}

TEST_F(EditorTest, ConcurrentFacadeEventsFromAnAudioThreadWhileIdleRuns) {
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (int i = 0; i < 2000; ++i)
            plugin.setParameter(Param_Volume, float(i % 100) / 99.f);
        done = true;
    });
    while (!done)
        editor->idle();
    audio.join();
    editor->idle();
    EXPECT_EQ(editor->labels[Param_Volume]->getText().getString(), textOf(Param_Volume, 99.f / 99.f));
    EXPECT_FLOAT_EQ(editor->controls[Param_Volume]->getValueNormalized(), 1.f);
}

TEST_F(EditorTest, DamagedDescriptionLeavesAnInertEditorWithoutFrame) {
    BadBytes bad;
    log.clear();
    open(K1Editor::getDefaultRect(), &bad);
    const auto lines = log.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "K1Editor@87: Opening GUI");
    EXPECT_EQ(lines.back(), "K1Editor@114: Failed to parse UI description");
    EXPECT_EQ(frame(), nullptr);
    CRect r;
    EXPECT_FALSE(editor->getRect(r));

    // Everything that would touch views is a no-op; events are taken and dropped.
    for (uint32_t type = 0; type <= 11; ++type) {
        PluginToEditorEvent e = parameterEvent(Param_Volume, 0.5f);
        e.type = type;
        editor->onEvent(e);
    }
    plugin.setPlayMode(PlayMode_Multi);
    editor->idle();
    EXPECT_FALSE(editor->setSize(CRect(0, 0, 1920, 1080)));
    editor->changeZoom(0.5);
    EXPECT_EQ(editor->onKeyDown(VstKeyCode{'1', 0, 0}, nullptr), -1);
    EXPECT_EQ(listener.sizeChanges, 0);
    EXPECT_TRUE(listener.changes.empty());
    close();
}

TEST_F(EditorTest, DestructionInTheMiddleOfANameEditCommitsNothing) {
    const std::string before = plugin.getCurrentSingle().name;
    auto* field = view<CTextEdit>("editSingleName");
    frame()->setFocusView(field);
    ASSERT_TRUE(field->isEditing());
    zykgui::test::typeText(frame(), "XYZ");
    close();
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_EQ(std::string(plugin.getCurrentSingle().name), before);
}

TEST_F(EditorTest, RendersTheConstructedPanel) {
    const std::string path = renderPath("editor_open.png");
    ASSERT_TRUE(zykgui::test::renderToPNG(frame(), path));
    auto image = zykgui::test::renderFrame(frame());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getWidth(), 1024);
    EXPECT_EQ(image->getHeight(), 576);
}
