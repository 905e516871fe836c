// Draws the envelope of the active source (delay, attack, decay, sustain, release) as a filled
// shape on the source page. A display only: it takes no input and reads the facade's values.
//
// Thread contract: user-interface thread only.
#pragma once

#include "gui/vstgui/vstgui.h"

class K1Editor;

class uiEnvelope : public VSTGUI::CControl {
public:
    uiEnvelope(K1Editor& editor, const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, long tag,
               VSTGUI::CBitmap* background, const VSTGUI::CColor& colour);
    uiEnvelope(const uiEnvelope& other);
    ~uiEnvelope() override;

    VSTGUI::CView* newCopy() const override { return new uiEnvelope(*this); }
    void draw(VSTGUI::CDrawContext* context) override;

    // Plain values 0..100; an equal value changes nothing.
    void setDelay(float value);
    void setAttack(float value);
    void setDecay(float value);
    void setSustain(float value);
    void setRelease(float value);

    // Plain value of parameter offset + the active source.
    float getParameter(unsigned long offset) const;
    // Reads the five values of the active source; redraws only when one differs.
    void updateFromParameters();
    void redraw();

private:
    void setField(float& field, float value);

    K1Editor& editor;
    VSTGUI::CColor colour;
    float delay = 10.f;
    float attack = 50.f;
    float decay = 50.f;
    float sustain = 50.f;
    float release = 50.f;
};
