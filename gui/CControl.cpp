#include "gui/CControl.h"

#include "gui/ListenerList.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

CControl::CControl(const CRect& rect, IControlListener* controlListener, int32_t controlTag, CBitmap* bg)
    : CView(rect), listener(controlListener), tag(controlTag) {
    setBackground(bg);
}

CControl::CControl(const CControl& other)
    : CView(other), value(other.value), vmin(other.vmin), vmax(other.vmax), defaultValue(other.defaultValue),
      wheelInc(other.wheelInc), listener(other.listener), tag(other.tag) {}

void CControl::registerControlListener(IControlListener* extra) {
    zykgui::addOnce(extraListeners, extra);
}

void CControl::unregisterControlListener(IControlListener* extra) {
    zykgui::removeItem(extraListeners, extra);
}

template <class F> void CControl::forEachListener(F&& call) {
    if (listener) call(listener);
    for (IControlListener* extra : std::vector<IControlListener*>(extraListeners))
        call(extra);
}

void CControl::setValue(float newValue) {
    if (newValue == value) return;
    value = newValue;
    setDirty(true);
}

void CControl::setValueNormalized(float normalized) {
    if (getRange() == 0.f) {
        setValue(vmin);
        return;
    }
    setValue(vmin + std::clamp(normalized, 0.f, 1.f) * getRange());
}

float CControl::getValueNormalized() const {
    if (getRange() == 0.f) return 0.f;
    return (value - vmin) / getRange();
}

bool CControl::bounceValue() {
    const float bounced = std::clamp(value, std::min(vmin, vmax), std::max(vmin, vmax));
    if (bounced == value || std::isnan(value)) {
        if (!std::isnan(value)) return false;
        value = vmin;
        return true;
    }
    value = bounced;
    return true;
}

// Listeners may remove this control from its container; the callers below keep it alive
// until they return.
void CControl::setTag(int32_t newTag) {
    SharedPointer<CControl> self(this);
    forEachListener([this](IControlListener* l) { l->controlTagWillChange(this); });
    tag = newTag;
    forEachListener([this](IControlListener* l) { l->controlTagDidChange(this); });
}

void CControl::valueChanged() {
    SharedPointer<CControl> self(this);
    forEachListener([this](IControlListener* l) { l->valueChanged(this); });
    invalid();
}

void CControl::beginEdit() {
    SharedPointer<CControl> self(this);
    if (editing++ == 0) forEachListener([this](IControlListener* l) { l->controlBeginEdit(this); });
}

void CControl::endEdit() {
    SharedPointer<CControl> self(this);
    if (editing > 0 && --editing == 0)
        forEachListener([this](IControlListener* l) { l->controlEndEdit(this); });
}

bool CControl::checkDefaultValue(const CButtonState& buttons) {
    if (!buttons.isLeftButton() || buttons.getModifierState() != kControl) return false;
    SharedPointer<CControl> self(this);
    beginEdit();
    setValue(defaultValue);
    valueChanged();
    endEdit();
    return true;
}

} // namespace VSTGUI
