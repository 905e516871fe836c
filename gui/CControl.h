// A view with a value (min..max), a tag, listeners and edit brackets.
#pragma once

#include "gui/CView.h"

#include <vector>

namespace VSTGUI {

class CControl : public CView {
public:
    CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = 0,
             CBitmap* background = nullptr);
    CControl(const CControl& other);

    void setListener(IControlListener* newListener) { listener = newListener; }
    IControlListener* getListener() const { return listener; }
    // Extra listeners, called after the main one.
    void registerControlListener(IControlListener* extra);
    void unregisterControlListener(IControlListener* extra);

    // Plain value; not clamped here (see bounceValue).
    virtual void setValue(float value);
    float getValue() const { return value; }
    // Normalised 0..1 over min..max; a zero range gives 0.
    virtual void setValueNormalized(float normalized);
    float getValueNormalized() const;
    virtual void setMin(float newMin) { vmin = newMin; }
    float getMin() const { return vmin; }
    virtual void setMax(float newMax) { vmax = newMax; }
    float getMax() const { return vmax; }
    float getRange() const { return vmax - vmin; }
    // In the control's own units.
    void setDefaultValue(float newDefault) { defaultValue = newDefault; }
    float getDefaultValue() const { return defaultValue; }
    // Normalised step of one wheel notch.
    void setWheelInc(float inc) { wheelInc = inc; }
    float getWheelInc() const { return wheelInc; }
    // Clamps the value into min..max; true when it changed.
    bool bounceValue();

    void setTag(int32_t newTag);
    int32_t getTag() const { return tag; }

    // Tells the listeners that the value changed and redraws.
    virtual void valueChanged();
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }

    // Ctrl+click resets to the default value; true when it did.
    bool checkDefaultValue(const CButtonState& buttons);

protected:
    float value = 0.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;

private:
    template <class F> void forEachListener(F&& call);

    IControlListener* listener;
    std::vector<IControlListener*> extraListeners;
    int32_t tag;
    int32_t editing = 0;
};

} // namespace VSTGUI
