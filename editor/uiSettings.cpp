#include "editor/uiSettings.h"

#include "editor/K1Editor.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/facade/Plugin.h"

#include <algorithm>
#include <cstdint>

using namespace VSTGUI;
using Config = k1lib::Engine::Config;

namespace {
// The channel menu lists "1".."16", then "Omni".
constexpr int32_t kChannelEntries = k1lib::kMidiChannelCount;
constexpr int32_t kOmniEntry = kChannelEntries;
} // namespace

const std::array<uiSettings::Toggle, 9> uiSettings::kToggles{{
    {&uiSettings::midiSendSysex, &Config::midiSendSysex},
    {&uiSettings::midiReceiveModWheel, &Config::midiReceiveModWheel},
    {&uiSettings::midiReceiveVelocity, &Config::midiReceiveVelocity},
    {&uiSettings::midiReceivePressure, &Config::midiReceivePressure},
    {&uiSettings::midiReceiveVolume, &Config::midiReceiveVolume},
    {&uiSettings::midiReceiveSysEx, &Config::midiReceiveSysEx},
    {&uiSettings::midiReceivePitchBend, &Config::midiReceivePitchBend},
    {&uiSettings::midiReceiveHoldPedal, &Config::midiReceiveHoldPedal},
    {&uiSettings::midiReceivePan, &Config::midiReceivePan},
}};

uiSettings::uiSettings(K1Editor& owner, CViewContainer* page) : editor(owner) {
    if (page) ControlHelpers::getViewsByCustomViewName(views, page);

    midiReceiveChannel = initOptionMenu("midiReceiveChannel");
    midiSendSysex = initToggle("midiSendSysex");
    midiReceiveProgramChange = initOptionMenu("midiReceiveProgramChange");
    midiReceiveModWheel = initToggle("midiReceiveModWheel");
    midiReceiveVelocity = initToggle("midiReceiveVelocity");
    midiReceivePressure = initToggle("midiReceivePressure");
    midiReceiveVolume = initToggle("midiReceiveVolume");
    midiReceiveSysEx = initToggle("midiReceiveSysEx");
    midiReceivePitchBend = initToggle("midiReceivePitchBend");
    midiReceiveHoldPedal = initToggle("midiReceiveHoldPedal");
    midiReceivePan = initToggle("midiReceivePan");
    audioOutputMode = initOptionMenu("audioOutputMode");

    // The output mode means nothing to plug-in type 1, which has one stereo output only.
    if (CViewContainer* audio = ControlHelpers::initView<CViewContainer>(views, "audio"))
        audio->setVisible(editor.getPlugin().getPluginType() != 1);

    if (midiReceiveChannel) {
        for (int32_t channel = 1; channel <= kChannelEntries; ++channel)
            midiReceiveChannel->addEntry(std::to_string(channel).c_str());
        midiReceiveChannel->addEntry("Omni");
    }
    if (midiReceiveProgramChange) {
        midiReceiveProgramChange->addEntry("off");
        midiReceiveProgramChange->addEntry("Norm");
        midiReceiveProgramChange->addEntry("Sect");
    }
    if (audioOutputMode) {
        audioOutputMode->addEntry("Stereo");
        audioOutputMode->addEntry("8 Channels");
    }
    updateValues();
}

uiSettings::~uiSettings() {
    // The menus outlive this page when the frame does; they must not call back into it.
    for (COptionMenu* menu : {midiReceiveChannel, midiReceiveProgramChange, audioOutputMode})
        if (menu && menu->getListener() == this) menu->setListener(nullptr);
    for (const Toggle& toggle : kToggles)
        if (COptionMenu* menu = this->*toggle.menu; menu && menu->getListener() == this)
            menu->setListener(nullptr);
}

COptionMenu* uiSettings::initOptionMenu(const std::string& name) {
    COptionMenu* menu = ControlHelpers::initView<COptionMenu>(views, name);
    if (menu) menu->setListener(this);
    return menu;
}

COptionMenu* uiSettings::initToggle(const std::string& name) {
    COptionMenu* menu = initOptionMenu(name);
    if (menu) {
        menu->addEntry("Off");
        menu->addEntry("On");
    }
    return menu;
}

void uiSettings::updateValues() {
    const Config c = editor.getPlugin().getConfig();
    // A stored value without an entry (a channel of 16 or more) selects nothing: setCurrent
    // refuses indexes outside the menu.
    auto select = [](COptionMenu* menu, uint32_t entry) {
        if (menu) menu->setCurrent(static_cast<int32_t>(std::min<uint32_t>(entry, INT32_MAX)));
    };
    select(midiReceiveChannel, c.omni != 0 ? kOmniEntry : c.midiReceiveChannel);
    select(midiReceiveProgramChange, c.midiReceiveProgramChange);
    select(audioOutputMode, c.audioOutputMode);
    for (const Toggle& toggle : kToggles)
        select(this->*toggle.menu, c.*toggle.field != 0 ? 1 : 0);
}

void uiSettings::valueChanged(CControl* control) {
    auto* menu = dynamic_cast<COptionMenu*>(control);
    if (!menu) return;
    const int32_t i = menu->getCurrentIndex(false);
    if (i < 0) return;
    const uint32_t entry = static_cast<uint32_t>(i);

    k1lib::Plugin& plugin = editor.getPlugin();
    const Config c = plugin.getConfig();
    Config n = c;
    if (menu == midiReceiveChannel) {
        // "Omni" keeps the last receive channel; a channel switches omni off.
        n.omni = i == kOmniEntry ? 1 : 0;
        if (i != kOmniEntry) n.midiReceiveChannel = entry;
    } else if (menu == midiReceiveProgramChange) {
        n.midiReceiveProgramChange = entry;
    } else if (menu == audioOutputMode) {
        n.audioOutputMode = entry;
    } else {
        for (const Toggle& toggle : kToggles)
            if (menu == this->*toggle.menu) n.*toggle.field = i > 0 ? 1 : 0;
    }
    if (!(n == c)) plugin.setConfig(n);
}
