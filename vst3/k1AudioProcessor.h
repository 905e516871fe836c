#pragma once
// The VST3 component: audio processor and edit controller in one object. It owns the engine
// facade and adapts it to the host: buses, the 225 host parameters (209 K1 parameters, MIDI
// controllers, one program change), the MIDI controller mapping, the root unit with the program
// list over all Singles then all Multis, and the audio block. The facade's notifications come
// back through IPluginListener on whatever thread is inside the engine; what the host must hear
// is queued here and handed over at the end of the next block, or on the user-interface thread.
//
// Threads: the user-interface thread is the one that calls initialize. Work deferred to it
// (program names, "values changed") runs from the host's run loop where its context offers one,
// from an open editor's run loop through runPendingCalls, and otherwise from the host's own
// later calls on that thread (getParamNormalized, setParamNormalized, getState, setState) -
// never from the audio thread, and never from the calls hosts make while they build their
// tables (parameter infos, program names) or while they set up processing.
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "k1lib/constants/K1Constants.h"
#include "k1lib/facade/Plugin.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "vst3/DelayedCalls.h"
#include "vst3/SingleComponentEffect.h"

class k1EditController;

class k1AudioProcessor : public k1SingleComponentEffect,
                         public k1lib::IPluginListener,
                         public Steinberg::Vst::IMidiMapping {
public:
    using ParamID = Steinberg::Vst::ParamID;
    using ParamValue = Steinberg::Vst::ParamValue;

    // Host parameter IDs after the 209 K1 parameters: 209 reserved, 210-223 the MIDI
    // controllers, 224 the program.
    static constexpr ParamID kReservedParam = k1lib::kParamCount;
    static constexpr ParamID kFirstMidiParam = kReservedParam + 1;
    static constexpr ParamID kMidiParamCount = 14;
    static constexpr ParamID kLastMidiParam = kFirstMidiParam + kMidiParamCount - 1;
    static constexpr ParamID kProgramParam = kLastMidiParam + 1;
    static constexpr Steinberg::int32 kParamCount = kProgramParam + 1;
    static constexpr Steinberg::Vst::ProgramListID kProgramListId = kProgramParam;
    // The deferred "tell the host every value changed": a refresh list of one entry.
    static constexpr uint32_t kHostValuesRefresh = 0xFFFFFFFFu;
    static constexpr size_t kMaxOutputChannels = k1lib::kOutputCount;
    // Hosts that take no output events would let engine sysex pile up without end.
    static constexpr size_t kMaxQueuedSysex = 1024;

    static Steinberg::FUnknown* createInstance(void* context);
    // Singles then Multis of the factory set: the entries of the program list.
    static uint32_t totalPresetCount();

    k1AudioProcessor();
    ~k1AudioProcessor() override;

    // Set-up
    tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
    tresult PLUGIN_API terminate() override;
    tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
    tresult PLUGIN_API setProcessing(TBool state) override;
    tresult PLUGIN_API setActive(TBool state) override;
    tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
    tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
    tresult PLUGIN_API getState(Steinberg::IBStream* state) override;
    // The resampler's constant delay at the rate of the last set-up, in host samples.
    uint32 PLUGIN_API getLatencySamples() override { return latencySamples; }

    // Edit controller
    int32 PLUGIN_API getParameterCount() override { return kParamCount; }
    tresult PLUGIN_API getParameterInfo(int32 index, Steinberg::Vst::ParameterInfo& info) override;
    tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue value,
                                             Steinberg::Vst::String128 text) override;
    ParamValue PLUGIN_API normalizedParamToPlain(ParamID id, ParamValue value) override;
    ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plain) override;
    ParamValue PLUGIN_API getParamNormalized(ParamID id) override;
    tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) override;
    Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;
    // A host with a handler re-reads the values it is told have changed: until it has, they stay
    // out of the output parameter changes (see reportParameters).
    tresult PLUGIN_API setComponentHandler(Steinberg::Vst::IComponentHandler* handler) override;
    // The current name, read through the facade: never stale, even before a refresh has run.
    tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, int32 programIndex,
                                      Steinberg::Vst::String128 name) override;

    // IMidiMapping
    tresult PLUGIN_API getMidiControllerAssignment(int32 busIndex, Steinberg::int16 channel,
                                                   Steinberg::Vst::CtrlNumber controller,
                                                   ParamID& id) override;

    // Audio block
    tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;

    // IPluginListener: called inside the facade's engine lock, on any thread.
    void onActiveSingleChanged(size_t index) override;
    void onSingleModified(size_t index) override;
    void onActiveSingleModified(size_t index) override;
    void onSinglesModified(size_t first, size_t count) override;
    void onActiveMultiChanged(size_t index) override;
    void onMultiModified(size_t index) override;
    void onActiveMultiModified(size_t index) override;
    void onMultisModified(size_t first, size_t count) override;
    void sendMidi(const k1lib::SMidiEvent& event) override;
    void onParameterChanged(k1lib::EParam param, float normalizedValue) override;
    void serializeCustomData(std::vector<unsigned char>&) override {}
    void deserializeCustomData(const std::vector<unsigned char>&) override {}
    void onPlayModeChanged() override;
    void onConfigChanged() override {}

    // User-interface thread: brings the host's program names of entries first .. first + count - 1
    // in line with the banks, telling the host of each entry that changed.
    void updateProgramNames(uint32_t first, uint32_t count);
    // User-interface thread: runs the work deferred from other threads (program-name refreshes,
    // telling the host of new parameter values) now. An open editor's run loop calls this on
    // each tick; the host's own calls on its user-interface thread run it too.
    void runPendingCalls();
    k1lib::Plugin& getPlugin() { return plugin; }
    // User-interface thread: the host holds this value now (its own edit, or one of the editor's
    // that it will send back in a later block).
    void onValueToldToHost(k1lib::EParam param, float value);
    // User-interface thread: the editor tells the host of the program now playing as the user's
    // edit; the value of parameter 224 it tells. No output change echoes it.
    double onProgramToldToHost();
    // The default the host is told for a parameter: a new instance's value.
    float declaredDefault(k1lib::EParam param) const { return freshValues[param]; }
    // The view's destructor: forget it, so a new view can be created.
    void onViewRemoved(k1EditController* removed);

    OBJ_METHODS(k1AudioProcessor, k1SingleComponentEffect)
    tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    REFCOUNT_METHODS(k1SingleComponentEffect)

private:
    void buildUnitAndProgramList();
    void delayProgramNameRefresh(size_t first, size_t count);
    // Values changed outside the host's own edits (state, program change, initialisation): the
    // host re-reads them all. Marked from any thread; told on the user-interface thread.
    void delayHostValuesRefresh();
    // Announces "values changed" only when a value the host can see differs from what it was
    // last told, then lets the held output changes go.
    void tellHostValuesChanged();
    // True when a value the host sees differs from what it was last told; remembers the new ones.
    bool takeValuesUnknownToHost();
    // Called first by the host calls that may come on the user-interface thread.
    void onHostCall();
    // The program list position of the current Single or Multi, as the value of parameter 224.
    double programValue();
    // The list entry a value of parameter 224 selects, as the host shows it: number and name.
    std::string programText(float value);
    void queueProgramValue();
    // The host's first picture of the parameters is their declared defaults: every value that
    // differs (after a state loaded before initialize) goes out with the first block.
    void queueValuesUnlikeDefaults();
    // The K1 parameter a host parameter ID stands for, checked and converted once where the ID
    // comes in; none for the IDs after the K1's.
    static std::optional<k1lib::EParam> k1ParamOf(ParamID id);
    // The name of entry `position` of the program list; empty outside the banks.
    std::string presetName(uint32_t position);

    // process, step by step
    void takeHostEvents(Steinberg::Vst::IEventList& events);
    void takeParameterChanges(Steinberg::Vst::IParameterChanges& changes);
    // True when the queue was a program change.
    bool takeParameterChange(Steinberg::Vst::IParamValueQueue& queue);
    // False when the value is the one the instrument holds.
    bool takeHostEdit(k1lib::EParam param, float value);
    void takeMidiParameter(ParamID id, Steinberg::Vst::IParamValueQueue& queue);
    void selectProgram(ParamValue value);
    void render(Steinberg::Vst::ProcessData& data);
    void reportParameters(Steinberg::Vst::IParameterChanges& changes);
    void reportSysex(Steinberg::Vst::IEventList& events);

    // Declared before the facade: the engine may report while it is being built or destroyed.
    std::mutex outputParameterLock;
    std::array<float, k1lib::kParamCount> outputParameterValues{}; // guarded by outputParameterLock
    std::array<bool, k1lib::kParamCount> outputParameterPending{}; // ascending IDs go out first
    double outputProgramValue = 0.0;                               // guarded by outputParameterLock
    bool outputProgramPending = false;                             // after the K1 parameters
    // Ardour 7.3 files output changes silently and, on "values changed", updates only the values
    // that still differ from what it holds: an output change delivered before the re-read would
    // hide the new value from its controls. So each change the engine reports gets a number, and
    // goes out only once the host has re-read the values up to it. Guarded by outputParameterLock.
    std::array<uint64_t, k1lib::kParamCount> outputParameterChange{};
    uint64_t lastChange = 0;
    uint64_t lastChangeReRead = 0;
    // The value of each parameter and the program as the host was last told them (its declared
    // defaults at first); guarded by outputParameterLock.
    std::array<float, k1lib::kParamCount> hostValues{};
    double hostProgramValue = 0.0;
    std::atomic<bool> hostReReads{false};
    std::mutex midiOutputLock;
    std::deque<k1lib::SMidiEvent> midiOutputQueue; // guarded by midiOutputLock
    bool midiOutputOverflowLogged = false;         // guarded by midiOutputLock
    std::vector<k1lib::SMidiEvent> sentSysex;      // audio thread: bytes the host reads after process
    bool listening = false;                        // refreshes are deferred only while delayedCalls exists

    k1lib::Plugin plugin;
    // The values a new instance holds (its start-up preset's), declared as the defaults: hosts
    // that build their controls from the defaults start in agreement with the instrument, and
    // "reset to default" gives the sound of a fresh instance. Written once by the constructor.
    std::array<float, k1lib::kParamCount> freshValues{};
    k1EditController* view = nullptr; // borrowed: the host owns the one open view
    Steinberg::ViewRect lastViewSize; // the size of the last view, for the next one
    bool hasLastViewSize = false;
    // After the facade, so it goes first: no pending call can reach a destroyed facade.
    k1DelayedCalls delayedCalls;

    std::atomic<uint32_t> activeOutputBusMask{1}; // written at set-up, read by the audio thread
    std::atomic<uint32_t> latencySamples{0};      // written at set-up, read by any thread
    // Host edits (setParamNormalized) so far, and how many of them the last block carried.
    std::atomic<uint32_t> hostEdits{0};
    std::atomic<uint32_t> deliveredHostEdits{0};
    // The last value of each controller parameter (210-223) the host sent; their defaults at first.
    std::array<std::atomic<float>, kLastMidiParam - kFirstMidiParam + 1> controllerValues{};
    // Hosts send every parameter's stored value when they load a project (Ardour with the first
    // block after setState), and a replayed volume 0, program 0 or Omni Off must not change the
    // sound: from a state load or an activation up to the first block that renders, controller
    // values are taken as the instrument's own and played to no one. Set by the host's calls,
    // cleared by the audio thread.
    std::atomic<bool> replayExpected{true};
    std::vector<float> scratchChannel; // every output channel the host does not provide
    // Audio thread: the host's edits of the current block that changed a value.
    std::array<bool, k1lib::kParamCount> blockEdits{};
    std::array<float, k1lib::kParamCount> blockEditValues{};
};
