// The source-mix pad: a handle dragged inside a circle on the pad "throttleArea" sets the balance
// of the four sources. Its vertical position is Param_SourceMix12, its horizontal position
// Param_SourceMix34 (top/left -1, centre 0, bottom/right +1).
//
// Thread contract: user-interface thread only.
#pragma once

#include "gui/vstgui/vstgui.h"

class K1Editor;

class uiSourceMix : public VSTGUI::ViewMouseListenerAdapter {
public:
    explicit uiSourceMix(K1Editor& editor);
    ~uiSourceMix() override;
    uiSourceMix(const uiSourceMix&) = delete;
    uiSourceMix& operator=(const uiSourceMix&) = delete;

    // Places the handle from the current parameter values; sends nothing.
    void onSourceMixParametersChanged();
    // Centres the handle; with notify also sends plain 0 for both parameters.
    void resetToCenter(bool notify);
    // Sends the values of the handle's position: Param_SourceMix12 first, then Param_SourceMix34.
    void updateMixValuesFromView();
    // Pulls the handle back onto the circle when its centre lies outside it.
    void limitBounds() const;

    // Right click: reset; left press: start a drag (result handled); anything else not handled.
    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;
    // While dragging with the left button alone: the handle's centre follows the pointer.
    VSTGUI::CMouseEventResult viewOnMouseMoved(VSTGUI::CView* view, VSTGUI::CPoint where,
                                               VSTGUI::CButtonState buttons) override;
    // The release (or a cancelled drag) ends the drag and its edit.
    VSTGUI::CMouseEventResult viewOnMouseUp(VSTGUI::CView* view, VSTGUI::CPoint where,
                                            VSTGUI::CButtonState buttons) override;
    VSTGUI::CMouseEventResult viewOnMouseCancel(VSTGUI::CView* view) override;

private:
    void moveHandleTo(const VSTGUI::CPoint& origin) const;
    void invalidateArea() const;
    // False when no drag was under way.
    bool endDrag();

    K1Editor& editor;
    bool dragging = false;
    VSTGUI::CViewContainer* area = nullptr;
    VSTGUI::CView* handle = nullptr;
    VSTGUI::CPoint handleSize;
    // The handle's origin as laid out: the pad's bottom-right corner, so pad size - handle size.
    VSTGUI::CPoint travel;
    VSTGUI::CPoint mix{0.5, 0.5};
    VSTGUI::CPoint centre;
    double radius = 0;
    double radiusSquared = 0;
};
