// The description parser on small documents of our own: what it builds and what it refuses.
#include "tests/panel/PanelTestSupport.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cairo.h>

using namespace VSTGUI;
using namespace paneltest;

namespace {

// A 3 x 4 PNG, drawn here.
std::string smallPng() {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 4);
    std::string bytes;
    cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    cairo_surface_destroy(surface);
    return bytes;
}

std::string base64(const std::string& bytes) {
    static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t n = uint8_t(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= uint8_t(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) n |= uint8_t(bytes[i + 2]);
        out += alphabet[n >> 18];
        out += alphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[n & 63] : '=';
    }
    return out;
}

std::string document(const std::string& bitmaps, const std::string& views) {
    return "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<vstgui-ui-description version=\"1\">\n"
           "<bitmaps>" +
           bitmaps +
           "</bitmaps>\n<fonts><font name=\"f\" font-name=\"Arial\" size=\"20\" bold=\"true\" "
           "italic=\"false\"/>"
           "</fonts>\n<template name=\"T\" class=\"CViewContainer\" origin=\"0, 0\" size=\"400, 300\" "
           "minSize=\"100, 75\" maxSize=\"400, 300\" transparent=\"false\" custom-view-name=\"top\">\n" +
           views + "</template>\n</vstgui-ui-description>\n";
}

std::string bitmap(const std::string& name, const std::string& data) {
    return "<bitmap name=\"" + name + "\" path=\"" + name + ".png\"><data encoding=\"base64\"><![CDATA[" +
           data + "]]></data></bitmap>";
}

bool loggedLineStarting(const LogCapture& capture, const std::string& prefix) {
    for (const std::string& line : capture.lines())
        if (line.rfind(prefix, 0) == 0) return true;
    return false;
}

std::string nested(int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i)
        s += "<view class=\"CViewContainer\">";
    for (int i = 0; i < depth; ++i)
        s += "</view>";
    return s;
}

struct Parsed {
    explicit Parsed(const std::string& text, uint32_t chunk = 0xFFFFFFFFu)
        : provider(text, chunk), description(new UIDescription(&provider)) {
        ok = description->parse();
        if (ok) root = description->createView("T", nullptr);
    }
    ~Parsed() {
        if (root) root->forget();
        description->forget();
    }
    MemoryProvider provider;
    UIDescription* description;
    bool ok = false;
    CView* root = nullptr;
};

} // namespace

TEST(PanelParser, BuildsNestedViewsWithTheirAttributesFromSmallChunks) {
    const std::string text = document(
        bitmap("strip", base64(smallPng())),
        "<view class=\"CViewContainer\" origin=\"10, 20\" size=\"200, 100\" transparent=\"true\" "
        "custom-view-name=\"outer\">\n"
        "  <view class=\"CKickButton\" origin=\"1.5, 2\" size=\"3, 2\" transparent=\"false\" "
        "custom-view-name=\"kick\" "
        "bitmap=\"strip\" height-of-one-image=\"2\" tooltip=\"A &amp;&amp; B\" mouse-enabled=\"false\"/>\n"
        "  <view class=\"CTextLabel\" origin=\"0, 0\" size=\"50, 20\" transparent=\"true\" "
        "custom-view-name=\"caption\" "
        "font=\"f\" font-color=\"#FFFFFFDC\" text-alignment=\"left\" font-antialias=\"true\" title=\"EDIT\" "
        "default-value=\"0.5\" min-value=\"0\" max-value=\"1\" wheel-inc-value=\"0.1\"/>\n"
        "</view>\n"
        "<view class=\"CAnimKnob\" origin=\"0, 0\" size=\"3, 2\" transparent=\"false\" "
        "custom-view-name=\"knob\" "
        "angle-start=\"135\" angle-range=\"270\" min-value=\"60\" max-value=\"108\" "
        "default-value=\"0.5\"/>\n");
    Parsed parsed(text, 5);
    ASSERT_TRUE(parsed.ok);
    ASSERT_NE(parsed.root, nullptr);
    EXPECT_EQ(customName(parsed.root), "top");
    EXPECT_FALSE(parsed.root->getTransparency());
    std::vector<CView*> views = descendants(parsed.root);
    ASSERT_EQ(views.size(), 4u);

    EXPECT_EQ(customName(views[0]), "outer");
    EXPECT_EQ(views[0]->getViewSize(), CRect(10, 20, 210, 120));
    auto* kick = dynamic_cast<CKickButton*>(views[1]);
    ASSERT_NE(kick, nullptr);
    EXPECT_EQ(kick->getViewSize(), CRect(1.5, 2, 4.5, 4));
    EXPECT_EQ(kick->getBackground(), parsed.description->getBitmap("strip"));
    EXPECT_EQ(kick->getBackground()->getSize(), CPoint(3, 4));
    EXPECT_EQ(kick->getHeightOfOneImage(), 2);
    EXPECT_EQ(kick->getTooltipText().getString(), "A && B");
    EXPECT_FALSE(kick->getMouseEnabled());
    uint32_t size = 0;
    ASSERT_TRUE(kick->getAttributeSize(kCViewCustomViewNameAttribute, size));
    EXPECT_EQ(size, 5u) << "the name is stored with its terminating zero";

    auto* label = dynamic_cast<CTextLabel*>(views[2]);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getText().getString(), "EDIT");
    EXPECT_EQ(label->getFont(), parsed.description->getFont("f"));
    EXPECT_EQ(label->getFontColor(), CColor(255, 255, 255, 0xDC));
    EXPECT_EQ(label->getHoriAlign(), kLeftText);
    EXPECT_FLOAT_EQ(label->getWheelInc(), 0.1f);

    auto* knob = dynamic_cast<CAnimKnob*>(views[3]);
    ASSERT_NE(knob, nullptr);
    EXPECT_FLOAT_EQ(knob->getMin(), 60);
    EXPECT_FLOAT_EQ(knob->getMax(), 108);
    EXPECT_FLOAT_EQ(knob->getDefaultValue(), 0.5f);
}

TEST(PanelParser, RefusesMalformedDocumentsWithALogLine) {
    struct Case {
        const char* what;
        std::string text;
        const char* logged;
    };
    const std::vector<Case> cases{
        {"unclosed element", document("", "<view class=\"CView\" origin=\"0, 0\" size=\"1, 1\">"),
         "parse@75: XML error at line"},
        {"truncated", document("", "").substr(0, 120), "parse@75: XML error"},
        {"empty", "", "parse@75: XML error"},
        {"no template", "<vstgui-ui-description version=\"1\"><bitmaps/><fonts/></vstgui-ui-description>",
         "parse@194: The description holds no template"},
        {"wrong root", "<svg><template name=\"T\"/></svg>", "parse@176: Unexpected root element svg"},
        {"nesting bomb", document("", nested(100)), "parse@131: Elements nested deeper than 64"}};
    for (const Case& c : cases) {
        LogCapture capture;
        Parsed parsed(c.text);
        EXPECT_FALSE(parsed.ok) << c.what;
        EXPECT_TRUE(loggedLineStarting(capture, c.logged)) << c.what;
    }
}

TEST(PanelParser, BadBitmapsUnknownAttributesAndClassesAreLoggedAndSkipped) {
    const std::string png = smallPng();
    const std::string text = document(
        bitmap("notpng", base64("hello, world")) + bitmap("garbled", "@@@@") + bitmap("good", base64(png)) +
            "<bitmap name=\"nodata\" path=\"nodata.png\"/>",
        "<view class=\"CView\" origin=\"0, 0\" size=\"3, 4\" transparent=\"false\" custom-view-name=\"a\" "
        "bitmap=\"notpng\" sparkle=\"yes\"/>\n"
        "<view class=\"CFancyDial\" origin=\"0, 0\" size=\"3, 4\" custom-view-name=\"b\"/>\n"
        "<view class=\"CView\" origin=\"zero, 0\" size=\"3, 4\" transparent=\"maybe\" custom-view-name=\"c\" "
        "bitmap=\"good\"/>\n");
    LogCapture capture;
    Parsed parsed(text);
    ASSERT_TRUE(parsed.ok);
    ASSERT_NE(parsed.root, nullptr);
    EXPECT_TRUE(capture.contains("loadBitmaps@219: Bitmap notpng could not be decoded"));
    EXPECT_TRUE(capture.contains("loadBitmaps@219: Bitmap garbled could not be decoded"));
    EXPECT_TRUE(capture.contains("loadBitmaps@213: Bitmap nodata carries no base64 data"));
    EXPECT_TRUE(capture.contains("applyAttribute@313: Unknown bitmap notpng"));
    EXPECT_TRUE(capture.contains("applyAttribute@351: Unknown attribute 'sparkle' on CView ignored"));
    EXPECT_TRUE(capture.contains("createView@265: Unknown view class 'CFancyDial' left out"));
    EXPECT_TRUE(capture.contains("createView@262: Invalid origin or size on a CView view"));
    EXPECT_TRUE(capture.contains("applyAttribute@287: Invalid value 'maybe' for transparent"));
    EXPECT_EQ(parsed.description->getBitmap("notpng"), nullptr);
    ASSERT_NE(parsed.description->getBitmap("good"), nullptr);

    std::vector<CView*> views = descendants(parsed.root);
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(customName(views[0]), "a");
    EXPECT_EQ(views[0]->getBackground(), nullptr);
    EXPECT_EQ(customName(views[1]), "c");
    EXPECT_EQ(views[1]->getBackground(), parsed.description->getBitmap("good"));

    EXPECT_EQ(parsed.description->createView("missing", nullptr), nullptr);
    EXPECT_TRUE(capture.contains("createView@248: No template named missing"));
}

TEST(PanelParser, AProviderThatOverDeliversIsRefused) {
    struct Greedy : xml::IContentProvider {
        uint32_t readRawXmlData(int8_t*, uint32_t size) override { return size + 1; }
        void rewind() override {}
    } greedy;
    LogCapture capture;
    UIDescription* description = new UIDescription(&greedy);
    EXPECT_FALSE(description->parse());
    EXPECT_TRUE(capture.contains("parse@70: The content provider delivered more bytes than asked for"));
    description->forget();
}

TEST(PanelParser, ViewsOutliveTheirDescription) {
    const std::string text =
        document(bitmap("strip", base64(smallPng())), "<view class=\"CTextLabel\" origin=\"0, 0\" size=\"3, "
                                                      "4\" transparent=\"true\" custom-view-name=\"l\" "
                                                      "bitmap=\"strip\" font=\"f\" title=\"x\"/>\n");
    MemoryProvider provider(text);
    auto* description = new UIDescription(&provider);
    ASSERT_TRUE(description->parse());
    CView* root = description->createView("T", nullptr);
    description->forget();
    ASSERT_NE(root, nullptr);
    auto* label = dynamic_cast<CTextLabel*>(descendants(root).at(0));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getBackground()->getSize(), CPoint(3, 4));
    EXPECT_EQ(label->getFont()->getSize(), 20);
    root->forget();
}
