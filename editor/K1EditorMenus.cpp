// Filling the option menus of the parameters: note ranges, the grouped waveforms, or one entry per value.
#include "editor/K1Editor.h"

#include "editor/uiMultilevelOptionMenu.h"

#include <algorithm>
#include <string>

using namespace VSTGUI;
using namespace k1lib;

namespace {
struct WaveRange {
    const char* title;
    int first; // one-based wave numbers
    int last;
};
struct WaveGroup {
    const char* title;
    std::initializer_list<WaveRange> ranges;
};

// The K1's own grouping of its 256 waveforms, as printed on the panel.
const WaveGroup kWaveGroups[] = {
    {"Basic Wave Group", {{"Sine", 1, 13}, {"Saw", 14, 32}, {"Square", 33, 37}, {"Inverse-Saw", 38, 40}}},
    {"Low Frequency Group",
     {{"Brass", 41, 41},
      {"String", 42, 44},
      {"Piano/E. Piano", 45, 51},
      {"Guitar/Brass", 52, 62},
      {"Wind/Lead", 63, 65},
      {"Bell/Percussion/Organ", 66, 75}}},
    {"Mid Frequency Group",
     {{"Brass", 76, 83},
      {"String", 84, 85},
      {"Piano/E.Piano", 86, 99},
      {"Guitar/Bass", 100, 114},
      {"Wind/Lead", 115, 120},
      {"Bell/Percussion/Organ", 121, 146}}},
    {"Hi-Mid Frequency Group",
     {{"Brass/Orchestra", 147, 149},
      {"Piano/E.Piano", 150, 159},
      {"Bass", 160, 163},
      {"Bell/Percussion/Organ", 164, 190}}},
    {"Hi Frequency Range Group", {{"Clavi", 191, 191}, {"Bass", 192, 197}, {"Lead/Percussion", 198, 204}}},
    {"PCM Wave Group",
     {{"One Shot", 205, 234},
      {"Loop", 235, 242},
      {"Omnibus Loop", 243, 250},
      {"Reverse", 251, 253},
      {"Alternate", 254, 256}}},
};

bool inRange(EParam p, EParam first, EParam last) {
    return p >= first && p <= last;
}

constexpr int kNotesPerSubmenu = 12; // an octave
constexpr int kHighestNote = 127;

// Eleven sub-menus of twelve notes (the last one 120..127).
void addNoteRanges(COptionMenu* menu, EParam p) {
    for (int lo = 0; lo <= kHighestNote; lo += kNotesPerSubmenu) {
        const int hi = std::min(lo + kNotesPerSubmenu - 1, kHighestNote);
        const std::string title =
            g_params[p].formatValue(p, float(lo)) + "-" + g_params[p].formatValue(p, float(hi));
        // The sub-menu's range counts from 1.
        ControlHelpers::addRangeAsSubmenu(menu, p, title.c_str(), lo + 1, hi + 1);
    }
}
} // namespace

void K1Editor::initOptionMenu(COptionMenu* menu, EParam param) {
    if (!menu || param >= kParamCount) return;
    menu->removeAllEntry();
    for (auto& multilevel : ownedMultilevelMenus)
        if (multilevel->getMenu() == menu) multilevel->onMenuCleared();
    if (inRange(param, Param_SourceS1Coarse, Param_SourceS4Coarse) ||
        inRange(param, Param_MultiS1ZoneLow, Param_MultiS8ZoneHigh)) {
        addNoteRanges(menu, param);
    } else if (inRange(param, Param_SourceS1Wave, Param_SourceS4Wave)) {
        for (const WaveGroup& group : kWaveGroups) {
            ControlHelpers::addTitle(menu, group.title);
            for (const WaveRange& range : group.ranges)
                ControlHelpers::addRangeAsSubmenu(menu, param, range.title, range.first, range.last);
        }
    } else if (!inRange(param, Param_MultiS1Single, Param_MultiS8Single)) {
        // The Multi section Single menus are filled by the Multi page with the Singles of the bank.
        ControlHelpers::addParameterRangeAsMenuEntries(menu, param);
    }
}
