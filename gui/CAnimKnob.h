// A knob drawn as one frame of a vertical bitmap strip, chosen by the normalised value.
#pragma once

#include "gui/CKnobBase.h"

namespace VSTGUI {

class CAnimKnob : public CKnobBase {
public:
    CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = {0, 0});
    // With an explicit frame height (the strip holds bitmap height / heightOfOneImage frames).
    CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
              CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = {0, 0});

    CView* newCopy() const override { return new CAnimKnob(*this); }

    void setHeightOfOneImage(CCoord height) { heightOfOneImage = height; }
    // 0 means the view's height.
    CCoord getHeightOfOneImage() const { return heightOfOneImage > 0 ? heightOfOneImage : getHeight(); }
    int32_t getNumSubPixmaps() const;
    // round(normalised × (frames − 1)), clamped to the strip.
    int32_t getCurrentFrame() const;

    void draw(CDrawContext* context) override;

private:
    CCoord heightOfOneImage = 0;
    CPoint offset;
    bool inverseBitmap = false;
};

} // namespace VSTGUI
