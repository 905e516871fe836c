#include "gui/CFrame.h"

#include "gui/CDrawContext.h"
#include "gui/COptionMenu.h"
#include "gui/CVSTGUITimer.h"
#include "gui/ListenerList.h"
#include "gui/MenuPopup.h"
#include "gui/TextMeasure.h"
#include "gui/x11/X11Dialogs.h"
#include "gui/x11/X11FrameWindow.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {

namespace {
constexpr size_t kMaxDirtyRects = 32;
constexpr CCoord kTooltipFontSize = 12;

bool isInSubtree(const CView* candidate, const CView* root) {
    for (const CView* v = candidate; v; v = v->getParentView())
        if (v == root) return true;
    return false;
}
} // namespace

CFrame::CFrame(const CRect& rect, VSTGUIEditorInterface* frameEditor)
    : CViewContainer(CRect(0, 0, rect.getWidth(), rect.getHeight())), editor(frameEditor) {}

CFrame::~CFrame() {
    platformWindow.reset();
    closePopup();
    if (tooltipTimer) tooltipTimer->stop();
    focusView = nullptr;
    removeAll(true);
}

bool CFrame::open(void* parent, PlatformType type, IPlatformFrameConfig*) {
    // On Linux the platform's native type is the X11 window id. No parent: a frame without a
    // window, drawn offscreen (tests).
    const bool x11 = type == PlatformType::kX11EmbedWindowID || type == PlatformType::kDefaultNative;
    if (parent && x11) {
        platformWindow =
            zykgui::X11FrameWindow::create(this, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(parent)));
        if (!platformWindow) return false;
        zykgui::X11Dialogs::makePlatformDefault();
    }
    parentWindow = parent;
    opened = true;
    invalid();
    return true;
}

void CFrame::close() {
    platformWindow.reset();
    closePopup();
    setFocusView(nullptr);
    removeAll(true);
    opened = false;
    parentWindow = nullptr;
    forget();
}

int CFrame::getPlatformFileDescriptor() const {
    return platformWindow ? platformWindow->getFileDescriptor() : -1;
}

uint32_t CFrame::getPlatformWindowId() const {
    return platformWindow ? platformWindow->getWindowId() : 0;
}

void CFrame::processPlatformEvents(bool acceptInput) {
    if (platformWindow) platformWindow->processEvents(acceptInput);
}

bool CFrame::setSize(CCoord width, CCoord height) {
    if (width < 0 || height < 0 || !std::isfinite(width) || !std::isfinite(height)) return false;
    const CRect newSize(0, 0, width, height);
    if (newSize == size) return true;
    size = newSize;
    dirtyRects.clear();
    invalidWindowRect(size);
    return true;
}

bool CFrame::getSize(CRect& outSize) const {
    outSize = size;
    return true;
}

bool CFrame::setZoom(double zoom) {
    if (!(zoom > 0) || !std::isfinite(zoom)) return false;
    const double scale = getZoom() > 0 ? getZoom() : 1.0;
    const CCoord width = std::round(getWidth() / scale * zoom);
    const CCoord height = std::round(getHeight() / scale * zoom);
    CGraphicsTransform t;
    t.scale(zoom, zoom);
    setTransform(t);
    return setSize(width, height);
}

void CFrame::enableTooltips(bool state, uint32_t delayMs) {
    tooltipsEnabled = state;
    tooltipDelay = delayMs;
    if (!state) hideTooltip();
}

void CFrame::registerKeyboardHook(IKeyboardHook* hook) {
    zykgui::addOnce(keyboardHooks, hook);
}

void CFrame::unregisterKeyboardHook(IKeyboardHook* hook) {
    zykgui::removeItem(keyboardHooks, hook);
}

void CFrame::setFocusView(CView* view) {
    if (view == focusView) return;
    if (view && view->getFrame() != this) return;
    CView* old = focusView;
    SharedPointer<CView> keepOld(old);
    focusView = view;
    if (old) old->looseFocus();
    // The old view's commit may already have moved the focus elsewhere.
    if (view && focusView == view) view->takeFocus();
}

CPoint CFrame::toViewCoordinates(CView* view, const CPoint& where) const {
    return view->getGlobalTransform().inverse().transform(where);
}

std::vector<SharedPointer<CView>> CFrame::viewsAt(const CPoint& where) {
    std::vector<CView*> hits;
    collectViewsAt(where, hits);
    return std::vector<SharedPointer<CView>>(hits.begin(), hits.end());
}

CMouseEventResult CFrame::dispatch(CView* view, int call, const CPoint& where, const CButtonState& buttons) {
    CPoint local = toViewCoordinates(view, where);
    CMouseEventResult result = view->callMouseListener(call, local, buttons);
    if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented) return result;
    switch (call) {
    case CView::kMouseDownCall:
        return view->onMouseDown(local, buttons);
    case CView::kMouseUpCall:
        return view->onMouseUp(local, buttons);
    default:
        return view->onMouseMoved(local, buttons);
    }
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint where, const CButtonState& buttons) {
    SharedPointer<CFrame> self(this);
    hideTooltip();
    lastMouse = where;
    if (menuPopup) {
        const CRect before = menuPopup->getBounds();
        menuPopup->onMouseDown(where);
        invalidWindowRect(before);
        finishPopupIfDone();
        return kMouseEventHandled;
    }
    if (mouseDownView) {
        SharedPointer<CView> captured(mouseDownView);
        return dispatch(captured, CView::kMouseDownCall, where, buttons);
    }
    const auto hits = viewsAt(where);
    if (focusView && (hits.empty() || hits.front().get() != focusView)) setFocusView(nullptr);
    for (const SharedPointer<CView>& view : hits) {
        // An earlier handler may have removed or hidden it.
        if (view->getFrame() != this || !view->isVisible()) continue;
        const CMouseEventResult result = dispatch(view, CView::kMouseDownCall, where, buttons);
        if (result == kMouseEventNotHandled || result == kMouseEventNotImplemented) continue;
        // A press that opened a popup does not capture: the popup takes the next events.
        if (result == kMouseEventHandled && view->getFrame() == this && !menuPopup) mouseDownView = view;
        return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint where, const CButtonState& buttons) {
    SharedPointer<CFrame> self(this);
    lastMouse = where;
    if (menuPopup) {
        const CRect before = menuPopup->getBounds();
        menuPopup->onMouseMoved(where);
        invalidWindowRect(before);
        invalidWindowRect(menuPopup->getBounds());
        return kMouseEventHandled;
    }
    if (mouseDownView) {
        SharedPointer<CView> captured(mouseDownView);
        const CMouseEventResult result = dispatch(captured, CView::kMouseMovedCall, where, buttons);
        if (result == kMouseMoveEventHandledButDontNeedMoreEvents && mouseDownView == captured)
            mouseDownView = nullptr;
        return result;
    }
    const auto hits = viewsAt(where);
    CView* top = hits.empty() ? nullptr : hits.front().get();
    updateMouseOver(top, where, buttons);
    if (!top) return kMouseEventNotHandled;
    return dispatch(top, CView::kMouseMovedCall, where, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint where, const CButtonState& buttons) {
    SharedPointer<CFrame> self(this);
    lastMouse = where;
    if (menuPopup) {
        mouseDownView = nullptr;
        return kMouseEventHandled;
    }
    if (!mouseDownView) return kMouseEventNotHandled;
    // The capture ends before the handlers run, so an action that opens a modal dialog or
    // another popup starts from a clean state.
    SharedPointer<CView> captured(mouseDownView);
    mouseDownView = nullptr;
    return dispatch(captured, CView::kMouseUpCall, where, buttons);
}

void CFrame::platformOnMouseExited() {
    SharedPointer<CFrame> self(this);
    if (!mouseDownView) updateMouseOver(nullptr, lastMouse, 0);
}

bool CFrame::platformOnMouseWheel(CPoint where, const CMouseWheelAxis& axis, float distance,
                                  const CButtonState& buttons) {
    if (!std::isfinite(distance)) return false;
    SharedPointer<CFrame> self(this);
    hideTooltip();
    if (menuPopup) {
        const CRect before = menuPopup->getBounds();
        menuPopup->onWheel(where, distance);
        invalidWindowRect(before);
        invalidWindowRect(menuPopup->getBounds());
        return true;
    }
    for (const SharedPointer<CView>& view : viewsAt(where)) {
        if (view->getFrame() != this || !view->isVisible()) continue;
        if (view->onWheel(toViewCoordinates(view, where), axis, distance, buttons)) return true;
    }
    return false;
}

bool CFrame::platformOnKeyDown(VstKeyCode& keyCode) {
    SharedPointer<CFrame> self(this);
    hideTooltip();
    if (menuPopup) {
        const CRect before = menuPopup->getBounds();
        menuPopup->onKeyDown(keyCode);
        invalidWindowRect(before);
        invalidWindowRect(menuPopup->getBounds());
        finishPopupIfDone();
        return true;
    }
    return dispatchKey(keyCode, true);
}

bool CFrame::platformOnKeyUp(VstKeyCode& keyCode) {
    SharedPointer<CFrame> self(this);
    return menuPopup ? true : dispatchKey(keyCode, false);
}

bool CFrame::dispatchKey(VstKeyCode& keyCode, bool down) {
    // A hook may unregister itself or others while being called.
    for (IKeyboardHook* hook : std::vector<IKeyboardHook*>(keyboardHooks)) {
        if (!zykgui::contains(keyboardHooks, hook)) continue;
        if ((down ? hook->onKeyDown(keyCode, this) : hook->onKeyUp(keyCode, this)) != -1) return true;
    }
    if (!focusView) return false;
    SharedPointer<CView> focus(focusView);
    return (down ? focus->onKeyDown(keyCode) : focus->onKeyUp(keyCode)) != -1;
}

void CFrame::updateMouseOver(CView* view, const CPoint& where, const CButtonState& buttons) {
    if (view == mouseOverView) return;
    hideTooltip();
    if (CView* old = mouseOverView) {
        SharedPointer<CView> keep(old);
        mouseOverView = nullptr;
        CPoint local = toViewCoordinates(old, where);
        old->callMouseListenerEnteredExited(false);
        old->onMouseExited(local, buttons);
    }
    mouseOverView = view;
    if (!view) return;
    SharedPointer<CView> keep(view);
    CPoint local = toViewCoordinates(view, where);
    view->callMouseListenerEnteredExited(true);
    view->onMouseEntered(local, buttons);
    if (tooltipsEnabled && mouseOverView == view && !view->getTooltipText().empty()) {
        if (!tooltipTimer)
            tooltipTimer =
                owned(new CVSTGUITimer([this](CVSTGUITimer*) { onTooltipTimer(); }, tooltipDelay, false));
        tooltipTimer->setFireTime(tooltipDelay);
        tooltipTimer->start();
    }
}

void CFrame::onTooltipTimer() {
    tooltipTimer->stop();
    if (!mouseOverView) return;
    shownTooltip = mouseOverView->getTooltipText();
    // A box below the pointer, in window pixels, kept inside the frame.
    const CFontDesc font("Arial", kTooltipFontSize);
    const CCoord width = std::min(size.getWidth(), std::ceil(zykgui::measureString(font, shownTooltip)) + 12);
    tooltipRect =
        CRect(lastMouse.x, lastMouse.y + 20, lastMouse.x + width, lastMouse.y + 20 + kTooltipFontSize + 8);
    if (tooltipRect.right > size.right) tooltipRect.offset(size.right - tooltipRect.right, 0);
    if (tooltipRect.bottom > size.bottom) tooltipRect.offset(0, lastMouse.y - 4 - tooltipRect.bottom);
    invalidWindowRect(tooltipRect);
}

void CFrame::hideTooltip() {
    if (tooltipTimer) tooltipTimer->stop();
    if (shownTooltip.empty()) return;
    shownTooltip = UTF8String();
    invalidWindowRect(tooltipRect);
}

void CFrame::cancelMouseDown() {
    if (!mouseDownView) return;
    SharedPointer<CView> captured(mouseDownView);
    mouseDownView = nullptr;
    if (captured->callMouseListener(CView::kMouseCancelCall, {}, 0) == kMouseEventNotHandled)
        captured->onMouseCancel();
}

void CFrame::onViewRemoved(CView* view) {
    if (mouseDownView && isInSubtree(mouseDownView, view)) mouseDownView = nullptr;
    if (mouseOverView && isInSubtree(mouseOverView, view)) {
        mouseOverView = nullptr;
        hideTooltip();
    }
    // A removed text edit ends its edit silently (see CTextEdit::removed).
    if (focusView && isInSubtree(focusView, view)) focusView = nullptr;
    // The menu keeps itself alive during its popup; closing tells it no choice was made.
    if (menuPopupAnchor && isInSubtree(menuPopupAnchor, view)) closePopup();
}

void CFrame::onViewHidden(CView* view) {
    if (mouseDownView && isInSubtree(mouseDownView, view)) cancelMouseDown();
    if (mouseOverView && isInSubtree(mouseOverView, view)) {
        mouseOverView = nullptr;
        hideTooltip();
    }
    if (focusView && isInSubtree(focusView, view)) setFocusView(nullptr);
    if (menuPopupAnchor && isInSubtree(menuPopupAnchor, view)) closePopup();
}

bool CFrame::showMenuPopup(COptionMenu* menu, std::function<void(COptionMenu*, int32_t)> finished) {
    if (menuPopup || !menu || menu->getFrame() != this) return false;
    hideTooltip();
    cancelMouseDown();
    CRect anchor = menu->getViewSize();
    menu->getGlobalTransform().transform(anchor);
    menuPopup = std::make_unique<zykgui::MenuPopup>(menu, anchor, size);
    menuPopupAnchor = menu;
    menuPopupFinished = std::move(finished);
    invalidWindowRect(menuPopup->getBounds());
    return true;
}

void CFrame::finishPopupIfDone() {
    if (menuPopup && menuPopup->isFinished()) closePopup();
}

void CFrame::closePopup() {
    if (!menuPopup) return;
    invalidWindowRect(menuPopup->getBounds());
    // The chosen menu may be a sub-menu that left its parent meanwhile; keep it alive.
    SharedPointer<COptionMenu> chosen(menuPopup->getChosenMenu());
    const int32_t index = menuPopup->getChosenIndex();
    menuPopup.reset();
    menuPopupAnchor = nullptr;
    auto finished = std::move(menuPopupFinished);
    menuPopupFinished = nullptr;
    if (finished) finished(chosen, index);
}

void CFrame::propagateInvalid(const CRect& rect) {
    invalidWindowRect(rect);
}

void CFrame::invalidWindowRect(const CRect& rect) {
    CRect r = rect;
    r.bound(size);
    if (r.isEmpty()) return;
    // Round outwards to whole pixels, then merge with overlapping rectangles.
    r = CRect(std::floor(r.left), std::floor(r.top), std::ceil(r.right), std::ceil(r.bottom));
    for (auto it = dirtyRects.begin(); it != dirtyRects.end();) {
        if (it->rectOverlap(r)) {
            r.unite(*it);
            it = dirtyRects.erase(it);
        } else {
            ++it;
        }
    }
    dirtyRects.push_back(r);
    if (dirtyRects.size() > kMaxDirtyRects) {
        CRect all = dirtyRects.front();
        for (const CRect& d : dirtyRects)
            all.unite(d);
        dirtyRects.assign(1, all);
    }
}

void CFrame::draw(CDrawContext* context) {
    drawRect(context, size);
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    context->saveGlobalState();
    context->setClipRect(updateRect);
    context->setBitmapInterpolationQuality(interpolation);
    // A host may give the window another shape than the panel's: what no view covers is black,
    // never pixels left from before.
    CRect covered;
    for (uint32_t i = 0; i < getNbViews(); ++i) {
        CView* child = getView(i);
        if (!child->isVisible()) continue;
        CRect area = child->getViewSize();
        getTransform().transform(area);
        covered = covered.isEmpty() ? area : covered.unite(area);
    }
    if (CRect(updateRect).bound(covered) != updateRect) {
        context->setFillColor(kBlackCColor);
        context->drawRect(updateRect, kDrawFilled);
    }
    CViewContainer::drawRect(context, updateRect);
    if (menuPopup) menuPopup->draw(context);
    if (!shownTooltip.empty()) {
        context->setFillColor(CColor(255, 255, 225));
        context->setFrameColor(CColor(80, 80, 80));
        context->setLineWidth(1);
        context->drawRect(tooltipRect, kDrawFilledAndStroked);
        const CFontDesc font("Arial", kTooltipFontSize);
        context->setFont(&font);
        context->setFontColor(kBlackCColor);
        CRect textArea = tooltipRect;
        textArea.inset(6, 0);
        context->drawString(shownTooltip, textArea, kLeftText);
    }
    context->restoreGlobalState();
}

void CFrame::paintDirtyRegion(CDrawContext* context) {
    const std::vector<CRect> rects = std::move(dirtyRects);
    dirtyRects.clear();
    for (const CRect& r : rects)
        drawRect(context, r);
}

} // namespace VSTGUI
