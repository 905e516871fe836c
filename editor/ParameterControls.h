// Which view shows which parameter: five tables indexed by parameter number, filled by name when the
// panel is built and rebound when the active source or a Multi section column changes.
#pragma once

#include "k1lib/params/Parameters.h"

#include <array>

namespace VSTGUI {
class CControl;
class CKickButton;
class COptionMenu;
class CTextLabel;
class CView;
} // namespace VSTGUI

class uiMultilevelOptionMenu;

class ParameterControls {
public:
    template <class T> using Table = std::array<T*, k1lib::kParamCount>;

    ParameterControls();
    virtual ~ParameterControls() = default;

    // Prepares the view (default value and wheel step for the parameter) and enters it in exactly one
    // table: kick button, else option menu, else label, else any other control. Null does nothing.
    void assignViewToParam(k1lib::EParam param, VSTGUI::CView* view);
    // Clears every entry that shows `view`, including the multilevel menu wrapping it.
    void unassignViewFromParam(VSTGUI::CView* view);
    void assignMultilevelOptionMenuToParam(k1lib::EParam param, uiMultilevelOptionMenu* menu);

    // The views are owned by the frame; the tables only point at them.
    Table<VSTGUI::CControl> controls{};
    Table<VSTGUI::CTextLabel> labels{};
    Table<VSTGUI::COptionMenu> optionMenus{};
    Table<uiMultilevelOptionMenu> multilevelOptionMenus{};
    Table<VSTGUI::CKickButton> kickButtons{};

protected:
    // The normalised value Ctrl+click on a control of `param` resets to: the table's default here.
    virtual float defaultValueOf(k1lib::EParam param) const;
    // Gives the control now showing `param` that parameter's default (a source's views move).
    void applyDefaultValue(k1lib::EParam param);

private:
    void setDefaultValue(k1lib::EParam param, VSTGUI::CControl* control) const;
};
