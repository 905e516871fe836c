#pragma once
// A listener that records every engine notification as text, and helpers shared by the engine tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "tests/support/SineSingle.h"

namespace enginetest {

class RecordingListener : public k1lib::IEngineListener {
public:
    std::vector<std::string> calls;
    std::vector<std::vector<unsigned char>> sent; // the bytes of every sendMidi, in order

    void onActiveSingleChanged(size_t index) override { record("activeSingleChanged", index); }
    void onSingleModified(size_t index) override { record("singleModified", index); }
    void onSinglesModified(size_t first, size_t count) override {
        calls.push_back("singlesModified " + std::to_string(first) + " " + std::to_string(count));
    }
    void onActiveSingleModified(size_t index) override { record("activeSingleModified", index); }
    void onActiveMultiChanged(size_t index) override { record("activeMultiChanged", index); }
    void onMultiModified(size_t index) override { record("multiModified", index); }
    void onMultisModified(size_t first, size_t count) override {
        calls.push_back("multisModified " + std::to_string(first) + " " + std::to_string(count));
    }
    void onActiveMultiModified(size_t index) override { record("activeMultiModified", index); }
    void onParameterChanged(k1lib::EParam param, float value) override {
        calls.push_back("parameterChanged " + std::to_string(param) + " " + std::to_string(value));
    }
    void sendMidi(const k1lib::SMidiEvent& event) override {
        calls.push_back("sendMidi");
        sent.push_back(event.sysex);
    }
    void serializeCustomData(std::vector<unsigned char>&) override { calls.push_back("serializeCustomData"); }
    void deserializeCustomData(const std::vector<unsigned char>&) override {
        calls.push_back("deserializeCustomData");
    }
    void onPlayModeChanged() override { calls.push_back("playModeChanged"); }
    void onConfigChanged() override { calls.push_back("configChanged"); }

    void clear() {
        calls.clear();
        sent.clear();
    }

private:
    void record(const char* what, size_t index) {
        calls.push_back(std::string(what) + " " + std::to_string(index));
    }
};

using Calls = std::vector<std::string>;

using testsupport::sineSingle;

class EngineFixture : public ::testing::Test {
protected:
    RecordingListener listener;
    std::unique_ptr<k1lib::Engine> engineObject =
        std::make_unique<k1lib::Engine>(&listener, k1lib::PluginType_Vst3);
    k1lib::Engine& engine = *engineObject;

    // A Single that differs from the one stored at index in its volume.
    k1lib::SinglePreset changedSingle(uint64_t index) const {
        k1lib::SinglePreset single = engine.getSingles()[index];
        single.volume = static_cast<uint8_t>(single.volume == 10 ? 11 : 10);
        return single;
    }
    k1lib::MultiPreset changedMulti(uint64_t index) const {
        k1lib::MultiPreset multi = engine.getMultis()[index];
        multi.volume = multi.volume == 10 ? 11 : 10;
        return multi;
    }
    void switchToMulti() {
        engine.setPlayMode(k1lib::PlayMode_Multi);
        listener.clear();
    }
};

} // namespace enginetest
