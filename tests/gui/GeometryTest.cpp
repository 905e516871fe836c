// Geometry, transforms, colours and UTF-8 checks.
#include "gui/vstgui/vstgui.h"

#include <gtest/gtest.h>

using namespace VSTGUI;

TEST(GuiGeometry, RectangleOperations) {
    CRect r(10, 20, 110, 70);
    EXPECT_TRUE(r.pointInside({10, 20}));
    EXPECT_FALSE(r.pointInside({110, 45})) << "right edge is outside";
    EXPECT_FALSE(r.pointInside({60, 70})) << "bottom edge is outside";

    CRect moved = r;
    moved.moveTo(0, 0);
    EXPECT_EQ(moved, CRect(0, 0, 100, 50));
    moved.offset(5, 5).extend(5, 5);
    EXPECT_EQ(moved, CRect(0, 0, 110, 60));

    EXPECT_TRUE(r.rectOverlap(CRect(100, 60, 200, 200)));
    EXPECT_FALSE(r.rectOverlap(CRect(110, 20, 200, 70))) << "touching edges do not overlap";

    CRect clipped(0, 0, 50, 50);
    clipped.bound(r);
    EXPECT_EQ(clipped, CRect(10, 20, 50, 50));
    CRect apart(300, 300, 400, 400);
    apart.bound(r);
    EXPECT_TRUE(apart.isEmpty());
}

TEST(GuiGeometry, TransformComposeAndInvert) {
    CGraphicsTransform t;
    t.scale(0.5, 0.5).translate(100, 10);
    EXPECT_EQ(t.transform(CPoint(40, 20)), CPoint(120, 20));

    const CPoint back = t.inverse().transform(CPoint(120, 20));
    EXPECT_DOUBLE_EQ(back.x, 40);
    EXPECT_DOUBLE_EQ(back.y, 20);

    CGraphicsTransform shift(1, 0, 0, 1, 5, 0);
    EXPECT_EQ((t * shift).transform(CPoint(0, 0)), CPoint(102.5, 10)) << "right operand applies first";

    CRect r(0, 0, 10, 20);
    t.transform(r);
    EXPECT_EQ(r, CRect(100, 10, 105, 20));
}

TEST(GuiGeometry, SingularTransformInvertsToIdentity) {
    const CGraphicsTransform flat(0, 0, 0, 0, 3, 4);
    EXPECT_TRUE(flat.inverse().isInvariant());
}

TEST(GuiGeometry, ColourParsesAndPrintsHex) {
    CColor c;
    ASSERT_TRUE(c.fromString("#00D541FF"));
    EXPECT_EQ(c, CColor(0x00, 0xD5, 0x41, 0xFF));
    ASSERT_TRUE(c.fromString("#102030"));
    EXPECT_EQ(c, CColor(0x10, 0x20, 0x30, 0xFF));
    EXPECT_EQ(c.toString(), "#102030FF");
    EXPECT_FALSE(c.fromString("#12345G"));
    EXPECT_FALSE(c.fromString("102030"));
    EXPECT_EQ(c, CColor(0x10, 0x20, 0x30, 0xFF)) << "a failed parse keeps the colour";
}

TEST(GuiGeometry, InvalidUtf8IsReplaced) {
    EXPECT_EQ(zykgui::makeValidUTF8("abc"), "abc");
    EXPECT_EQ(zykgui::makeValidUTF8("\xC3\xA4"), "\xC3\xA4") << "valid two-byte sequence kept";
    EXPECT_EQ(zykgui::makeValidUTF8("a\xFFz"), "a?z");
    EXPECT_EQ(zykgui::makeValidUTF8("\xC0\xAF"), "??") << "overlong form";
    EXPECT_EQ(zykgui::makeValidUTF8("\xED\xA0\x80"), "???") << "surrogate";
    EXPECT_EQ(zykgui::makeValidUTF8("x\xE2\x82"), "x??") << "truncated at the end";
    EXPECT_EQ(zykgui::encodeCodePoint(0x20AC), "\xE2\x82\xAC");
    EXPECT_EQ(zykgui::encodeCodePoint(0xD800), "");
}
