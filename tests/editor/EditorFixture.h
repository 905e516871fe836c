// An editor over a real facade, in a frame that is never put on screen, with a listener that records
// what the editor asks of its host view and delivers each change back through the facade, as a host does.
#pragma once

#include "editor/K1Editor.h"
#include "editor/k1EditorListener.h"
#include "k1lib/facade/Plugin.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Counts the MIDI the facade sends to K1 hardware; ignores the rest.
class PluginListener : public k1lib::IPluginListener {
public:
    void sendMidi(const k1lib::SMidiEvent& event) override { sysexSent += !event.sysex.empty(); }
    int sysexSent = 0;
};

class RecordingListener : public k1EditorListener {
public:
    explicit RecordingListener(k1lib::Plugin& engine) : plugin(engine) {}
    void changeParameter(k1lib::EParam param, float value) override {
        changes.emplace_back(param, value);
        plugin.setParameter(param, value);
    }
    void beginParameterGesture(k1lib::EParam param) override { gestures.emplace_back('b', param); }
    void endParameterGesture(k1lib::EParam param) override { gestures.emplace_back('e', param); }
    void onSizeChanged() override { ++sizeChanges; }

    k1lib::Plugin& plugin;
    std::vector<std::pair<k1lib::EParam, float>> changes;
    std::vector<std::pair<char, k1lib::EParam>> gestures; // 'b' begin, 'e' end
    int sizeChanges = 0;
};

inline float normalised(k1lib::EParam p, float plain) {
    return (plain - k1lib::g_params[p].min) * k1lib::g_params[p].rangeInv;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        plugin.setSampleRate(48000.f);
        open(K1Editor::getDefaultRect());
    }
    void TearDown() override { close(); }
    void open(const VSTGUI::CRect& size, VSTGUI::xml::IContentProvider* description = nullptr) {
        close();
        editor =
            std::make_unique<K1Editor>(plugin, nullptr, nullptr, &listener, size,
                                       VSTGUI::PlatformType::kDefaultNative, nullptr, nullptr, description);
        plugin.setEditor(editor.get());
    }
    void close() {
        plugin.setEditor(nullptr);
        editor.reset();
    }
    // Sets a value as the host or the engine would, lets it reach the patch and the editor show it.
    void setFromHost(k1lib::EParam p, float plain) {
        plugin.setParameter(p, normalised(p, plain));
        settle();
    }
    // A fifth of a second of audio: parameter changes (ramped over a tenth of a second) reach the patch
    // records; then the editor applies its events.
    void settle() {
        std::vector<float> left(4800), right(4800);
        float* outputs[] = {left.data(), right.data()};
        plugin.process(outputs, 2, 4800);
        plugin.process(outputs, 2, 4800);
        editor->idle();
    }

    VSTGUI::CFrame* frame() const { return editor->getFrame(); }
    template <class T = VSTGUI::CView> T* view(const std::string& name, size_t index = 0) const {
        return dynamic_cast<T*>(editor->getViewsByName().at(name).at(index));
    }
    // The centre of a view, in window pixels.
    static VSTGUI::CPoint centre(VSTGUI::CView* v) {
        VSTGUI::CPoint p = v->getViewSize().getCenter();
        return v->localToFrame(p);
    }
    void click(VSTGUI::CView* v, int32_t buttons = VSTGUI::kLButton) {
        zykgui::test::click(frame(), centre(v), buttons);
    }
    static std::string renderPath(const std::string& file) {
        return std::string(ZYK_EDITOR_RENDER_DIR) + "/" + file;
    }

    LogCapture log;
    zykgui::test::ScriptedDialogs dialogs;
    PluginListener pluginListener;
    k1lib::Plugin plugin{&pluginListener, k1lib::PluginType_Vst3};
    RecordingListener listener{plugin};
    std::unique_ptr<K1Editor> editor;
};
