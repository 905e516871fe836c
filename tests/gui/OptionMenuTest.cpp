// Option menus: entries and indices, sub-menus, listener order around the popup, keyboard and
// mouse navigation of the in-frame popup, scrolling.
#include "gui/COffscreenContext.h"
#include "gui/MenuPopup.h"
#include "tests/gui/GuiTestHelpers.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

#include <limits>

using namespace VSTGUI;
using Log = std::vector<std::string>;

namespace {
using Result = CMouseEventResult;
struct OrderListener : IOptionMenuListener, IControlListener {
    explicit OrderListener(Log& l) : log(l) {}
    void onOptionMenuPrePopup(COptionMenu* menu) override {
        log.push_back("pre:" + std::to_string(menu->getNbEntries()));
    }
    void onOptionMenuPostPopup(COptionMenu*) override { log.push_back("post"); }
    void valueChanged(CControl* control) override {
        log.push_back("value:" + std::to_string(static_cast<int>(control->getValue())));
    }
    Log& log;
};

VstKeyCode key(unsigned char virt) {
    return VstKeyCode{0, virt, 0};
}

struct GuiMenuPopup : ::testing::Test {
    SharedPointer<CFrame> frame = owned(new CFrame(CRect(0, 0, 600, 400), nullptr));
    Log log;
    OrderListener listener{log};
    COptionMenu* menu = nullptr;

    void SetUp() override {
        menu = new COptionMenu(CRect(10, 10, 110, 30), &listener, 5);
        frame->addView(menu);
    }
    void press(unsigned char virt) {
        VstKeyCode k = key(virt);
        ASSERT_TRUE(frame->platformOnKeyDown(k));
    }
    // A sub-menu "More" with the entries x (tag 100) and y (tag 101), owned by the menu.
    COptionMenu* addSubmenu() {
        auto* sub = new COptionMenu();
        sub->addEntry(new CMenuItem("x", 100));
        sub->addEntry(new CMenuItem("y", 101));
        menu->addEntry(sub, "More");
        sub->forget();
        return sub;
    }
    // The window point of row `row` in the root column (which opens below the menu).
    static CPoint rootRow(int row) { return {20, 30 + 1 + zykgui::MenuPopup::kRowHeight * (row + 0.5)}; }
};
} // namespace

TEST(GuiOptionMenu, IndexStartsAtMinusOneAndMaxFollowsTheCount) {
    auto menu = owned(new COptionMenu(CRect(0, 0, 100, 20), nullptr, 1));
    EXPECT_EQ(menu->getCurrentIndex(), -1);
    EXPECT_EQ(menu->getCurrent(), nullptr);
    menu->addEntry("one");
    menu->addSeparator();
    menu->addEntry("two");
    menu->addEntry("-");
    EXPECT_EQ(menu->getNbEntries(), 4);
    EXPECT_TRUE(menu->getEntry(3)->isSeparator()) << "the title \"-\" is a separator";
    EXPECT_FLOAT_EQ(menu->getMax(), 3.f);
    EXPECT_EQ(menu->getCurrentIndex(), -1) << "adding entries chooses nothing";

    ASSERT_TRUE(menu->setCurrent(1, false));
    EXPECT_EQ(menu->getCurrent()->getTitle(), "two");
    EXPECT_EQ(menu->getCurrentIndex(true), 2);
    EXPECT_EQ(menu->getCurrentIndex(false), 1);
    for (float outside : {9.f, 1e20f, -1e20f, std::numeric_limits<float>::quiet_NaN()})
        menu->setValue(outside);
    EXPECT_EQ(menu->getCurrentIndex(true), 2) << "out-of-range values are ignored";
    CMenuItem* first = menu->addEntry("First", 0);
    EXPECT_EQ(menu->getEntry(0), first) << "insertion at an index";
    menu->removeEntry(0);

    menu->removeEntry(0);
    EXPECT_EQ(menu->getCurrent()->getTitle(), "two") << "the current entry stays the same item";
    EXPECT_FLOAT_EQ(menu->getMax(), 2.f);
    menu->removeAllEntry();
    EXPECT_EQ(menu->getCurrentIndex(), -1);
    EXPECT_FLOAT_EQ(menu->getMax(), 0.f);
}

TEST_F(GuiMenuPopup, ChoiceInTheRootNotifiesBetweenPreAndPostThenTheCompletion) {
    menu->addEntry("a");
    menu->addEntry("b");
    menu->registerOptionMenuListener(&listener);
    bool alive = false;
    ASSERT_TRUE(menu->popup([&](COptionMenu* m) {
        log.push_back("done:" + std::to_string(m->getCurrentIndex()));
        alive = m->getNbReference() >= 2;
    }));
    EXPECT_TRUE(frame->isMenuPopupOpen());
    frame->platformOnMouseDown(rootRow(1), kLButton);
    frame->platformOnMouseUp(rootRow(1), kLButton);
    EXPECT_EQ(log, Log({"pre:2", "value:1", "post", "done:1"}));
    EXPECT_TRUE(alive) << "the menu holds a reference until the completion returns";
    EXPECT_FALSE(frame->isMenuPopupOpen());
    int32_t index = -1;
    EXPECT_EQ(menu->getLastItemMenu(index), menu);
    EXPECT_EQ(index, 1);
    menu->unregisterOptionMenuListener(&listener);
}

TEST_F(GuiMenuPopup, ClosingWithoutAChoiceChangesNothing) {
    menu->addEntry("a");
    menu->registerOptionMenuListener(&listener);
    menu->popup([&](COptionMenu* m) { log.push_back("done:" + std::to_string(m->getCurrentIndex())); });
    frame->platformOnMouseDown({500, 350}, kLButton);
    EXPECT_EQ(log, Log({"pre:1", "post", "done:-1"}));
    int32_t index = 0;
    EXPECT_EQ(menu->getLastItemMenu(index), nullptr);
    menu->unregisterOptionMenuListener(&listener);
}

TEST_F(GuiMenuPopup, SubmenuChoiceIsRecordedAsLastItemMenu) {
    menu->addEntry("Basic", -1, CMenuItem::kTitle);
    auto* sub = new COptionMenu();
    for (int v = 0; v < 3; ++v)
        sub->addEntry(new CMenuItem("wave " + std::to_string(v), 10 + v));
    menu->addEntry(sub, "Sine");
    sub->forget();
    menu->popup();
    // Hovering the sub-menu entry opens its column to the right; a press chooses.
    frame->platformOnMouseMoved(rootRow(1), 0);
    const CPoint inSub(rootRow(1).x + 150, rootRow(1).y + zykgui::MenuPopup::kRowHeight * 2);
    frame->platformOnMouseMoved(inSub, 0);
    frame->platformOnMouseDown(inSub, kLButton);
    ASSERT_FALSE(frame->isMenuPopupOpen());
    int32_t index = -1;
    COptionMenu* last = menu->getLastItemMenu(index);
    EXPECT_EQ(last, sub);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(sub->getCurrent()->getTag(), 12);
    EXPECT_EQ(menu->getCurrentIndex(), -1) << "the root keeps its own index";
    EXPECT_EQ(log, Log({"value:-1"})) << "valueChanged is called on the root";
}

TEST_F(GuiMenuPopup, KeyboardNavigatesSkippingTitlesSeparatorsAndDisabledEntries) {
    menu->addEntry("Group", -1, CMenuItem::kTitle);
    menu->addEntry("a");
    menu->addSeparator();
    menu->addEntry("off")->setEnabled(false);
    COptionMenu* sub = addSubmenu();
    menu->popup();
    press(VKEY_DOWN);
    press(VKEY_DOWN);
    press(VKEY_RIGHT);
    press(VKEY_DOWN);
    press(VKEY_LEFT);
    press(VKEY_RIGHT);
    press(VKEY_DOWN);
    press(VKEY_RETURN);
    int32_t index = -1;
    EXPECT_EQ(menu->getLastItemMenu(index), sub);
    EXPECT_EQ(index, 1) << "down, down (to More), right, down (y), left, right (x), down (y), return";
}

TEST_F(GuiMenuPopup, HooksDoNotSeeKeysWhileThePopupIsOpen) {
    struct Hook : IKeyboardHook {
        int seen = 0;
        int32_t onKeyDown(const VstKeyCode&, CFrame*) override { return ++seen, 1; }
        int32_t onKeyUp(const VstKeyCode&, CFrame*) override { return -1; }
    } hook;
    frame->registerKeyboardHook(&hook);
    menu->addEntry("a");
    menu->popup();
    press(VKEY_DOWN);
    press(VKEY_RETURN);
    EXPECT_EQ(hook.seen, 0);
    EXPECT_EQ(menu->getCurrentIndex(), 0);
    frame->unregisterKeyboardHook(&hook);
}

TEST_F(GuiMenuPopup, LongListsScrollToKeepTheHighlightVisible) {
    for (int i = 0; i < 64; ++i)
        menu->addEntry("entry " + std::to_string(i));
    menu->setCurrent(60);
    menu->popup();
    // 400 px of frame hold 19 rows; the current entry is scrolled into view and chosen by Return.
    press(VKEY_DOWN);
    press(VKEY_RETURN);
    EXPECT_EQ(menu->getCurrentIndex(), 61);

    menu->setCurrent(0);
    menu->popup();
    frame->platformOnMouseWheel({20, 100}, kMouseWheelAxisY, -5.f, 0);
    // After scrolling five rows, the row under the pointer is entry 5 + its screen row.
    const CRect bounds(0, 0, 600, 400);
    const CCoord top = bounds.bottom - (19 * zykgui::MenuPopup::kRowHeight + 2);
    frame->platformOnMouseDown({20, top + 1 + zykgui::MenuPopup::kRowHeight * 2.5}, kLButton);
    EXPECT_EQ(menu->getCurrentIndex(), 7);
}

TEST_F(GuiMenuPopup, RemovingTheMenuDuringItsPopupClosesItWithoutAChoice) {
    menu->addEntry("a");
    menu->popup([&](COptionMenu* m) {
        log.push_back("done");
        EXPECT_FALSE(frame->removeView(m, true)) << "already out of the tree";
    });
    frame->removeView(menu, true);
    EXPECT_FALSE(frame->isMenuPopupOpen());
    EXPECT_EQ(log, Log({"done"}));
}

TEST_F(GuiMenuPopup, APressThatOpensAContextMenuDoesNotCaptureTheMouse) {
    struct ContextOpener : ViewMouseListenerAdapter {
        COptionMenu* menu = nullptr;
        int presses = 0;
        Result viewOnMouseDown(CView*, CPoint, CButtonState buttons) override {
            ++presses;
            if (buttons.getButtonState() == kRButton) menu->popup();
            return kMouseEventHandled;
        }
    } opener;
    opener.menu = menu;
    menu->addEntry("Copy");
    auto* cell = new CView(CRect(200, 200, 300, 230));
    frame->addView(cell);
    cell->registerViewMouseListener(&opener);
    frame->platformOnMouseDown({210, 210}, kRButton);
    ASSERT_TRUE(frame->isMenuPopupOpen());
    EXPECT_EQ(frame->getMouseDownView(), nullptr);
    frame->platformOnMouseUp({210, 210}, kRButton);
    press(VKEY_ESCAPE);
    EXPECT_FALSE(frame->isMenuPopupOpen());
    zykgui::test::click(frame, {20, 20});
    EXPECT_TRUE(frame->isMenuPopupOpen()) << "the next click reaches the menu, not the cell";
    EXPECT_EQ(opener.presses, 1);
    cell->unregisterViewMouseListener(&opener);
}

TEST_F(GuiMenuPopup, TheClickedBackgroundShowsWhileThePopupIsOpen) {
    auto normal = owned(guitest::makeStrip(100, 20, 1, {kRedCColor}));
    auto clicked = owned(guitest::makeStrip(100, 20, 1, {kGreenCColor}));
    auto* boxed = new COptionMenu(CRect(300, 10, 400, 30), nullptr, 0, normal, clicked);
    boxed->addEntry("a");
    frame->addView(boxed);
    EXPECT_EQ(zykgui::test::renderFrame(frame)->getPixelRGBA(305, 12), 0xFF0000FFu);
    boxed->popup();
    EXPECT_EQ(zykgui::test::renderFrame(frame)->getPixelRGBA(305, 12), 0x00FF00FFu);
    press(VKEY_ESCAPE);
    EXPECT_EQ(zykgui::test::renderFrame(frame)->getPixelRGBA(305, 12), 0xFF0000FFu);
}

TEST_F(GuiMenuPopup, MenusEmptiedWhileOpenStaySafe) {
    addSubmenu();
    menu->popup();
    press(VKEY_DOWN);
    press(VKEY_RIGHT);
    // A parameter echo refills the menu while its popup is open.
    menu->removeAllEntry();
    menu->addEntry("fresh");
    EXPECT_NE(zykgui::test::renderFrame(frame), nullptr);
    frame->platformOnMouseMoved(rootRow(0), 0);
    press(VKEY_DOWN);
    press(VKEY_RETURN);
    EXPECT_FALSE(frame->isMenuPopupOpen());
    int32_t index = -1;
    EXPECT_EQ(menu->getLastItemMenu(index), nullptr) << "a sub-menu no longer in the menu is not reported";
}

namespace {
// Paints only the frame's dirty region into one lasting image, as the window's back buffer is
// painted, so pixels nobody repaints stay visible.
struct WindowPainter {
    explicit WindowPainter(CFrame* f) : frame(f), context(COffscreenContext::create(f, 600, 400)) {
        frame->invalid();
        paint();
    }
    CBitmap* paint() {
        context->beginDraw();
        frame->paintDirtyRegion(context);
        context->endDraw();
        return context->getBitmap();
    }
    // Pixels that differ from a fresh drawing of the whole frame.
    int ghostPixels(const std::string& pngName) {
        CBitmap* painted = paint();
        const SharedPointer<CBitmap> fresh = zykgui::test::renderFrame(frame);
        EXPECT_TRUE(painted->writePNG(::testing::TempDir() + pngName));
        int differing = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 600; ++x)
                differing += painted->getPixelRGBA(x, y) != fresh->getPixelRGBA(x, y);
        return differing;
    }
    CFrame* frame;
    SharedPointer<COffscreenContext> context;
};
} // namespace

TEST_F(GuiMenuPopup, WheelAndClosingLeaveNoGhostsAndTheHighlightFollowsThePointer) {
    auto* backdrop = new CViewContainer(CRect(0, 0, 600, 400));
    backdrop->setBackgroundColor(CColor(40, 60, 40));
    frame->addView(backdrop);
    frame->removeView(menu, false);
    frame->addView(menu);
    for (int i = 0; i < 40; ++i) {
        auto* sub = new COptionMenu();
        for (int j = 0; j < 6; ++j)
            sub->addEntry("wave " + std::to_string(i * 6 + j));
        menu->addEntry(sub, "group " + std::to_string(i));
        sub->forget();
    }
    WindowPainter window(frame);
    menu->popup();
    // 40 rows do not fit below the menu: the column fills the frame's height from the bottom.
    const CCoord top = 400 - (19 * zykgui::MenuPopup::kRowHeight + 2);
    const CPoint pointer(20, top + 1 + zykgui::MenuPopup::kRowHeight * 3.5);
    frame->platformOnMouseMoved(pointer, 0); // highlights group 3 and opens its sub-menu
    EXPECT_EQ(window.ghostPixels("menu-open.png"), 0);

    frame->platformOnMouseWheel(pointer, kMouseWheelAxisY, -5.f, 0);
    EXPECT_EQ(window.ghostPixels("menu-scrolled.png"), 0) << "the old sub-menu or highlight stayed";
    // The entry under the pointer is now group 8: it is lit and its sub-menu is open.
    const uint32_t highlight = 0x3874D8FFu;
    EXPECT_EQ(window.paint()->getPixelRGBA(static_cast<int>(pointer.x), static_cast<int>(pointer.y)),
              highlight);
    frame->platformOnMouseDown({pointer.x + 150, pointer.y + zykgui::MenuPopup::kRowHeight}, kLButton);
    ASSERT_FALSE(frame->isMenuPopupOpen());
    int32_t chosen = -1;
    const COptionMenu* chosenMenu = menu->getLastItemMenu(chosen);
    ASSERT_NE(chosenMenu, nullptr);
    EXPECT_EQ(chosenMenu->getEntry(chosen)->getTitle(), "wave 49")
        << "chosen from the group under the pointer";
    EXPECT_EQ(window.ghostPixels("menu-closed.png"), 0) << "the menu's pixels stayed after closing";
}
