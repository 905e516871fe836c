// The base of every view: a rectangle in its parent's coordinates, visibility, background,
// attributes, invalidation, mouse and key handlers.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CBitmap.h"
#include "gui/CButtonState.h"
#include "gui/CGraphicsTransform.h"
#include "gui/CRect.h"
#include "gui/Interfaces.h"
#include "gui/UTF8String.h"
#include "gui/VSTGUITypes.h"
#include "gui/VstKeyCode.h"

#include <cstdint>
#include <map>
#include <vector>

namespace VSTGUI {

class CDrawContext;
class CFrame;
class CViewContainer;

class CView : public CBaseObject {
public:
    enum ViewFlags : int32_t {
        kMouseEnabled = 1 << 0,
        kTransparencyEnabled = 1 << 1,
        kWantsFocus = 1 << 2,
        kVisible = 1 << 4,
        kDirty = 1 << 5,
    };

    explicit CView(const CRect& size);
    CView(const CView& other);
    ~CView() override;

    virtual CView* newCopy() const { return new CView(*this); }

    // Size, in the parent's coordinates.
    const CRect& getViewSize() const { return size; }
    virtual void setViewSize(const CRect& rect, bool invalid = true);
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }

    // A view is visible when its kVisible flag is set and its alpha is above 0.
    virtual void setVisible(bool state);
    bool isVisible() const { return hasViewFlag(kVisible) && alphaValue > 0.f; }
    virtual void setAlphaValue(float alpha);
    float getAlphaValue() const { return alphaValue; }
    bool hasViewFlag(int32_t flag) const { return (viewFlags & flag) != 0; }
    virtual void setMouseEnabled(bool state);
    bool getMouseEnabled() const { return hasViewFlag(kMouseEnabled); }
    virtual void setTransparency(bool state);
    bool getTransparency() const { return hasViewFlag(kTransparencyEnabled); }
    void setWantsFocus(bool state) { setViewFlag(kWantsFocus, state); }

    // A changed background invalidates the view.
    virtual void setBackground(CBitmap* background);
    CBitmap* getBackground() const { return background.get(); }

    // Drawing. The default draws the background bitmap (its top-left part) into the view.
    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    virtual void setDirty(bool state = true);
    bool isDirty() const { return hasViewFlag(kDirty); }
    void invalid() { invalidRect(size); }
    // Marks an area (in the parent's coordinates) for redrawing.
    virtual void invalidRect(const CRect& rect);

    // Mouse handlers; `where` is in the parent's coordinates.
    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseCancel();
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                         const CButtonState& buttons);
    void registerViewMouseListener(IViewMouseListener* listener);
    void unregisterViewMouseListener(IViewMouseListener* listener);
    // Calls the mouse listeners in registration order; the first result other than
    // NotHandled/NotImplemented is returned.
    CMouseEventResult callMouseListener(int eventType, CPoint where, CButtonState buttons);
    void callMouseListenerEnteredExited(bool entered);
    enum MouseListenerCall { kMouseDownCall, kMouseUpCall, kMouseMovedCall, kMouseCancelCall };

    // Keys: -1 when not handled.
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);
    // Focus changes, called by the frame.
    virtual void takeFocus() {}
    virtual void looseFocus() {}

    // Attributes: opaque byte strings by identifier.
    bool getAttributeSize(CViewAttributeID id, uint32_t& outSize) const;
    bool getAttribute(CViewAttributeID id, uint32_t inSize, void* buffer, uint32_t& outSize) const;
    bool setAttribute(CViewAttributeID id, uint32_t inSize, const void* buffer);
    bool removeAttribute(CViewAttributeID id);
    void setTooltipText(UTF8StringPtr text);
    UTF8String getTooltipText() const;

    // Tree.
    CView* getParentView() const;
    CViewContainer* getParentContainer() const { return parentView; }
    virtual CFrame* getFrame() const;
    bool isAttached() const { return getFrame() != nullptr; }
    virtual CViewContainer* asViewContainer() { return nullptr; }
    virtual const CViewContainer* asViewContainer() const { return nullptr; }
    // Called by the container that adds or removes this view.
    virtual bool attached(CViewContainer* parent);
    virtual bool removed(CViewContainer* parent);
    // Maps points of this view's parent coordinates to window pixels (frame scale included).
    CGraphicsTransform getGlobalTransform() const;
    CPoint& localToFrame(CPoint& point) const { return point = getGlobalTransform().transform(point); }
    CPoint& frameToLocal(CPoint& point) const {
        return point = getGlobalTransform().inverse().transform(static_cast<const CPoint&>(point));
    }

protected:
    void setViewFlag(int32_t flag, bool state);
    // Passes an area (in the parent's coordinates) up to the frame's dirty region.
    virtual void propagateInvalid(const CRect& rect);

    CRect size;

private:
    int32_t viewFlags = kMouseEnabled | kVisible;
    float alphaValue = 1.f;
    SharedPointer<CBitmap> background;
    CViewContainer* parentView = nullptr;
    std::map<CViewAttributeID, std::vector<uint8_t>> attributes;
    std::vector<IViewMouseListener*> mouseListeners;
};

} // namespace VSTGUI
