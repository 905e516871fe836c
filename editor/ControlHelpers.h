// Finding the panel's views by their custom-view name, and filling option menus from the parameter
// table. Missing or mistyped views are logged and yield null; callers check.
#pragma once

#include "k1lib/params/Parameters.h"

#include <map>
#include <string>
#include <vector>

namespace VSTGUI {
class CKnobBase;
class COptionMenu;
class CTextLabel;
class CView;
} // namespace VSTGUI

// Custom-view name -> every view carrying it, in document order (depth-first pre-order).
using ViewsByName = std::map<std::string, std::vector<VSTGUI::CView*>>;

class ControlHelpers {
public:
    // Adds `view` and all its descendants that carry a custom-view name.
    static void getViewsByCustomViewName(ViewsByName& map, VSTGUI::CView* view);
    // The first view of that name whose class is T; null (and a log line) when there is none.
    // Instantiated for CView, CViewContainer, CKickButton, CTextEdit, CTextLabel, CKnobBase, COptionMenu.
    template <class T> static T* initView(const ViewsByName& map, const std::string& name);
    // The knob and the value label sharing one name; true when both were found.
    static bool initKnob(const ViewsByName& map, VSTGUI::CKnobBase*& knob, VSTGUI::CTextLabel*& label,
                         const std::string& name);

    // A heading entry that cannot be chosen.
    static void addTitle(VSTGUI::COptionMenu* menu, const char* text);
    // A sub-menu `title` holding the plain values first-1 .. last-1 (one-based bounds), each entry
    // titled with the parameter's text of the value and tagged with the value.
    static void addRangeAsSubmenu(VSTGUI::COptionMenu* menu, k1lib::EParam param, const char* title,
                                  int first, int last);
    // One untagged entry per plain value from the parameter's minimum to its maximum.
    static void addParameterRangeAsMenuEntries(VSTGUI::COptionMenu* menu, k1lib::EParam param);
    // The title of the first entry (sub-menus searched first) whose tag is `tag`; empty when none.
    static std::string getItemTextByTag(VSTGUI::COptionMenu* menu, int tag);
};
