// A push button drawn from a two-frame strip (released above, pressed below). A release
// inside gives the value max and then min, each with valueChanged; a release outside or a
// cancel gives min only.
#pragma once

#include "gui/CControl.h"

namespace VSTGUI {

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                const CPoint& offset = {0, 0});
    CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = {0, 0});

    CView* newCopy() const override { return new CKickButton(*this); }

    void setHeightOfOneImage(CCoord height) { heightOfOneImage = height; }
    // 0 means the view's height.
    CCoord getHeightOfOneImage() const { return heightOfOneImage > 0 ? heightOfOneImage : getHeight(); }
    // Pressed and the pointer inside.
    bool isPressed() const { return pressed && pointerInside; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseCancel() override;

private:
    void release(bool inside);

    CCoord heightOfOneImage = 0;
    CPoint offset;
    bool pressed = false;
    bool pointerInside = false;
};

} // namespace VSTGUI
