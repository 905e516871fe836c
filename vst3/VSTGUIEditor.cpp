#include "vst3/VSTGUIEditor.h"

#include <cstring>

#include "gui/TimerHub.h"
#include "log/Log.h"

namespace Steinberg::Vst {

namespace {
constexpr char kX11Type[] = "X11EmbedWindowID";
// The host's virtual key numbers match the GUI layer's up to Delete.
constexpr int16 kLastSharedVirtualKey = VSTGUI::VKEY_DELETE;

bool sameIid(const TUID a, const FUID& b) {
    return std::memcmp(a, b.toTUID(), sizeof(TUID)) == 0;
}
} // namespace

VSTGUIEditor::VSTGUIEditor(void* editController, ViewRect* size)
    : EditorView(static_cast<EditController*>(editController), size) {}

VSTGUIEditor::~VSTGUIEditor() {
    if (idleTimer) idleTimer->stop();
    detachFromRunLoop();
}

tresult PLUGIN_API VSTGUIEditor::isPlatformTypeSupported(FIDString type) {
    return type && std::strcmp(type, kX11Type) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::attached(void* parent, FIDString type) {
    if (isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
    if (isAttached()) return kResultFalse;
    FUnknownPtr<Linux::IRunLoop> offered(plugFrame);
    if (!offered) {
        k1lib::log("attached", __LINE__, "The host offers no run loop; the editor cannot open");
        return kResultFalse;
    }
    if (!open(parent, VSTGUI::PlatformType::kX11EmbedWindowID) || !frame) {
        if (frame) close();
        return kResultFalse;
    }
    runLoop = offered.getInterface();
    if (runLoop->registerTimer(&runLoopTimer, kRunLoopIntervalMs) != kResultOk) {
        k1lib::log("attached", __LINE__, "The host's run loop refused the editor's timer");
        runLoop = nullptr;
        close();
        return kResultFalse;
    }
    const int fd = frame->getPlatformFileDescriptor();
    if (fd >= 0) frameEventsRegistered = runLoop->registerEventHandler(&frameEvents, fd) == kResultOk;

    VSTGUI::CRect size;
    frame->getSize(size);
    ViewRect frameRect(0, 0, static_cast<int32>(size.getWidth()), static_cast<int32>(size.getHeight()));
    setRect(frameRect);
    if (plugFrame) plugFrame->resizeView(this, &frameRect);
    if (!idleTimer) idleTimer = VSTGUI::owned(new VSTGUI::CVSTGUITimer(this, kIdleRateMs, false));
    idleTimer->start();
    return EditorView::attached(parent, type);
}

tresult PLUGIN_API VSTGUIEditor::removed() {
    if (idleTimer) idleTimer->stop();
    detachFromRunLoop();
    if (frame) close();
    return EditorView::removed();
}

void VSTGUIEditor::detachFromRunLoop() {
    if (!runLoop) return;
    if (frameEventsRegistered) runLoop->unregisterEventHandler(&frameEvents);
    frameEventsRegistered = false;
    runLoop->unregisterTimer(&runLoopTimer);
    runLoop = nullptr;
}

void VSTGUIEditor::onRunLoopTimer() {
    zykgui::TimerHub::instance().pump();
    onRunLoopTick();
    serveFrame();
}

void VSTGUIEditor::serveFrame() {
    if (frame) frame->processPlatformEvents();
}

VSTGUI::VstKeyCode VSTGUIEditor::keyCodeFromHost(char16 key, int16 keyCode, int16 modifiers) {
    VSTGUI::VstKeyCode code;
    code.character = key;
    if (keyCode > 0 && keyCode <= kLastSharedVirtualKey) code.virt = static_cast<unsigned char>(keyCode);
    code.modifier = static_cast<unsigned char>(modifiers & 0x0F);
    return code;
}

tresult PLUGIN_API VSTGUIEditor::onKeyDown(char16 key, int16 keyCode, int16 modifiers) {
    if (!frame) return kResultFalse;
    VSTGUI::VstKeyCode code = keyCodeFromHost(key, keyCode, modifiers);
    return frame->platformOnKeyDown(code) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::onKeyUp(char16 key, int16 keyCode, int16 modifiers) {
    if (!frame) return kResultFalse;
    VSTGUI::VstKeyCode code = keyCodeFromHost(key, keyCode, modifiers);
    return frame->platformOnKeyUp(code) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::onSize(ViewRect* newSize) {
    if (!newSize) return kInvalidArgument;
    setRect(*newSize);
    if (frame) frame->setSize(newSize->getWidth(), newSize->getHeight());
    return kResultTrue;
}

tresult PLUGIN_API VSTGUIEditor::checkSizeConstraint(ViewRect* proposed) {
    if (!proposed) return kInvalidArgument;
    VSTGUI::CRect size(proposed->left, proposed->top, proposed->right, proposed->bottom);
    if (!constrainSize(size)) return kResultFalse;
    *proposed = ViewRect(static_cast<int32>(size.left), static_cast<int32>(size.top),
                         static_cast<int32>(size.right), static_cast<int32>(size.bottom));
    return kResultTrue;
}

VSTGUI::CMessageResult VSTGUIEditor::notify(VSTGUI::CBaseObject*, VSTGUI::IdStringPtr message) {
    return message == VSTGUI::CVSTGUITimer::kMsgTimer ? VSTGUI::kMessageNotified : VSTGUI::kMessageUnknown;
}

tresult PLUGIN_API VSTGUIEditor::FrameEvents::queryInterface(const TUID interfaceId, void** obj) {
    if (!obj) return kInvalidArgument;
    if (sameIid(interfaceId, Linux::IEventHandler::iid) || sameIid(interfaceId, FUnknown::iid)) {
        *obj = static_cast<Linux::IEventHandler*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

tresult PLUGIN_API VSTGUIEditor::RunLoopTimer::queryInterface(const TUID interfaceId, void** obj) {
    if (!obj) return kInvalidArgument;
    if (sameIid(interfaceId, Linux::ITimerHandler::iid) || sameIid(interfaceId, FUnknown::iid)) {
        *obj = static_cast<Linux::ITimerHandler*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

} // namespace Steinberg::Vst
