#include "editor/uiDisplay.h"

#include "editor/ControlHelpers.h"
#include "editor/K1Editor.h"
#include "k1lib/engine/Engine.h"
#include "k1lib/facade/Plugin.h"

#include <algorithm>
#include <cstdio>

using namespace VSTGUI;

namespace {
// The characters of the glyphs, in the child order of "fontExport" (Latin-1 bytes): 0xB4 is the
// acute accent, 0xF6 is drawn as a full block.
const char g_glyphCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                 "abcdefghijklmnopqrstuvwxyz"
                                 "0123456789"
                                 "!\"$%&/()=?.,;:{}\\-+<>|[]'"
                                 "\xB4"
                                 " ~*#@"
                                 "\xF6";
constexpr size_t kGlyphCount = sizeof(g_glyphCharacters) - 1;
static_assert(kGlyphCount == 94);
} // namespace

uiDisplay::uiDisplay(K1Editor& owner) : editor(owner) {
    const ViewsByName& views = editor.getViewsByName();
    lcdLines = ControlHelpers::initView<CViewContainer>(views, "LCDLines");
    lcdLight = ControlHelpers::initView<CView>(views, "LCDLight");
    switchPower(false);

    for (size_t c = 0; c < kColumns; ++c) {
        char name[16];
        std::snprintf(name, sizeof name, "char0%02zu", c);
        row0[c] = ControlHelpers::initView<CView>(views, name);
        std::snprintf(name, sizeof name, "char1%02zu", c);
        row1[c] = ControlHelpers::initView<CView>(views, name);
    }

    if (CViewContainer* font = ControlHelpers::initView<CViewContainer>(views, "fontExport")) {
        const uint32_t count = std::min<uint32_t>(font->getNbViews(), kGlyphCount);
        for (uint32_t i = 0; i < count; ++i)
            glyphs.emplace(g_glyphCharacters[i], font->getView(i)->getBackground());
        font->setVisible(false);
    }

    doStartupAnimation();
    if (lcdLight) lcdLight->registerViewMouseListener(this);
}

uiDisplay::~uiDisplay() {
    if (lcdLight) lcdLight->unregisterViewMouseListener(this);
    destroyTimer();
    glyphs.clear();
}

void uiDisplay::setText(const std::string& line0, const std::string& line1) {
    setText(row0, line0);
    setText(row1, line1);
}

void uiDisplay::setText(Row& row, const std::string& text) {
    const auto fallback = glyphs.find('?');
    for (size_t c = 0; c < kColumns; ++c) {
        const char character = c < text.size() ? text[c] : ' ';
        auto glyph = glyphs.find(character);
        if (glyph == glyphs.end()) glyph = fallback;
        if (row[c] && glyph != glyphs.end()) row[c]->setBackground(glyph->second);
    }
}

void uiDisplay::setTextShowCurrentPreset() {
    k1lib::Plugin& plugin = editor.getPlugin();
    const k1lib::PlayMode mode = plugin.getPlayMode();
    const size_t index = plugin.getCurrentPresetIndex();
    std::string line0 = mode == k1lib::PlayMode_Single ? "SINGLE " : "MULTI  ";
    if (const auto* storage = k1lib::Engine::getStorageInfoFromPresetIndex(index, mode))
        line0 += storage->shortName;
    const std::string line1 =
        k1lib::Engine::getPresetNumberAsName(index, mode) + "  " + plugin.getPresetName(index);
    setText(line0, line1);
}

void uiDisplay::doStartupAnimation() {
    startStep(Step::Startup1, kStartupDarkMs);
}

void uiDisplay::destroyTimer() {
    if (!timer) return;
    timer->stop();
    timer->forget();
    timer = nullptr;
}

void uiDisplay::switchPower(bool on) const {
    if (lcdLight) lcdLight->setVisible(on);
    if (lcdLines) lcdLines->setVisible(on);
}

CMouseEventResult uiDisplay::viewOnMouseDown(CView*, CPoint, CButtonState) {
    switchPower(false);
    startStep(Step::Firmware1, kFirmwareDarkMs);
    return kMouseEventHandled;
}

void uiDisplay::startStep(Step step, uint32_t delayMs) {
    destroyTimer();
    // The hub keeps a timer alive while it fires, so a step may release its own timer.
    timer = new CVSTGUITimer([this, step](CVSTGUITimer*) { onStepExpired(step); }, delayMs, true);
}

void uiDisplay::onStepExpired(Step step) {
    switch (step) {
    case Step::Startup1:
        switchPower(true);
        setText("  *Marn' Zy-k*", "SYNTHESIZER");
        startStep(Step::Startup2, kBannerMs);
        break;
    case Step::Startup2:
        setTextShowCurrentPreset();
        destroyTimer();
        break;
    case Step::Firmware1:
        switchPower(true);
        setText(std::string("Firmware ") + kFirmwareVersion, kBuildDate);
        startStep(Step::Firmware2, kFirmwareMs);
        break;
    case Step::Firmware2:
        doStartupAnimation();
        break;
    }
}
