// The embedded panel description: what the editor code relies on when it opens.
#include "tests/panel/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <set>
#include <sstream>

using namespace VSTGUI;
using namespace paneltest;

namespace {

struct PanelFixture : ::testing::Test {
    void SetUp() override { root = panelDescription().createView("Zyk", nullptr); }
    void TearDown() override {
        if (root) root->forget();
    }
    CView* root = nullptr;
};

using Names = std::map<std::string, std::vector<CView*>>;

// What the editor's lookup does: the first view of the name that has the required class.
bool resolves(const Names& names, const std::string& name, const std::string& cls) {
    auto found = names.find(name);
    if (found == names.end()) return false;
    for (CView* v : found->second) {
        std::string actual = className(v);
        if (actual == cls || cls == "CView" || (cls == "CTextLabel" && actual == "CTextEdit") ||
            (cls == "CControl" && actual != "CView" && actual != "CViewContainer"))
            return true;
    }
    return false;
}

std::vector<std::string> classesOf(const Names& names, const std::string& name) {
    std::vector<std::string> out;
    auto found = names.find(name);
    if (found != names.end())
        for (CView* v : found->second)
            out.push_back(className(v));
    return out;
}

// Coordinates go through decimal text, so they match to a millionth.
bool sameRect(const CRect& a, const CRect& b) {
    return std::abs(a.left - b.left) < 1e-6 && std::abs(a.top - b.top) < 1e-6 &&
           std::abs(a.right - b.right) < 1e-6 && std::abs(a.bottom - b.bottom) < 1e-6;
}

std::vector<std::string> words(const char* list) {
    std::istringstream in(list);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

std::string numbered(const char* format, int n) {
    char text[64];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

} // namespace

TEST_F(PanelFixture, TemplateHoldsTheViewsByClassAndName) {
    ASSERT_NE(root, nullptr);
    EXPECT_PRED2(sameRect, root->getViewSize(), CRect(0, -0.00006103516, 2560, 1440 - 0.00006103516));
    EXPECT_EQ(customName(root), "bg");
    EXPECT_EQ(root->getBackground(), panelDescription().getBitmap("background"));

    std::vector<CView*> views = descendants(root);
    EXPECT_EQ(views.size(), 385u);
    std::map<std::string, int> counts;
    std::set<std::string> names;
    for (CView* v : views) {
        ++counts[className(v)];
        std::string name = customName(v);
        EXPECT_FALSE(name.empty()) << "every view carries a custom-view name";
        names.insert(name);
    }
    const std::map<std::string, int> expected{{"CView", 135},    {"CTextLabel", 106}, {"COptionMenu", 55},
                                              {"CAnimKnob", 37}, {"CKickButton", 34}, {"CViewContainer", 15},
                                              {"CTextEdit", 3}};
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(names.size(), 295u);
}

TEST_F(PanelFixture, EveryBoundNameResolvesToTheClassItsCodeAsksFor) {
    ASSERT_NE(root, nullptr);
    const Names names = viewsByName(root);
    std::vector<std::pair<std::string, std::string>> wanted;
    auto want = [&wanted](const std::string& cls, const char* list) {
        for (const std::string& n : words(list))
            wanted.emplace_back(n, cls);
    };
    want("CViewContainer", "mode_play mode_edit mode_edit_multi mode_edit_system edit_common edit_source "
                           "LCDLines fontExport throttleArea");
    want("CKickButton",
         "btModeSingle btModeMulti btEdit btSystem btEditCommon btWaveDec btWaveInc btCoarseDec "
         "btCoarseInc btEditSourceA btEditSourceB btEditSourceC btEditSourceD "
         "Param_SourceS1Mute Param_SourceS2Mute Param_SourceS3Mute Param_SourceS4Mute "
         "Param_SourceS1VibABend Param_SourceS1PressureToFreq Param_SourceS1KeyTrack");
    want("CView", "btCoarseDecText btCoarseIncText envdummy clickableLogo btDonate LCDLight throttle "
                  "resizeHandle");
    want("CTextEdit", "editSingleName editMultiName searchSingle");
    want("COptionMenu", "bankSelect Param_SourceS1Coarse Param_SourceS1Wave Param_SourceS1VelCurve "
                        "Param_PolyMode Param_Source2or4 Param_AmpModS1S2 Param_AmpModS3S4 "
                        "Param_KeyScaleCurve Param_VibWheelMode Param_LfoShape");
    for (int c = 0; c < 16; ++c) {
        wanted.emplace_back(numbered("char0%02d", c), "CView");
        wanted.emplace_back(numbered("char1%02d", c), "CView");
    }
    for (char column = 'A'; column <= 'D'; ++column)
        for (int row = 0; row < 8; ++row)
            wanted.emplace_back(std::string("single") + column + char('0' + row), "CTextLabel");
    for (const std::string& button :
         words("btSingleDec btSingleInc btSingleImport btSingleExport btSingleReset "
               "btPageDec btPageInc btPageReset btBankDec btBankInc btBankImport "
               "btBankExport btBankReset")) {
        wanted.emplace_back(button, "CKickButton");
        wanted.emplace_back(button + "Text", "CTextLabel");
    }
    for (const auto& [name, cls] : wanted)
        EXPECT_TRUE(resolves(names, name, cls)) << name << " as " << cls;

    // Parameter views: the tables take each class once, in document order.
    const std::vector<std::string> knobAndLabel{"CAnimKnob", "CTextLabel"};
    for (const std::string& p :
         words("Param_SourceS1LevelModVel Param_SourceS1LevelModPressure Param_SourceS1LevelModKeyScale "
               "Param_SourceS1TimeModVel Param_SourceS1TimeModKeyScale Param_SourceS1FreqKeyScaleToFreq "
               "Param_SourceS1Fine Param_SourceS1EnvLevel Param_SourceS1EnvDelay Param_SourceS1EnvAttack "
               "Param_SourceS1EnvDecay Param_SourceS1EnvSustain Param_SourceS1EnvRelease Param_LfoSpeed "
               "Param_AutoBendDepth Param_AutoBendTime Param_VelToDepth Param_AutoBendKeyScaleToTime "
               "Param_VibratoDepth Param_PressureToVibrato Param_PressureToFreq Param_PitchBendDepth "
               "Param_Volume Param_MultiVolume"))
        EXPECT_EQ(classesOf(names, p), knobAndLabel) << p;
    EXPECT_EQ(classesOf(names, "Param_SourceS1Coarse"),
              (std::vector<std::string>{"COptionMenu", "CAnimKnob", "CTextLabel"}));

    // The Multi page, its columns and the settings page look their names up in their own containers.
    CView* multi = findView(root, "mode_edit_multi");
    ASSERT_NE(multi, nullptr);
    const Names multiNames = viewsByName(multi);
    for (const char* n : {"arrowLeft", "arrowRight"})
        EXPECT_TRUE(resolves(multiNames, n, "CView")) << n;
    for (char k = 'A'; k <= 'D'; ++k) {
        const std::string column = std::string("multiSection") + k;
        ASSERT_TRUE(resolves(multiNames, column, "CViewContainer")) << column;
        const Names columnNames = viewsByName(multiNames.at(column).front());
        EXPECT_TRUE(resolves(columnNames, "multiSectionName", "CTextLabel"));
        for (const std::string& menu : words("multiSectionSingle multiSectionZoneLow multiSectionZoneHigh "
                                             "multiSectionPoly multiSectionOutput multiSectionMode "
                                             "multiSectionChannel multiSectionVelocity"))
            EXPECT_EQ(classesOf(columnNames, menu), std::vector<std::string>{"COptionMenu"})
                << column << menu;
        for (const char* knob : {"multiSectionLevel", "multiSectionTranspose", "multiSectionTune"})
            EXPECT_EQ(classesOf(columnNames, knob), knobAndLabel) << column << knob;
    }
    CView* system = findView(root, "mode_edit_system");
    ASSERT_NE(system, nullptr);
    const Names systemNames = viewsByName(system);
    for (const std::string& menu :
         words("midiReceiveChannel midiReceiveProgramChange midiReceivePressure midiReceivePitchBend "
               "midiReceiveModWheel midiReceiveVolume midiReceiveHoldPedal midiReceiveVelocity "
               "midiReceiveSysEx "
               "midiReceivePan midiSendSysex audioOutputMode"))
        EXPECT_EQ(classesOf(systemNames, menu), std::vector<std::string>{"COptionMenu"}) << menu;
    EXPECT_TRUE(resolves(systemNames, "audio", "CViewContainer"));
    EXPECT_NE(findView(findView(system, "audio"), "audioOutputMode"), nullptr);
}

TEST_F(PanelFixture, FontExportHoldsTheGlyphsInDisplayOrder) {
    ASSERT_NE(root, nullptr);
    auto* glyphs = dynamic_cast<CViewContainer*>(findView(root, "fontExport"));
    ASSERT_NE(glyphs, nullptr);
    ASSERT_EQ(glyphs->getNbViews(), 94u);
    const std::string& table = displayGlyphTable();
    ASSERT_EQ(table.size(), 94u);
    std::set<std::string> seenPixels;
    for (uint32_t i = 0; i < 94; ++i) {
        CView* glyph = glyphs->getView(i);
        const char c = table[i];
        std::string bitmapName;
        if (i == 93)
            bitmapName = "tmptext__x005C_u25a0";
        else if (c == ':')
            bitmapName = "tmptext__";
        else if (std::isalnum(static_cast<unsigned char>(c)))
            bitmapName = std::string("tmptext_") + c;
        else
            bitmapName = numbered("tmptext__x%04X_", static_cast<unsigned char>(c));
        EXPECT_EQ(className(glyph), "CView");
        EXPECT_EQ(glyph->getBackground(), panelDescription().getBitmap(bitmapName.c_str()))
            << i << " " << bitmapName;
        EXPECT_PRED2(sameRect, glyph->getViewSize(),
                     CRect(CPoint(39.0 * (i % 18), 50.0 * (i / 18)), CPoint(39, 50)));

        // Every glyph has its own dot pattern.
        CBitmap* bitmap = glyph->getBackground();
        ASSERT_NE(bitmap, nullptr);
        std::string pixels;
        for (int y = 0; y < 50; y += 7)
            for (int x = 4; x < 39; x += 7)
                pixels += (bitmap->getPixelRGBA(x, y) & 0xFF) > 128 ? '#' : '.';
        EXPECT_TRUE(seenPixels.insert(pixels).second) << "glyph " << i << " repeats another";
    }
    EXPECT_EQ(customName(glyphs->getView(0)), "lcdCharA");
    EXPECT_EQ(customName(glyphs->getView(26)), "lcdCharaa");
    EXPECT_EQ(customName(glyphs->getView(61)), "lcdChar9");
    EXPECT_EQ(customName(glyphs->getView(62)), "lcdChar9 (1)");
    EXPECT_EQ(customName(glyphs->getView(91)), "lcdChar9 (30)");
    EXPECT_EQ(customName(glyphs->getView(92)), "@");
    EXPECT_EQ(customName(glyphs->getView(93)), "BLOCK");
}

TEST_F(PanelFixture, StripsAndBoxesFitTheirViews) {
    ASSERT_NE(root, nullptr);
    for (CView* v : descendants(root)) {
        CBitmap* bitmap = v->getBackground();
        const std::string cls = className(v);
        if (cls == "CAnimKnob") {
            auto* knob = static_cast<CAnimKnob*>(v);
            ASSERT_NE(bitmap, nullptr);
            EXPECT_EQ(knob->getHeightOfOneImage(), 150);
            EXPECT_EQ(knob->getNumSubPixmaps(), 63);
            EXPECT_NEAR(v->getWidth(), 150, 1e-6);
            EXPECT_NEAR(v->getHeight(), 150, 1e-6);
            EXPECT_FLOAT_EQ(knob->getStartAngle(), 3.14159265f * 0.75f);
            EXPECT_FLOAT_EQ(knob->getRangeAngle(), 3.14159265f * 1.5f);
        } else if (cls == "CKickButton") {
            auto* button = static_cast<CKickButton*>(v);
            ASSERT_NE(bitmap, nullptr) << customName(v);
            EXPECT_EQ(bitmap->getHeight(), 2 * button->getHeightOfOneImage()) << customName(v);
            EXPECT_NEAR(button->getHeightOfOneImage(), v->getHeight(), 1e-6) << customName(v);
            EXPECT_NEAR(bitmap->getWidth(), v->getWidth(), 1e-6) << customName(v);
        } else if (cls == "COptionMenu") {
            ASSERT_NE(bitmap, nullptr) << customName(v);
            EXPECT_EQ(bitmap->getWidth(), std::floor(v->getWidth() + 0.5 + 1e-9)) << customName(v);
            EXPECT_EQ(bitmap->getHeight(), std::floor(v->getHeight() + 0.5 + 1e-9)) << customName(v);
        }
    }
    auto* coarse = dynamic_cast<CAnimKnob*>(viewsByName(root).at("Param_SourceS1Coarse")[1]);
    ASSERT_NE(coarse, nullptr);
    EXPECT_EQ(coarse->getMin(), 60);
    EXPECT_EQ(coarse->getMax(), 108);
}

TEST(PanelDocument, BitmapsByRoleAndSize) {
    UIDescription& description = panelDescription();
    std::list<const std::string*> names;
    description.collectBitmapNames(names);
    EXPECT_EQ(names.size(), 133u);
    const std::map<std::string, std::pair<int, int>> sizes{
        {"background", {2560, 1440}},        {"display_light", {847, 336}},
        {"display_panelshadow", {670, 172}}, {"btn_donate_SM", {239, 73}},
        {"sourcemixthrottle", {74, 74}},     {"resize", {122, 100}},
        {"bake_mode_edit", {2210, 525}},     {"bake_sourcesMute", {224, 517}},
        {"bake_edit_source", {1665, 517}},   {"bake_edit_common", {1537, 517}},
        {"bake_mode_play", {2063, 517}},     {"bake_mode_edit_multi", {2216, 525}},
        {"bake_multiSection", {347, 525}},   {"bake_arrowRight", {128, 256}},
        {"bake_arrowLeft", {128, 256}},      {"bake_mode_edit_system", {2101, 475}},
        {"bake_audio", {546, 103}}};
    // Strips and boxes carry their size in their names ("168,5x73,4"); boxes round it to whole pixels.
    auto sizeInName = [](const std::string& name, double framesHigh) {
        std::string text = name.substr(name.rfind('_') + 1);
        std::replace(text.begin(), text.end(), ',', '.');
        const size_t x = text.find('x');
        return CPoint(std::floor(std::stod(text.substr(0, x)) + 0.5),
                      framesHigh * std::floor(std::stod(text.substr(x + 1)) + 0.5));
    };
    std::map<std::string, int> roles;
    for (const std::string* name : names) {
        CBitmap* bitmap = description.getBitmap(name->c_str());
        ASSERT_NE(bitmap, nullptr);
        const std::string role = name->substr(0, name->find('_'));
        ++roles[role];
        if (role == "tmptext")
            EXPECT_EQ(bitmap->getSize(), CPoint(39, 50)) << *name;
        else if (role == "button")
            EXPECT_EQ(bitmap->getSize(), sizeInName(*name, 2)) << *name;
        else if (role == "optionmenu")
            EXPECT_EQ(bitmap->getSize(), sizeInName(*name, 1)) << *name;
        else if (role == "knobvalue")
            EXPECT_EQ(bitmap->getSize(), CPoint(150, 9450)) << *name;
        else if (auto found = sizes.find(*name); found != sizes.end())
            EXPECT_EQ(bitmap->getSize(), CPoint(found->second.first, found->second.second)) << *name;
        else
            ADD_FAILURE() << "unexpected bitmap " << *name;
    }
    EXPECT_EQ(roles["tmptext"], 94);
    EXPECT_EQ(roles["button"], 8);
    EXPECT_EQ(roles["optionmenu"], 12);
    EXPECT_EQ(roles["knobvalue"], 2);
}

TEST(PanelDocument, FontsAndDocumentForm) {
    UIDescription& description = panelDescription();
    const std::map<std::string, std::pair<std::string, double>> fonts{
        {"gadugi_33_b", {"Gadugi", 33}}, {"arial_36_b", {"Arial", 36}}, {"gadugi_26_b", {"Gadugi", 26}},
        {"arial_28_b", {"Arial", 28}},   {"arial_24_b", {"Arial", 24}}, {"arial_30_b", {"Arial", 30}}};
    std::list<const std::string*> names;
    description.collectFontNames(names);
    EXPECT_EQ(names.size(), 6u);
    for (const auto& [name, face] : fonts) {
        CFontRef font = description.getFont(name.c_str());
        ASSERT_NE(font, nullptr) << name;
        EXPECT_EQ(font->getName().getString(), face.first);
        EXPECT_EQ(font->getSize(), face.second);
        EXPECT_EQ(font->getStyle(), kBoldFace);
    }
    const std::string head(reinterpret_cast<const char*>(k1editor::getData_uiXml()), 120);
    EXPECT_EQ(
        head.rfind(
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<vstgui-ui-description version=\"1\">",
            0),
        0u);
    const std::string all(reinterpret_cast<const char*>(k1editor::getData_uiXml()),
                          k1editor::getDataSize_uiXml());
    const size_t bitmaps = all.find("<bitmaps>"), fontsAt = all.find("<fonts>"),
                 templ = all.find("<template");
    EXPECT_LT(bitmaps, fontsAt);
    EXPECT_LT(fontsAt, templ);
    EXPECT_EQ(all.find("<template", templ + 1), std::string::npos) << "one template";
    EXPECT_EQ(all.find("control-tag"), std::string::npos);
}

TEST_F(PanelFixture, FixedLayoutPositions) {
    ASSERT_NE(root, nullptr);
    auto rectOf = [this](const std::string& name) {
        CView* v = findView(root, name);
        return v ? v->getViewSize() : CRect(-1, -1, -1, -1);
    };
    auto at = [](double x, double y, double w, double h) { return CRect(CPoint(x, y), CPoint(w, h)); };
    const struct {
        const char* name;
        double x, y, w, h;
    } fixed[] = {{"LCDLight", 752.499, 345.8, 847, 336},
                 {"LCDLines", 863.499, 447.8, 631, 129},
                 {"shadow", 838.499, 426.8, 670, 172},
                 {"clickableLogo", 1690.5, 436.3, 641, 266},
                 {"btDonate", 324.7, 207.3, 238.6, 73.4},
                 {"throttleArea", 279.9999, 357, 320, 320},
                 {"throttle", 246.0001, 246, 74, 74},
                 {"btModeSingle", 747, 735, 215, 87},
                 {"btModeMulti", 960.2, 735, 215, 87},
                 {"btEdit", 1176.85, 735, 215, 87},
                 {"btSystem", 1391.15, 735, 215, 87},
                 {"mode_edit", 188.5999, 864.5001, 2209.6, 525},
                 {"sourcesMute", 1975, -0.5, 223.6, 517.2},
                 {"edit_source", 269.4, -0.5, 1665.1, 517},
                 {"edit_common", 333.27, 0, 1537.15, 517},
                 {"mode_play", 230.4999, 864.5001, 2063, 517},
                 {"mode_edit_multi", 230.45, 864.5001, 2215.7, 525},
                 {"arrowLeft", 228, 188.7, 128, 256},
                 {"arrowRight", 2085.7, 188.7, 128, 256},
                 {"mode_edit_system", 230.4999, 864.545, 2101, 475.45},
                 {"audio", 0, 227, 546, 103},
                 {"resizeHandle", 2437.85, 1340, 122, 100},
                 {"fontExport", 0, 0, 722.9449, 344.8}};
    for (const auto& f : fixed)
        EXPECT_PRED2(sameRect, rectOf(f.name), at(f.x, f.y, f.w, f.h)) << f.name;
    const double columns[] = {524.6, 921.7, 1318.8, 1715.9};
    for (int k = 0; k < 4; ++k)
        EXPECT_PRED2(sameRect, rectOf(std::string("multiSection") + char('A' + k)),
                     at(columns[k], 0, 347.1, 525));
    for (int c = 0; c < 16; ++c) {
        const double x = c == 2 ? 77.99994 : 39.0 * c;
        EXPECT_PRED2(sameRect, rectOf(numbered("char0%02d", c)), at(x, 12.095, 39, 50));
        EXPECT_PRED2(sameRect, rectOf(numbered("char1%02d", c)), at(x, 66.905, 39, 50));
    }
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 8; ++row)
            EXPECT_EQ(rectOf(std::string("single") + char('A' + column) + char('0' + row)),
                      at(550.0001 + 378.25 * column, 152.5 + 44.6875 * row, 378.25, 44.6875));
}

TEST_F(PanelFixture, LabelsMenusAndKnobsLookAsTheirRolesSay) {
    ASSERT_NE(root, nullptr);
    UIDescription& description = panelDescription();
    std::map<std::string, CFontRef> fonts;
    for (const char* f :
         {"gadugi_33_b", "arial_36_b", "gadugi_26_b", "arial_28_b", "arial_24_b", "arial_30_b"})
        fonts[f] = description.getFont(f);
    auto fontName = [&fonts](CFontRef font) {
        for (const auto& [name, f] : fonts)
            if (f == font) return name;
        return std::string("?");
    };
    std::map<std::string, int> labelFonts, labelColours, labelAlign, menuFonts, knobStrips;
    for (CView* v : descendants(root)) {
        const std::string cls = className(v);
        if (cls == "CTextLabel") {
            auto* label = static_cast<CTextLabel*>(v);
            ++labelFonts[fontName(label->getFont())];
            ++labelColours[label->getFontColor().toString()];
            ++labelAlign[label->getHoriAlign() == kLeftText ? "left" : "center"];
            EXPECT_TRUE(label->getTransparency());
        } else if (cls == "COptionMenu") {
            auto* menu = static_cast<COptionMenu*>(v);
            ++menuFonts[fontName(menu->getFont())];
            EXPECT_EQ(menu->getFontColor(), CColor(255, 255, 255, 255));
        } else if (cls == "CAnimKnob") {
            ++knobStrips[v->getBackground() == description.getBitmap("knobvalue_knobvalue_knobshadow_Bottom")
                             ? "Bottom"
                             : "Top"];
        }
    }
    EXPECT_EQ(labelFonts,
              (std::map<std::string, int>{
                  {"arial_36_b", 69}, {"gadugi_33_b", 31}, {"arial_24_b", 4}, {"gadugi_26_b", 2}}));
    EXPECT_EQ(labelColours, (std::map<std::string, int>{{"#FFFFFFFF", 37},
                                                        {"#FFFFFFDC", 33},
                                                        {"#FFFFFFB2", 4},
                                                        {"#00FF56FF", 1},
                                                        {"#BC0000FF", 1},
                                                        {"#C0C0C0FF", 30}}));
    EXPECT_EQ(labelAlign, (std::map<std::string, int>{{"center", 74}, {"left", 32}}));
    EXPECT_EQ(menuFonts,
              (std::map<std::string, int>{{"arial_36_b", 21}, {"arial_30_b", 28}, {"arial_28_b", 6}}));
    EXPECT_EQ(knobStrips, (std::map<std::string, int>{{"Top", 23}, {"Bottom", 14}}));

    const Names names = viewsByName(root);
    auto* singleA0 = dynamic_cast<CTextLabel*>(names.at("singleA0").front());
    auto* singleA1 = dynamic_cast<CTextLabel*>(names.at("singleA1").front());
    ASSERT_TRUE(singleA0 && singleA1);
    EXPECT_EQ(singleA0->getFontColor().toString(), "#00FF56FF");
    EXPECT_EQ(singleA1->getFontColor().toString(), "#BC0000FF");
    EXPECT_EQ(names.at("Param_SourceS1VibABend").front()->getTooltipText().getString(),
              "Enable Frequency Modulation by Vibrato && Autobend");
    EXPECT_EQ(names.at("Param_SourceS1PressureToFreq").front()->getTooltipText().getString(),
              "Enable Pressure to Frequency Modulation");
    // The editor takes its button images from these five buttons.
    auto stripOf = [&names](const char* name) { return names.at(name).front()->getBackground(); };
    EXPECT_EQ(stripOf("Param_SourceS1Mute"), description.getBitmap("button_button_button_pressed_215x87"));
    EXPECT_EQ(stripOf("Param_SourceS2Mute"),
              description.getBitmap("button_button_green_button_green_pressed_215x87"));
    EXPECT_EQ(stripOf("Param_SourceS3Mute"),
              description.getBitmap("button_button_red_button_red_pressed_215x87"));
    EXPECT_EQ(stripOf("Param_SourceS1VibABend"),
              description.getBitmap("button_button_button_pressed_297x87"));
    EXPECT_EQ(stripOf("Param_SourceS1PressureToFreq"),
              description.getBitmap("button_button_green_button_green_pressed_297x87"));
}

// Value labels hold a placeholder until the editor writes the value: "+20", only the Single's
// volume "87". Every page button carries its caption, the common page's "COMMON" too.
TEST_F(PanelFixture, ValueLabelPlaceholdersAndPageButtonCaptions) {
    ASSERT_NE(root, nullptr);
    const Names names = viewsByName(root);
    auto labelText = [&names](const char* name) {
        for (CView* v : names.at(name))
            if (className(v) == "CTextLabel") return static_cast<CTextLabel*>(v)->getText().getString();
        return std::string("?");
    };
    EXPECT_EQ(labelText("Param_Volume"), "87");
    EXPECT_EQ(labelText("Param_MultiVolume"), "+20");
    EXPECT_EQ(labelText("Param_LfoSpeed"), "+20");
    auto captionOf = [&names](const char* button) {
        const CView* b = names.at(button).front();
        for (CView* v : names.at("Text"))
            if (v->getParentView() == b->getParentView() && sameRect(v->getViewSize(), b->getViewSize()))
                return static_cast<CTextLabel*>(v)->getText().getString();
        return std::string("?");
    };
    EXPECT_EQ(captionOf("btEditCommon"), "COMMON");
    EXPECT_EQ(captionOf("btEditSourceA"), "1");
}
