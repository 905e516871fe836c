#include "gui/CKnobBase.h"

namespace VSTGUI {

CKnobBase::CKnobBase(const CRect& rect, IControlListener* controlListener, int32_t controlTag,
                     CBitmap* backgroundBitmap)
    : CControl(rect, controlListener, controlTag, backgroundBitmap) {}

CKnobBase::~CKnobBase() {
    if (wheelRest) wheelRest->stop();
}

CMouseEventResult CKnobBase::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    endWheelEdit();
    if (checkDefaultValue(buttons)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    // Distances are measured in window pixels so the feel does not change with the zoom.
    lastY = dragStartY = getGlobalTransform().transform(where).y;
    dragStartValue = getValueNormalized();
    dragging = true;
    beginEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!dragging || !buttons.isLeftButton()) return kMouseEventNotHandled;
    const CCoord y = getGlobalTransform().transform(where).y;
    const float old = getValue();
    if (buttons & kShift) {
        // Fine steps from the current value; a later coarse move continues from here.
        setValueNormalized(
            static_cast<float>(getValueNormalized() + (lastY - y) / kDragPixelsPerRange / zoomFactor));
        bounceValue();
        dragStartValue = getValueNormalized();
        dragStartY = y;
    } else {
        setValueNormalized(static_cast<float>(dragStartValue + (dragStartY - y) / kDragPixelsPerRange));
        bounceValue();
    }
    lastY = y;
    if (getValue() != old) valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseUp(CPoint&, const CButtonState&) {
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

CMouseEventResult CKnobBase::onMouseCancel() {
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

bool CKnobBase::onWheel(const CPoint&, const CMouseWheelAxis& axis, const float& distance,
                        const CButtonState& buttons) {
    if (axis != kMouseWheelAxisY) return false;
    const float step = wheelInc * distance * ((buttons & kShift) ? 0.1f : 1.f);
    const float old = getValue();
    if (!wheelEditing) {
        wheelEditing = true;
        beginEdit();
    }
    // Hosts record a touch only while it lasts beyond one round of their GUI (automation in
    // Touch mode): the edit stays open until the wheel rests.
    if (!wheelRest)
        wheelRest = owned(new CVSTGUITimer([this](CVSTGUITimer*) { endWheelEdit(); }, kWheelRestMs, false));
    wheelRest->stop();
    wheelRest->start();
    setValueNormalized(getValueNormalized() + step);
    bounceValue();
    if (getValue() != old) valueChanged();
    return true;
}

void CKnobBase::endWheelEdit() {
    if (wheelRest) wheelRest->stop();
    if (!wheelEditing) return;
    wheelEditing = false;
    endEdit();
}

} // namespace VSTGUI
