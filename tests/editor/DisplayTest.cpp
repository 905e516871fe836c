// The LCD: its timed sequences on the manual clock, the preset lines, the glyph rules, and no timer
// left behind when the editor closes at any step.
#include "editor/uiDisplay.h"
#include "tests/editor/PagesFixture.h"

#include "k1lib/engine/Engine.h"

using namespace VSTGUI;

namespace {
const std::string kBanner0 = lcdRow("  *Marn' Zy-k*");
const std::string kFirmware0 = lcdRow("Firmware 1.26");
} // namespace

class DisplayTest : public PagesTest {
protected:
    std::string presetLine0(k1lib::PlayMode mode = k1lib::PlayMode_Single) {
        const auto* bank = k1lib::Engine::getStorageInfoFromPresetIndex(plugin.getCurrentPresetIndex(), mode);
        return lcdRow((mode == k1lib::PlayMode_Single ? "SINGLE " : "MULTI  ") + bank->shortName);
    }
    void clickDisplay() { click(view("LCDLight")); }
};

TEST_F(DisplayTest, StartsDarkShowsTheBannerThenThePreset) {
    render("display_0_dark");
    // The dark display takes no clicks: hidden views are not hit, so the start-up goes on.
    clock.advance(500);
    clickDisplay();
    clock.advance(499);
    EXPECT_FALSE(lcdLit());
    clock.advance(1);
    ASSERT_TRUE(lcdLit());
    EXPECT_EQ(lcdLine(0), kBanner0);
    EXPECT_EQ(lcdLine(1), lcdRow("SYNTHESIZER"));
    render("display_1_banner");
    clock.advance(1999);
    EXPECT_EQ(lcdLine(0), kBanner0);
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
    EXPECT_EQ(lcdLine(0), kFirmware0);
    EXPECT_EQ(lcdLine(1), lcdRow("Dec 07 2026"));
    render("display_3_firmware");
    // Lit through the first start-up step, then the banner and the preset.
    clock.advance(2999);
    EXPECT_TRUE(lcdLit());
    EXPECT_EQ(lcdLine(0), kFirmware0);
    clock.advance(1);
    EXPECT_EQ(lcdLine(0), kBanner0);
    clock.advance(2000);
    EXPECT_EQ(lcdLine(0), presetLine0());
    // A click during the banner restarts from the dark firmware step.
    clickDisplay();
    clock.advance(4000);
    ASSERT_EQ(lcdLine(0), kBanner0);
    clickDisplay();
    EXPECT_FALSE(lcdLit());
    clock.advance(500);
    EXPECT_EQ(lcdLine(0), kFirmware0);
}

TEST_F(DisplayTest, ShowsTheCurrentPresetOfThePlayMode) {
    plugin.setCurrentSingleName("Voice Ahh");
    editor->getDisplay()->setTextShowCurrentPreset();
    EXPECT_EQ(lcdLine(0), presetLine0());
    EXPECT_EQ(lcdLine(1), lcdRow("IA-1  Voice Ahh"));
    // A preset event during the start-up rewrites the text; the next step overwrites it again.
    plugin.setPlayMode(k1lib::PlayMode_Multi);
    editor->onPlayModeChanged();
    EXPECT_EQ(lcdLine(0), presetLine0(k1lib::PlayMode_Multi));
    clock.advance(1000);
    EXPECT_EQ(lcdLine(0), kBanner0);
}

TEST_F(DisplayTest, DrawsEveryByteAsOneCellWithFallbacks) {
    uiDisplay& display = *editor->getDisplay();
    display.setText("", "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(lcdLine(0), lcdRow(""));
    EXPECT_EQ(lcdLine(1), "ABCDEFGHIJKLMNOP");
    // No glyph for "_", "^", "`" or the two bytes of a UTF-8 character; 0xF6 is the block.
    display.setText("a_b^c`\xC3\xA9", "\xF6\xB4~");
    EXPECT_EQ(lcdLine(0), lcdRow("a?b?c???"));
    EXPECT_EQ(lcdLine(1), lcdRow("\xF6\xB4~"));
}

TEST_F(DisplayTest, ClosingAtAnyStepLeavesNoTimer) {
    for (const bool clicked : {false, true}) {
        for (uint64_t step : {0, 499, 1500, 2999, 4000}) {
            open(K1Editor::getDefaultRect());
            if (clicked) {
                clock.advance(3000);
                clickDisplay();
            }
            clock.advance(step);
            editor.reset();
            EXPECT_EQ(zykgui::TimerHub::instance().size(), 0u) << step << " ms, clicked " << clicked;
        }
    }
    clock.advance(5000); // nothing fires into the closed editors
}
