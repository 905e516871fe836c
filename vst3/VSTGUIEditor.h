#pragma once
// The editor-view base the instrument's view is built on: the part of the SDK's VSTGUI editor
// view that our GUI layer needs. Attaching takes the host's Linux run loop from the plug frame
// (a host without one is refused), opens the subclass's frame as a child of the host's window,
// tells the host the frame's size and starts the 100 ms idle timer, whose ticks reach notify().
// The run loop gets the frame's X connection and one 10 ms timer that fires the GUI layer's
// timers, lets the subclass pump its own work, and serves and paints the frame. Removing
// unregisters everything before the subclass closes its frame.
//
// Thread contract: the host's user-interface thread only, like every IPlugView call.
#include "gui/CBaseObject.h"
#include "gui/CFrame.h"
#include "gui/CVSTGUITimer.h"
#include "gui/Interfaces.h"
#include "gui/VstKeyCode.h"
#include "pluginterfaces/gui/iplugview.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg::Vst {

class VSTGUIEditor : public EditorView, public VSTGUI::VSTGUIEditorInterface, public VSTGUI::CBaseObject {
public:
    static constexpr uint32 kIdleRateMs = 100;
    static constexpr Linux::TimerInterval kRunLoopIntervalMs = 10;

    // `controller` is the EditController the view edits (held by the view while it lives).
    explicit VSTGUIEditor(void* controller, ViewRect* size = nullptr);
    ~VSTGUIEditor() override;

    // The subclass makes its frame (into `frame`) on the parent window; false refuses the attach.
    virtual bool open(void* parent,
                      const VSTGUI::PlatformType& type = VSTGUI::PlatformType::kDefaultNative) = 0;
    // The subclass closes its frame and sets `frame` to null.
    virtual void close() = 0;

    // IPlugView
    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override;
    tresult PLUGIN_API attached(void* parent, FIDString type) override;
    tresult PLUGIN_API removed() override;
    tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
    tresult PLUGIN_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) override;
    // Records the size; an open frame takes it.
    tresult PLUGIN_API onSize(ViewRect* newSize) override;
    tresult PLUGIN_API canResize() override { return kResultTrue; }
    // Moves the host's proposal onto a size the editor can take (constrainSize).
    tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) override;

    // The idle timer's message is answered here; subclasses pass every call on to this.
    VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message) override;

    // A key from the host (mapped like the window's own keys); true when the frame took it.
    static VSTGUI::VstKeyCode keyCodeFromHost(char16 key, int16 keyCode, int16 modifiers);

    OBJ_METHODS(VSTGUIEditor, EditorView)
    REFCOUNT_METHODS(EditorView)

protected:
    // The size the editor would take for `size`; false when it has no rule (the host's stands).
    virtual bool constrainSize(VSTGUI::CRect& size) {
        (void)size;
        return false;
    }
    // Each run-loop tick, before the frame is served: work of the subclass on this thread.
    virtual void onRunLoopTick() {}
    // Serves the frame's window now (the run loop calls this too).
    void serveFrame();

private:
    class FrameEvents : public Linux::IEventHandler {
    public:
        explicit FrameEvents(VSTGUIEditor& editor) : owner(editor) {}
        virtual ~FrameEvents() = default;
        void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override { owner.serveFrame(); }
        tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
        // Part of the view, which unregisters it before it goes.
        uint32 PLUGIN_API addRef() override { return 1; }
        uint32 PLUGIN_API release() override { return 1; }

    private:
        VSTGUIEditor& owner;
    };
    class RunLoopTimer : public Linux::ITimerHandler {
    public:
        explicit RunLoopTimer(VSTGUIEditor& editor) : owner(editor) {}
        virtual ~RunLoopTimer() = default;
        void PLUGIN_API onTimer() override { owner.onRunLoopTimer(); }
        tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
        uint32 PLUGIN_API addRef() override { return 1; }
        uint32 PLUGIN_API release() override { return 1; }

    private:
        VSTGUIEditor& owner;
    };

    void onRunLoopTimer();
    void detachFromRunLoop();

    FrameEvents frameEvents{*this};
    RunLoopTimer runLoopTimer{*this};
    IPtr<Linux::IRunLoop> runLoop;
    bool frameEventsRegistered = false;
    VSTGUI::SharedPointer<VSTGUI::CVSTGUITimer> idleTimer;
};

} // namespace Steinberg::Vst
