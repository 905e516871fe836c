#pragma once
// The plug-in view the host embeds: it owns the editor while the host has the view attached,
// registers that editor with the facade so it hears the facade's events, drives the editor's
// idle from the 100 ms timer, passes host resizes to the editor (final: nothing is asked back from
// inside onSize) and editor sizes to the host, and turns edits made in the editor into host
// edits: one beginEdit/endEdit around each gesture, a preset chosen as one edit of the program. Its
// rectangle outlives each editor, so a reopened window has the size it was closed with.
//
// Thread contract: the host's user-interface thread only. The facade reaches the editor on other
// threads only through K1Editor::onEvent (a queue); setEditor takes the engine lock, so once it
// has cleared the editor no facade event can reach it and deleting it is safe.
#include <map>
#include <memory>

#include "editor/K1Editor.h"
#include "editor/k1EditorListener.h"
#include "vst3/VSTGUIEditor.h"

namespace k1lib {
class Plugin;
}
class k1AudioProcessor;

class k1EditController : public Steinberg::Vst::VSTGUIEditor, public k1EditorListener {
public:
    k1EditController(k1AudioProcessor* processor, Steinberg::ViewRect* size, k1lib::Plugin& plugin);
    ~k1EditController() override;

    Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
    Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
    bool open(void* parent, const VSTGUI::PlatformType& type) override;
    void close() override;
    VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message) override;

    // k1EditorListener
    void changeParameter(k1lib::EParam param, float value) override;
    void beginParameterGesture(k1lib::EParam param) override;
    void endParameterGesture(k1lib::EParam param) override;
    void changeProgram() override;
    void onSizeChanged() override;
    std::optional<float> getDefaultValue(k1lib::EParam param) const override;

    K1Editor* getEditor() const { return editor.get(); }

protected:
    bool constrainSize(VSTGUI::CRect& size) override;
    void onRunLoopTick() override;

private:
    static VSTGUI::CRect toCRect(const Steinberg::ViewRect& r);
    static Steinberg::ViewRect toViewRect(const VSTGUI::CRect& r);
    // Takes the frame's size into `rect` and the base rectangle; false without an editor or frame.
    bool updateRectFromEditor();
    // Unregisters the editor from the facade, ends the gestures it left open, then deletes it.
    void destroyEditor();

    std::unique_ptr<K1Editor> editor;
    // Open gestures per parameter (a drag of the pad holds two): the host's beginEdit went out
    // with the first, its endEdit goes with the last.
    std::map<k1lib::EParam, int> openGestures;
    VSTGUI::CRect rect;
    bool hostSizing = false; // inside onSize: the editor's size changes ask the host nothing
    k1lib::Plugin& plugin;
    k1AudioProcessor* processor;
};
