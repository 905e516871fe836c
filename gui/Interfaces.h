// The listener and hook interfaces that views call out to.
#pragma once

#include "gui/CButtonState.h"
#include "gui/CRect.h"
#include "gui/VstKeyCode.h"

#include <cstdint>

namespace VSTGUI {

class CControl;
class CFrame;
class COptionMenu;
class CView;

class IControlListener {
public:
    virtual ~IControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    virtual int32_t controlModifierClicked(CControl* control, CButtonState button) {
        (void)control;
        (void)button;
        return 0;
    }
    virtual void controlBeginEdit(CControl* control) { (void)control; }
    virtual void controlEndEdit(CControl* control) { (void)control; }
    virtual void controlTagWillChange(CControl* control) { (void)control; }
    virtual void controlTagDidChange(CControl* control) { (void)control; }
};

// Called before the view's own handler; a listener that handles the event stops it there.
class IViewMouseListener {
public:
    virtual ~IViewMouseListener() = default;
    virtual CMouseEventResult viewOnMouseDown(CView* view, CPoint pos, CButtonState buttons) = 0;
    virtual CMouseEventResult viewOnMouseUp(CView* view, CPoint pos, CButtonState buttons) = 0;
    virtual CMouseEventResult viewOnMouseMoved(CView* view, CPoint pos, CButtonState buttons) = 0;
    virtual CMouseEventResult viewOnMouseCancel(CView* view) = 0;
    virtual void viewOnMouseEntered(CView* view) = 0;
    virtual void viewOnMouseExited(CView* view) = 0;
    virtual void viewOnMouseEnabled(CView* view, bool state) = 0;
};

// Leaves every event to the view, so a listener overrides only the events it acts on.
class ViewMouseListenerAdapter : public IViewMouseListener {
public:
    CMouseEventResult viewOnMouseDown(CView*, CPoint, CButtonState) override {
        return kMouseEventNotImplemented;
    }
    CMouseEventResult viewOnMouseUp(CView*, CPoint, CButtonState) override {
        return kMouseEventNotImplemented;
    }
    CMouseEventResult viewOnMouseMoved(CView*, CPoint, CButtonState) override {
        return kMouseEventNotImplemented;
    }
    CMouseEventResult viewOnMouseCancel(CView*) override { return kMouseEventNotImplemented; }
    void viewOnMouseEntered(CView*) override {}
    void viewOnMouseExited(CView*) override {}
    void viewOnMouseEnabled(CView*, bool) override {}
};

// Sees every key before the focus view; any result other than -1 consumes the key.
class IKeyboardHook {
public:
    virtual ~IKeyboardHook() = default;
    virtual int32_t onKeyDown(const VstKeyCode& code, CFrame* frame) = 0;
    virtual int32_t onKeyUp(const VstKeyCode& code, CFrame* frame) = 0;
};

class IOptionMenuListener {
public:
    virtual ~IOptionMenuListener() = default;
    virtual void onOptionMenuPrePopup(COptionMenu* menu) = 0;
    virtual void onOptionMenuPostPopup(COptionMenu* menu) = 0;
};

// The controller a UI description may hand views to; the editor passes none.
class IController : public IControlListener {};

// What a frame knows of the editor that owns it; the editor keeps its frame in `frame`.
class VSTGUIEditorInterface {
public:
    virtual ~VSTGUIEditorInterface() = default;
    virtual CFrame* getFrame() const { return frame; }
    virtual int32_t getKnobMode() const { return 0; }
    virtual void beginEdit(int32_t index) { (void)index; }
    virtual void endEdit(int32_t index) { (void)index; }
    virtual void doIdleStuff() {}

protected:
    CFrame* frame = nullptr;
};

} // namespace VSTGUI
