#include "gui/CParamDisplay.h"

#include "gui/CDrawContext.h"

#include <cstdio>

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& rect, CBitmap* backgroundBitmap, int32_t displayStyle)
    : CControl(rect, nullptr, -1, backgroundBitmap), font(kNormalFont), style(displayStyle | kNoFrame) {}

CParamDisplay::CParamDisplay(const CParamDisplay& other)
    : CControl(other), font(other.font ? new CFontDesc(*other.font) : nullptr, false),
      fontColor(other.fontColor), backColor(other.backColor), frameColor(other.frameColor),
      horiAlign(other.horiAlign), antialias(other.antialias), style(other.style), textInset(other.textInset) {
}

void CParamDisplay::setFont(CFontRef newFont) {
    if (!newFont) return;
    font = newFont;
    invalid();
}

void CParamDisplay::setFontColor(const CColor& color) {
    if (color == fontColor) return;
    fontColor = color;
    invalid();
}

void CParamDisplay::setBackColor(const CColor& color) {
    if (color == backColor) return;
    backColor = color;
    invalid();
}

void CParamDisplay::setFrameColor(const CColor& color) {
    if (color == frameColor) return;
    frameColor = color;
    invalid();
}

void CParamDisplay::setHoriAlign(CHoriTxtAlign align) {
    if (align == horiAlign) return;
    horiAlign = align;
    invalid();
}

void CParamDisplay::setAntialias(bool state) {
    if (state == antialias) return;
    antialias = state;
    invalid();
}

void CParamDisplay::setStyle(int32_t newStyle) {
    style = newStyle;
    invalid();
}

std::string CParamDisplay::getDisplayText() const {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(value));
    return text;
}

CRect CParamDisplay::textRect() const {
    CRect rect = size;
    rect.inset(textInset.x, textInset.y);
    return rect;
}

void CParamDisplay::drawBack(CDrawContext* context) {
    if (CBitmap* bitmap = getDrawnBackground()) {
        context->drawBitmap(bitmap, size);
    } else if (!getTransparency()) {
        context->setFillColor(backColor);
        context->drawRect(size, kDrawFilled);
    }
    if (!(style & kNoFrame)) {
        context->setFrameColor(frameColor);
        context->drawRect(size, kDrawStroked);
    }
}

void CParamDisplay::drawText(CDrawContext* context, const std::string& text) {
    if (style & kNoTextStyle) return;
    context->setFont(font);
    context->setFontColor(fontColor);
    context->drawString(text.c_str(), textRect(), horiAlign, antialias);
}

void CParamDisplay::draw(CDrawContext* context) {
    if (!(style & kNoDrawStyle)) {
        drawBack(context);
        drawText(context, getDisplayText());
    }
    setDirty(false);
}

} // namespace VSTGUI
