#include "gui/CKickButton.h"

#include "gui/CDrawContext.h"

namespace VSTGUI {

CKickButton::CKickButton(const CRect& rect, IControlListener* controlListener, int32_t controlTag,
                         CBitmap* backgroundBitmap, const CPoint& bitmapOffset)
    : CControl(rect, controlListener, controlTag, backgroundBitmap), offset(bitmapOffset) {}

CKickButton::CKickButton(const CRect& rect, IControlListener* controlListener, int32_t controlTag,
                         CCoord frameHeight, CBitmap* backgroundBitmap, const CPoint& bitmapOffset)
    : CControl(rect, controlListener, controlTag, backgroundBitmap), heightOfOneImage(frameHeight),
      offset(bitmapOffset) {}

void CKickButton::draw(CDrawContext* context) {
    const bool showPressed = isPressed() || value >= getMax();
    if (CBitmap* bitmap = getBackground())
        context->drawBitmap(bitmap, size, {offset.x, offset.y + (showPressed ? getHeightOfOneImage() : 0)});
    setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    pressed = true;
    pointerInside = size.pointInside(where);
    beginEdit();
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!pressed) return kMouseEventNotHandled;
    const bool inside = buttons.isLeftButton() && size.pointInside(where);
    if (inside != pointerInside) {
        pointerInside = inside;
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint& where, const CButtonState&) {
    if (!pressed) return kMouseEventNotHandled;
    release(size.pointInside(where));
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseCancel() {
    if (!pressed) return kMouseEventNotHandled;
    release(false);
    return kMouseEventHandled;
}

void CKickButton::release(bool inside) {
    SharedPointer<CKickButton> self(this);
    pressed = false;
    pointerInside = false;
    if (inside) {
        value = getMax();
        valueChanged();
    }
    value = getMin();
    valueChanged();
    endEdit();
    invalid();
}

} // namespace VSTGUI
