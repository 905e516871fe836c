// A label edited in place: a click takes the focus and shows a caret; characters insert,
// Backspace/Delete erase, Left/Right/Home/End move; Return or focus loss commits, Escape
// reverts. Committing calls valueChanged when the text differs from what listeners last saw.
#pragma once

#include "gui/CTextLabel.h"

namespace VSTGUI {

class CTextEdit : public CTextLabel {
public:
    CTextEdit(const CRect& size, IControlListener* listener, int32_t tag, UTF8StringPtr text = nullptr,
              CBitmap* background = nullptr, int32_t style = 0);

    CView* newCopy() const override { return new CTextEdit(*this); }

    // valueChanged after every edit instead of only at the commit.
    void setImmediateTextChange(bool state) { immediateTextChange = state; }
    void setText(const UTF8String& newText) override;
    bool isEditing() const { return editing; }
    // Byte index of the caret in the text while editing.
    size_t getCaretPosition() const { return caret; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    void takeFocus() override;
    void looseFocus() override;
    // Removal ends an edit without telling anyone.
    bool removed(CViewContainer* parent) override;

private:
    void edited(const std::string& newText, size_t newCaret);
    void notifyIfChanged();
    void endEditing();

    bool immediateTextChange = false;
    bool editing = false;
    size_t caret = 0;
    std::string textAtStart;
    std::string lastNotified;
};

} // namespace VSTGUI
