#include "CTextLabel.h"

namespace VSTGUI {

CTextLabel::CTextLabel(const CRect& rect, UTF8StringPtr initialText, CBitmap* background, int32_t style)
    : CParamDisplay(rect, background, style), text(initialText) {}

void CTextLabel::setText(const UTF8String& newText) {
    if (newText == text) return;
    text = newText;
    invalid();
}

} // namespace VSTGUI
