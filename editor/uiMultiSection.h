// One column of the Multi page: the views of one section (Single, zones, channel, mode, poly,
// velocity, output, transpose, tune, level), rebound through the editor's parameter tables to
// whichever of the eight sections the column shows.
//
// Thread contract: user-interface thread only. The column's three multilevel menus are owned by
// the editor, which outlives the column.
#pragma once

#include "editor/ControlHelpers.h"
#include "gui/vstgui/vstgui.h"
#include "k1lib/params/Parameters.h"

#include <cstdint>

class K1Editor;
class uiMultilevelOptionMenu;

class uiMultiSection : public VSTGUI::IControlListener {
public:
    static constexpr uint64_t kNoSection = ~uint64_t(0);

    uiMultiSection(K1Editor& editor, VSTGUI::CView* column, unsigned long section);
    ~uiMultiSection() override;
    uiMultiSection(const uiMultiSection&) = delete;
    uiMultiSection& operator=(const uiMultiSection&) = delete;

    // Rebinds the column to section s (0..7); nothing when it already shows s.
    void setSectionIndex(unsigned long section);
    // Lists the 64 Singles the current Multi plays, in eight groups of eight.
    void initSinglesList();
    // Refreshes the title of a multilevel menu of this column; true when p is one of them.
    bool onParamChanged(k1lib::EParam param, float value);
    void onActiveMultiChanged();

    // Binds one view (or only refreshes its value) for parameter sectionIndex + offset.
    void assignViewToParam(k1lib::EParam offset, VSTGUI::CView* view);
    void assignMultilevelOptionMenuToParam(k1lib::EParam offset, uiMultilevelOptionMenu* menu);
    void updateValue(k1lib::EParam offset);

    // The column's controls report to the editor; nothing arrives here.
    void valueChanged(VSTGUI::CControl*) override {}

private:
    K1Editor& editor;
    uint64_t sectionIndex = kNoSection;
    ViewsByName views;
    VSTGUI::CTextLabel* nameLabel = nullptr;
    uiMultilevelOptionMenu* singleMenuLevels = nullptr;
    VSTGUI::COptionMenu* singleMenu = nullptr;
    VSTGUI::COptionMenu* channelMenu = nullptr;
    VSTGUI::COptionMenu* modeMenu = nullptr;
    VSTGUI::COptionMenu* polyMenu = nullptr;
    VSTGUI::COptionMenu* velocityMenu = nullptr;
    VSTGUI::COptionMenu* outputMenu = nullptr;
    VSTGUI::COptionMenu* zoneLowMenu = nullptr;
    VSTGUI::COptionMenu* zoneHighMenu = nullptr;
    uiMultilevelOptionMenu* zoneLowMenuLevels = nullptr;
    uiMultilevelOptionMenu* zoneHighMenuLevels = nullptr;
    VSTGUI::CKnobBase* levelKnob = nullptr;
    VSTGUI::CTextLabel* levelLabel = nullptr;
    VSTGUI::CKnobBase* transposeKnob = nullptr;
    VSTGUI::CTextLabel* transposeLabel = nullptr;
    VSTGUI::CKnobBase* tuneKnob = nullptr;
    VSTGUI::CTextLabel* tuneLabel = nullptr;
};
