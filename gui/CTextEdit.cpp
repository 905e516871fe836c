#include "gui/CTextEdit.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

namespace VSTGUI {

CTextEdit::CTextEdit(const CRect& rect, IControlListener* controlListener, int32_t controlTag,
                     UTF8StringPtr initialText, CBitmap* backgroundBitmap, int32_t displayStyle)
    : CTextLabel(rect, initialText, backgroundBitmap, displayStyle) {
    setListener(controlListener);
    setTag(controlTag);
    setWantsFocus(true);
}

void CTextEdit::setText(const UTF8String& newText) {
    CTextLabel::setText(UTF8String(zykgui::makeValidUTF8(newText.getString())));
    if (editing && caret > getText().length()) caret = getText().length();
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    CFrame* frame = getFrame();
    if (!frame) return kMouseEventNotHandled;
    if (frame->getFocusView() != this) frame->setFocusView(this);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus() {
    if (editing) return;
    editing = true;
    textAtStart = lastNotified = getText().getString();
    caret = textAtStart.size();
    invalid();
}

void CTextEdit::looseFocus() {
    if (!editing) return;
    SharedPointer<CTextEdit> self(this);
    endEditing();
    notifyIfChanged();
}

bool CTextEdit::removed(CViewContainer* parent) {
    editing = false;
    return CTextLabel::removed(parent);
}

void CTextEdit::endEditing() {
    editing = false;
    invalid();
}

void CTextEdit::notifyIfChanged() {
    if (getText().getString() == lastNotified) return;
    lastNotified = getText().getString();
    valueChanged();
}

void CTextEdit::edited(const std::string& newText, size_t newCaret) {
    caret = newCaret;
    CTextLabel::setText(UTF8String(newText));
    invalid();
    if (immediateTextChange) notifyIfChanged();
}

int32_t CTextEdit::onKeyDown(VstKeyCode& key) {
    if (!editing) return -1;
    const std::string& current = getText().getString();
    switch (key.virt) {
    case VKEY_RETURN:
    case VKEY_ENTER:
    case VKEY_ESCAPE: {
        SharedPointer<CTextEdit> self(this);
        if (key.virt == VKEY_ESCAPE) CTextLabel::setText(UTF8String(textAtStart));
        // Losing the focus commits (or, after the revert, reports the original text again).
        if (CFrame* frame = getFrame(); frame && frame->getFocusView() == this)
            frame->setFocusView(nullptr);
        else
            looseFocus();
        return 1;
    }
    case VKEY_BACK:
        if (caret > 0) {
            const size_t start = zykgui::previousCodePoint(current, caret);
            edited(current.substr(0, start) + current.substr(caret), start);
        }
        return 1;
    case VKEY_DELETE:
        if (caret < current.size())
            edited(current.substr(0, caret) + current.substr(zykgui::nextCodePoint(current, caret)), caret);
        return 1;
    case VKEY_LEFT:
        caret = zykgui::previousCodePoint(current, caret);
        invalid();
        return 1;
    case VKEY_RIGHT:
        caret = zykgui::nextCodePoint(current, caret);
        invalid();
        return 1;
    case VKEY_HOME:
        caret = 0;
        invalid();
        return 1;
    case VKEY_END:
        caret = current.size();
        invalid();
        return 1;
    default:
        break;
    }
    if (key.virt == VKEY_SPACE && key.character == 0) key.character = ' ';
    if (key.character < 0x20 || key.character == 0x7F ||
        (key.modifier & (MODIFIER_CONTROL | MODIFIER_COMMAND)))
        return -1;
    const std::string inserted = zykgui::encodeCodePoint(key.character);
    if (inserted.empty()) return -1;
    edited(current.substr(0, caret) + inserted + current.substr(caret), caret + inserted.size());
    return 1;
}

void CTextEdit::draw(CDrawContext* context) {
    CTextLabel::draw(context);
    if (!editing) return;
    // The caret: a thin line after the text before it, placed as the label aligns the text.
    context->setFont(getFont());
    const std::string& current = getText().getString();
    const CRect area = textRect();
    const CCoord full = context->getStringWidth(current.c_str());
    const CCoord before = context->getStringWidth(current.substr(0, caret).c_str());
    CCoord x = area.left;
    if (getHoriAlign() == kCenterText)
        x = area.left + (area.getWidth() - full) / 2;
    else if (getHoriAlign() == kRightText)
        x = area.right - full;
    x += before;
    const CCoord fontSize = getFont() ? getFont()->getSize() : 12;
    const CCoord middle = area.getCenter().y;
    context->setFrameColor(getFontColor());
    context->setLineWidth(1);
    context->drawLine({x + 0.5, middle - fontSize / 2}, {x + 0.5, middle + fontSize / 2});
}

} // namespace VSTGUI
