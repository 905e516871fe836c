// Untrusted system exclusive through the engine: whatever the bytes, the engine reads inside its
// input and its banks and keeps its banks and current presets valid.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "log/Log.h"

namespace {

// Every message the engine sends must be one whole sysex message.
class SilentListener : public k1lib::IEngineListener {
public:
    void sendMidi(const k1lib::SMidiEvent& event) override {
        if (event.sysex.size() < 7 || event.sysex.front() != 0xF0 || event.sysex.back() != 0xF7) std::abort();
    }
};

void discard(const std::string&) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const k1lib::LogSink previousSink = k1lib::setLogSink(&discard);
    static SilentListener listener;
    static k1lib::Engine engine(&listener, k1lib::PluginType_Vst3);
    (void)previousSink;
    if (size == 0) return 0;
    // The first byte picks the channel filter: omni, or one receive channel.
    k1lib::Engine::Config config = engine.getConfig();
    config.omni = data[0] >> 7;
    config.midiReceiveChannel = data[0] & 0x0F;
    engine.setConfig(config);
    k1lib::SMidiEvent event;
    event.sysex.assign(data + 1, data + size);
    engine.processMidiEvent(event);

    if (engine.getSingles().size() != k1lib::Engine::singleCount() ||
        engine.getMultis().size() != k1lib::Engine::multiCount() ||
        engine.getCurrentSingleIndex() >= engine.getSingles().size() ||
        engine.getCurrentMultiIndex() >= engine.getMultis().size())
        std::abort();
    return 0;
}
