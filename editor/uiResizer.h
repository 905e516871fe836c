// Scales the whole editor while the user drags the grip in the panel's bottom-right corner.
#pragma once

#include "gui/vstgui/vstgui.h"

class K1Editor;

class uiResizer : public VSTGUI::ViewMouseListenerAdapter {
public:
    explicit uiResizer(K1Editor& editor);
    ~uiResizer() override;
    uiResizer(const uiResizer&) = delete;
    uiResizer& operator=(const uiResizer&) = delete;

    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;
    VSTGUI::CMouseEventResult viewOnMouseMoved(VSTGUI::CView* view, VSTGUI::CPoint where,
                                               VSTGUI::CButtonState buttons) override;

private:
    K1Editor& editor;
    VSTGUI::CView* handle = nullptr;
    bool dragging = false;
    VSTGUI::CPoint startPoint{0, 0};
    double startZoom = 0.5;
};
