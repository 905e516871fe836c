// A view holding child views; children use the container's own coordinates (origin at its
// top-left, then its transform).
#pragma once

#include "gui/CColor.h"
#include "gui/CView.h"

#include <vector>

namespace VSTGUI {

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    // Copies the children too.
    CViewContainer(const CViewContainer& other);
    ~CViewContainer() override;

    CView* newCopy() const override { return new CViewContainer(*this); }
    CViewContainer* asViewContainer() override { return this; }
    const CViewContainer* asViewContainer() const override { return this; }

    // Adds on top (or below `before`), adopting the caller's reference. False (and the
    // reference released) for null or a view that already has a parent.
    virtual bool addView(CView* view, CView* before = nullptr);
    // With forget the container's reference is released, which may destroy the view.
    virtual bool removeView(CView* view, bool withForget = true);
    virtual bool removeAll(bool withForget = true);
    bool isChild(const CView* view, bool deep = false) const;
    uint32_t getNbViews() const { return static_cast<uint32_t>(children.size()); }
    // In child order (bottom first); null past the end.
    CView* getView(uint32_t index) const;
    bool changeViewZOrder(CView* view, uint32_t newIndex);

    void setTransform(const CGraphicsTransform& t);
    const CGraphicsTransform& getTransform() const { return transform; }
    void setBackgroundColor(const CColor& color);

    // Background colour (unless transparent), background bitmap, then the visible children.
    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;

    // Maps a rectangle or point of this container's coordinates to its parent's.
    CRect toParent(CRect rect) const;
    CPoint toParent(const CPoint& point) const;
    CPoint fromParent(const CPoint& point) const;
    // Called by children: passes an area in this container's coordinates on upwards.
    void invalidateChildArea(const CRect& rect);

    // The visible, mouse-enabled views under `where` (this container's parent coordinates),
    // topmost first; containers follow their own children.
    void collectViewsAt(const CPoint& where, std::vector<CView*>& out);

protected:
    void drawBackgroundRect(CDrawContext* context);

private:
    std::vector<CView*> children;
    CGraphicsTransform transform;
    CColor backgroundColor = kTransparentCColor;
};

} // namespace VSTGUI
