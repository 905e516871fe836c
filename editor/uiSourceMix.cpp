#include "editor/uiSourceMix.h"

#include "editor/ControlHelpers.h"
#include "editor/K1Editor.h"
#include "k1lib/facade/Plugin.h"
#include "k1lib/params/Parameters.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

namespace {
// Only the mouse-button bits count; modifiers are ignored.
int32_t mouseButtons(const CButtonState& buttons) {
    return buttons.getButtonState() & (kLButton | kMButton | kRButton | kButton4 | kButton5);
}
} // namespace

uiSourceMix::uiSourceMix(K1Editor& owner) : editor(owner) {
    const ViewsByName& views = editor.getViewsByName();
    area = ControlHelpers::initView<CViewContainer>(views, "throttleArea");
    handle = ControlHelpers::initView<CView>(views, "throttle");
    if (!area || !handle) {
        // The pad works only with both views.
        area = nullptr;
        handle = nullptr;
        return;
    }

    const CRect laidOut = handle->getViewSize();
    handleSize = CPoint(laidOut.getWidth(), laidOut.getHeight());
    travel = laidOut.getTopLeft();
    handle->registerViewMouseListener(this);

    moveHandleTo(CPoint(travel.x * 0.5, travel.y * 0.5));
    centre = handle->getViewSize().getCenter();
    radius = area->getWidth() * 0.5 - handleSize.x * 0.5;
    radiusSquared = radius * radius;
    onSourceMixParametersChanged();
}

uiSourceMix::~uiSourceMix() {
    if (handle) handle->unregisterViewMouseListener(this);
}

void uiSourceMix::moveHandleTo(const CPoint& origin) const {
    CRect r = handle->getViewSize();
    r.moveTo(origin);
    handle->setViewSize(r, true);
    invalidateArea();
}

void uiSourceMix::invalidateArea() const {
    area->invalid();
}

void uiSourceMix::onSourceMixParametersChanged() {
    if (!handle) return;
    k1lib::Plugin& plugin = editor.getPlugin();
    moveHandleTo(CPoint(travel.x * plugin.getParameter(k1lib::Param_SourceMix34),
                        travel.y * plugin.getParameter(k1lib::Param_SourceMix12)));
    limitBounds();
    invalidateArea();
}

void uiSourceMix::resetToCenter(bool notify) {
    if (!handle) return;
    moveHandleTo(CPoint(travel.x * 0.5, travel.y * 0.5));
    if (notify) updateMixValuesFromView();
}

void uiSourceMix::limitBounds() const {
    if (!handle) return;
    const CPoint c = handle->getViewSize().getCenter();
    const double dx = c.x - centre.x;
    const double dy = c.y - centre.y;
    const double squared = dx * dx + dy * dy;
    if (squared <= radiusSquared) return;
    const double scale = radius / std::sqrt(squared);
    moveHandleTo(
        CPoint(centre.x + dx * scale - handleSize.x * 0.5, centre.y + dy * scale - handleSize.y * 0.5));
    handle->invalid();
}

void uiSourceMix::updateMixValuesFromView() {
    if (!handle || travel.x <= 0 || travel.y <= 0) return;
    const CPoint origin = handle->getViewSize().getTopLeft();
    // The circle keeps the origin within 0..travel; the clamp only absorbs rounding.
    mix = CPoint(std::clamp(origin.x / travel.x, 0.0, 1.0), std::clamp(origin.y / travel.y, 0.0, 1.0));
    editor.setParameterFromUi(k1lib::Param_SourceMix12, static_cast<float>(mix.y));
    editor.setParameterFromUi(k1lib::Param_SourceMix34, static_cast<float>(mix.x));
}

CMouseEventResult uiSourceMix::viewOnMouseDown(CView*, CPoint, CButtonState buttons) {
    const int32_t pressed = mouseButtons(buttons);
    if (pressed == kRButton) {
        resetToCenter(true);
        return kMouseEventHandled;
    }
    if (pressed == kLButton) {
        if (!dragging) {
            // The whole drag is one edit of each of the two values.
            editor.beginParameterGesture(k1lib::Param_SourceMix12);
            editor.beginParameterGesture(k1lib::Param_SourceMix34);
        }
        dragging = true;
        return kMouseEventHandled;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult uiSourceMix::viewOnMouseUp(CView*, CPoint, CButtonState) {
    return endDrag() ? kMouseEventHandled : kMouseEventNotImplemented;
}

CMouseEventResult uiSourceMix::viewOnMouseCancel(CView*) {
    return endDrag() ? kMouseEventHandled : kMouseEventNotImplemented;
}

bool uiSourceMix::endDrag() {
    if (!dragging) return false;
    dragging = false;
    editor.endParameterGesture(k1lib::Param_SourceMix12);
    editor.endParameterGesture(k1lib::Param_SourceMix34);
    return true;
}

CMouseEventResult uiSourceMix::viewOnMouseMoved(CView*, CPoint where, CButtonState buttons) {
    if (!dragging || mouseButtons(buttons) != kLButton || !handle) return kMouseEventNotImplemented;
    const CGraphicsTransform toFrame = handle->getGlobalTransform();
    const CPoint pointer = toFrame.transform(where);
    CRect r = handle->getViewSize();
    toFrame.transform(r);
    const double zoom = editor.getZoom();
    r.moveTo(CPoint(pointer.x - handleSize.x * zoom / 2, pointer.y - handleSize.y * zoom / 2));
    toFrame.inverse().transform(r);
    handle->setViewSize(r, true);
    limitBounds();
    updateMixValuesFromView();
    invalidateArea();
    return kMouseEventHandled;
}
