// A control that shows text: background (bitmap or colour), then one line in its font.
#pragma once

#include "gui/CColor.h"
#include "gui/CControl.h"
#include "gui/CFontDesc.h"

namespace VSTGUI {

class CParamDisplay : public CControl {
public:
    enum Style : int32_t { kNoFrame = 1 << 0, kNoTextStyle = 1 << 3, kNoDrawStyle = 1 << 4 };

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
    CParamDisplay(const CParamDisplay& other);

    CView* newCopy() const override { return new CParamDisplay(*this); }

    void setFont(CFontRef newFont);
    CFontRef getFont() const { return font.get(); }
    void setFontColor(const CColor& color);
    const CColor& getFontColor() const { return fontColor; }
    void setBackColor(const CColor& color);
    void setFrameColor(const CColor& color);
    const CColor& getFrameColor() const { return frameColor; }
    void setHoriAlign(CHoriTxtAlign align);
    CHoriTxtAlign getHoriAlign() const { return horiAlign; }
    void setAntialias(bool state);
    void setStyle(int32_t newStyle);
    int32_t getStyle() const { return style; }

    void draw(CDrawContext* context) override;

protected:
    // The text shown; the value with two decimals here, the text for labels.
    virtual std::string getDisplayText() const;
    // The bitmap drawn as background (menus show another one while open).
    virtual CBitmap* getDrawnBackground() const { return getBackground(); }
    void drawBack(CDrawContext* context);
    void drawText(CDrawContext* context, const std::string& text);
    CRect textRect() const;

private:
    SharedPointer<CFontDesc> font;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CHoriTxtAlign horiAlign = kCenterText;
    bool antialias = true;
    int32_t style;
    CPoint textInset;
};

} // namespace VSTGUI
