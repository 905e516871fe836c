#include "gui/CAnimKnob.h"

#include "gui/CDrawContext.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

CAnimKnob::CAnimKnob(const CRect& rect, IControlListener* controlListener, int32_t controlTag,
                     CBitmap* backgroundBitmap, const CPoint& bitmapOffset)
    : CKnobBase(rect, controlListener, controlTag, backgroundBitmap), offset(bitmapOffset) {}

CAnimKnob::CAnimKnob(const CRect& rect, IControlListener* controlListener, int32_t controlTag, int32_t,
                     CCoord frameHeight, CBitmap* backgroundBitmap, const CPoint& bitmapOffset)
    : CKnobBase(rect, controlListener, controlTag, backgroundBitmap), heightOfOneImage(frameHeight),
      offset(bitmapOffset) {}

int32_t CAnimKnob::getNumSubPixmaps() const {
    const CBitmap* bitmap = getBackground();
    const CCoord frameHeight = getHeightOfOneImage();
    if (!bitmap || frameHeight <= 0) return 0;
    return std::max(1, static_cast<int32_t>(bitmap->getHeight() / frameHeight));
}

int32_t CAnimKnob::getCurrentFrame() const {
    const int32_t frames = getNumSubPixmaps();
    if (frames <= 1) return 0;
    float normalized = getValueNormalized();
    if (std::isnan(normalized)) normalized = 0;
    if (inverseBitmap) normalized = 1.f - normalized;
    const auto frame =
        static_cast<int32_t>(std::lround(std::clamp(normalized, 0.f, 1.f) * static_cast<float>(frames - 1)));
    return std::clamp(frame, 0, frames - 1);
}

void CAnimKnob::draw(CDrawContext* context) {
    if (CBitmap* bitmap = getBackground())
        context->drawBitmap(bitmap, size, {offset.x, offset.y + getCurrentFrame() * getHeightOfOneImage()});
    setDirty(false);
}

} // namespace VSTGUI
