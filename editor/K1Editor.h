// The editor: builds the panel from the embedded user-interface description, binds its views to the
// 209 parameters by name, owns the objects that drive the display, browser, pages and pads, and shows
// every change the facade reports.
//
// Thread contract: onEvent may be called from any thread (the facade calls it inside its engine lock,
// often on the audio thread); it only appends to the event queue under eventMutex. Everything else -
// construction, idle, the VSTGUI callbacks, destruction - runs on the user-interface thread, and idle
// releases eventMutex before any view or facade work, so the lock order is engine lock -> eventMutex.
#pragma once

#include "editor/ControlHelpers.h"
#include "editor/ParameterControls.h"
#include "gui/vstgui/vstgui.h"
#include "gui/vstgui/vstgui_uidescription.h"
#include "k1lib/facade/PluginToEditorEvent.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace k1lib {
class Plugin;
}

class k1EditorListener;
class uiDisplay;
class uiEnvelope;
class uiMulti;
class uiMultilevelOptionMenu;
class uiResizer;
class uiSettings;
class uiSingles;
class uiSourceMix;

class K1Editor : public ParameterControls,
                 public k1lib::IEditor,
                 private VSTGUI::IControlListener,
                 private VSTGUI::ViewMouseListenerAdapter,
                 private VSTGUI::IKeyboardHook {
public:
    // Design size of the panel artwork and the size limits of the editor.
    static constexpr double kReferenceWidth = 2560;
    static constexpr double kReferenceHeight = 1440;
    static constexpr double kMinWidth = 640;
    static constexpr double kMinHeight = 360;
    static constexpr double kMinZoom = kMinWidth / kReferenceWidth;
    static constexpr double kMaxZoom = 1.0;
    // The smallest panel shown in a window the host makes smaller than the limits.
    static constexpr double kMinFitZoom = 0.05;

    // `existingFrame` non-null: the editor works on that frame (its first child is the panel) and
    // leaves it alone when destroyed. Otherwise the editor builds and opens its own frame from
    // `description` (null: the embedded panel document); when that does not parse it stays without a
    // frame (inert: getRect false, events dropped).
    K1Editor(k1lib::Plugin& plugin, void* parentWindow, VSTGUI::VSTGUIEditorInterface* editorInterface,
             k1EditorListener* listener, const VSTGUI::CRect& requestedSize,
             VSTGUI::PlatformType platformType = VSTGUI::PlatformType::kDefaultNative,
             VSTGUI::IPlatformFrameConfig* config = nullptr, VSTGUI::CFrame* existingFrame = nullptr,
             VSTGUI::xml::IContentProvider* description = nullptr);
    ~K1Editor() override;
    K1Editor(const K1Editor&) = delete;
    K1Editor& operator=(const K1Editor&) = delete;

    // k1lib::IEditor: any thread; queues the event for the next idle.
    void onEvent(const k1lib::PluginToEditorEvent& event) override;
    // User-interface thread: applies every queued event in arrival order.
    void idle();

    bool getRect(VSTGUI::CRect& out) const;
    static VSTGUI::CRect getDefaultRect() { return VSTGUI::CRect(0, 0, 1024, 576); }

    // Handlers of the facade's events (types 1..10).
    void onSinglesModified(uint64_t first, uint64_t count);
    void onSingleModified(uint64_t index);
    void onActiveSingleModified(uint64_t index);
    void onActiveSingleChanged(uint64_t index);
    void onMultisModified(uint64_t first, uint64_t count);
    void onMultiModified(uint64_t index);
    void onActiveMultiModified(uint64_t index);
    void onActiveMultiChanged(uint64_t index);
    void onPlayModeChanged();
    void onConfigChanged();
    void updateEditSingleName();
    void updateEditMultiName();

    // Values in both directions.
    void onParamChanged(k1lib::EParam param, float value);
    void setParameterFromUi(k1lib::EParam param, float value) const;
    // The host hears the changes between these two as one edit of the parameter.
    void beginParameterGesture(k1lib::EParam param) const;
    void endParameterGesture(k1lib::EParam param) const;
    // The user chose the preset that now plays (the browser's click): the host hears it as an edit.
    void onProgramChosen() const;
    void setActiveSource(unsigned long source);
    uint64_t getActiveSource() const { return activeSource; }
    void swapSources(int a, int b);
    void updateMultilevelOptionMenuFromParam(uiMultilevelOptionMenu* menu, k1lib::EParam param, float value);
    void setSmallButtonActive(VSTGUI::CKickButton* button, bool on);
    void setLargeButtonActive(VSTGUI::CKickButton* button, bool on);

    // Pages and dialogs.
    bool isEditMode() const;
    bool setModeEdit(bool edit);
    void setModeSystem(bool on);
    bool setEditModeCommon();
    bool handleKeyDownSetSource(unsigned long source);
    void openURL(const std::string& url, const std::string& question);
    void showMessageBoxOk(const std::string& text) const;
    bool showMessageBoxYesNo(const std::string& text) const;

    // Size and zoom: the editor proposes 16:9 between 640x360 and 2560x1440 (validateRect), takes
    // any size the host sets (setSize) with the largest panel that fits, and is scaled, never
    // re-laid-out.
    static void validateSize(VSTGUI::CRect& rect);
    static void validateAspect(VSTGUI::CRect& rect);
    static void roundRect(VSTGUI::CRect& rect);
    static void validateRect(VSTGUI::CRect& rect);
    // validateRect until it changes nothing more: a size the host's own check leaves as it is.
    static void settleRect(VSTGUI::CRect& rect);
    bool setSize(const VSTGUI::CRect& requested);
    void changeZoom(double zoom);
    double getZoom() const { return zoom; }
    // The zoom of the largest whole panel inside `size`.
    static double fitZoom(const VSTGUI::CRect& size);

    // Clears `menu` and fills it for the parameter.
    void initOptionMenu(VSTGUI::COptionMenu* menu, k1lib::EParam param);
    // Creates a multilevel menu over `menu` that lives as long as the editor.
    uiMultilevelOptionMenu* createMultilevelOptionMenu(VSTGUI::COptionMenu* menu);

    // What the companion objects reach through the editor.
    k1lib::Plugin& getPlugin() const { return plugin; }
    VSTGUI::CFrame* getFrame() const { return frame; }
    const ViewsByName& getViewsByName() const { return viewsByName; }
    VSTGUI::CBitmap* getBitmapSmallOff() const { return bitmapSmallOff; }
    VSTGUI::CBitmap* getBitmapSmallOn() const { return bitmapSmallOn; }
    VSTGUI::CBitmap* getBitmapSmallRed() const { return bitmapSmallRed; }
    VSTGUI::CBitmap* getBitmapLargeOff() const { return bitmapLargeOff; }
    VSTGUI::CBitmap* getBitmapLargeOn() const { return bitmapLargeOn; }
    uiDisplay* getDisplay() const { return display.get(); }
    uiEnvelope* getEnvelope() const { return envelope; }
    uiSingles* getBrowser() const { return browser.get(); }
    uiSourceMix* getSourceMix() const { return sourceMix.get(); }
    uiMulti* getMulti() const { return multi.get(); }

    // IKeyboardHook, public so that hosts forwarding keys reach the same map: 1 handled, -1 not.
    int32_t onKeyDown(const VSTGUI::VstKeyCode& key, VSTGUI::CFrame* frame) override;
    int32_t onKeyUp(const VSTGUI::VstKeyCode& key, VSTGUI::CFrame* frame) override;

private:
    // IControlListener
    void valueChanged(VSTGUI::CControl* control) override;
    // A control's gesture (mouse down to up, a wheel turn) brackets the edits of its parameter.
    void controlBeginEdit(VSTGUI::CControl* control) override;
    void controlEndEdit(VSTGUI::CControl* control) override;
    // IViewMouseListener: the logo and donate clicks; the other calls keep the adapter's answers.
    VSTGUI::CMouseEventResult viewOnMouseDown(VSTGUI::CView* view, VSTGUI::CPoint where,
                                              VSTGUI::CButtonState buttons) override;

    bool buildFrame(void* parent, VSTGUI::VSTGUIEditorInterface* editorInterface,
                    VSTGUI::PlatformType platformType, VSTGUI::IPlatformFrameConfig* config,
                    VSTGUI::xml::IContentProvider* description);
    void initializeViews(VSTGUI::CView* root);
    void bindParameters();
    void fetchNamedViews();
    void takeButtonImages();
    void createCompanions();
    void applyInitialSize();
    void applyZoom(double newZoom);
    void applyEvent(const k1lib::PluginToEditorEvent& event);
    void endTextEditing();

    void onNameEdited(VSTGUI::CTextEdit* field, k1lib::EParam firstParam, bool single);
    bool onButtonReleased(VSTGUI::CControl* control);
    bool onPageButton(VSTGUI::CControl* control);
    void onBoundControl(VSTGUI::CControl* control);
    // The parameter a control is bound to; none when it is bound to none.
    std::optional<k1lib::EParam> boundParameterOf(const VSTGUI::CControl* control) const;
    float defaultValueOf(k1lib::EParam param) const override;
    void endWheelEditsExcept(const VSTGUI::CControl* touched);
    void stepParameter(k1lib::EParam param, int delta, int modulo);
    void showKeyTracking(k1lib::EParam coarseParam, bool keyTrack);
    void moveSourceViews(unsigned long source);
    void setButtonImage(VSTGUI::CView* button, VSTGUI::CBitmap* image);

    k1lib::Plugin& plugin;
    void* parentWindow;
    k1EditorListener* listener;
    ViewsByName viewsByName;

    // Pages.
    VSTGUI::CViewContainer* modePlay = nullptr;
    VSTGUI::CViewContainer* modeEdit = nullptr;
    VSTGUI::CViewContainer* modeEditMulti = nullptr;
    VSTGUI::CViewContainer* modeEditSystem = nullptr;
    VSTGUI::CViewContainer* editSource = nullptr;
    VSTGUI::CViewContainer* editCommon = nullptr;

    // Mode, page and step buttons.
    VSTGUI::CKickButton* btModeSingle = nullptr;
    VSTGUI::CKickButton* btModeMulti = nullptr;
    VSTGUI::CKickButton* btEdit = nullptr;
    VSTGUI::CKickButton* btSystem = nullptr;
    VSTGUI::CKickButton* btEditCommon = nullptr;
    std::array<VSTGUI::CKickButton*, 4> btEditSource{};
    VSTGUI::CKickButton* btWaveDec = nullptr;
    VSTGUI::CKickButton* btWaveInc = nullptr;
    VSTGUI::CKickButton* btCoarseDec = nullptr;
    VSTGUI::CKickButton* btCoarseInc = nullptr;
    VSTGUI::CView* btCoarseDecText = nullptr;
    VSTGUI::CView* btCoarseIncText = nullptr;

    VSTGUI::CTextEdit* editSingleName = nullptr;
    VSTGUI::CTextEdit* editMultiName = nullptr;

    // Button images taken from template buttons; one reference held on each.
    VSTGUI::CBitmap* bitmapSmallOff = nullptr;
    VSTGUI::CBitmap* bitmapSmallOn = nullptr;
    VSTGUI::CBitmap* bitmapSmallRed = nullptr;
    VSTGUI::CBitmap* bitmapLargeOff = nullptr;
    VSTGUI::CBitmap* bitmapLargeOn = nullptr;

    uint64_t activeSource = 0;
    // The parameter each control's open gesture began on: the source views may move to another
    // source's parameters before the gesture ends.
    std::map<const VSTGUI::CControl*, k1lib::EParam> controlGestures;

    // Companions. The envelope view belongs to the "edit_source" container it is added to.
    std::unique_ptr<uiDisplay> display;
    uiEnvelope* envelope = nullptr;
    std::unique_ptr<uiSingles> browser;
    std::unique_ptr<uiResizer> resizer;
    std::unique_ptr<uiSourceMix> sourceMix;
    std::unique_ptr<uiMulti> multi;
    std::unique_ptr<uiSettings> settings;
    // Owns every multilevel menu, whichever table slot currently points at it.
    std::vector<std::unique_ptr<uiMultilevelOptionMenu>> ownedMultilevelMenus;

    VSTGUI::CView* clickableLogo = nullptr;
    VSTGUI::CView* btDonate = nullptr;

    double zoom = 1.0;
    VSTGUI::CRect rect;
    bool frameSupplied = false;
    VSTGUI::CFrame* frame = nullptr;

    std::recursive_mutex eventMutex;
    std::vector<k1lib::PluginToEditorEvent> pendingEvents;
    // The events idle is applying; swapped with pendingEvents, so both keep their capacity and queuing
    // on the audio thread does not allocate once the queue has grown to the usual burst.
    std::vector<k1lib::PluginToEditorEvent> appliedEvents;
    bool applyingEvents = false; // an idle reached from inside idle (a nested loop) leaves the queue alone
};
