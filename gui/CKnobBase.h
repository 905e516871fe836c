// Knob behaviour: linear vertical drag, Shift for fine steps, wheel, Ctrl+click to default.
#pragma once

#include "gui/CControl.h"
#include "gui/CVSTGUITimer.h"

namespace VSTGUI {

class CKnobBase : public CControl {
public:
    // Window pixels of vertical drag for the full range.
    static constexpr CCoord kDragPixelsPerRange = 250;

    CKnobBase(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background);

    void setStartAngle(float angle) { startAngle = angle; }
    float getStartAngle() const { return startAngle; }
    void setRangeAngle(float angle) { rangeAngle = angle; }
    float getRangeAngle() const { return rangeAngle; }
    // Shift divides drag movements by this factor.
    void setZoomFactor(float factor) { zoomFactor = factor > 0 ? factor : 1.f; }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;
    // One notch moves wheelInc (×0.1 with Shift) of the normalised range. A run of notches is one
    // edit (beginEdit at the first), which ends once the wheel has rested kWheelRestMs, when the
    // knob is pressed, or when endWheelEdit is called (another control is touched).
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                 const CButtonState& buttons) override;
    void endWheelEdit();
    bool isWheelEditing() const { return wheelEditing; }
    ~CKnobBase() override;

    static constexpr uint32_t kWheelRestMs = 500;

private:
    float startAngle = 3.f * 3.14159265f / 4.f;
    float rangeAngle = 3.f * 3.14159265f / 2.f;
    float zoomFactor = 1.5f;
    bool dragging = false;
    float dragStartValue = 0.f;
    CCoord dragStartY = 0;
    CCoord lastY = 0;
    bool wheelEditing = false;
    SharedPointer<CVSTGUITimer> wheelRest;
};

} // namespace VSTGUI
