// The mouse-listener defaults VSTGUI's adapter gives: every event is left to the view, so a
// listener overrides only the events it acts on.
#pragma once

#include "vstgui/vstgui.h"

class ViewMouseListenerAdapter : public VSTGUI::IViewMouseListener {
public:
    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView*, VSTGUI::CPoint, VSTGUI::CButtonState) override {
        return VSTGUI::kMouseEventNotImplemented;
    }
    VSTGUI::CMouseEventResult viewOnMouseUp(VSTGUI::CView*, VSTGUI::CPoint, VSTGUI::CButtonState) override {
        return VSTGUI::kMouseEventNotImplemented;
    }
    VSTGUI::CMouseEventResult viewOnMouseMoved(VSTGUI::CView*, VSTGUI::CPoint,
                                               VSTGUI::CButtonState) override {
        return VSTGUI::kMouseEventNotImplemented;
    }
    VSTGUI::CMouseEventResult viewOnMouseCancel(VSTGUI::CView*) override {
        return VSTGUI::kMouseEventNotImplemented;
    }
    void viewOnMouseEntered(VSTGUI::CView*) override {}
    void viewOnMouseExited(VSTGUI::CView*) override {}
    void viewOnMouseEnabled(VSTGUI::CView*, bool) override {}
};
