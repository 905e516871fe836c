#pragma once
// The host-independent front of the engine. Every call into the engine is serialised by one
// recursive lock; incoming MIDI is queued under a separate lock so the audio thread never waits
// for the engine to queue; the 209 normalised parameter values are cached for lock-free queries;
// the engine's notifications are passed on to the host binding and to the editor.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/facade/IPluginListener.h"
#include "k1lib/facade/PluginToEditorEvent.h"

namespace k1lib {

// Thread contract: any thread may call any method. Engine calls take engineLock (recursive, so
// the listener callbacks it raises may call back in); process, called by one thread at a time
// (the audio thread), takes it for one block. addMidiEvent takes only midiLock, which process
// holds just long enough to swap the queue.
// getParameter reads the atomic cache without a lock. The listener and the editor hear the
// engine's notifications inside engineLock, on whichever thread made the change.
class Plugin : public IEngineListener {
public:
    Plugin(IPluginListener* listener, PluginType type);
    virtual ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // Audio thread. True when the engine took its idle path: every channel holds exact zeros.
    bool process(float** outputs, size_t outputCount, size_t samples);
    void addMidiEvent(const SMidiEvent& event);
    bool setParameter(EParam param, float value);

    // Lock-free queries.
    float getParameter(EParam param) const;
    std::string getParameterLabel(EParam param) const;
    std::string getParameterDisplay(EParam param) const;
    std::string getParameterName(EParam param) const;

    // Settings and mode.
    void setSampleRate(float rate);
    // Silences every voice at once, so that the next render starts from a clean state.
    void clearAllVoices();
    // Drops queued MIDI input and starts the engine over (Engine::reset); not on the audio thread.
    void reset();
    PlayMode getPlayMode();
    void setPlayMode(PlayMode mode);
    Engine::Config getConfig();
    void setConfig(const Engine::Config& config);
    PluginType getPluginType();

    // Counts, records, factory comparison, editing, state.
    size_t getSingleCount();
    size_t getMultiCount();
    size_t getCurrentSingleIndex();
    size_t getCurrentMultiIndex();
    SinglePreset getCurrentSingle();
    MultiPreset getCurrentMulti();
    [[nodiscard]] bool getSingle(SinglePreset& out, size_t index);
    [[nodiscard]] bool getMulti(MultiPreset& out, size_t index);
    [[nodiscard]] bool setSingle(size_t index, const SinglePreset& single);
    [[nodiscard]] bool setMulti(size_t index, const MultiPreset& multi);
    [[nodiscard]] bool setSingles(size_t first, const std::vector<SinglePreset>& singles);
    [[nodiscard]] bool setMultis(size_t first, const std::vector<MultiPreset>& multis);
    void setCurrentSingleName(const std::string& name);
    void setCurrentMultiName(const std::string& name);
    bool isSingleModified(size_t index);
    bool isMultiModified(size_t index);
    bool restoreFactorySingle(size_t index);
    bool restoreFactoryMulti(size_t index);
    [[nodiscard]] bool swapSources(size_t a, size_t b);
    bool sendParameterChangeAsSysex(EParam param, float value);
    [[nodiscard]] bool getState(std::vector<unsigned char>& out);
    [[nodiscard]] bool setState(const std::vector<unsigned char>& in);

    // Records as K1 one-record dumps (copy and paste).
    [[nodiscard]] bool getSingle(std::vector<unsigned char>& out, size_t index);
    [[nodiscard]] bool getMulti(std::vector<unsigned char>& out, size_t index);
    [[nodiscard]] bool setSingle(const std::vector<unsigned char>& in, size_t index);
    [[nodiscard]] bool setMulti(const std::vector<unsigned char>& in, size_t index);
    [[nodiscard]] bool getCurrentSingle(std::vector<unsigned char>& out);
    [[nodiscard]] bool getCurrentMulti(std::vector<unsigned char>& out);
    [[nodiscard]] bool setCurrentSingle(const std::vector<unsigned char>& in);
    [[nodiscard]] bool setCurrentMulti(const std::vector<unsigned char>& in);

    // Presets of the playing kind: Singles in Single mode, Multis in Multi mode.
    std::string getPresetName(size_t index);
    bool isPresetModified(size_t index);
    size_t getCurrentPresetIndex();
    size_t getPresetCount();
    bool restoreFactoryPreset(size_t index);
    [[nodiscard]] bool setCurrentPresetIndex(size_t index);
    [[nodiscard]] bool sendPreset(size_t index, unsigned char storageTarget);
    [[nodiscard]] bool getPreset(std::vector<unsigned char>& out, size_t index);
    [[nodiscard]] bool setPreset(const std::vector<unsigned char>& in, size_t index);
    [[nodiscard]] bool getCurrentPreset(std::vector<unsigned char>& out);
    [[nodiscard]] bool setCurrentPreset(const std::vector<unsigned char>& in);

    // Case-insensitive substring search over the names; indices ascending.
    bool searchSingles(std::vector<size_t>& result, const std::string& text, size_t largest);
    bool searchMultis(std::vector<size_t>& result, const std::string& text, size_t largest);

    void setEditor(IEditor* editor);

    // IEngineListener: called inside the engine lock.
    void onActiveSingleChanged(size_t index) override;
    void onSingleModified(size_t index) override;
    void onSinglesModified(size_t first, size_t count) override;
    void onActiveSingleModified(size_t index) override;
    void onActiveMultiChanged(size_t index) override;
    void onMultiModified(size_t index) override;
    void onMultisModified(size_t first, size_t count) override;
    void onActiveMultiModified(size_t index) override;
    void onParameterChanged(EParam param, float value) override;
    void sendMidi(const SMidiEvent& event) override;
    void serializeCustomData(std::vector<unsigned char>& data) override;
    void deserializeCustomData(const std::vector<unsigned char>& data) override;
    void onPlayModeChanged() override;
    void onConfigChanged() override;

private:
    using Lock = std::lock_guard<std::recursive_mutex>;

    void updateParameterFromEngine(EParam param);
    void updateParametersFromEngine();
    void sendEditorEvent(uint32_t type, uint64_t index, uint64_t count);
    template <typename Record>
    bool search(std::vector<size_t>& result, const std::string& text, size_t largest,
                const std::vector<Record>& (Engine::*records)() const);

    Engine engine;
    std::recursive_mutex engineLock;
    std::vector<SMidiEvent> pendingMidiEvents;
    std::vector<SMidiEvent> processingMidiEvents;
    std::recursive_mutex midiLock;
    std::atomic<float> parameterCache[kParamCount];
    IPluginListener* listener;
    IEditor* editor = nullptr;
};

} // namespace k1lib
