// The root view: owns the view tree, keeps the dirty region, dispatches mouse and key events
// given in window pixels, and holds focus, keyboard hooks, tooltips and the menu popup.
#pragma once

#include "gui/CViewContainer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace VSTGUI {

class CDrawContext;
class COptionMenu;
class CVSTGUITimer;

} // namespace VSTGUI

namespace zykgui {
class MenuPopup;
class X11FrameWindow;
} // namespace zykgui

namespace VSTGUI {

class CFrame : public CViewContainer {
public:
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    // With a parent, kX11EmbedWindowID and kDefaultNative (the parent is an X window id) make a
    // child window of the parent; false when it cannot be made. Without a parent the frame has
    // no window and is drawn offscreen.
    bool open(void* parent, PlatformType type = PlatformType::kDefaultNative,
              IPlatformFrameConfig* config = nullptr);
    // Removes all views and releases the caller's reference, as VSTGUI does.
    void close();
    bool isOpen() const { return opened; }
    VSTGUIEditorInterface* getEditor() const { return editor; }

    // The platform window (user-interface thread). Without one: descriptor -1, window id 0.
    int getPlatformFileDescriptor() const;
    uint32_t getPlatformWindowId() const;
    // Serves the window's queued events, follows the frame's size and paints the dirty region;
    // without `acceptInput` only exposures (while a modal dialog is up).
    void processPlatformEvents(bool acceptInput = true);
    CFrame* getFrame() const override { return const_cast<CFrame*>(this); }

    // Size in window pixels.
    bool setSize(CCoord width, CCoord height);
    bool getSize(CRect& outSize) const;
    // Scales the frame: size = round(size / current scale × zoom), transform = scale(zoom).
    bool setZoom(double zoom);
    double getZoom() const { return getTransform().m11; }
    void setBitmapInterpolationQuality(BitmapInterpolationQuality quality) { interpolation = quality; }
    BitmapInterpolationQuality getBitmapInterpolationQuality() const { return interpolation; }

    // Tooltips appear after the pointer rests `delayMs` on a view with tooltip text.
    void enableTooltips(bool state, uint32_t delayMs = 1000);
    // The tooltip on screen (empty when none).
    const UTF8String& getShownTooltip() const { return shownTooltip; }

    void registerKeyboardHook(IKeyboardHook* hook);
    void unregisterKeyboardHook(IKeyboardHook* hook);
    CView* getFocusView() const { return focusView; }
    // The old focus view loses focus (a text edit commits), the new one takes it.
    void setFocusView(CView* view);
    // The view that captured the mouse with a handled press.
    CView* getMouseDownView() const { return mouseDownView; }

    // Events in window pixels (the X11 layer and tests call these).
    CMouseEventResult platformOnMouseDown(CPoint where, const CButtonState& buttons);
    CMouseEventResult platformOnMouseMoved(CPoint where, const CButtonState& buttons);
    CMouseEventResult platformOnMouseUp(CPoint where, const CButtonState& buttons);
    // The pointer left the window: the view under it is exited and the tooltip hidden.
    void platformOnMouseExited();
    bool platformOnMouseWheel(CPoint where, const CMouseWheelAxis& axis, float distance,
                              const CButtonState& buttons);
    bool platformOnKeyDown(VstKeyCode& keyCode);
    bool platformOnKeyUp(VstKeyCode& keyCode);

    // Drawing in window pixels: the whole frame, or only the dirty region (which it clears).
    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    bool hasDirtyRegion() const { return !dirtyRects.empty(); }
    const std::vector<CRect>& getDirtyRects() const { return dirtyRects; }
    void paintDirtyRegion(CDrawContext* context);
    // Adds an area in window pixels to the dirty region.
    void invalidWindowRect(const CRect& rect);

    // Opens the in-frame popup for an option menu; `finished` gets the chosen menu and index,
    // or null and -1 when closed without a choice. False when a popup is already open.
    bool showMenuPopup(COptionMenu* menu, std::function<void(COptionMenu*, int32_t)> finished);
    bool isMenuPopupOpen() const { return menuPopup != nullptr; }

    // Called by containers.
    void onViewRemoved(CView* view);
    void onViewHidden(CView* view);

protected:
    void propagateInvalid(const CRect& rect) override;

private:
    CPoint toViewCoordinates(CView* view, const CPoint& where) const;
    std::vector<SharedPointer<CView>> viewsAt(const CPoint& where);
    CMouseEventResult dispatch(CView* view, int call, const CPoint& where, const CButtonState& buttons);
    bool dispatchKey(VstKeyCode& keyCode, bool down);
    void updateMouseOver(CView* view, const CPoint& where, const CButtonState& buttons);
    void cancelMouseDown();
    void hideTooltip();
    void onTooltipTimer();
    void finishPopupIfDone();
    void closePopup();

    VSTGUIEditorInterface* editor;
    void* parentWindow = nullptr;
    bool opened = false;
    BitmapInterpolationQuality interpolation = BitmapInterpolationQuality::kDefault;
    std::vector<CRect> dirtyRects;
    std::vector<IKeyboardHook*> keyboardHooks;
    CView* focusView = nullptr;
    CView* mouseDownView = nullptr;
    CView* mouseOverView = nullptr;
    CPoint lastMouse;
    bool tooltipsEnabled = false;
    uint32_t tooltipDelay = 1000;
    SharedPointer<CVSTGUITimer> tooltipTimer;
    UTF8String shownTooltip;
    CRect tooltipRect;
    std::unique_ptr<zykgui::MenuPopup> menuPopup;
    std::unique_ptr<zykgui::X11FrameWindow> platformWindow;
    COptionMenu* menuPopupAnchor = nullptr;
    std::function<void(COptionMenu*, int32_t)> menuPopupFinished;
};

} // namespace VSTGUI
