// The editor core: the panel built and bound, the event queue, a damaged description, destruction.
#include "tests/editor/EditorFixture.h"

#include "editor/uiMultilevelOptionMenu.h"
#include "tests/support/AllocationCounter.h"

#include <atomic>
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
    void setText(const UTF8String& newText) override {
        CTextLabel::setText(newText);
        texts.push_back(newText.getString());
        if (onSet) onSet();
    }
    std::vector<std::string> texts;
    std::function<void()> onSet;
};

std::string textOf(EParam p, float value) {
    return g_params[p].formatValue(p, value * g_params[p].range + g_params[p].min);
}

PluginToEditorEvent parameterEvent(EParam p, float value,
                                   uint32_t type = PluginToEditorEvent::ParameterChanged) {
    PluginToEditorEvent e;
    e.type = type;
    e.param = p;
    e.value = value;
    return e;
}

// Well-formed XML that ends before it is a panel description.
class BadBytes : public xml::IContentProvider {
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
    EXPECT_EQ(log.lines().at(0), "K1Editor@87: Opening GUI");
    for (const std::string& line : log.lines())
        EXPECT_EQ(line.find("initView"), std::string::npos) << line;
    EXPECT_TRUE(view("mode_play")->isVisible());
    for (const char* page : {"mode_edit", "mode_edit_multi", "mode_edit_system"})
        EXPECT_FALSE(view(page)->isVisible()) << page;
    EXPECT_EQ(view("btModeSingle")->getBackground(), editor->getBitmapSmallOn());
    EXPECT_EQ(view("Param_SourceS4Mute")->getBackground(), editor->getBitmapSmallOff());
    CRect r;
    ASSERT_TRUE(editor->getRect(r));
    EXPECT_EQ(r, CRect(0, 0, 1024, 576));
    EXPECT_DOUBLE_EQ(editor->getZoom(), 0.4);
    EXPECT_EQ(listener.sizeChanges, 0);
    EXPECT_TRUE(zykgui::test::renderToPNG(frame(), renderPath("editor_open.png")));
}

TEST_F(EditorTest, BindsTheParametersByNameIntoTheFiveTables) {
    // Knob and value label share the name; the knob takes the table's default and one step per notch.
    ASSERT_EQ(editor->controls[Param_Volume], view<CControl>("Param_Volume", 0));
    ASSERT_EQ(editor->labels[Param_Volume], view<CTextLabel>("Param_Volume", 1));
    EXPECT_FLOAT_EQ(editor->controls[Param_Volume]->getDefaultValue(), 1.f);
    EXPECT_FLOAT_EQ(editor->controls[Param_Volume]->getWheelInc(), 1.f / 99.f);
    EXPECT_EQ(editor->labels[Param_Volume]->getText().getString(),
              textOf(Param_Volume, plugin.getParameter(Param_Volume)));
    // A plain menu shows the facade's value; the coarse and wave menus are wrapped as multilevel menus.
    EXPECT_EQ(editor->optionMenus[Param_LfoShape]->getCurrent()->getTitle().getString(),
              textOf(Param_LfoShape, plugin.getParameter(Param_LfoShape)));
    EXPECT_EQ(editor->multilevelOptionMenus[Param_SourceS1Coarse]->getMenu(),
              view<COptionMenu>("Param_SourceS1Coarse", 0));
    EXPECT_EQ(editor->multilevelOptionMenus[Param_SourceS1Wave]->getTitle(),
              textOf(Param_SourceS1Wave, plugin.getParameter(Param_SourceS1Wave)));
    EXPECT_NE(dynamic_cast<CKnobBase*>(editor->controls[Param_SourceS1Coarse]), nullptr);
    // Kick buttons: all four mutes; the other source views stand only in source 1's slots.
    for (int s = 1; s < 4; ++s) {
        EXPECT_NE(editor->kickButtons[Param_SourceS1Mute + s], nullptr) << s;
        EXPECT_EQ(editor->kickButtons[Param_SourceS1KeyTrack + s], nullptr) << s;
        EXPECT_EQ(editor->controls[Param_SourceS1Fine + s], nullptr) << s;
    }
    EXPECT_EQ(editor->optionMenus[Param_MultiS1Single], view<COptionMenu>("multiSectionSingle", 0))
        << "the Multi page binds its own";
}

TEST_F(EditorTest, BurstFromAnotherThreadIsAppliedCompletelyInOrderOnOneIdle) {
    auto label = owned(new RecordingLabel);
    editor->labels[Param_LfoSpeed] = label;
    auto value = [](int i) { return float((i * 37) % 101) / 100.f; };
    std::vector<std::string> expected;
    for (int i = 0; i < 200; ++i)
        expected.push_back(textOf(Param_LfoSpeed, value(i)));
    std::thread audio([&] {
        for (int i = 0; i < 200; ++i)
            editor->onEvent(parameterEvent(Param_LfoSpeed, value(i)));
    });
    audio.join();
    EXPECT_TRUE(label->texts.empty()) << "nothing is shown before idle";
    editor->idle();
    EXPECT_EQ(label->texts, expected);

    // An event queued while idle applies events waits for the next idle; unknown types are dropped.
    label->texts.clear();
    label->onSet = [&] {
        label->onSet = nullptr;
        editor->onEvent(parameterEvent(Param_LfoSpeed, 1.f));
    };
    editor->onEvent(parameterEvent(Param_LfoSpeed, 0.f));
    editor->onEvent(parameterEvent(Param_LfoSpeed, 0.5f, 11));
    editor->idle();
    EXPECT_EQ(label->texts, std::vector<std::string>{textOf(Param_LfoSpeed, 0.f)});
    editor->idle();
    EXPECT_EQ(label->texts.back(), textOf(Param_LfoSpeed, 1.f));
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
    EXPECT_EQ(editor->labels[Param_Volume]->getText().getString(), textOf(Param_Volume, 1.f));
}

TEST_F(EditorTest, QueuingDoesNotAllocateOnceTheQueueHasGrown) {
    for (int i = 0; i < 300; ++i)
        editor->onEvent(parameterEvent(Param_Volume, 0.5f));
    editor->idle();
    AllocationCounter counter;
    for (int i = 0; i < 300; ++i)
        editor->onEvent(parameterEvent(Param_Volume, 0.25f));
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(EditorTest, DamagedDescriptionLeavesAnInertEditorWithoutFrame) {
    BadBytes bad;
    log.clear();
    open(K1Editor::getDefaultRect(), &bad);
    EXPECT_EQ(log.lines().front(), "K1Editor@87: Opening GUI");
    EXPECT_EQ(log.lines().back(), "K1Editor@114: Failed to parse UI description");
    EXPECT_EQ(frame(), nullptr);
    CRect r;
    EXPECT_FALSE(editor->getRect(r));
    for (uint32_t type = 0; type <= 11; ++type)
        editor->onEvent(parameterEvent(Param_Volume, 0.5f, type));
    plugin.setPlayMode(PlayMode_Multi);
    editor->idle();
    EXPECT_FALSE(editor->setSize(CRect(0, 0, 1920, 1080)));
    editor->changeZoom(0.5);
    EXPECT_EQ(editor->onKeyDown(VstKeyCode{'1', 0, 0}, nullptr), -1);
    EXPECT_EQ(listener.sizeChanges, 0);
    EXPECT_TRUE(listener.changes.empty());
}

TEST_F(EditorTest, DestructionInTheMiddleOfANameEditCommitsNothing) {
    const std::string before = plugin.getCurrentSingle().name;
    frame()->setFocusView(view("editSingleName"));
    zykgui::test::typeText(frame(), "XYZ");
    close();
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_EQ(std::string(plugin.getCurrentSingle().name), before);
}
