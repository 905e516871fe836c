// Renders the panel's pages offscreen into PNG files in the build directory (for people to look at) and
// probes pixels where the layout puts the display, a knob and buttons.
#include "tests/panel/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace VSTGUI;
using namespace paneltest;

namespace {

struct Rgb {
    int r, g, b;
};

Rgb pixel(CBitmap* bitmap, CPoint p) {
    uint32_t rgba =
        bitmap->getPixelRGBA(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)));
    return {int(rgba >> 24), int((rgba >> 16) & 0xFF), int((rgba >> 8) & 0xFF)};
}

bool lit(Rgb c) {
    return c.g > 150 && c.r > 110 && c.g > c.b + 60;
}
bool grey(Rgb c) {
    return std::abs(c.r - c.g) < 14 && std::abs(c.g - c.b) < 18 && c.r > 35 && c.r < 140;
}
bool white(Rgb c) {
    return c.r > 200 && c.g > 200 && c.b > 200;
}

} // namespace

TEST(PanelRender, PlayPageAtFullSizeAndAQuarter) {
    for (double zoom : {1.0, 0.25}) {
        PanelFrame panel(zoom);
        ASSERT_TRUE(panel.valid());
        panel.showPage("mode_play");
        const std::string suffix = zoom == 1.0 ? "1.0" : "0.25";
        SharedPointer<CBitmap> image = panel.render("panel_play_" + suffix + ".png");
        ASSERT_EQ(image->getWidth(), std::round(2560 * zoom));

        // The display's glass, right of the last cell's dots, between the two rows: lit.
        const CPoint glass(1490 * zoom, 512 * zoom);
        EXPECT_TRUE(lit(pixel(image, glass))) << "zoom " << zoom;
        // The mode button "SINGLE" at 747, 735: a grey key left of its caption.
        EXPECT_TRUE(grey(pixel(image, CPoint((747 + 22) * zoom, (735 + 30) * zoom)))) << "zoom " << zoom;
        // The first browser cell lies on the list's dark field.
        Rgb list = pixel(image, CPoint((550 + 230.5 + 370) * zoom, (864.5 + 152.5 + 40) * zoom));
        EXPECT_LT(list.r + list.g + list.b, 120) << "zoom " << zoom;

        // Switched off, the glass is dark.
        panel.view("LCDLight")->setVisible(false);
        panel.view("LCDLines")->setVisible(false);
        SharedPointer<CBitmap> dark = panel.render("panel_play_dark_" + suffix + ".png");
        Rgb off = pixel(dark, glass);
        EXPECT_FALSE(lit(off)) << "zoom " << zoom;
        EXPECT_LT(off.g, 90) << "zoom " << zoom;
    }
}

TEST(PanelRender, EditPagesShowKnobPointersAndButtonColours) {
    PanelFrame panel(1.0);
    ASSERT_TRUE(panel.valid());
    panel.showPage("mode_edit");
    auto* attack = dynamic_cast<CAnimKnob*>(panel.view("Param_SourceS1EnvAttack"));
    ASSERT_NE(attack, nullptr);
    const CPoint centre = panel.toWindow(attack, attack->getViewSize().getCenter());
    const double pi = 3.14159265358979323846;
    const CPoint atMinimum(centre.x + 41 * std::cos(0.75 * pi), centre.y + 41 * std::sin(0.75 * pi));
    const CPoint atMaximum(centre.x + 41 * std::cos(0.25 * pi), centre.y + 41 * std::sin(0.25 * pi));

    attack->setValueNormalized(0);
    SharedPointer<CBitmap> image = panel.render("panel_edit_source_1.0.png");
    EXPECT_TRUE(white(pixel(image, atMinimum)));
    EXPECT_FALSE(white(pixel(image, atMaximum)));
    attack->setValueNormalized(1);
    image = panel.render("panel_edit_source_1.0.png");
    EXPECT_FALSE(white(pixel(image, atMinimum)));
    EXPECT_TRUE(white(pixel(image, atMaximum)));

    // Mutes 1 to 3 carry the plain, green and red keys the editor takes its button images from.
    auto keyColour = [&](const char* name) {
        CView* mute = panel.view(name);
        CRect r = mute->getViewSize();
        return pixel(image, panel.toWindow(mute, CPoint(r.left + 20, r.top + 30)));
    };
    EXPECT_TRUE(grey(keyColour("Param_SourceS1Mute")));
    Rgb green = keyColour("Param_SourceS2Mute"), red = keyColour("Param_SourceS3Mute");
    EXPECT_GT(green.g, green.r + 25);
    EXPECT_GT(red.r, red.g + 25);

    // Give every other knob a spread of values for the pictures.
    int i = 0;
    for (CView* v : descendants(panel.root))
        if (auto* knob = dynamic_cast<CAnimKnob*>(v); knob && knob != attack)
            knob->setValueNormalized(static_cast<float>(i++ % 9) / 8.f);
    panel.render("panel_edit_source_1.0.png");
    panel.showPage("mode_edit", false);
    panel.render("panel_edit_common_1.0.png");
    panel.showPage("mode_edit_multi");
    panel.render("panel_multi_1.0.png");
    panel.showPage("mode_edit_system");
    panel.render("panel_system_1.0.png");
}
