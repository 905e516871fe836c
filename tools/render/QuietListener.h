#pragma once
// An engine listener that ignores every notification, for tools and benchmarks.
#include "IEngineListener.h"

class QuietListener : public k1lib::IEngineListener {
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
