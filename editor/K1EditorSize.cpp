// The editor's size: it proposes 16:9 between 640x360 and 2560x1440 and takes whatever size the
// host gives it, showing the largest panel that fits; the panel is scaled, never re-laid-out.
#include "editor/K1Editor.h"

#include "editor/k1EditorListener.h"

#include <algorithm>
#include <cmath>

using namespace VSTGUI;

void K1Editor::validateSize(CRect& r) {
    const CCoord w = r.getWidth();
    const CCoord h = r.getHeight();
    if (w > kReferenceWidth) r.right = r.left + kReferenceWidth;
    if (w < kMinWidth) r.right = r.left + kMinWidth;
    if (h > kReferenceHeight) r.bottom = r.top + kReferenceHeight;
    if (h < kMinHeight) r.bottom = r.top + kMinHeight;
}

void K1Editor::validateAspect(CRect& r) {
    CCoord width = r.getWidth();
    CCoord height = r.getHeight();
    const CCoord widthForHeight = height * kReferenceWidth / kReferenceHeight;
    const CCoord heightForWidth = width * kReferenceHeight / kReferenceWidth;
    if (width > widthForHeight) {
        width = widthForHeight;
        height = std::round(kReferenceHeight * widthForHeight / kReferenceWidth);
    } else if (height > heightForWidth) {
        height = heightForWidth;
        width = std::round(kReferenceWidth * heightForWidth / kReferenceHeight);
    } else {
        return;
    }
    r.right = r.left + width;
    r.bottom = r.top + height;
}

void K1Editor::roundRect(CRect& r) {
    r.left = std::round(r.left);
    r.top = std::round(r.top);
    r.right = std::round(r.right);
    r.bottom = std::round(r.bottom);
}

void K1Editor::validateRect(CRect& r) {
    validateSize(r);
    validateAspect(r);
    roundRect(r);
}

double K1Editor::fitZoom(const CRect& size) {
    const double zoom = std::min(size.getWidth() / kReferenceWidth, size.getHeight() / kReferenceHeight);
    return std::clamp(zoom, kMinFitZoom, kMaxZoom);
}

void K1Editor::applyZoom(double newZoom) {
    zoom = newZoom;
    CGraphicsTransform scale;
    scale.scale(zoom, zoom);
    frame->setTransform(scale);
}

void K1Editor::applyInitialSize() {
    // The frame keeps the size it was made with; the panel fits inside it.
    const CRect requested = rect;
    applyZoom(fitZoom(rect));
    rect = frame->getViewSize();
    if (rect != requested && listener) listener->onSizeChanged();
}

bool K1Editor::setSize(const CRect& requested) {
    if (!frame) return false;
    // The host decides the window's size (checkSizeConstraint has proposed the panel's shape):
    // a host that keeps another one gets the largest panel that fits, the rest filled.
    CRect wanted = requested;
    roundRect(wanted);
    wanted.setWidth(std::max<CCoord>(1, wanted.getWidth()));
    wanted.setHeight(std::max<CCoord>(1, wanted.getHeight()));
    if (wanted == rect) return false;
    frame->setSize(wanted.getWidth(), wanted.getHeight());
    rect = frame->getViewSize();
    applyZoom(fitZoom(rect));
    if (listener) listener->onSizeChanged();
    return true;
}

void K1Editor::changeZoom(double z) {
    if (!frame) return;
    // The size of the zoom on the rule's own terms: hosts check every size asked of them
    // (checkSizeConstraint) and one that the check would move again makes them go back and forth.
    CRect wanted(0, 0, kReferenceWidth * std::clamp(z, kMinZoom, kMaxZoom),
                 kReferenceHeight * std::clamp(z, kMinZoom, kMaxZoom));
    settleRect(wanted);
    if (wanted == rect) return;
    frame->setSize(wanted.getWidth(), wanted.getHeight());
    rect = frame->getViewSize();
    applyZoom(fitZoom(rect));
    if (listener) listener->onSizeChanged();
}

void K1Editor::settleRect(CRect& r) {
    // The rule moves a size by a pixel at most once more (909x511 -> 908x511 stays), so a few
    // rounds always reach a size it keeps.
    for (int round = 0; round < 4; ++round) {
        CRect next = r;
        validateRect(next);
        if (next == r) return;
        r = next;
    }
}
