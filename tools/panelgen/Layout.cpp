#include "tools/panelgen/Layout.h"

#include "tools/panelgen/Glyphs.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace panelgen {
namespace {

// Computed coordinates are kept to six decimals so the document shows "453.9", not "453.90000000000003".
double tidy(double v) {
    return std::round(v * 1e6) / 1e6;
}

const char* const kArial36 = "arial_36_b";
const char* const kArial30 = "arial_30_b";
const char* const kArial28 = "arial_28_b";
const char* const kArial24 = "arial_24_b";
const char* const kGadugi33 = "gadugi_33_b";
const char* const kGadugi26 = "gadugi_26_b";

const char* const kValueColour = "#FFFFFFFF";
const char* const kCaptionColour = "#FFFFFFDC";

enum class Strip { Plain, Green, Red };

ViewNode makeView(const char* cls, const std::string& name, double x, double y, double w, double h) {
    ViewNode v;
    v.cls = cls;
    v.name = name;
    v.x = tidy(x);
    v.y = tidy(y);
    v.w = tidy(w);
    v.h = tidy(h);
    return v;
}

void setRange(ViewNode& v, const char* min = "0", const char* max = "1") {
    v.set("default-value", "0.5").set("min-value", min).set("max-value", max).set("wheel-inc-value", "0.1");
}

std::string stripName(Strip strip, int w, int h) {
    const char* prefix = strip == Strip::Green ? "button_button_green_button_green_pressed_"
                         : strip == Strip::Red ? "button_button_red_button_red_pressed_"
                                               : "button_button_button_pressed_";
    return prefix + std::to_string(w) + "x" + std::to_string(h);
}

// Knob frames are 150 x 150; the drawn knob sits within 56 of the centre.
constexpr double kKnobSize = 150;

// Adds views to one container and engravings to the bitmap drawn behind it.
class Page {
public:
    Page(ViewNode& root, std::vector<Engraving>& texts) : node(root), engravings(texts) {}

    ViewNode& container(const std::string& name, double x, double y, double w, double h, const char* bitmap) {
        ViewNode v = makeView("CViewContainer", name, x, y, w, h);
        if (bitmap) {
            v.transparent = false;
            v.set("bitmap", bitmap);
        }
        return node.add(std::move(v));
    }

    ViewNode& plain(const std::string& name, double x, double y, double w, double h,
                    const char* bitmap = nullptr) {
        ViewNode v = makeView("CView", name, x, y, w, h);
        if (bitmap) {
            v.transparent = false;
            v.set("bitmap", bitmap);
        }
        return node.add(std::move(v));
    }

    void engrave(Engraving::Kind kind, double x, double y, double w, double h, const std::string& text = "") {
        engravings.push_back({kind, x, y, w, h, text});
    }

    ViewNode& knob(const std::string& name, double x, double y, bool bottom, const char* min = "0",
                   const char* max = "1") {
        ViewNode v = makeView("CAnimKnob", name, x, y, kKnobSize, kKnobSize);
        v.transparent = false;
        v.set("bitmap",
              bottom ? "knobvalue_knobvalue_knobshadow_Bottom" : "knobvalue_knobvalue_knobshadow_Top");
        v.set("angle-start", "135").set("angle-range", "270").set("height-of-one-image", "150");
        v.set("default-value", "0.5")
            .set("min-value", min)
            .set("max-value", max)
            .set("wheel-inc-value", "0.1");
        return node.add(std::move(v));
    }

    // The value label sits on the knob's cap; clicks go through it to the knob.
    void valueLabel(const std::string& name, double knobX, double knobY, const char* title = "+20") {
        label(name, knobX + 15, knobY + 53, 120, 44, kArial36, kValueColour, title)
            .set("mouse-enabled", "false");
    }

    // A caption engraved above a knob that carries its value label.
    void knobSlot(const std::string& caption, const std::string& name, double x, double y, bool bottom,
                  const char* title = "+20") {
        engrave(Engraving::Caption, x - 10, y, kKnobSize + 20, 26, caption);
        knob(name, x, y + 8, bottom);
        valueLabel(name, x, y + 8, title);
    }

    ViewNode& label(const std::string& name, double x, double y, double w, double h, const char* font,
                    const char* colour, const std::string& title, const char* align = "center") {
        ViewNode v = makeView("CTextLabel", name, x, y, w, h);
        v.set("font", font)
            .set("font-color", colour)
            .set("text-alignment", align)
            .set("font-antialias", "true");
        v.set("title", title);
        setRange(v);
        return node.add(std::move(v));
    }

    // A caption printed on a button; it lets clicks through to the button below.
    void buttonCaption(const std::string& name, const ViewNode& button, const std::string& title,
                       const char* font = kGadugi33) {
        label(name, button.x, button.y, button.w, button.h, font, kCaptionColour, title)
            .set("mouse-enabled", "false");
    }

    ViewNode& kick(const std::string& name, double x, double y, int w, int h, Strip strip = Strip::Plain) {
        ViewNode v = makeView("CKickButton", name, x, y, w, h);
        v.transparent = false;
        v.set("bitmap", stripName(strip, w, h)).set("height-of-one-image", std::to_string(h));
        setRange(v);
        return node.add(std::move(v));
    }

    ViewNode& menu(const std::string& name, double x, double y, double w, double h, const char* font) {
        ViewNode v = makeView("COptionMenu", name, x, y, w, h);
        v.transparent = false;
        v.set("bitmap", menuBoxName(w, h)).set("font", font).set("font-color", "#FFFFFFFF");
        v.set("text-alignment", "center").set("font-antialias", "true");
        setRange(v);
        return node.add(std::move(v));
    }

    // A menu with its caption engraved above it.
    void captionedMenu(const std::string& caption, const std::string& name, double x, double y, double w,
                       double h, const char* font) {
        engrave(Engraving::Caption, x, y, w, 26, caption);
        menu(name, x, y + 30, w, h, font);
    }

    ViewNode& textEdit(const std::string& name, double x, double y, double w, double h,
                       const std::string& title) {
        engrave(Engraving::Field, x, y, w, h);
        ViewNode v = makeView("CTextEdit", name, x, y, w, h);
        v.set("font", kArial36).set("font-color", "#FFFFFFFF").set("text-alignment", "center");
        v.set("font-antialias", "true").set("title", title);
        setRange(v);
        return node.add(std::move(v));
    }

private:
    ViewNode& node;
    std::vector<Engraving>& engravings;
};

void buildFontExport(ViewNode& root) {
    ViewNode& glyphs = root.add(makeView("CViewContainer", "fontExport", 0, 0, 722.9449, 344.8));
    for (int i = 0; i < kGlyphCount; ++i) {
        ViewNode v = makeView("CView", glyphViewName(i), 39.0 * (i % 18), 50.0 * (i / 18), 39, 50);
        v.transparent = false;
        v.set("bitmap", glyphBitmapName(i));
        glyphs.add(std::move(v));
    }
}

void buildDisplay(Page& panel) {
    panel.plain("LCDLight", 752.499, 345.8, 847, 336, "display_light");
    ViewNode& lines = panel.container("LCDLines", 863.499, 447.8, 631, 129, nullptr);
    lines.set("mouse-enabled", "false");
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 16; ++column) {
            char name[8];
            std::snprintf(name, sizeof name, "char%d%02d", row, column);
            double x = column == 2 ? 77.99994 : 39.0 * column;
            lines.add(makeView("CView", name, x, row == 0 ? 12.095 : 66.905, 39, 50));
        }
    }
    panel.plain("shadow", 838.499, 426.8, 670, 172, "display_panelshadow").set("mouse-enabled", "false");
}

void buildPanelTop(Page& panel) {
    ViewNode& pad = panel.container("throttleArea", 279.9999, 357, 320, 320, nullptr);
    ViewNode throttle = makeView("CView", "throttle", 246.0001, 246, 74, 74);
    throttle.transparent = false;
    throttle.set("bitmap", "sourcemixthrottle");
    pad.add(std::move(throttle));
    panel.engrave(Engraving::Heading, 280, 318, 320, 34, "SOURCE MIX");

    panel.plain("btDonate", 324.7, 207.3, 238.6, 73.4, "btn_donate_SM");
    buildDisplay(panel);
    panel.plain("clickableLogo", 1690.5, 436.3, 641, 266);

    panel.engrave(Engraving::Group, 747, 696, 428.2, 30, "PLAY MODE");
    panel.engrave(Engraving::Group, 1176.85, 696, 429.3, 30, "PAGE");
    const std::array<std::pair<const char*, double>, 4> modeButtons{
        {{"btModeSingle", 747}, {"btModeMulti", 960.2}, {"btEdit", 1176.85}, {"btSystem", 1391.15}}};
    const std::array<const char*, 4> modeCaptions{"SINGLE", "MULTI", "EDIT", "SYSTEM"};
    for (size_t i = 0; i < modeButtons.size(); ++i) {
        const ViewNode& button = panel.kick(modeButtons[i].first, modeButtons[i].second, 735, 215, 87);
        panel.buttonCaption("Text", button, modeCaptions[i]);
    }
}

// A knob with its caption: "Bottom" knobs are those of the envelopes, times, speeds and volumes.
struct KnobSlot {
    const char* caption;
    const char* name;
    bool bottom;
};

void buildSourcePage(Page& page) {
    page.engrave(Engraving::Heading, 15, 8, 390, 26, "WAVE");
    page.menu("Param_SourceS1Wave", 15, 38, 390, 55, kArial28);
    page.buttonCaption("Text", page.kick("btWaveDec", 15, 102, 105, 87), "<");
    page.buttonCaption("Text", page.kick("btWaveInc", 130, 102, 105, 87), ">");
    page.captionedMenu("VELOCITY CURVE", "Param_SourceS1VelCurve", 15, 200, 224.8, 55, kArial28);

    // Without key tracking the coarse pitch is a note menu with step buttons; with it, a knob in semitones.
    page.engrave(Engraving::Heading, 430, 8, 237.5, 26, "COARSE");
    page.menu("Param_SourceS1Coarse", 430, 38, 237.5, 55, kArial36);
    page.knob("Param_SourceS1Coarse", 473.75, 28, false, "60", "108");
    page.valueLabel("Param_SourceS1Coarse", 473.75, 28);
    page.buttonCaption("btCoarseDecText", page.kick("btCoarseDec", 430, 102, 105, 87), "-");
    page.buttonCaption("btCoarseIncText", page.kick("btCoarseInc", 562.5, 102, 105, 87), "+");
    page.buttonCaption("Text", page.kick("Param_SourceS1KeyTrack", 400, 206, 297, 87), "Keytrack");

    page.engrave(Engraving::Group, 702, 8, 328, 26, "PITCH");
    page.knobSlot("FINE", "Param_SourceS1Fine", 712, 44, false);
    page.knobSlot("KEY SCALE", "Param_SourceS1FreqKeyScaleToFreq", 870, 44, false);

    ViewNode& vibrato = page.kick("Param_SourceS1VibABend", 1045, 24, 297, 87);
    vibrato.set("tooltip", "Enable Frequency Modulation by Vibrato && Autobend");
    page.buttonCaption("label", vibrato, "Vib & Autobend", kGadugi26);
    ViewNode& pressure = page.kick("Param_SourceS1PressureToFreq", 1045, 120, 297, 87, Strip::Green);
    pressure.set("tooltip", "Enable Pressure to Frequency Modulation");
    page.buttonCaption("label", pressure, "Pressure > Freq", kGadugi26);

    page.engrave(Engraving::Field, 1362, 16, 290, 272);
    page.plain("envdummy", 1362, 16, 290, 272);

    const std::array<KnobSlot, 11> slots{{{"VELOCITY", "Param_SourceS1LevelModVel", false},
                                          {"PRESSURE", "Param_SourceS1LevelModPressure", false},
                                          {"KEY SCALE", "Param_SourceS1LevelModKeyScale", false},
                                          {"VELOCITY", "Param_SourceS1TimeModVel", false},
                                          {"KEY SCALE", "Param_SourceS1TimeModKeyScale", false},
                                          {"LEVEL", "Param_SourceS1EnvLevel", true},
                                          {"DELAY", "Param_SourceS1EnvDelay", true},
                                          {"ATTACK", "Param_SourceS1EnvAttack", true},
                                          {"DECAY", "Param_SourceS1EnvDecay", true},
                                          {"SUSTAIN", "Param_SourceS1EnvSustain", true},
                                          {"RELEASE", "Param_SourceS1EnvRelease", true}}};
    const double pitch = 151.3;
    for (size_t i = 0; i < slots.size(); ++i)
        page.knobSlot(slots[i].caption, slots[i].name, 0.65 + pitch * static_cast<double>(i), 338,
                      slots[i].bottom);
    page.engrave(Engraving::Group, 0, 304, pitch * 3 - 8, 26, "LEVEL MOD");
    page.engrave(Engraving::Group, pitch * 3, 304, pitch * 2 - 8, 26, "TIME MOD");
    page.engrave(Engraving::Group, pitch * 5, 304, pitch * 6 - 8, 26, "ENVELOPE");
}

void buildCommonPage(Page& page) {
    page.engrave(Engraving::Caption, 20, 8, 390, 26, "NAME");
    page.textEdit("editSingleName", 20, 38, 390, 62, "Voice Ahh");
    page.captionedMenu("POLY MODE", "Param_PolyMode", 440, 8, 193.01, 55, kArial36);
    page.captionedMenu("SOURCES", "Param_Source2or4", 663, 8, 184.8, 55, kArial36);
    page.captionedMenu("AM 1 > 2", "Param_AmpModS1S2", 878, 8, 218.8421, 55, kArial36);
    page.captionedMenu("AM 3 > 4", "Param_AmpModS3S4", 1127, 8, 218.8421, 55, kArial36);
    page.captionedMenu("KEY SCALE CURVE", "Param_KeyScaleCurve", 20, 130, 236.5227, 55, kArial36);
    page.captionedMenu("VIB WHEEL", "Param_VibWheelMode", 326, 130, 236.5227, 55, kArial36);
    page.captionedMenu("LFO SHAPE", "Param_LfoShape", 632, 130, 224.8, 55, kArial36);

    const std::array<KnobSlot, 10> slots{{{"VOLUME", "Param_Volume", true},
                                          {"DEPTH", "Param_VibratoDepth", false},
                                          {"PRESSURE", "Param_PressureToVibrato", false},
                                          {"SPEED", "Param_LfoSpeed", true},
                                          {"DEPTH", "Param_AutoBendDepth", false},
                                          {"TIME", "Param_AutoBendTime", true},
                                          {"VEL > DEPTH", "Param_VelToDepth", false},
                                          {"KS > TIME", "Param_AutoBendKeyScaleToTime", false},
                                          {"PRESSURE", "Param_PressureToFreq", false},
                                          {"BEND", "Param_PitchBendDepth", false}}};
    const double pitch = 153.4;
    for (size_t i = 0; i < slots.size(); ++i)
        page.knobSlot(slots[i].caption, slots[i].name, 3 + pitch * static_cast<double>(i), 338,
                      slots[i].bottom, i == 0 ? "87" : "+20");
    const std::array<std::pair<const char*, int>, 5> groups{
        {{"LEVEL", 1}, {"VIBRATO", 2}, {"LFO", 1}, {"AUTO BEND", 4}, {"PITCH", 2}}};
    int first = 0;
    for (const auto& [title, count] : groups) {
        page.engrave(Engraving::Group, 3 + pitch * first - 1, 304, pitch * count - 8, 26, title);
        first += count;
    }
}

void buildMutes(Page& page) {
    page.engrave(Engraving::Heading, 0, 4, 223.6, 26, "MUTE");
    const std::array<Strip, 4> strips{Strip::Plain, Strip::Green, Strip::Red, Strip::Plain};
    for (int s = 0; s < 4; ++s) {
        std::string name = "Param_SourceS" + std::to_string(s + 1) + "Mute";
        page.buttonCaption("Text", page.kick(name, 4.3, 34 + 96 * s, 215, 87, strips[s]),
                           std::to_string(s + 1));
    }
    // An ornament: a key-shaped plate that no code listens to.
    page.kick("button (2)", 74.8, 426, 74, 74).set("mouse-enabled", "false");
}

void buildEditPage(Page& panel, Layout& layout) {
    ViewNode& node = panel.container("mode_edit", 188.5999, 864.5001, 2209.6, 525, "bake_mode_edit");
    Page page(node, layout.engravings["bake_mode_edit"]);
    page.engrave(Engraving::Heading, 27, 6, 215, 28, "EDIT");
    for (int s = 0; s < 5; ++s) {
        std::string name = s < 4 ? std::string("btEditSource") + char('A' + s) : "btEditCommon";
        const ViewNode& button = page.kick(name, 27, 40 + 96 * s, 215, 87);
        page.buttonCaption("Text", button, s < 4 ? std::to_string(s + 1) : "COMMON");
    }
    Page source(page.container("edit_source", 269.4, -0.5, 1665.1, 517, "bake_edit_source"),
                layout.engravings["bake_edit_source"]);
    buildSourcePage(source);
    Page common(page.container("edit_common", 333.27, 0, 1537.15, 517, "bake_edit_common"),
                layout.engravings["bake_edit_common"]);
    buildCommonPage(common);
    Page mutes(page.container("sourcesMute", 1975, -0.5, 223.6, 517.2, "bake_sourcesMute"),
               layout.engravings["bake_sourcesMute"]);
    buildMutes(mutes);
}

void buildBrowserPage(Page& panel, Layout& layout) {
    ViewNode& node = panel.container("mode_play", 230.4999, 864.5001, 2063, 517, "bake_mode_play");
    Page page(node, layout.engravings["bake_mode_play"]);
    auto button = [&page](const std::string& name, double x, double y, int w, const char* title) {
        page.buttonCaption(name + "Text", page.kick(name, x, y, w, 87), title);
    };
    page.engrave(Engraving::Group, 20, 14, 420, 26, "SINGLE");
    button("btSingleDec", 20, 46, 105, "<");
    button("btSingleInc", 135, 46, 105, ">");
    button("btSingleReset", 250, 46, 190, "RESET");
    button("btSingleImport", 20, 141, 190, "IMPORT");
    button("btSingleExport", 220, 141, 190, "EXPORT");
    page.engrave(Engraving::Group, 20, 262, 420, 26, "BANK");
    button("btBankDec", 20, 294, 105, "<");
    button("btBankInc", 135, 294, 105, ">");
    button("btBankReset", 250, 294, 190, "RESET");
    button("btBankImport", 20, 389, 190, "IMPORT");
    button("btBankExport", 220, 389, 190, "EXPORT");

    page.engrave(Engraving::Caption, 550, 12, 738.8, 26, "BANK");
    page.menu("bankSelect", 550, 42, 738.8, 61.8, kArial36);
    page.engrave(Engraving::Caption, 1318, 12, 420, 26, "PAGE");
    button("btPageDec", 1318, 42, 105, "<");
    button("btPageInc", 1433, 42, 105, ">");
    button("btPageReset", 1548, 42, 190, "RESET");
    page.engrave(Engraving::Caption, 1760, 12, 290, 26, "SEARCH");
    page.textEdit("searchSingle", 1760, 42, 290, 62, "");

    const double cellW = 378.25, cellH = 44.6875;
    page.engrave(Engraving::Field, 540, 146, 1523, cellH * 8 + 14);
    for (int row = 1; row < 8; row += 2)
        page.engrave(Engraving::Band, 546, 152.5 + cellH * row, 1511, cellH);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 8; ++row) {
            std::string name = std::string("single") + char('A' + column) + std::to_string(row);
            const char* colour = column == 0 && row == 0   ? "#00FF56FF"
                                 : column == 0 && row == 1 ? "#BC0000FF"
                                                           : "#C0C0C0FF";
            page.label(name, 550.0001 + cellW * column, 152.5 + cellH * row, cellW, cellH, kArial36, colour,
                       "IA-1 1234567890", "left");
        }
    }
}

void buildMultiSection(Page& column) {
    column.label("multiSectionName", 0, 2, 347.1, 34, kArial24, "#FFFFFFB2", "SECTION 1");
    column.menu("multiSectionSingle", 0, 38, 347.1, 55, kArial28);
    // Knobs first: their transparent corners lie under the last menu row, which keeps its clicks.
    const std::array<std::pair<const char*, bool>, 3> knobs{
        {{"multiSectionLevel", true}, {"multiSectionTranspose", false}, {"multiSectionTune", false}}};
    for (int k = 0; k < 3; ++k) {
        double x = 173.55 + 114.0 * (k - 1) - kKnobSize / 2;
        column.knob(knobs[k].first, x, 379.6, knobs[k].second);
        column.valueLabel(knobs[k].first, x, 379.6);
    }
    const std::array<const char*, 7> menus{
        "multiSectionZoneLow", "multiSectionZoneHigh", "multiSectionChannel", "multiSectionMode",
        "multiSectionPoly",    "multiSectionOutput",   "multiSectionVelocity"};
    for (int m = 0; m < 7; ++m)
        column.menu(menus[m], m % 2 ? 178.6 : 0, 95 + 75.4 * (m / 2), 168.5, 73.4, kArial30);
}

void buildMultiPage(Page& panel, Layout& layout) {
    ViewNode& node =
        panel.container("mode_edit_multi", 230.45, 864.5001, 2215.7, 525, "bake_mode_edit_multi");
    Page page(node, layout.engravings["bake_mode_edit_multi"]);
    page.engrave(Engraving::Caption, 10, 8, 340, 26, "NAME");
    page.textEdit("editMultiName", 10, 38, 340, 62, "Multi Name");
    page.knobSlot("VOLUME", "Param_MultiVolume", 39, 160, true);
    page.plain("arrowLeft", 228, 188.7, 128, 256, "bake_arrowLeft");

    // Row captions for the four section columns, as in a table.
    const std::array<std::pair<const char*, std::array<double, 2>>, 6> rows{
        {{"SINGLE", {38, 55}},
         {"ZONE\nLOW  HIGH", {95, 73.4}},
         {"MIDI CH\nMODE", {170.4, 73.4}},
         {"POLY\nOUTPUT", {245.8, 73.4}},
         {"VELOCITY", {321.2, 73.4}},
         {"LEVEL\nTRANS  TUNE", {398.6, 112}}}};
    for (const auto& [text, span] : rows)
        page.engrave(Engraving::Caption, 362, span[0], 156, span[1], text);

    const std::array<double, 4> columns{524.6, 921.7, 1318.8, 1715.9};
    for (int k = 0; k < 4; ++k) {
        std::string name = std::string("multiSection") + char('A' + k);
        Page column(page.container(name, columns[k], 0, 347.1, 525, "bake_multiSection"),
                    layout.engravings["bake_multiSection"]);
        buildMultiSection(column);
    }
    page.plain("arrowRight", 2085.7, 188.7, 128, 256, "bake_arrowRight");
}

void buildSystemPage(Page& panel, Layout& layout) {
    ViewNode& node =
        panel.container("mode_edit_system", 230.4999, 864.545, 2101, 475.45, "bake_mode_edit_system");
    Page page(node, layout.engravings["bake_mode_edit_system"]);
    page.engrave(Engraving::Heading, 20, 60, 506, 40, "SYSTEM");
    page.engrave(Engraving::Group, 600, 8, 1480, 30, "MIDI");
    struct Entry {
        const char* caption;
        const char* name;
        double w, h;
    };
    const std::array<Entry, 11> entries{{{"RECEIVE CH", "midiReceiveChannel", 187.1, 51.92429},
                                         {"PROGRAM CHG", "midiReceiveProgramChange", 236.5227, 55},
                                         {"VELOCITY", "midiReceiveVelocity", 236.5227, 55},
                                         {"PRESSURE", "midiReceivePressure", 236.5227, 55},
                                         {"PITCH BEND", "midiReceivePitchBend", 236.5227, 55},
                                         {"MOD WHEEL", "midiReceiveModWheel", 236.5227, 55},
                                         {"VOLUME", "midiReceiveVolume", 236.5227, 55},
                                         {"HOLD PEDAL", "midiReceiveHoldPedal", 236.5227, 55},
                                         {"PAN", "midiReceivePan", 236.5227, 55},
                                         {"RECEIVE SYSEX", "midiReceiveSysEx", 236.5227, 55},
                                         {"SEND SYSEX", "midiSendSysex", 236.5227, 55}}};
    for (size_t i = 0; i < entries.size(); ++i) {
        double x = 600 + 500.0 * static_cast<double>(i / 4), y = 52 + 100.0 * static_cast<double>(i % 4);
        page.engrave(Engraving::Caption, x, y, 240, 55, entries[i].caption);
        page.menu(entries[i].name, x + 250, y + (55 - entries[i].h) / 2, entries[i].w, entries[i].h,
                  kArial36);
    }
    Page audio(page.container("audio", 0, 227, 546, 103, "bake_audio"), layout.engravings["bake_audio"]);
    audio.engrave(Engraving::Caption, 10, 0, 200, 103, "AUDIO OUT");
    audio.menu("audioOutputMode", 220, 24, 312.21, 55, kArial36);
}

} // namespace

std::string menuBoxName(double w, double h) {
    std::string name = "optionmenu_box_" + formatNumber(w) + "x" + formatNumber(h);
    for (char& c : name)
        if (c == '.') c = ',';
    return name;
}

Layout buildLayout() {
    Layout layout;
    ViewNode& root = layout.root;
    root.cls = "CViewContainer";
    root.name = "bg";
    root.y = -0.00006103516;
    root.w = 2560;
    root.h = 1440;
    root.transparent = false;
    root.set("minSize", "640, 360").set("maxSize", "2560, 1440").set("bitmap", "background");

    buildFontExport(root);
    Page panel(root, layout.engravings["background"]);
    buildPanelTop(panel);
    buildEditPage(panel, layout);
    buildBrowserPage(panel, layout);
    buildMultiPage(panel, layout);
    buildSystemPage(panel, layout);
    panel.plain("resizeHandle", 2437.85, 1340, 122, 100, "resize");
    return layout;
}

} // namespace panelgen
