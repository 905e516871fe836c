// Preset actions: the reset questions and what their answers do, and the cells' context menu
// with copy, paste and sending a preset to a K1.
#include "tests/editor/BrowserFixture.h"

#include "k1lib/engine/Engine.h"

using namespace VSTGUI;
using browsertest::BrowserFixture;
using Messages = std::vector<std::string>;

namespace {

class PresetActions : public BrowserFixture {
protected:
    // The context menu a right click on the cell opened: the last child of the cell's container.
    COptionMenu* openMenu(size_t i) {
        clickCell(i, kRButton);
        EXPECT_TRUE(frame()->isMenuPopupOpen());
        CViewContainer* parent = cell(i)->getParentContainer();
        return dynamic_cast<COptionMenu*>(parent->getView(parent->getNbViews() - 1));
    }
    void keys(std::initializer_list<unsigned char> virts) {
        for (unsigned char v : virts)
            zykgui::test::typeKey(frame(), 0, v);
    }
    // Copy is the first entry; Paste the second when it is enabled; Send the last.
    void choose(size_t i, std::initializer_list<unsigned char> path) {
        openMenu(i);
        keys(path);
        EXPECT_FALSE(frame()->isMenuPopupOpen());
        idle();
    }
    void copy(size_t i) { choose(i, {VKEY_DOWN, VKEY_RETURN}); }
    void paste(size_t i) { choose(i, {VKEY_DOWN, VKEY_DOWN, VKEY_RETURN}); }
    // Send to group g (0..3), bank b (0..3), number k (0..7); Paste is disabled here.
    void send(size_t i, int g, int b, int k) {
        openMenu(i);
        keys({VKEY_DOWN, VKEY_DOWN, VKEY_RIGHT}); // Copy, Send, into the groups' banks
        for (int n = 0; n < 4 * g + b; ++n)
            keys({VKEY_DOWN});
        keys({VKEY_RIGHT});
        for (int n = 0; n < k; ++n)
            keys({VKEY_DOWN});
        keys({VKEY_RETURN});
        idle();
    }
    std::vector<unsigned char> singleBytes(uint64_t index) {
        std::vector<unsigned char> bytes;
        EXPECT_TRUE(plugin.getSingle(bytes, index));
        return bytes;
    }
    // Edits the presets, presses the reset button answering Cancel (the edits stay), then again
    // answering OK; the questions asked stay in dialogs.
    void pressCancelThenOk(const std::string& button, std::initializer_list<uint64_t> edited) {
        for (uint64_t index : edited)
            rename(index, "Mine");
        idle();
        dialogs.shown.clear();
        press(button);
        for (uint64_t index : edited)
            EXPECT_TRUE(plugin.isSingleModified(index)) << "Cancel keeps " << index;
        dialogs.answers.push_back(true);
        press(button);
    }
};

} // namespace

TEST_F(PresetActions, CopyThenPasteMovesAPresetOnceByteForByte) {
    COptionMenu* menu = openMenu(1);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->getNbEntries(), 4);
    EXPECT_EQ(menu->getEntry(0)->getTitle(), "Copy");
    EXPECT_EQ(menu->getEntry(1)->getTitle(), "Paste");
    EXPECT_FALSE(menu->getEntry(1)->isEnabled()) << "nothing copied yet";
    EXPECT_TRUE(menu->getEntry(2)->isSeparator());
    EXPECT_EQ(menu->getEntry(3)->getTitle(), "Send to K1 Hardware");
    keys({VKEY_ESCAPE});
    EXPECT_TRUE(browser().getCopyPasteBuffer().empty()) << "closing without a choice does nothing";

    copy(1);
    EXPECT_EQ(browser().getCopyPasteBuffer().size(), 97u);
    EXPECT_TRUE(openMenu(5)->getEntry(1)->isEnabled());
    keys({VKEY_ESCAPE});
    paste(5);
    EXPECT_EQ(singleBytes(5), singleBytes(1)) << "name included";
    EXPECT_TRUE(browser().getCopyPasteBuffer().empty()) << "each copy pastes once";
    EXPECT_FALSE(openMenu(6)->getEntry(1)->isEnabled());
    keys({VKEY_ESCAPE});
    EXPECT_EQ(cellText(5), "IA-6 Grand Pno*");
}

TEST_F(PresetActions, PasteNeedsABufferOfThePlayingKind) {
    copy(0);
    plugin.setPlayMode(k1lib::PlayMode_Multi);
    idle();
    EXPECT_FALSE(openMenu(0)->getEntry(1)->isEnabled()) << "a Single does not paste over a Multi";
    keys({VKEY_ESCAPE});
    plugin.setPlayMode(k1lib::PlayMode_Single);
    idle();
    EXPECT_TRUE(openMenu(0)->getEntry(1)->isEnabled()) << "the buffer survives the switch";
    keys({VKEY_ESCAPE});
}

TEST_F(PresetActions, SendToHardwareListsTheK1ProgramsAndSendsTheChosenOne) {
    COptionMenu* sendMenu = openMenu(2)->getEntry(3)->getSubmenu();
    ASSERT_NE(sendMenu, nullptr);
    ASSERT_EQ(sendMenu->getNbEntries(), 16);
    EXPECT_EQ(sendMenu->getEntry(0)->getTitle(), "IA-");
    EXPECT_EQ(sendMenu->getEntry(4)->getTitle(), "iA-");
    EXPECT_EQ(sendMenu->getEntry(15)->getTitle(), "eD-");
    COptionMenu* last = sendMenu->getEntry(15)->getSubmenu();
    ASSERT_EQ(last->getNbEntries(), 8);
    EXPECT_EQ(last->getEntry(7)->getTitle(), "8");
    EXPECT_EQ(last->getEntry(7)->getTag(), 1127);
    keys({VKEY_ESCAPE});

    send(2, 3, 3, 7); // eD-8
    send(2, 1, 0, 0); // iA-1
    ASSERT_EQ(hardware.sent.size(), 2u);
    // Byte 6 tells internal (0) or card (1) memory, byte 7 the number within it.
    EXPECT_EQ(hardware.sent[0][6], 1);
    EXPECT_EQ(hardware.sent[0][7], 63) << "program 127";
    EXPECT_EQ(hardware.sent[1][6], 0);
    EXPECT_EQ(hardware.sent[1][7], 32) << "program 32";
    const auto result = [&] {
        k1lib::Sysex::SysexResult r;
        k1lib::Sysex::readBuffer(r, hardware.sent[0], 255);
        return r;
    }();
    ASSERT_EQ(result.singles.size(), 1u);
    k1lib::SinglePreset clicked;
    EXPECT_TRUE(plugin.getSingle(clicked, 2));
    EXPECT_TRUE(result.singles[0] == clicked) << "the clicked preset, not the current one";

    plugin.setPlayMode(k1lib::PlayMode_Multi);
    idle();
    send(0, 1, 3, 7); // ED-8
    ASSERT_EQ(hardware.sent.size(), 3u);
    EXPECT_EQ(hardware.sent[2][6], 1);
    EXPECT_EQ(hardware.sent[2][7], 0x40 + 31) << "program 63";
}

TEST_F(PresetActions, ResetQuestionsRestoreFactorySoundsOnlyAfterOk) {
    select(100);
    rename(100, "Mine");
    idle();
    pressCancelThenOk("btSingleReset", {100});
    EXPECT_EQ(dialogs.messages(),
              Messages(2,
                       "Do you want to reset the selected preset to factory defaults? Factory Preset is:\n\n"
                       "K1 ROM Card A1-01 - eA-5 Tine Brt"));
    EXPECT_FALSE(plugin.isSingleModified(100));
    idle();
    EXPECT_TRUE(isGreyed("btSingleReset"));

    showPage(kLastSinglesPage);
    pressCancelThenOk("btPageReset", {960, 967});
    EXPECT_EQ(
        dialogs.messages(),
        Messages(2, "Do you want to reset the current page to factory defaults? This will discard all edits "
                    "to all 32 Singles on this page."));
    EXPECT_FALSE(plugin.isSingleModified(967)) << "the last page resets its 8 Singles";

    showPage(96);
    rename(128, "Mine");
    pressCancelThenOk("btBankReset", {64, 127});
    EXPECT_EQ(
        dialogs.messages(),
        Messages(2, "Do you want to reset the Bank K1 ROM Card A1-01 to factory defaults? This will discard "
                    "all edits to all Singles for this Bank."));
    EXPECT_FALSE(plugin.isSingleModified(64));
    EXPECT_FALSE(plugin.isSingleModified(127));
    EXPECT_TRUE(plugin.isSingleModified(128)) << "the next bank is left alone";
}
