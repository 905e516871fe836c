// The settings page ("mode_edit_system"): twelve option menus over the engine's settings. A choice
// starts from the facade's current settings and hands one new set back when a field differs.
//
// Thread contract: user-interface thread only.
#pragma once

#include "editor/ControlHelpers.h"
#include "gui/vstgui/vstgui.h"
#include "k1lib/engine/Engine.h"

#include <array>
#include <string>

class K1Editor;

class uiSettings : public VSTGUI::IControlListener {
public:
    uiSettings(K1Editor& editor, VSTGUI::CViewContainer* page);
    ~uiSettings() override;
    uiSettings(const uiSettings&) = delete;
    uiSettings& operator=(const uiSettings&) = delete;

    // Fetches the menu and makes this object its listener.
    VSTGUI::COptionMenu* initOptionMenu(const std::string& name);
    // The same, with the entries "Off" and "On".
    VSTGUI::COptionMenu* initToggle(const std::string& name);
    // Shows the facade's current settings.
    void updateValues();

    void valueChanged(VSTGUI::CControl* control) override;

private:
    // An on/off menu and the setting it shows.
    struct Toggle {
        VSTGUI::COptionMenu* uiSettings::*menu;
        uint32_t k1lib::Engine::Config::*field;
    };
    // Send-sysex first, then the reception toggles in the order the page fetches them.
    static const std::array<Toggle, 9> kToggles;

    VSTGUI::COptionMenu* midiReceiveChannel = nullptr;
    VSTGUI::COptionMenu* midiSendSysex = nullptr;
    VSTGUI::COptionMenu* midiReceiveProgramChange = nullptr;
    VSTGUI::COptionMenu* midiReceiveModWheel = nullptr;
    VSTGUI::COptionMenu* midiReceiveVelocity = nullptr;
    VSTGUI::COptionMenu* midiReceivePressure = nullptr;
    VSTGUI::COptionMenu* midiReceiveVolume = nullptr;
    VSTGUI::COptionMenu* midiReceiveSysEx = nullptr;
    VSTGUI::COptionMenu* midiReceivePitchBend = nullptr;
    VSTGUI::COptionMenu* midiReceiveHoldPedal = nullptr;
    VSTGUI::COptionMenu* midiReceivePan = nullptr;
    VSTGUI::COptionMenu* audioOutputMode = nullptr;
    K1Editor& editor;
    ViewsByName views;
};
