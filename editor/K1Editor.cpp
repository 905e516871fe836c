// The editor core: building the panel, the event queue and destruction.
#include "editor/K1Editor.h"

#include "editor/XmlContentProvider.h"
#include "editor/k1EditorListener.h"
#include "editor/uiDisplay.h"
#include "editor/uiEnvelope.h"
#include "editor/uiMulti.h"
#include "editor/uiMultilevelOptionMenu.h"
#include "editor/uiResizer.h"
#include "editor/uiSettings.h"
#include "editor/uiSingles.h"
#include "editor/uiSourceMix.h"
#include "gui/vstgui/vstgui_uidescription.h"
#include "k1lib/facade/Plugin.h"
#include "log/Log.h"

#include <cstring>
#include <string>

using namespace VSTGUI;

namespace {
// A full patch of parameter changes (209) with room to spare, between two idle ticks.
constexpr size_t kEventQueueCapacity = 1024;
} // namespace

K1Editor::K1Editor(k1lib::Plugin& engine, void* parent, VSTGUIEditorInterface* editorInterface,
                   k1EditorListener* editorListener, const CRect& requestedSize, PlatformType platformType,
                   IPlatformFrameConfig* config, CFrame* existingFrame, xml::IContentProvider* description)
    : plugin(engine), parentWindow(parent), listener(editorListener), rect(requestedSize),
      frameSupplied(existingFrame != nullptr), frame(existingFrame) {
    pendingEvents.reserve(kEventQueueCapacity);
    appliedEvents.reserve(kEventQueueCapacity);
    k1lib::log("K1Editor", 87, "Opening GUI");
    CView* root = nullptr;
    if (frame) {
        frame->getSize(rect);
        root = frame->getView(0);
    } else if (!buildFrame(parentWindow, editorInterface, platformType, config, description)) {
        return;
    } else {
        root = frame->getView(0);
    }
    frame->setTransparency(true);
    frame->setBitmapInterpolationQuality(BitmapInterpolationQuality::kHigh);
    frame->registerKeyboardHook(this);
    if (root) initializeViews(root);
    applyInitialSize();
    frame->enableTooltips(true, 500);
}

bool K1Editor::buildFrame(void* parent, VSTGUIEditorInterface* editorInterface, PlatformType platformType,
                          IPlatformFrameConfig* config, xml::IContentProvider* provider) {
    XmlContentProvider embedded;
    auto description = owned(new UIDescription(provider ? provider : &embedded));
    CView* root = description->parse() ? description->createView("Zyk", nullptr) : nullptr;
    if (!root) {
        k1lib::log("K1Editor", 114, "Failed to parse UI description");
        return false;
    }
    frame = new CFrame(rect, editorInterface);
    frame->addView(root);
    frame->open(parent, platformType, config);
    return true;
}

void K1Editor::initializeViews(CView* root) {
    ControlHelpers::getViewsByCustomViewName(viewsByName, root);
    for (auto& [name, views] : viewsByName)
        for (CView* view : views)
            if (auto* control = dynamic_cast<CControl*>(view)) control->setListener(this);
    bindParameters();
    fetchNamedViews();
    takeButtonImages();
    createCompanions();

    activeSource = 0;
    setActiveSource(0);
    setButtonImage(btSystem, bitmapSmallOff);
    setButtonImage(btEdit, bitmapSmallOff);
    setModeEdit(false);
    onPlayModeChanged();
    updateEditSingleName();
    updateEditMultiName();
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p) {
        const auto param = static_cast<k1lib::EParam>(p);
        onParamChanged(param, plugin.getParameter(param));
    }

    clickableLogo = ControlHelpers::initView<CView>(viewsByName, "clickableLogo");
    btDonate = ControlHelpers::initView<CView>(viewsByName, "btDonate");
    if (clickableLogo) clickableLogo->registerViewMouseListener(this);
    if (btDonate) btDonate->registerViewMouseListener(this);
}

void K1Editor::bindParameters() {
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p) {
        const auto param = static_cast<k1lib::EParam>(p);
        const auto found = viewsByName.find(k1lib::CParam::getEnumString(param));
        if (found == viewsByName.end()) continue;
        for (CView* view : found->second)
            assignViewToParam(param, view);
    }
    for (uint32_t p = 0; p < k1lib::kParamCount; ++p) {
        COptionMenu* menu = optionMenus[p];
        if (!menu) continue;
        if (p == k1lib::Param_SourceS1Coarse || p == k1lib::Param_SourceS1Wave)
            multilevelOptionMenus[p] = createMultilevelOptionMenu(menu);
        initOptionMenu(menu, static_cast<k1lib::EParam>(p));
    }
}

void K1Editor::fetchNamedViews() {
    using H = ControlHelpers;
    modePlay = H::initView<CViewContainer>(viewsByName, "mode_play");
    modeEdit = H::initView<CViewContainer>(viewsByName, "mode_edit");
    modeEditMulti = H::initView<CViewContainer>(viewsByName, "mode_edit_multi");
    modeEditSystem = H::initView<CViewContainer>(viewsByName, "mode_edit_system");
    editCommon = H::initView<CViewContainer>(viewsByName, "edit_common");
    editSource = H::initView<CViewContainer>(viewsByName, "edit_source");
    btModeSingle = H::initView<CKickButton>(viewsByName, "btModeSingle");
    btModeMulti = H::initView<CKickButton>(viewsByName, "btModeMulti");
    btEdit = H::initView<CKickButton>(viewsByName, "btEdit");
    btSystem = H::initView<CKickButton>(viewsByName, "btSystem");
    btEditCommon = H::initView<CKickButton>(viewsByName, "btEditCommon");
    btWaveDec = H::initView<CKickButton>(viewsByName, "btWaveDec");
    btWaveInc = H::initView<CKickButton>(viewsByName, "btWaveInc");
    btCoarseDec = H::initView<CKickButton>(viewsByName, "btCoarseDec");
    btCoarseInc = H::initView<CKickButton>(viewsByName, "btCoarseInc");
    btCoarseDecText = H::initView<CView>(viewsByName, "btCoarseDecText");
    btCoarseIncText = H::initView<CView>(viewsByName, "btCoarseIncText");
    editSingleName = H::initView<CTextEdit>(viewsByName, "editSingleName");
    editMultiName = H::initView<CTextEdit>(viewsByName, "editMultiName");
    for (int i = 0; i < 4; ++i)
        btEditSource[i] = H::initView<CKickButton>(viewsByName, std::string("btEditSource") + char('A' + i));
}

void K1Editor::takeButtonImages() {
    std::array<CKickButton*, 4> mutes{};
    for (int i = 0; i < 4; ++i)
        mutes[i] = ControlHelpers::initView<CKickButton>(viewsByName, std::string("Param_SourceS") +
                                                                          char('1' + i) + "Mute");
    // The template draws these buttons with the plain, green and red small images and the plain and
    // green wide ones; the editor swaps button states among them.
    auto take = [](CView* view) {
        CBitmap* bitmap = view ? view->getBackground() : nullptr;
        if (bitmap) bitmap->remember();
        return bitmap;
    };
    bitmapSmallOff = take(mutes[0]);
    bitmapSmallOn = take(mutes[1]);
    bitmapSmallRed = take(mutes[2]);
    bitmapLargeOff = take(kickButtons[k1lib::Param_SourceS1VibABend]);
    bitmapLargeOn = take(kickButtons[k1lib::Param_SourceS1PressureToFreq]);
    for (CKickButton* mute : mutes)
        setButtonImage(mute, bitmapSmallOff);
}

void K1Editor::createCompanions() {
    display = std::make_unique<uiDisplay>(*this);
    browser = std::make_unique<uiSingles>(*this);
    resizer = std::make_unique<uiResizer>(*this);
    sourceMix = std::make_unique<uiSourceMix>(*this);
    multi = std::make_unique<uiMulti>(*this, modeEditMulti);
    settings = std::make_unique<uiSettings>(*this, modeEditSystem);
    if (CView* dummy = ControlHelpers::initView<CView>(viewsByName, "envdummy"); dummy && editSource)
        editSource->addView(envelope = new uiEnvelope(*this, dummy->getViewSize(), nullptr, 0, nullptr,
                                                      CColor(0, 255, 0, 255)));
}

uiMultilevelOptionMenu* K1Editor::createMultilevelOptionMenu(COptionMenu* menu) {
    ownedMultilevelMenus.push_back(std::make_unique<uiMultilevelOptionMenu>(menu));
    return ownedMultilevelMenus.back().get();
}

K1Editor::~K1Editor() {
    if (frame) {
        // Nothing may commit into a companion that is about to go, nor call back into this editor.
        endTextEditing();
        frame->unregisterKeyboardHook(this);
    }
    if (clickableLogo) clickableLogo->unregisterViewMouseListener(this);
    if (btDonate) btDonate->unregisterViewMouseListener(this);
    // A supplied frame outlives the editor: its controls must not keep calling it.
    for (auto& [name, views] : viewsByName)
        for (CView* view : views)
            if (auto* control = dynamic_cast<CControl*>(view); control && control->getListener() == this)
                control->setListener(nullptr);

    // Companions, all of them before the frame and its views go.
    envelope = nullptr;
    settings.reset();
    multi.reset();
    sourceMix.reset();
    resizer.reset();
    browser.reset();
    display.reset();
    multilevelOptionMenus.fill(nullptr);
    ownedMultilevelMenus.clear();

    for (CBitmap* bitmap : {bitmapSmallOff, bitmapSmallOn, bitmapSmallRed, bitmapLargeOff, bitmapLargeOn})
        if (bitmap) bitmap->forget();

    if (frame && !frameSupplied) {
        if (frame->isOpen())
            frame->close();
        else
            frame->forget();
    }
    frame = nullptr;
}

void K1Editor::endTextEditing() {
    if (auto* edit = dynamic_cast<CTextEdit*>(frame->getFocusView()); edit && edit->isEditing()) {
        // Escape reverts the text, so losing the focus below commits nothing.
        edit->setListener(nullptr);
        VstKeyCode escape{0, VKEY_ESCAPE, 0};
        edit->onKeyDown(escape);
    }
    frame->setFocusView(nullptr);
}

bool K1Editor::getRect(CRect& out) const {
    if (!frame) return false;
    out = frame->getViewSize();
    return true;
}

void K1Editor::onEvent(const k1lib::PluginToEditorEvent& event) {
    std::lock_guard<std::recursive_mutex> lock(eventMutex);
    pendingEvents.push_back(event);
}

void K1Editor::idle() {
    if (applyingEvents) return;
    {
        std::lock_guard<std::recursive_mutex> lock(eventMutex);
        pendingEvents.swap(appliedEvents);
    }
    // Without a frame there is nothing to show the events on.
    applyingEvents = true;
    if (frame)
        for (const k1lib::PluginToEditorEvent& event : appliedEvents)
            applyEvent(event);
    appliedEvents.clear();
    applyingEvents = false;
}

void K1Editor::applyEvent(const k1lib::PluginToEditorEvent& e) {
    using E = k1lib::PluginToEditorEvent;
    switch (e.type) {
    case E::ParameterChanged:
        if (e.param < k1lib::kParamCount) onParamChanged(e.param, e.value);
        break;
    case E::SinglesModified:
        onSinglesModified(e.index, e.count);
        break;
    case E::SingleModified:
        onSingleModified(e.index);
        break;
    case E::ActiveSingleModified:
        onActiveSingleModified(e.index);
        break;
    case E::ActiveSingleChanged:
        onActiveSingleChanged(e.index);
        break;
    case E::MultisModified:
        onMultisModified(e.index, e.count);
        break;
    case E::MultiModified:
        onMultiModified(e.index);
        break;
    case E::ActiveMultiModified:
        onActiveMultiModified(e.index);
        break;
    case E::ActiveMultiChanged:
        onActiveMultiChanged(e.index);
        break;
    case E::PlayModeChanged:
        onPlayModeChanged();
        break;
    case E::ConfigChanged:
        onConfigChanged();
        break;
    default:
        break; // unknown types are dropped
    }
}

// The browser, display, Multi page and settings page follow these events through their own objects.
void K1Editor::onSinglesModified(uint64_t, uint64_t) {
    if (browser) browser->setPresetNames(browser->getPageStart());
    updateEditSingleName();
}

void K1Editor::onSingleModified(uint64_t) {
    if (browser) browser->setPresetNames(browser->getPageStart());
}

void K1Editor::onActiveSingleModified(uint64_t) {
    if (display) display->setTextShowCurrentPreset();
    if (browser) browser->setPresetNames(browser->getPageStart());
    updateEditSingleName();
}

void K1Editor::onActiveSingleChanged(uint64_t) {
    if (display) display->setTextShowCurrentPreset();
    if (browser) browser->focusOnPreset();
    updateEditSingleName();
}

void K1Editor::onMultisModified(uint64_t, uint64_t) {
    if (browser) browser->setPresetNames(browser->getPageStart());
    updateEditMultiName();
}

void K1Editor::onMultiModified(uint64_t) {
    if (browser) browser->setPresetNames(browser->getPageStart());
}

void K1Editor::onActiveMultiModified(uint64_t) {
    if (display) display->setTextShowCurrentPreset();
    if (browser) browser->setPresetNames(browser->getPageStart());
    updateEditMultiName();
}

void K1Editor::onActiveMultiChanged(uint64_t index) {
    if (display) display->setTextShowCurrentPreset();
    if (browser) browser->setPresetNames(browser->getPageStart());
    updateEditMultiName();
    if (multi) multi->onActiveMultiChanged(index);
}

void K1Editor::onConfigChanged() {
    if (settings) settings->updateValues();
}

namespace {
// The stored name up to its terminating zero, without trailing blanks.
template <size_t N> std::string trimmedName(const char (&name)[N]) {
    std::string text(name, strnlen(name, N));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}
} // namespace

void K1Editor::updateEditSingleName() {
    if (editSingleName) editSingleName->setText(trimmedName(plugin.getCurrentSingle().name));
}

void K1Editor::updateEditMultiName() {
    if (editMultiName) editMultiName->setText(trimmedName(plugin.getCurrentMulti().name));
}
