// An editor over a real facade, in a frame that is never put on screen, with a listener that records
// what the editor asks of its host view.
#pragma once

#include "K1Editor.h"
#include "LogCapture.h"
#include "Plugin.h"
#include "ZykGuiTest.h"
#include "k1EditorListener.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class RecordingListener : public k1EditorListener {
public:
    void changeParameter(k1lib::EParam param, float value) override { changes.emplace_back(param, value); }
    void onSizeChanged() override { ++sizeChanges; }

    std::vector<std::pair<k1lib::EParam, float>> changes;
    int sizeChanges = 0;
};

class QuietPluginListener : public k1lib::IPluginListener {
public:
    void onActiveSingleChanged(size_t) override {}
    void onSingleModified(size_t) override {}
    void onSinglesModified(size_t, size_t) override {}
    void onActiveSingleModified(size_t) override {}
    void onActiveMultiChanged(size_t) override {}
    void onMultiModified(size_t) override {}
    void onMultisModified(size_t, size_t) override {}
    void onActiveMultiModified(size_t) override {}
    void onParameterChanged(k1lib::EParam, float) override {}
    void sendMidi(const k1lib::SMidiEvent&) override {}
    void serializeCustomData(std::vector<unsigned char>&) override {}
    void deserializeCustomData(const std::vector<unsigned char>&) override {}
    void onPlayModeChanged() override {}
    void onConfigChanged() override {}
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { open(K1Editor::getDefaultRect()); }
    void open(const VSTGUI::CRect& size) {
        editor.reset();
        editor = std::make_unique<K1Editor>(plugin, nullptr, nullptr, &listener, size);
    }

    VSTGUI::CFrame* frame() const { return editor->getFrame(); }
    template <class T = VSTGUI::CView> T* view(const std::string& name, size_t index = 0) const {
        const auto& views = editor->getViewsByName().at(name);
        return dynamic_cast<T*>(views.at(index));
    }

    LogCapture log;
    zykgui::test::ScriptedDialogs dialogs;
    QuietPluginListener pluginListener;
    k1lib::Plugin plugin{&pluginListener, k1lib::PluginType_Vst3};
    RecordingListener listener;
    std::unique_ptr<K1Editor> editor;
};
