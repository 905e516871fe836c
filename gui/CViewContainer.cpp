#include "gui/CViewContainer.h"

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

#include <algorithm>
#include <cairo.h>

namespace VSTGUI {

CViewContainer::CViewContainer(const CRect& rect) : CView(rect) {}

CViewContainer::CViewContainer(const CViewContainer& other)
    : CView(other), transform(other.transform), backgroundColor(other.backgroundColor) {
    for (CView* child : other.children)
        addView(child->newCopy());
}

CViewContainer::~CViewContainer() {
    removeAll(true);
}

bool CViewContainer::addView(CView* view, CView* before) {
    if (!view) return false;
    if (view->getParentContainer() || view == this) {
        view->forget();
        return false;
    }
    auto position = std::find(children.begin(), children.end(), before);
    children.insert(position, view);
    view->attached(this);
    view->invalid();
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
    const auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) return false;
    view->invalid();
    // Out of the list first, so a callback that removes the view again finds nothing to do.
    children.erase(it);
    if (CFrame* frame = getFrame()) frame->onViewRemoved(view);
    view->removed(this);
    if (withForget) view->forget();
    return true;
}

bool CViewContainer::removeAll(bool withForget) {
    while (!children.empty())
        removeView(children.back(), withForget);
    return true;
}

bool CViewContainer::isChild(const CView* view, bool deep) const {
    for (CView* child : children) {
        if (child == view) return true;
        if (deep) {
            if (const CViewContainer* container = child->asViewContainer();
                container && container->isChild(view, true))
                return true;
        }
    }
    return false;
}

CView* CViewContainer::getView(uint32_t index) const {
    return index < children.size() ? children[index] : nullptr;
}

bool CViewContainer::changeViewZOrder(CView* view, uint32_t newIndex) {
    const auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end() || newIndex >= children.size()) return false;
    children.erase(it);
    children.insert(children.begin() + newIndex, view);
    view->invalid();
    return true;
}

void CViewContainer::setTransform(const CGraphicsTransform& t) {
    if (t == transform) return;
    invalid();
    transform = t;
    invalid();
}

void CViewContainer::setBackgroundColor(const CColor& color) {
    if (color == backgroundColor) return;
    backgroundColor = color;
    invalid();
}

CRect CViewContainer::toParent(CRect rect) const {
    transform.transform(rect);
    return rect.offset(size.getTopLeft());
}

CPoint CViewContainer::toParent(const CPoint& point) const {
    return transform.transform(point) + size.getTopLeft();
}

CPoint CViewContainer::fromParent(const CPoint& point) const {
    return transform.inverse().transform(point - size.getTopLeft());
}

void CViewContainer::invalidateChildArea(const CRect& rect) {
    if (isVisible()) propagateInvalid(toParent(rect));
}

void CViewContainer::drawBackgroundRect(CDrawContext* context) {
    if (!getTransparency() && backgroundColor.alpha > 0) {
        context->setFillColor(backgroundColor);
        context->drawRect(size, kDrawFilled);
    }
    if (CBitmap* bitmap = getBackground()) context->drawBitmap(bitmap, size);
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    context->saveGlobalState();
    context->setClipRect(size);
    drawBackgroundRect(context);
    CGraphicsTransform local = transform;
    local.translate(size.getTopLeft());
    context->concatTransform(local);
    CRect localUpdate = updateRect;
    local.inverse().transform(localUpdate);
    cairo_t* cr = context->getCairoContext();
    for (CView* child : children) {
        if (!child->isVisible() || !child->getViewSize().rectOverlap(localUpdate)) continue;
        const bool translucent = child->getAlphaValue() < 1.f;
        context->saveGlobalState();
        if (translucent) cairo_push_group(cr);
        child->drawRect(context, localUpdate);
        if (translucent) {
            cairo_pop_group_to_source(cr);
            cairo_paint_with_alpha(cr, child->getAlphaValue());
        }
        context->restoreGlobalState();
    }
    context->restoreGlobalState();
    setDirty(false);
}

void CViewContainer::collectViewsAt(const CPoint& where, std::vector<CView*>& out) {
    // A mouse-disabled container hides its whole subtree from the mouse.
    if (!isVisible() || !getMouseEnabled() || !size.pointInside(where)) return;
    const CPoint local = fromParent(where);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* child = *it;
        if (CViewContainer* container = child->asViewContainer())
            container->collectViewsAt(local, out);
        else if (child->isVisible() && child->getMouseEnabled() && child->getViewSize().pointInside(local))
            out.push_back(child);
    }
    out.push_back(this);
}

} // namespace VSTGUI
