// A display of a fixed text.
#pragma once

#include "gui/CParamDisplay.h"

namespace VSTGUI {

class CTextLabel : public CParamDisplay {
public:
    CTextLabel(const CRect& size, UTF8StringPtr text = nullptr, CBitmap* background = nullptr,
               int32_t style = 0);

    CView* newCopy() const override { return new CTextLabel(*this); }

    // Invalidates when the text changes.
    virtual void setText(const UTF8String& newText);
    virtual const UTF8String& getText() const { return text; }

protected:
    std::string getDisplayText() const override { return getText().getString(); }

private:
    UTF8String text;
};

} // namespace VSTGUI
