// The preset browser: pages and banks, the texts of the cells, the search as the user types,
// selection with the mouse, the buttons and the arrow keys, and the play-mode switch.
#include "tests/editor/BrowserFixture.h"

#include "k1lib/engine/Engine.h"

using namespace VSTGUI;
using browsertest::BrowserFixture;

namespace {

using Browser = BrowserFixture;

const char* const kSearchGreyed[] = {"btBankImport", "btBankExport", "btBankReset", "btPageReset",
                                     "btSingleImport"};

} // namespace

TEST_F(Browser, CellsShowNumberNameAndModifiedMarkOrQuestionMarks) {
    EXPECT_EQ(browser().getPageStart(), 0u);
    EXPECT_EQ(cellText(0), "IA-1 Piano&Str");
    EXPECT_EQ(cellText(8), "IB-1 " + k1lib::Engine::getFactoryPresetName(8, k1lib::PlayMode_Single))
        << "columns of eight";

    rename(1, "");
    rename(2, "   ");
    rename(3, "Upright");
    idle();
    EXPECT_EQ(cellText(1), "IA-2 ??????????*");
    EXPECT_EQ(cellText(2), "IA-3*") << "a name of blanks leaves the number alone";
    EXPECT_EQ(cellText(3), "IA-4 Upright") << "a name equal to the factory one is no modification";

    const CColor currentColour = cell(0)->getFontColor();
    const CColor othersColour = cell(1)->getFontColor();
    select(5);
    EXPECT_EQ(cell(5)->getFontColor(), currentColour);
    EXPECT_EQ(cell(0)->getFontColor(), othersColour);
}

TEST_F(Browser, PagingStopsAtBothEndsAndTheLastPageHasEmptyCellsThatIgnoreClicks) {
    press("btPageDec");
    EXPECT_EQ(browser().getPageStart(), 0u) << "no page before the first";
    press("btPageInc");
    EXPECT_EQ(browser().getPageStart(), 32u);

    showPage(kLastSinglesPage);
    EXPECT_EQ(cellText(0), "P193 Rise Dark");
    EXPECT_EQ(cellText(7), "P200 Rand Long");
    for (size_t i = 8; i < 32; ++i)
        EXPECT_EQ(cellText(i), "") << i;
    press("btPageInc");
    EXPECT_EQ(browser().getPageStart(), kLastSinglesPage) << "no page after the last";

    clickCell(9);
    EXPECT_EQ(current(), 0u);
    clickCell(2);
    EXPECT_EQ(current(), kLastSinglesPage + 2);
    clickCell(3, kMButton);
    clickCell(4, kLButton | kRButton);
    EXPECT_EQ(current(), kLastSinglesPage + 2) << "only a plain left click selects";
}

TEST_F(Browser, BankMenuAndButtonsJumpToBanksAndFollowThePages) {
    auto* bankSelect = view<COptionMenu>("bankSelect");
    ASSERT_EQ(bankSelect->getNbEntries(), 13);
    EXPECT_EQ(bankSelect->getEntry(12)->getTitle(), "Kawai PHm Module");

    press("btBankDec");
    EXPECT_EQ(bankSelect->getValue(), 0.f) << "no bank before the first";
    press("btBankInc");
    EXPECT_EQ(bankSelect->getValue(), 1.f);
    EXPECT_EQ(browser().getPageStart(), 64u);
    EXPECT_EQ(cellText(0), "EA-1 Grand Brt");

    browser().setBank(12);
    EXPECT_EQ(browser().getPageStart(), 768u);
    press("btBankInc");
    EXPECT_EQ(browser().getPageStart(), 768u) << "no bank after the last";

    press("btPageDec");
    EXPECT_EQ(bankSelect->getValue(), 11.f) << "the menu follows the page";
    EXPECT_EQ(current(), 0u) << "choosing banks and pages selects nothing";
}

TEST_F(Browser, SearchNarrowsAsTheUserTypesGreysButtonsAndClearsBack) {
    select(100);
    auto* bankSelect = view<COptionMenu>("bankSelect");
    search("FLUTE");
    const std::vector<uint64_t> hits = {30, 31, 288, 289, 290, 291, 292, 840, 841};
    EXPECT_EQ(browser().getIndexMap(), hits) << "case folded, in preset order";
    EXPECT_EQ(browser().getPageStart(), 0u);
    EXPECT_EQ(cellText(0), "ID-7 Flute");
    EXPECT_EQ(cellText(8), "P074 Flute Oct");
    EXPECT_EQ(cellText(9), "");
    EXPECT_EQ(bankSelect->getFontColor().alpha, 0) << "the bank menu's text is hidden";
    for (const char* name : kSearchGreyed)
        EXPECT_TRUE(isGreyed(name)) << name;
    EXPECT_FALSE(isGreyed("btSingleExport"));
    EXPECT_FALSE(isGreyed("btPageInc"));

    search("FLUTE W");
    EXPECT_EQ(browser().getIndexMap(), std::vector<uint64_t>{288}) << "a longer text narrows";
    press("btPageInc");
    EXPECT_EQ(browser().getPageStart(), 0u) << "one page of hits";

    search("");
    EXPECT_EQ(browser().getIndexMap().size(), kSingles);
    EXPECT_EQ(browser().getPageStart(), 96u) << "back to the page of the current preset";
    EXPECT_EQ(bankSelect->getFontColor().alpha, 255);
    for (const char* name : kSearchGreyed)
        EXPECT_FALSE(isGreyed(name)) << name;

    search("flute");
    press("btBankInc");
    EXPECT_EQ(view<CTextEdit>("searchSingle")->getText().getString(), "")
        << "a bank choice clears the search";
    EXPECT_EQ(browser().getIndexMap().size(), kSingles);
    EXPECT_EQ(browser().getPageStart(), 64u);
}

TEST_F(Browser, ButtonsAndArrowsMoveOverTheHitsOfASearch) {
    search("flute"); // the current preset 0 is no hit
    press("btSingleDec");
    EXPECT_EQ(current(), 0u) << "previous needs the current preset among the hits";
    press("btSingleInc");
    EXPECT_EQ(current(), 31u) << "next from an absent preset takes the second hit";
    press("btSingleDec");
    EXPECT_EQ(current(), 30u);

    EXPECT_FALSE(key(VKEY_LEFT));
    EXPECT_TRUE(key(VKEY_RIGHT));
    EXPECT_EQ(current(), 841u) << "position 8";
    EXPECT_FALSE(key(VKEY_RIGHT)) << "no hit eight positions further";
    EXPECT_TRUE(key(VKEY_LEFT));
    EXPECT_EQ(current(), 30u);
    EXPECT_TRUE(key(VKEY_UP));
    EXPECT_EQ(current(), 840u) << "up at the top wraps to position 7";
    EXPECT_TRUE(key(VKEY_DOWN));
    EXPECT_EQ(current(), 841u) << "down moves on into the next column";
    EXPECT_TRUE(key(VKEY_DOWN));
    EXPECT_EQ(current(), 841u) << "down at the last position goes to the top of its column, here itself";

    search("zzz");
    EXPECT_TRUE(browser().getIndexMap().empty());
    for (size_t i = 0; i < 32; ++i)
        EXPECT_EQ(cellText(i), "") << i;
    for (unsigned char arrow : {VKEY_LEFT, VKEY_RIGHT, VKEY_UP, VKEY_DOWN})
        EXPECT_FALSE(key(arrow)) << "nothing to move over: " << int(arrow);
    press("btSingleInc");
    press("btSingleDec");
    clickCell(0);
    EXPECT_EQ(current(), 841u);
}

TEST_F(Browser, ArrowKeysRunByRowsAndColumnsAndFollowThePage) {
    EXPECT_TRUE(key(VKEY_UP));
    EXPECT_EQ(current(), 7u) << "up at the first position wraps to position 7";
    EXPECT_FALSE(key(VKEY_LEFT)) << "no column left of the first";
    EXPECT_TRUE(key(VKEY_RIGHT));
    EXPECT_EQ(current(), 15u);
    EXPECT_TRUE(key(VKEY_DOWN));
    EXPECT_EQ(current(), 16u) << "down moves on into the next column";
    EXPECT_FALSE(key('x'));

    select(967);
    EXPECT_EQ(browser().getPageStart(), kLastSinglesPage) << "the page follows a selection from outside";
    EXPECT_FALSE(key(VKEY_RIGHT));
    EXPECT_TRUE(key(VKEY_DOWN));
    EXPECT_EQ(current(), 960u) << "down at the end wraps to the top of its column";
    EXPECT_TRUE(key(VKEY_LEFT));
    EXPECT_EQ(current(), 952u);
    EXPECT_EQ(browser().getPageStart(), 928u);
}

TEST_F(Browser, SingleResetIsEnabledOnlyWhileTheCurrentPresetIsModified) {
    EXPECT_TRUE(isGreyed("btSingleReset"));
    rename(0, "Edited");
    idle();
    EXPECT_FALSE(isGreyed("btSingleReset"));
    select(1);
    EXPECT_TRUE(isGreyed("btSingleReset"));
}

TEST_F(Browser, PlayModeSwitchShowsTheMultisWithTheirBanksAndClearsTheSearch) {
    search("flute");
    plugin.setPlayMode(k1lib::PlayMode_Multi);
    idle();
    EXPECT_EQ(view<COptionMenu>("bankSelect")->getNbEntries(), 12);
    EXPECT_EQ(view<CTextEdit>("searchSingle")->getText().getString(), "");
    EXPECT_EQ(browser().getIndexMap().size(), 384u);
    EXPECT_EQ(cellText(0), "IA-1 Bass/Piano");
    for (const char* name : kSearchGreyed)
        EXPECT_FALSE(isGreyed(name)) << name;
    showPage(352);
    press("btPageInc");
    EXPECT_EQ(browser().getPageStart(), 352u);
    EXPECT_EQ(cellText(31), "ED-8 " + k1lib::Engine::getFactoryPresetName(383, k1lib::PlayMode_Multi));
}

TEST_F(Browser, PlayPageDrawsTheNamesTheMarkAndTheGreyedButtons) {
    ASSERT_TRUE(editor->setSize(CRect(0, 0, 1920, 1080)));
    rename(1, "My Pno");
    idle();
    const auto before = zykgui::test::renderFrame(frame());
    ASSERT_TRUE(zykgui::test::renderToPNG(frame(), std::string(ZYK_EDITOR_RENDER_DIR) + "/browser_page.png"));
    search("pno");
    const auto after = zykgui::test::renderFrame(frame());
    ASSERT_TRUE(before && after);
    ASSERT_TRUE(
        zykgui::test::renderToPNG(frame(), std::string(ZYK_EDITOR_RENDER_DIR) + "/browser_search.png"));

    // Pixels of a view that differ between the two pictures.
    auto changed = [&](CView* v) {
        CRect r = v->getViewSize();
        v->getGlobalTransform().transform(r);
        int n = 0;
        for (int y = int(r.top); y < int(r.bottom); ++y)
            for (int x = int(r.left); x < int(r.right); ++x)
                n += before->getPixelRGBA(x, y) != after->getPixelRGBA(x, y);
        return n;
    };
    EXPECT_GT(changed(view<CTextLabel>("btBankImportText")), 20) << "the caption turns grey";
    EXPECT_EQ(changed(view<CTextLabel>("btSingleExportText")), 0) << "this button stays as it was";
    EXPECT_GT(changed(cell(31)), 20) << "a name gives way to an empty cell";
    EXPECT_GT(changed(view<COptionMenu>("bankSelect")), 20) << "the bank's name is hidden";
}
