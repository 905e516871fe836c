#include "editor/uiResizer.h"

#include "editor/ControlHelpers.h"
#include "editor/K1Editor.h"

#include <cmath>

using namespace VSTGUI;

namespace {
// Only the mouse-button bits count; modifiers are ignored.
bool onlyLeftButton(const CButtonState& buttons) {
    return (buttons.getButtonState() & (kLButton | kMButton | kRButton | kButton4 | kButton5)) == kLButton;
}
double distanceFromOrigin(const CPoint& p) {
    return std::sqrt(p.x * p.x + p.y * p.y);
}
} // namespace

uiResizer::uiResizer(K1Editor& owner) : editor(owner) {
    handle = ControlHelpers::initView<CView>(editor.getViewsByName(), "resizeHandle");
    if (handle) handle->registerViewMouseListener(this);
}

uiResizer::~uiResizer() {
    if (handle) handle->unregisterViewMouseListener(this);
}

CMouseEventResult uiResizer::viewOnMouseDown(CView*, CPoint where, CButtonState buttons) {
    if (!onlyLeftButton(buttons) || !handle) return kMouseEventNotHandled;
    dragging = true;
    startPoint = handle->getGlobalTransform().transform(where);
    startZoom = editor.getZoom();
    return kMouseEventHandled;
}

CMouseEventResult uiResizer::viewOnMouseMoved(CView*, CPoint where, CButtonState buttons) {
    if (!dragging || !onlyLeftButton(buttons) || !handle) return kMouseEventNotImplemented;
    const CPoint p = handle->getGlobalTransform().transform(where);
    const double start = distanceFromOrigin(startPoint);
    // A press exactly on the frame origin gives no scale to follow.
    if (start <= 0) return kMouseEventHandled;
    editor.changeZoom(startZoom * distanceFromOrigin(p) / start);
    return kMouseEventHandled;
}
