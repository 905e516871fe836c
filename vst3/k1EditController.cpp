#include "vst3/k1EditController.h"

#include "k1lib/facade/Plugin.h"
#include "vst3/k1AudioProcessor.h"

using namespace Steinberg;

k1EditController::k1EditController(k1AudioProcessor* owner, ViewRect* size, k1lib::Plugin& facade)
    : VSTGUIEditor(owner, nullptr), rect(size ? toCRect(*size) : K1Editor::getDefaultRect()), plugin(facade),
      processor(owner) {
    setRect(toViewRect(rect));
}

k1EditController::~k1EditController() {
    updateRectFromEditor();
    if (processor) processor->onViewRemoved(this);
    destroyEditor();
}

VSTGUI::CRect k1EditController::toCRect(const ViewRect& r) {
    return VSTGUI::CRect(r.left, r.top, r.left + (r.right - r.left), r.top + (r.bottom - r.top));
}

ViewRect k1EditController::toViewRect(const VSTGUI::CRect& r) {
    return ViewRect(static_cast<int32>(r.left), static_cast<int32>(r.top), static_cast<int32>(r.right),
                    static_cast<int32>(r.bottom));
}

bool k1EditController::updateRectFromEditor() {
    if (!editor || !editor->getFrame()) return false;
    VSTGUI::CRect size;
    editor->getFrame()->getSize(size);
    rect = size;
    setRect(toViewRect(rect));
    return true;
}

bool k1EditController::open(void* parent, const VSTGUI::PlatformType&) {
    auto created = std::make_unique<K1Editor>(plugin, parent, this, this, rect);
    // A panel that failed to build, or a window the display refused, shows nothing: the host
    // gets a refusal rather than an empty window.
    if (!created->getFrame() || !created->getFrame()->isOpen()) return false;
    plugin.setEditor(created.get());
    editor = std::move(created); // an editor still open goes only now, after the facade let it go
    frame = editor->getFrame();
    updateRectFromEditor();
    return true;
}

void k1EditController::close() {
    if (!editor) return;
    updateRectFromEditor();
    destroyEditor();
}

void k1EditController::destroyEditor() {
    if (!editor) return;
    // A window closed in the middle of a drag: the host's edit still ends.
    while (!openGestures.empty())
        endParameterGesture(openGestures.begin()->first);
    plugin.setEditor(nullptr);
    frame = nullptr;
    editor.reset();
}

VSTGUI::CMessageResult k1EditController::notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message) {
    if (editor && message == VSTGUI::CVSTGUITimer::kMsgTimer) editor->idle();
    return VSTGUIEditor::notify(sender, message);
}

tresult PLUGIN_API k1EditController::onSize(ViewRect* newSize) {
    if (!editor) return VSTGUIEditor::onSize(newSize);
    if (!newSize) return kInvalidArgument;
    // A size the host sets is final: asking the host for another one from in here is how a host
    // that calls onSize from its own resizeView recurses until its stack runs out.
    hostSizing = true;
    editor->setSize(toCRect(*newSize));
    hostSizing = false;
    updateRectFromEditor();
    return kResultOk;
}

void k1EditController::onSizeChanged() {
    if (!updateRectFromEditor() || hostSizing) return;
    ViewRect size = getRect();
    if (plugFrame) plugFrame->resizeView(this, &size);
}

std::optional<float> k1EditController::getDefaultValue(k1lib::EParam param) const {
    if (!processor) return std::nullopt;
    return processor->declaredDefault(param);
}

tresult PLUGIN_API k1EditController::getSize(ViewRect* size) {
    updateRectFromEditor();
    return VSTGUIEditor::getSize(size);
}

bool k1EditController::constrainSize(VSTGUI::CRect& size) {
    K1Editor::validateRect(size);
    return true;
}

void k1EditController::changeParameter(k1lib::EParam param, float value) {
    // Hosts record automation only between beginEdit and endEdit: a change outside a gesture (a
    // menu choice, a typed name) is one complete edit, a step of a drag is part of its gesture.
    if (Vst::EditController* editController = getController()) {
        const bool alone = openGestures.count(param) == 0;
        if (alone) editController->beginEdit(param);
        editController->performEdit(param, value);
        if (alone) editController->endEdit(param);
    }
    if (processor) processor->onValueToldToHost(param, value);
    if (editor) editor->onEvent(k1lib::PluginToEditorEvent::parameterChanged(param, value));
}

void k1EditController::changeProgram() {
    // One complete edit, as a menu choice is: hosts that save only the user's edits keep the
    // choice, and a host that sends the value back in a block finds that preset playing already.
    if (!processor) return;
    const double value = processor->onProgramToldToHost();
    if (Vst::EditController* editController = getController()) {
        editController->beginEdit(k1AudioProcessor::kProgramParam);
        editController->performEdit(k1AudioProcessor::kProgramParam, value);
        editController->endEdit(k1AudioProcessor::kProgramParam);
    }
}

void k1EditController::beginParameterGesture(k1lib::EParam param) {
    if (openGestures[param]++ > 0) return;
    if (Vst::EditController* editController = getController()) editController->beginEdit(param);
}

void k1EditController::endParameterGesture(k1lib::EParam param) {
    const auto open = openGestures.find(param);
    if (open == openGestures.end()) return;
    if (--open->second > 0) return;
    openGestures.erase(open);
    if (Vst::EditController* editController = getController()) editController->endEdit(param);
}

void k1EditController::onRunLoopTick() {
    if (processor) processor->runPendingCalls();
}
