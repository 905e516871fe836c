// Offscreen rendering: a frame with a bitmap, a label and a knob, written as PNG and probed
// at chosen pixels at zoom 1.0 and 0.25; PNG input; fonts; tooltips.
#include "tests/gui/GuiTestHelpers.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <fstream>
#include <iterator>

using namespace VSTGUI;

namespace {
constexpr uint32_t rgba(const CColor& c) {
    return (uint32_t(c.red) << 24) | (uint32_t(c.green) << 16) | (uint32_t(c.blue) << 8) | c.alpha;
}
const CColor kPanel(40, 40, 40);
const CColor kLabelBack(0, 0, 90);

// The scene in design units (320 x 200): a bitmap at (10,10), a label at (100,10), a knob at
// (10,100) whose strip is red, green, blue.
SharedPointer<CFrame> makeScene(double zoom, CAnimKnob*& knob) {
    auto frame = owned(new CFrame(CRect(0, 0, 320 * zoom, 200 * zoom), nullptr));
    frame->setBackgroundColor(kPanel);
    CGraphicsTransform t;
    t.scale(zoom, zoom);
    frame->setTransform(t);

    auto source = owned(guitest::makeStrip(60, 40, 1, {kBlueCColor}));
    const std::vector<unsigned char> png = guitest::encodePNG(source);
    auto decoded = owned(CBitmap::createFromPNG(png.data(), png.size()));
    auto* picture = new CView(CRect(10, 10, 70, 50));
    picture->setBackground(decoded);
    frame->addView(picture);

    auto* label = new CTextLabel(CRect(100, 10, 300, 70), "Abc");
    auto font = owned(new CFontDesc("Arial", 40, kBoldFace));
    label->setFont(font);
    label->setFontColor(kWhiteCColor);
    label->setBackColor(kLabelBack);
    frame->addView(label);

    auto strip = owned(guitest::makeStrip(40, 40, 3, {kRedCColor, kGreenCColor, kBlueCColor}));
    knob = new CAnimKnob(CRect(10, 100, 50, 140), nullptr, 1, strip);
    knob->setHeightOfOneImage(40);
    knob->setValueNormalized(0.5f);
    frame->addView(knob);
    return frame;
}

int countPixels(CBitmap* image, const CRect& area, uint32_t colour, bool equal) {
    int count = 0;
    for (int y = static_cast<int>(area.top); y < area.bottom; ++y)
        for (int x = static_cast<int>(area.left); x < area.right; ++x)
            count += (image->getPixelRGBA(x, y) == colour) == equal ? 1 : 0;
    return count;
}
} // namespace

TEST(GuiRender, FullSizeFrameShowsBitmapLabelAndKnob) {
    CAnimKnob* knob = nullptr;
    auto frame = makeScene(1.0, knob);
    ASSERT_TRUE(zykgui::test::renderToPNG(frame, "gui_render_zoom100.png"));
    auto image = zykgui::test::renderFrame(frame);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getWidth(), 320);
    EXPECT_EQ(image->getHeight(), 200);
    EXPECT_EQ(image->getPixelRGBA(5, 5), rgba(kPanel));
    EXPECT_EQ(image->getPixelRGBA(40, 30), rgba(kBlueCColor));
    EXPECT_EQ(image->getPixelRGBA(69, 49), rgba(kBlueCColor));
    EXPECT_EQ(image->getPixelRGBA(70, 50), rgba(kPanel)) << "the bitmap view ends at its rectangle";
    EXPECT_EQ(image->getPixelRGBA(30, 120), rgba(kGreenCColor)) << "middle frame of the knob strip";
    EXPECT_EQ(image->getPixelRGBA(101, 11), rgba(kLabelBack));
    EXPECT_GT(countPixels(image, CRect(100, 10, 300, 70), rgba(kWhiteCColor), true), 100)
        << "the text is drawn";

    // The written file reads back with its size and pixels.
    std::ifstream file("gui_render_zoom100.png", std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    auto written = owned(CBitmap::createFromPNG(bytes.data(), bytes.size()));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->getSize(), CPoint(320, 200));
    EXPECT_EQ(written->getPixelRGBA(30, 120), rgba(kGreenCColor));

    knob->setValueNormalized(1.f);
    image = zykgui::test::renderFrame(frame);
    EXPECT_EQ(image->getPixelRGBA(30, 120), rgba(kBlueCColor));
}

TEST(GuiRender, QuarterZoomScalesEverything) {
    CAnimKnob* knob = nullptr;
    auto frame = makeScene(0.25, knob);
    ASSERT_TRUE(zykgui::test::renderToPNG(frame, "gui_render_zoom25.png"));
    auto image = zykgui::test::renderFrame(frame);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getWidth(), 80);
    EXPECT_EQ(image->getHeight(), 50);
    EXPECT_EQ(image->getPixelRGBA(10, 7), rgba(kBlueCColor));
    EXPECT_EQ(image->getPixelRGBA(7, 30), rgba(kGreenCColor));
    EXPECT_EQ(image->getPixelRGBA(20, 20), rgba(kPanel));
    EXPECT_GT(countPixels(image, CRect(26, 3, 74, 17), rgba(kLabelBack), false), 5) << "some text survives";
}

TEST(GuiRender, PaintingTheDirtyRegionTouchesOnlyThatRegion) {
    CAnimKnob* knob = nullptr;
    auto frame = makeScene(1.0, knob);
    auto context = COffscreenContext::create(frame, 320, 200);
    frame->paintDirtyRegion(context);
    EXPECT_FALSE(frame->hasDirtyRegion());
    EXPECT_EQ(context->getBitmap()->getPixelRGBA(30, 120), rgba(kGreenCColor));

    knob->setValueNormalized(0.f);
    ASSERT_EQ(frame->getDirtyRects().size(), 1u);
    EXPECT_EQ(frame->getDirtyRects()[0], CRect(10, 100, 50, 140));
    frame->setBackgroundColor(kBlackCColor);
    frame->paintDirtyRegion(context);
    EXPECT_EQ(context->getBitmap()->getPixelRGBA(30, 120), rgba(kRedCColor));
    EXPECT_EQ(context->getBitmap()->getPixelRGBA(5, 5), rgba(kBlackCColor));
}

TEST(GuiRender, BadPngDataIsRefusedWithALogLine) {
    LogCapture capture;
    const unsigned char junk[3] = {1, 2, 3};
    EXPECT_EQ(CBitmap::createFromPNG(junk, sizeof(junk)), nullptr);
    EXPECT_TRUE(capture.contains("CBitmap@31: Not a PNG image (3 bytes)"));

    auto source = owned(guitest::makeStrip(8, 8, 1, {kRedCColor}));
    std::vector<unsigned char> png = guitest::encodePNG(source);
    png.resize(png.size() / 2);
    EXPECT_EQ(CBitmap::createFromPNG(png.data(), png.size()), nullptr);
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[1].rfind("CBitmap@37: Failed to decode PNG image: ", 0), 0u);
}

TEST(GuiRender, PanelFontsResolveToLiberationSans) {
    CFontDesc arial("Arial", 20, kBoldFace);
    CFontDesc gadugi("Gadugi", 20);
    EXPECT_EQ(arial.getResolvedFamily(), "Liberation Sans");
    EXPECT_EQ(gadugi.getResolvedFamily(), "Liberation Sans");
    EXPECT_NE(arial.getFontFace(), nullptr);
}

TEST(GuiRender, InvalidUtf8DoesNotStopLaterDrawing) {
    auto frame = owned(new CFrame(CRect(0, 0, 100, 60), nullptr));
    auto* bad = new CTextLabel(CRect(0, 0, 100, 30), "\xFF\xFE broken");
    bad->setTransparency(true);
    frame->addView(bad);
    auto* after = new CView(CRect(0, 30, 100, 60));
    after->setBackground(owned(guitest::makeStrip(100, 30, 1, {kRedCColor})));
    frame->addView(after);
    auto image = zykgui::test::renderFrame(frame);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getPixelRGBA(50, 45), rgba(kRedCColor));
}

TEST(GuiRender, TooltipAppearsAfterTheDelayAndHidesOnPress) {
    zykgui::test::ManualClock clock;
    auto frame = owned(new CFrame(CRect(0, 0, 200, 100), nullptr));
    auto* view = new CView(CRect(0, 0, 100, 100));
    view->setTooltipText("Wave && more");
    frame->addView(view);
    frame->enableTooltips(true, 500);
    frame->platformOnMouseMoved({10, 10}, 0);
    clock.advance(499);
    EXPECT_TRUE(frame->getShownTooltip().empty());
    clock.advance(1);
    EXPECT_EQ(frame->getShownTooltip(), "Wave && more") << "shown literally";
    auto image = zykgui::test::renderFrame(frame);
    EXPECT_EQ(image->getPixelRGBA(12, 32), rgba(CColor(255, 255, 225)));
    frame->platformOnMouseDown({10, 10}, kLButton);
    EXPECT_TRUE(frame->getShownTooltip().empty());
}

TEST(GuiRender, OpenMenuPopupIsDrawnOverTheViews) {
    auto frame = owned(new CFrame(CRect(0, 0, 300, 200), nullptr));
    frame->setBackgroundColor(kPanel);
    auto* menu = new COptionMenu(CRect(10, 10, 110, 30), nullptr, 1);
    menu->addEntry("Group", -1, CMenuItem::kTitle);
    menu->addEntry("Saw");
    auto* sub = new COptionMenu();
    sub->addEntry("Sine 1");
    sub->addEntry("Sine 2");
    menu->addEntry(sub, "Sine");
    sub->forget();
    menu->setCurrent(1);
    frame->addView(menu);
    ASSERT_TRUE(menu->popup());
    VstKeyCode down{0, VKEY_DOWN, 0};
    frame->platformOnKeyDown(down);
    VstKeyCode right{0, VKEY_RIGHT, 0};
    frame->platformOnKeyDown(right);
    ASSERT_TRUE(zykgui::test::renderToPNG(frame, "gui_render_menu.png"));
    auto image = zykgui::test::renderFrame(frame);
    const uint32_t highlight = rgba(CColor(56, 116, 216));
    // Root column below the menu with "Sine" (row 2) lit; its sub-menu to the right, first row lit.
    EXPECT_EQ(image->getPixelRGBA(14, 31 + 20 * 2 + 3), highlight);
    EXPECT_EQ(image->getPixelRGBA(14, 31 + 20 * 1 + 3), rgba(CColor(245, 245, 245)));
    EXPECT_GT(countPixels(image, CRect(111, 71, 160, 90), highlight, true), 100);
}

TEST(GuiRender, GradientFillsAPathWithNonZeroWinding) {
    auto image = owned(new CBitmap(100, 100));
    cairo_t* cr = cairo_create(image->getSurface());
    {
        CDrawContext context(cr);
        SharedPointer<CGraphicsPath> path = owned(context.createGraphicsPath());
        path->addRect(CRect(10, 10, 90, 90));
        path->addRect(CRect(30, 30, 70, 70));
        SharedPointer<CGradient> gradient =
            owned(CGradient::create(0, 1, CColor(0x00, 0xD5, 0x41), CColor(0x00, 0x55, 0x24)));
        context.setDrawMode(kAntiAliasing);
        context.fillLinearGradient(path, *gradient, {0, 10}, {0, 90}, false);
    }
    cairo_destroy(cr);
    const auto green = [&](int x, int y) { return (image->getPixelRGBA(x, y) >> 16) & 0xFF; };
    EXPECT_NEAR(green(50, 11), 0xD5, 3) << "top colour at the start point";
    EXPECT_NEAR(green(50, 89), 0x55, 3) << "bottom colour at the end point";
    EXPECT_NEAR(green(50, 50), (0xD5 + 0x55) / 2, 4) << "linear in between";
    EXPECT_NE(image->getPixelRGBA(50, 50), 0u) << "non-zero winding fills the inner square too";
    EXPECT_EQ(image->getPixelRGBA(5, 5), 0u) << "nothing outside the path";
}

TEST(GuiRender, StripFramesDoNotBleedAtFractionalZoom) {
    CAnimKnob* knob = nullptr;
    auto frame = makeScene(0.3, knob);
    frame->setBitmapInterpolationQuality(BitmapInterpolationQuality::kHigh);
    auto image = zykgui::test::renderFrame(frame);
    // The knob covers design (10..50, 100..140), window (3..15, 30..42); its inner pixels
    // come from the green middle frame only.
    EXPECT_EQ(countPixels(image, CRect(4, 31, 14, 41), rgba(kGreenCColor), false), 0);
}

TEST(GuiRender, LabelTextFollowsItsAlignment) {
    auto frame = owned(new CFrame(CRect(0, 0, 300, 40), nullptr));
    auto* label = new CTextLabel(CRect(0, 0, 300, 40), "Wave");
    label->setFontColor(kWhiteCColor);
    label->setBackColor(kBlackCColor);
    frame->addView(label);
    const auto inkColumns = [&](CHoriTxtAlign align) {
        label->setHoriAlign(align);
        auto image = zykgui::test::renderFrame(frame);
        int first = -1, last = -1;
        for (int x = 0; x < 300; ++x) {
            if (countPixels(image, CRect(x, 0, x + 1, 40), rgba(kBlackCColor), false) == 0) continue;
            if (first < 0) first = x;
            last = x;
        }
        return std::make_pair(first, last);
    };
    const auto left = inkColumns(kLeftText);
    const auto centre = inkColumns(kCenterText);
    const auto right = inkColumns(kRightText);
    EXPECT_LT(left.first, 5);
    EXPECT_GT(right.second, 294);
    EXPECT_NEAR((centre.first + centre.second) / 2.0, 150, 4);
    EXPECT_NEAR(right.second - right.first, left.second - left.first, 1);
}

TEST(GuiRender, EditingTextShowsACaret) {
    auto frame = owned(new CFrame(CRect(0, 0, 200, 40), nullptr));
    auto* edit = new CTextEdit(CRect(0, 0, 200, 40), nullptr, 0, "");
    edit->setBackColor(kBlackCColor);
    edit->setFontColor(kWhiteCColor);
    frame->addView(edit);
    EXPECT_EQ(countPixels(zykgui::test::renderFrame(frame), CRect(0, 0, 200, 40), rgba(kBlackCColor), false),
              0);
    frame->setFocusView(edit);
    EXPECT_GT(countPixels(zykgui::test::renderFrame(frame), CRect(95, 5, 106, 35), rgba(kBlackCColor), false),
              5)
        << "a caret in the middle of the empty centred field";
}
