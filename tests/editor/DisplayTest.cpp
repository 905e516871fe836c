// The LCD: its timed sequences on the manual clock, the preset lines, the glyph rules, and no timer
// left behind when the editor closes at any step.
#include "PagesFixture.h"
#include "uiDisplay.h"

#include "Engine.h"

using namespace VSTGUI;

namespace {
const std::string kBanner0 = lcdRow("  *Marn' Zy-k*");
const std::string kBanner1 = lcdRow("SYNTHESIZER");
const std::string kFirmware0 = lcdRow("Firmware 1.26");
} // namespace

class DisplayTest : public PagesTest {
protected:
    std::string presetLine0(k1lib::PlayMode mode = k1lib::PlayMode_Single) {
        const size_t index = plugin.getCurrentPresetIndex();
        return lcdRow((mode == k1lib::PlayMode_Single ? "SINGLE " : "MULTI  ") +
                      k1lib::Engine::getStorageInfoFromPresetIndex(index, mode)->shortName);
    }
    void clickDisplay() { zykgui::test::click(frame(), windowCentre(view("LCDLight"))); }
    uiDisplay& display() const { return *editor->getDisplay(); }
};

TEST_F(DisplayTest, StartsDarkShowsTheBannerThenThePreset) {
    EXPECT_FALSE(lcdLit());
    render("display_0_dark");
    clock.advance(999);
    EXPECT_FALSE(lcdLit());
    clock.advance(1);
    ASSERT_TRUE(lcdLit());
    EXPECT_EQ(lcdLine(0), kBanner0);
    EXPECT_EQ(lcdLine(1), kBanner1);
    render("display_1_banner");
    clock.advance(1999);
    EXPECT_EQ(lcdLine(1), kBanner1);
    clock.advance(1);
    EXPECT_EQ(lcdLine(0), presetLine0());
    EXPECT_EQ(lcdLine(1).substr(0, 6), "IA-1  ");
    EXPECT_EQ(zykgui::TimerHub::instance().size(), 0u) << "the sequence ends without a timer";
    render("display_2_preset");
}

TEST_F(DisplayTest, AClickShowsTheFirmwareScreenAndReturnsThroughTheBanner) {
    clock.advance(3000);
    clickDisplay();
    EXPECT_FALSE(lcdLit()) << "dark at once";
    clock.advance(499);
    EXPECT_FALSE(lcdLit());
    clock.advance(1);
    ASSERT_TRUE(lcdLit());
    EXPECT_EQ(lcdLine(0), kFirmware0);
    EXPECT_EQ(lcdLine(1), lcdRow("Dec 07 2026"));
    render("display_3_firmware");
    // The firmware screen stays lit through the first start-up step.
    clock.advance(2999);
    EXPECT_TRUE(lcdLit());
    EXPECT_EQ(lcdLine(0), kFirmware0);
    clock.advance(1);
    EXPECT_EQ(lcdLine(0), kBanner0);
    clock.advance(2000);
    EXPECT_EQ(lcdLine(0), presetLine0());

    // A second click during the banner restarts from the dark firmware step.
    clickDisplay();
    clock.advance(500 + 3000 + 500);
    ASSERT_EQ(lcdLine(0), kBanner0);
    clickDisplay();
    EXPECT_FALSE(lcdLit());
    clock.advance(500);
    EXPECT_EQ(lcdLine(0), kFirmware0);
}

TEST_F(DisplayTest, TheDarkDisplayTakesNoClicks) {
    // LCDLight is hidden while dark, and hidden views are not hit: the start-up goes on.
    clock.advance(500);
    clickDisplay();
    clock.advance(500);
    ASSERT_TRUE(lcdLit());
    EXPECT_EQ(lcdLine(0), kBanner0);
}

TEST_F(DisplayTest, ShowsTheCurrentPresetOfThePlayMode) {
    plugin.setCurrentSingleName("Voice Ahh");
    display().setTextShowCurrentPreset();
    EXPECT_EQ(lcdLine(0), presetLine0());
    EXPECT_EQ(lcdLine(1), lcdRow("IA-1  Voice Ahh"));

    // A preset event during the start-up rewrites the text; the next step overwrites it again.
    plugin.setPlayMode(k1lib::PlayMode_Multi);
    editor->onPlayModeChanged();
    EXPECT_EQ(lcdLine(0), presetLine0(k1lib::PlayMode_Multi));
    EXPECT_EQ(lcdLine(1).substr(0, 6), "IA-1  ");
    clock.advance(1000);
    EXPECT_EQ(lcdLine(0), kBanner0);
}

TEST_F(DisplayTest, DrawsEveryByteAsOneCellWithFallbacks) {
    display().setText("", "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(lcdLine(0), lcdRow(""));
    EXPECT_EQ(lcdLine(1), "ABCDEFGHIJKLMNOP");
    display().setText("a_b^c`", "\xF6\xB4~");
    EXPECT_EQ(lcdLine(0), lcdRow("a?b?c?"));
    EXPECT_EQ(lcdLine(1), lcdRow("\xF6\xB4~"));
    // A two-byte UTF-8 character has no glyph: two cells of "?".
    display().setText("\xC3\xA9", "");
    EXPECT_EQ(lcdLine(0), lcdRow("??"));
}

TEST_F(DisplayTest, ClosingAtAnyStepLeavesNoTimer) {
    for (uint64_t step : {0, 1500, 2999, 3000}) {
        open(K1Editor::getDefaultRect());
        clock.advance(step);
        editor.reset();
        EXPECT_EQ(zykgui::TimerHub::instance().size(), 0u) << "closed " << step << " ms after opening";
    }
    for (uint64_t step : {0, 499, 1200, 2600, 4000}) {
        open(K1Editor::getDefaultRect());
        clock.advance(3000);
        clickDisplay();
        clock.advance(step);
        editor.reset();
        EXPECT_EQ(zykgui::TimerHub::instance().size(), 0u) << "closed " << step << " ms after a click";
    }
    // Nothing fires into the closed editor afterwards.
    clock.advance(5000);
}
