#include "editor/uiMultiSection.h"

#include "editor/K1Editor.h"
#include "editor/uiMultilevelOptionMenu.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/engine/Engine.h"
#include "k1lib/facade/Plugin.h"
#include "k1lib/records/SinglePreset.h"

#include <cstring>

using namespace VSTGUI;
using namespace k1lib;

namespace {
constexpr uint64_t kSinglesPerGroup = 8;
} // namespace

uiMultiSection::uiMultiSection(K1Editor& owner, CView* column, unsigned long section) : editor(owner) {
    if (column) ControlHelpers::getViewsByCustomViewName(views, column);
    auto wrap = [&owner](COptionMenu* menu) {
        return menu ? owner.createMultilevelOptionMenu(menu) : nullptr;
    };

    zoneLowMenu = ControlHelpers::initView<COptionMenu>(views, "multiSectionZoneLow");
    zoneHighMenu = ControlHelpers::initView<COptionMenu>(views, "multiSectionZoneHigh");
    zoneLowMenuLevels = wrap(zoneLowMenu);
    zoneHighMenuLevels = wrap(zoneHighMenu);
    outputMenu = ControlHelpers::initView<COptionMenu>(views, "multiSectionOutput");
    velocityMenu = ControlHelpers::initView<COptionMenu>(views, "multiSectionVelocity");
    polyMenu = ControlHelpers::initView<COptionMenu>(views, "multiSectionPoly");
    modeMenu = ControlHelpers::initView<COptionMenu>(views, "multiSectionMode");
    channelMenu = ControlHelpers::initView<COptionMenu>(views, "multiSectionChannel");
    ControlHelpers::initKnob(views, levelKnob, levelLabel, "multiSectionLevel");
    ControlHelpers::initKnob(views, transposeKnob, transposeLabel, "multiSectionTranspose");
    ControlHelpers::initKnob(views, tuneKnob, tuneLabel, "multiSectionTune");

    // The section-1 parameters serve as templates: every section has the same ranges.
    const std::pair<COptionMenu*, EParam> menus[] = {
        {zoneLowMenu, Param_MultiS1ZoneLow}, {zoneHighMenu, Param_MultiS1ZoneHigh},
        {outputMenu, Param_MultiS1Output},   {velocityMenu, Param_MultiS1Velocity},
        {polyMenu, Param_MultiS1Poly},       {modeMenu, Param_MultiS1Mode},
        {channelMenu, Param_MultiS1Channel}};
    for (const auto& [menu, param] : menus)
        if (menu) editor.initOptionMenu(menu, param);

    singleMenu = ControlHelpers::initView<COptionMenu>(views, "multiSectionSingle");
    singleMenuLevels = wrap(singleMenu);
    initSinglesList();

    nameLabel = ControlHelpers::initView<CTextLabel>(views, "multiSectionName");
    setSectionIndex(section);
}

uiMultiSection::~uiMultiSection() = default;

void uiMultiSection::setSectionIndex(unsigned long section) {
    if (section == sectionIndex || section >= kSectionCount) return;
    sectionIndex = section;
    if (nameLabel) nameLabel->setText(("SECTION " + std::to_string(section + 1)).c_str());

    for (CView* view : std::initializer_list<CView*>{
             singleMenu, zoneLowMenu, zoneHighMenu, channelMenu, modeMenu, polyMenu, velocityMenu, outputMenu,
             tuneLabel, transposeLabel, levelLabel, tuneKnob, transposeKnob, levelKnob})
        if (view) editor.unassignViewFromParam(view);

    assignViewToParam(Param_MultiS1Single, singleMenu);
    assignViewToParam(Param_MultiS1ZoneLow, zoneLowMenu);
    assignViewToParam(Param_MultiS1ZoneHigh, zoneHighMenu);
    assignViewToParam(Param_MultiS1Channel, channelMenu);
    assignViewToParam(Param_MultiS1Mode, modeMenu);
    assignViewToParam(Param_MultiS1Poly, polyMenu);
    assignViewToParam(Param_MultiS1Velocity, velocityMenu);
    assignViewToParam(Param_MultiS1Output, outputMenu);
    assignViewToParam(Param_MultiS1Tune, tuneLabel);
    assignViewToParam(Param_MultiS1Transpose, transposeLabel);
    assignViewToParam(Param_MultiS1Level, levelLabel);
    assignViewToParam(Param_MultiS1Tune, tuneKnob);
    assignViewToParam(Param_MultiS1Transpose, transposeKnob);
    assignViewToParam(Param_MultiS1Level, levelKnob);
    assignMultilevelOptionMenuToParam(Param_MultiS1ZoneLow, zoneLowMenuLevels);
    assignMultilevelOptionMenuToParam(Param_MultiS1ZoneHigh, zoneHighMenuLevels);
    assignMultilevelOptionMenuToParam(Param_MultiS1Single, singleMenuLevels);
}

void uiMultiSection::assignViewToParam(EParam offset, CView* view) {
    if (sectionIndex == kNoSection) return;
    if (view) editor.assignViewToParam(static_cast<EParam>(sectionIndex + offset), view);
    updateValue(offset);
}

void uiMultiSection::assignMultilevelOptionMenuToParam(EParam offset, uiMultilevelOptionMenu* menu) {
    if (sectionIndex == kNoSection) return;
    if (menu) editor.assignMultilevelOptionMenuToParam(static_cast<EParam>(sectionIndex + offset), menu);
    updateValue(offset);
}

void uiMultiSection::updateValue(EParam offset) {
    // Before the first setSectionIndex the column shows no section, so there is nothing to refresh.
    if (sectionIndex == kNoSection) return;
    const auto param = static_cast<EParam>(sectionIndex + offset);
    editor.onParamChanged(param, editor.getPlugin().getParameter(param));
}

void uiMultiSection::initSinglesList() {
    if (!singleMenu) return;
    singleMenu->removeAllEntry();
    if (singleMenuLevels) singleMenuLevels->onMenuCleared();

    Plugin& plugin = editor.getPlugin();
    const uint64_t first = Engine::getSinglesOffsetForMulti(plugin.getCurrentMultiIndex());
    for (uint64_t group = 0; group < kSinglesPerBank / kSinglesPerGroup; ++group) {
        const uint64_t i0 = first + kSinglesPerGroup * group;
        auto sub = owned(new COptionMenu());
        for (uint64_t i = i0; i < i0 + kSinglesPerGroup; ++i) {
            // A Single beyond the banks keeps the cleared record: an empty name.
            SinglePreset single{};
            const bool known = plugin.getSingle(single, i);
            const std::string name =
                known ? std::string(single.name, strnlen(single.name, sizeof single.name - 1))
                      : std::string();
            CMenuItem* item = sub->addEntry((Engine::getSingleNumberAsName(i) + "  " + name).c_str());
            item->setTag(static_cast<int32_t>(i - first));
        }
        const std::string title = Engine::getSingleNumberAsName(i0) + "-" +
                                  Engine::getSingleNumberAsName(i0 + kSinglesPerGroup - 1);
        singleMenu->addEntry(sub.get(), title.c_str());
    }
    updateValue(Param_MultiS1Single);
}

bool uiMultiSection::onParamChanged(EParam param, float value) {
    if (sectionIndex == kNoSection || param < sectionIndex) return false;
    uiMultilevelOptionMenu* menu = nullptr;
    switch (param - sectionIndex) {
    case Param_MultiS1Single:
        menu = singleMenuLevels;
        break;
    case Param_MultiS1ZoneLow:
        menu = zoneLowMenuLevels;
        break;
    case Param_MultiS1ZoneHigh:
        menu = zoneHighMenuLevels;
        break;
    default:
        return false;
    }
    if (menu) editor.updateMultilevelOptionMenuFromParam(menu, param, value);
    return true;
}

void uiMultiSection::onActiveMultiChanged() {
    initSinglesList();
}
