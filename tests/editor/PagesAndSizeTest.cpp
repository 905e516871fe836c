// Pages, keys, web links, the size rule, zoom and the resize grip; the four main pages rendered.
#include "tests/editor/EditorFixture.h"

#include <cmath>

using namespace VSTGUI;
using namespace k1lib;

namespace {
using Shown = zykgui::test::ScriptedDialogs::Shown;
int32_t key(K1Editor& editor, char c) {
    return editor.onKeyDown(VstKeyCode{c, 0, 0}, editor.getFrame());
}
} // namespace

TEST_F(EditorTest, KeysSwitchPagesAndAnswerWhetherTheyDidSomething) {
    EXPECT_EQ(key(*editor, 'P'), -1) << "already on the play page";
    EXPECT_EQ(key(*editor, '2'), 1);
    EXPECT_TRUE(view("mode_edit")->isVisible());
    EXPECT_TRUE(view("edit_source")->isVisible());
    EXPECT_EQ(editor->getActiveSource(), 1u);
    EXPECT_EQ(key(*editor, '2'), -1) << "source 2 is shown already";
    EXPECT_EQ(key(*editor, 'e'), -1) << "already editing";
    EXPECT_EQ(key(*editor, 'c'), 1);
    EXPECT_TRUE(view("edit_common")->isVisible());
    EXPECT_FALSE(view("edit_source")->isVisible());
    EXPECT_EQ(key(*editor, '5'), 1);
    EXPECT_EQ(key(*editor, 'p'), 1);
    EXPECT_TRUE(view("mode_play")->isVisible());
    EXPECT_EQ(key(*editor, 'E'), 1);
    EXPECT_EQ(key(*editor, 'x'), -1);
    EXPECT_EQ(editor->onKeyUp(VstKeyCode{'1', 0, 0}, frame()), -1);

    // In Multi mode an open edit page becomes the Multi page, and the source keys lead there.
    click(view("btModeMulti"));
    editor->idle();
    EXPECT_TRUE(view("mode_edit_multi")->isVisible());
    EXPECT_FALSE(view("mode_edit")->isVisible());
    EXPECT_EQ(view("btModeMulti")->getBackground(), editor->getBitmapSmallOn());
    click(view("btSystem"));
    EXPECT_TRUE(view("mode_edit_system")->isVisible());
    EXPECT_EQ(key(*editor, 'P'), -1) << "from the system page to the play page, the edit state unchanged";
    EXPECT_TRUE(view("mode_play")->isVisible());
    EXPECT_EQ(key(*editor, '1'), 1);
    EXPECT_TRUE(view("mode_edit_multi")->isVisible());

    // While a name field has the focus, keys are text.
    frame()->setFocusView(view("editMultiName"));
    EXPECT_EQ(key(*editor, 'P'), -1);
    EXPECT_TRUE(view("mode_edit_multi")->isVisible());
}

TEST_F(EditorTest, LogoAndDonateAskBeforeOpeningTheirPages) {
    click(view("clickableLogo"));
    dialogs.answers = {true};
    click(view("btDonate"));
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0].title, "Marn' Zyk");
    EXPECT_EQ(dialogs.shown[0].text, "Open Marn' Zyk Website? (internet connection required)");
    EXPECT_EQ(dialogs.shown[1].text,
              "Do you want to support this project by donating something? (internet connection required)");
    EXPECT_EQ(dialogs.shown[2].kind, Shown::Url) << "only the OK answer opens a page";
}

TEST_F(EditorTest, TheProposedSizeIsSixteenByNineWithinTheLimits) {
    struct Case {
        CRect requested;
        CRect result;
    } cases[] = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}}, {{0, 0, 1000, 1000}, {0, 0, 1000, 563}},
                 {{0, 0, 3000, 2000}, {0, 0, 2560, 1440}}, {{0, 0, 500, 300}, {0, 0, 640, 360}},
                 {{0, 0, 1280, 800}, {0, 0, 1280, 720}},   {{0, 0, 600, 1000}, {0, 0, 640, 360}},
                 {{0, 0, 2000, 360}, {0, 0, 640, 360}},    {{0, 0, 640, 326}, {0, 0, 640, 360}}};
    for (const Case& c : cases) {
        CRect proposed = c.requested;
        K1Editor::validateRect(proposed);
        EXPECT_EQ(proposed, c.result) << c.requested.right << "x" << c.requested.bottom;
    }
}

TEST_F(EditorTest, AnySizeTheHostSetsShowsTheLargestWholePanel) {
    struct Case {
        CRect requested;
        double zoom;
    } cases[] = {{{0, 0, 1920, 1080}, 0.75},       {{0, 0, 1000, 1000}, 0.390625}, {{0, 0, 3000, 2000}, 1.0},
                 {{0, 0, 640, 326}, 326.0 / 1440}, {{0, 0, 2000, 360}, 0.25},      {{0, 0, 1280, 720}, 0.5}};
    for (const Case& c : cases) {
        editor->setSize(c.requested);
        CRect r;
        ASSERT_TRUE(editor->getRect(r));
        EXPECT_EQ(r, c.requested) << "the window keeps the host's size";
        EXPECT_DOUBLE_EQ(editor->getZoom(), c.zoom) << c.requested.right << "x" << c.requested.bottom;
        EXPECT_DOUBLE_EQ(frame()->getZoom(), c.zoom);
    }
    // 640x326 (Ardour's view without a window manager): the panel's bottom edge is inside.
    editor->setSize(CRect(0, 0, 640, 326));
    const auto image = zykgui::test::renderFrame(frame());
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->writePNG(::testing::TempDir() + "panel-640x326.png"));
    const int panelWidth = static_cast<int>(std::lround(2560 * editor->getZoom()));
    EXPECT_EQ(panelWidth, 580);
    EXPECT_EQ(image->getPixelRGBA(620, 160), 0x000000FFu) << "the rest is filled";
    EXPECT_NE(image->getPixelRGBA(300, 323), 0x000000FFu) << "the panel reaches the bottom";

    const int calls = listener.sizeChanges;
    EXPECT_FALSE(editor->setSize(CRect(0, 0, 640, 326)));
    EXPECT_EQ(listener.sizeChanges, calls) << "the current size asks nothing";
    EXPECT_TRUE(editor->setSize(CRect(0, 0, 1024, 576)));
    EXPECT_EQ(listener.sizeChanges, calls + 1);
}

TEST_F(EditorTest, ZoomIsClampedAndFollowsTheResizeGrip) {
    editor->changeZoom(0.1);
    CRect r;
    editor->getRect(r);
    EXPECT_EQ(r, CRect(0, 0, 640, 360));
    const int calls = listener.sizeChanges;
    editor->changeZoom(0.25);
    EXPECT_EQ(listener.sizeChanges, calls) << "the current zoom changes nothing";

    editor->changeZoom(0.8);
    CView* grip = view("resizeHandle");
    const CPoint start = centre(grip);
    // Halfway to the origin halves the zoom; twice as far is limited to 1.0.
    frame()->platformOnMouseDown(start, kLButton);
    frame()->platformOnMouseMoved({start.x / 2, start.y / 2}, kLButton);
    frame()->platformOnMouseUp({start.x / 2, start.y / 2}, kLButton);
    EXPECT_NEAR(editor->getZoom(), 0.4, 1e-9);

    const CPoint again = centre(grip);
    zykgui::test::drag(frame(), again, {again.x * 4, again.y * 4}, 1);
    EXPECT_DOUBLE_EQ(editor->getZoom(), 1.0);
    editor->getRect(r);
    EXPECT_EQ(r, CRect(0, 0, 2560, 1440));

    // A move without a button, or a right drag, changes nothing.
    frame()->platformOnMouseMoved({10, 10}, 0);
    zykgui::test::drag(frame(), centre(grip), {100, 100}, 2, kRButton);
    EXPECT_DOUBLE_EQ(editor->getZoom(), 1.0);
}

TEST_F(EditorTest, RendersTheMainPages) {
    setFromHost(Param_SourceS2Mute, 1);
    setFromHost(Param_SourceS1KeyTrack, 0);
    ASSERT_TRUE(zykgui::test::renderToPNG(frame(), renderPath("page_play.png")));
    editor->setActiveSource(0);
    ASSERT_TRUE(zykgui::test::renderToPNG(frame(), renderPath("page_source.png")));
    // The red mute is drawn: mute 2's centre differs from mute 1's.
    auto image = zykgui::test::renderFrame(frame());
    const CPoint red = centre(editor->kickButtons[Param_SourceS2Mute]);
    const CPoint plain = centre(editor->kickButtons[Param_SourceS1Mute]);
    EXPECT_NE(image->getPixelRGBA(int(red.x), int(red.y)), image->getPixelRGBA(int(plain.x), int(plain.y)));
    editor->setEditModeCommon();
    ASSERT_TRUE(zykgui::test::renderToPNG(frame(), renderPath("page_common.png")));
    editor->setModeSystem(true);
    ASSERT_TRUE(zykgui::test::renderToPNG(frame(), renderPath("page_system.png")));
}
