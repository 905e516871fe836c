#include "gui/CTextLabel.h"

namespace VSTGUI {

CTextLabel::CTextLabel(const CRect& rect, UTF8StringPtr initialText, CBitmap* backgroundBitmap,
                       int32_t displayStyle)
    : CParamDisplay(rect, backgroundBitmap, displayStyle), text(initialText) {}

void CTextLabel::setText(const UTF8String& newText) {
    if (newText == text) return;
    text = newText;
    invalid();
}

} // namespace VSTGUI
