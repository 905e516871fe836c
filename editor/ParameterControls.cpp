#include "editor/ParameterControls.h"

#include "editor/uiMultilevelOptionMenu.h"
#include "gui/vstgui/vstgui.h"

#include <algorithm>

using namespace VSTGUI;

namespace {
bool isCoarse(k1lib::EParam param) {
    return param >= k1lib::Param_SourceS1Coarse && param <= k1lib::Param_SourceS4Coarse;
}
} // namespace

ParameterControls::ParameterControls() = default;

float ParameterControls::defaultValueOf(k1lib::EParam param) const {
    const k1lib::CParam& p = k1lib::g_params[param];
    return (p.defaultValue - p.min) * (1.f / p.range);
}

void ParameterControls::setDefaultValue(k1lib::EParam param, CControl* control) const {
    const float value = defaultValueOf(param);
    if (isCoarse(param)) {
        // The coarse knob works in plain units over a narrower range than the parameter's.
        const k1lib::CParam& p = k1lib::g_params[param];
        control->setDefaultValue(std::clamp(p.min + value * p.range, control->getMin(), control->getMax()));
    } else {
        control->setDefaultValue(value);
    }
}

void ParameterControls::applyDefaultValue(k1lib::EParam param) {
    if (param < k1lib::kParamCount && controls[param]) setDefaultValue(param, controls[param]);
}

void ParameterControls::assignViewToParam(k1lib::EParam param, CView* view) {
    if (!view || param >= k1lib::kParamCount) return;
    if (auto* control = dynamic_cast<CControl*>(view)) {
        const k1lib::CParam& p = k1lib::g_params[param];
        setDefaultValue(param, control);
        // The coarse knob steps by semitones over 84 +- 24.
        control->setWheelInc(isCoarse(param) ? 1.f / 48.f : 1.f / (p.max - p.min));
    }
    if (auto* kick = dynamic_cast<CKickButton*>(view))
        kickButtons[param] = kick;
    else if (auto* menu = dynamic_cast<COptionMenu*>(view))
        optionMenus[param] = menu;
    else if (auto* label = dynamic_cast<CTextLabel*>(view))
        labels[param] = label;
    else if (auto* control = dynamic_cast<CControl*>(view)) {
        controls[param] = control;
        if (auto* knob = dynamic_cast<CKnobBase*>(control)) knob->setZoomFactor(2.f);
    }
}

void ParameterControls::unassignViewFromParam(CView* view) {
    for (unsigned long p = 0; p < k1lib::kParamCount; ++p) {
        if (controls[p] == view) controls[p] = nullptr;
        if (labels[p] == view) labels[p] = nullptr;
        if (optionMenus[p] == view) optionMenus[p] = nullptr;
        if (kickButtons[p] == view) kickButtons[p] = nullptr;
    }
    if (!dynamic_cast<COptionMenu*>(view)) return;
    for (uiMultilevelOptionMenu*& menu : multilevelOptionMenus)
        if (menu && menu->getMenu() == view) menu = nullptr;
}

void ParameterControls::assignMultilevelOptionMenuToParam(k1lib::EParam param, uiMultilevelOptionMenu* menu) {
    if (param < k1lib::kParamCount) multilevelOptionMenus[param] = menu;
}
