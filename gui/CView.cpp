#include "gui/CView.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CViewContainer.h"
#include "gui/ListenerList.h"

#include <algorithm>
#include <cstring>

namespace VSTGUI {

CView::CView(const CRect& rect) : size(rect) {}

CView::CView(const CView& other)
    : CBaseObject(), size(other.size), viewFlags(other.viewFlags & ~kDirty), alphaValue(other.alphaValue),
      background(other.background), attributes(other.attributes) {}

CView::~CView() = default;

void CView::setViewSize(const CRect& rect, bool invalidate) {
    if (rect == size) return;
    if (invalidate) invalid();
    size = rect;
    if (invalidate) invalid();
}

void CView::setViewFlag(int32_t flag, bool state) {
    if (state)
        viewFlags |= flag;
    else
        viewFlags &= ~flag;
}

void CView::setVisible(bool state) {
    if (hasViewFlag(kVisible) == state) return;
    // Invalidate while visible so the area is repainted either way.
    if (!state) invalid();
    setViewFlag(kVisible, state);
    if (state) invalid();
    if (!state) {
        if (CFrame* frame = getFrame()) frame->onViewHidden(this);
    }
}

void CView::setAlphaValue(float alpha) {
    alpha = std::clamp(alpha, 0.f, 1.f);
    if (alpha == alphaValue) return;
    const bool wasVisible = isVisible();
    alphaValue = alpha;
    propagateInvalid(size);
    if (wasVisible && !isVisible()) {
        if (CFrame* frame = getFrame()) frame->onViewHidden(this);
    }
}

void CView::setMouseEnabled(bool state) {
    if (getMouseEnabled() == state) return;
    setViewFlag(kMouseEnabled, state);
    for (IViewMouseListener* listener : std::vector<IViewMouseListener*>(mouseListeners))
        listener->viewOnMouseEnabled(this, state);
}

void CView::setTransparency(bool state) {
    if (getTransparency() == state) return;
    setViewFlag(kTransparencyEnabled, state);
    invalid();
}

void CView::setBackground(CBitmap* bitmap) {
    if (background.get() == bitmap) return;
    background = bitmap;
    invalid();
}

void CView::draw(CDrawContext* context) {
    if (background) context->drawBitmap(background, size);
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& updateRect) {
    (void)updateRect;
    draw(context);
}

void CView::setDirty(bool state) {
    if (state) {
        invalid();
    } else {
        setViewFlag(kDirty, false);
    }
}

void CView::invalidRect(const CRect& rect) {
    setViewFlag(kDirty, true);
    if (isVisible()) propagateInvalid(rect);
}

void CView::propagateInvalid(const CRect& rect) {
    if (parentView) parentView->invalidateChildArea(rect);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseCancel() {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}
bool CView::onWheel(const CPoint&, const CMouseWheelAxis&, const float&, const CButtonState&) {
    return false;
}
int32_t CView::onKeyDown(VstKeyCode&) {
    return -1;
}
int32_t CView::onKeyUp(VstKeyCode&) {
    return -1;
}

void CView::registerViewMouseListener(IViewMouseListener* listener) {
    zykgui::addOnce(mouseListeners, listener);
}

void CView::unregisterViewMouseListener(IViewMouseListener* listener) {
    zykgui::removeItem(mouseListeners, listener);
}

CMouseEventResult CView::callMouseListener(int eventType, CPoint where, CButtonState buttons) {
    // A listener may unregister itself (or another) while being called.
    const std::vector<IViewMouseListener*> listeners(mouseListeners);
    for (IViewMouseListener* listener : listeners) {
        if (!zykgui::contains(mouseListeners, listener)) continue;
        CMouseEventResult result = kMouseEventNotImplemented;
        switch (eventType) {
        case kMouseDownCall:
            result = listener->viewOnMouseDown(this, where, buttons);
            break;
        case kMouseUpCall:
            result = listener->viewOnMouseUp(this, where, buttons);
            break;
        case kMouseMovedCall:
            result = listener->viewOnMouseMoved(this, where, buttons);
            break;
        default:
            result = listener->viewOnMouseCancel(this);
            break;
        }
        if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented) return result;
    }
    return kMouseEventNotHandled;
}

void CView::callMouseListenerEnteredExited(bool entered) {
    const std::vector<IViewMouseListener*> listeners(mouseListeners);
    for (IViewMouseListener* listener : listeners) {
        if (entered)
            listener->viewOnMouseEntered(this);
        else
            listener->viewOnMouseExited(this);
    }
}

bool CView::getAttributeSize(CViewAttributeID id, uint32_t& outSize) const {
    const auto it = attributes.find(id);
    if (it == attributes.end()) return false;
    outSize = static_cast<uint32_t>(it->second.size());
    return true;
}

bool CView::getAttribute(CViewAttributeID id, uint32_t inSize, void* buffer, uint32_t& outSize) const {
    const auto it = attributes.find(id);
    if (it == attributes.end() || !buffer || inSize < it->second.size()) return false;
    outSize = static_cast<uint32_t>(it->second.size());
    if (outSize) std::memcpy(buffer, it->second.data(), outSize);
    return true;
}

bool CView::setAttribute(CViewAttributeID id, uint32_t inSize, const void* buffer) {
    if (!buffer && inSize > 0) return false;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    attributes[id] = std::vector<uint8_t>(bytes, bytes + inSize);
    return true;
}

bool CView::removeAttribute(CViewAttributeID id) {
    return attributes.erase(id) > 0;
}

void CView::setTooltipText(UTF8StringPtr text) {
    if (!text || !*text) {
        removeAttribute(kCViewTooltipAttribute);
        return;
    }
    setAttribute(kCViewTooltipAttribute, static_cast<uint32_t>(std::strlen(text) + 1), text);
}

UTF8String CView::getTooltipText() const {
    const auto it = attributes.find(kCViewTooltipAttribute);
    if (it == attributes.end() || it->second.empty()) return {};
    // Stored with its NUL; never trust that it is there.
    return UTF8String(
        std::string(reinterpret_cast<const char*>(it->second.data()),
                    strnlen(reinterpret_cast<const char*>(it->second.data()), it->second.size())));
}

CView* CView::getParentView() const {
    return parentView;
}

CFrame* CView::getFrame() const {
    return parentView ? parentView->getFrame() : nullptr;
}

bool CView::attached(CViewContainer* parent) {
    if (parentView) return false;
    parentView = parent;
    return true;
}

bool CView::removed(CViewContainer* parent) {
    if (parentView != parent) return false;
    parentView = nullptr;
    return true;
}

CGraphicsTransform CView::getGlobalTransform() const {
    CGraphicsTransform result;
    for (const CViewContainer* p = parentView; p; p = p->getParentContainer()) {
        CGraphicsTransform local = p->getTransform();
        local.translate(p->getViewSize().getTopLeft());
        result = local * result;
    }
    return result;
}

} // namespace VSTGUI
