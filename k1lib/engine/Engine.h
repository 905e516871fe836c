#pragma once
// The sound engine: the editable Single and Multi banks, the current presets, the play mode and
// settings, the controller state of the sixteen MIDI channels, the parameter smoother and the
// multitimbral voice manager. Every change is reported to one IEngineListener.
// The engine takes no lock: its owner serialises all calls.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "k1lib/base/Random.h"
#include "k1lib/base/StaticArray.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/engine/AudioRenderer.h"
#include "k1lib/engine/Resampler.h"
#include "k1lib/params/ParameterManager.h"
#include "k1lib/params/Parameters.h"
#include "k1lib/records/MultiPreset.h"
#include "k1lib/records/SMidiEvent.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/records/StorageInfo.h"
#include "k1lib/records/Sysex.h"
#include "k1lib/voice/MidiState.h"
#include "k1lib/voice/VoiceContext.h"
#include "k1lib/voice/Waveforms.h"

namespace k1lib {

class EngineMultiHost;
class IEngineListener;
class Multi;

// Which preset plays; also the plain value of Param_Mode.
enum PlayMode : uint32_t { PlayMode_Single = 0, PlayMode_Multi = 1 };

// The kind of host binding, stored for the facade; the engine gives it no meaning.
enum PluginType : uint32_t { PluginType_Vst3 = 2 };

// Thread contract: none of its own. Its owner (the Plugin facade, or a tool or test on one thread)
// serialises every call, the audio thread's process included; listener callbacks run inside the
// call that caused them.
class Engine : public AudioRenderer {
public:
    using StorageInfo = k1lib::StorageInfo;
    static constexpr uint32_t kChannelCount = kMidiChannelCount;

    // The settings; stored as 13 u32 in this order by the state record.
    struct Config {
        uint32_t midiReceiveChannel = 0;       // 0-15, the basic channel when omni is off
        uint32_t omni = 1;                     // receive on every channel
        uint32_t midiReceiveProgramChange = 1; // 0 off, 1 Norm, 2 Sect
        uint32_t midiReceivePressure = 1;
        uint32_t midiReceivePitchBend = 1;
        uint32_t midiReceiveModWheel = 1;
        uint32_t midiReceiveVolume = 1;
        uint32_t midiReceiveHoldPedal = 1;
        uint32_t midiReceiveVelocity = 1; // off: every note plays at 127
        uint32_t midiReceiveSysEx = 1;
        uint32_t midiReceivePan = 1;
        uint32_t midiSendSysex = 1;   // parameter edits go out as K1 parameter changes
        uint32_t audioOutputMode = 0; // 0 Stereo, 1 8 Channels

        bool operator==(const Config& other) const = default;
    };

    // The listener must outlive the engine.
    Engine(IEngineListener* listener, PluginType pluginType);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Presets. Indexes are positions in the editable banks; a bad index gives false and no effect.
    [[nodiscard]] bool setSingle(uint64_t index);
    [[nodiscard]] bool setSingle(uint64_t index, const SinglePreset& preset);
    [[nodiscard]] bool setSingles(uint64_t offset, const std::vector<SinglePreset>& singles);
    void setCurrentSingleName(const std::string& name);
    bool isSingleModified(uint64_t index) const;
    bool restoreFactorySingle(uint64_t index);
    [[nodiscard]] bool setMulti(uint64_t index);
    [[nodiscard]] bool setMulti(uint64_t index, const MultiPreset& preset);
    [[nodiscard]] bool setMultis(uint64_t offset, const std::vector<MultiPreset>& multis);
    void setCurrentMultiName(const std::string& name);
    bool isMultiModified(uint64_t index) const;
    bool restoreFactoryMulti(uint64_t index);
    // Exchanges two whole sources (0-3) of the current Single.
    [[nodiscard]] bool swapSources(uint64_t a, uint64_t b);
    void clearAllVoices();
    // Starts over as a fresh engine plays: no voices, no pending events, parameter ramps at their
    // targets, nothing left inside the resampler, modulation and the random generator from their
    // seed. The presets, settings and controller states stay. Not for the audio thread.
    void reset();
    void setConfig(const Config& config);

    // The factory set and the K1 numbering; usable without an engine.
    static uint64_t singleCount();
    static uint64_t multiCount();
    static const SinglePreset& getFactorySingle(uint64_t index);
    static const MultiPreset& getFactoryMulti(uint64_t index);
    static std::string getFactoryPresetName(uint64_t index, PlayMode mode);
    static const std::vector<StorageInfo>& getStorageInfos(PlayMode mode);
    static const StorageInfo* getStorageInfoFromPresetIndex(uint64_t index, PlayMode mode);
    static uint64_t getSinglesOffsetForMulti(uint64_t multiIndex);
    // "IA-1" .. "iD-8", "EA-1" for cards, "P001" for the PHm bank, "?B-1" outside every bank.
    static std::string getPresetNumberAsName(uint64_t index, PlayMode mode);
    static std::string getSingleNumberAsName(uint64_t index);
    static std::string getMultiNumberAsName(uint64_t index);

    // Logs the sound-relevant fields of a Single.
    void dumpSingle(const SinglePreset& single) const;

    // Parameters (0-208). Single fields are accepted in Single mode only, Multi fields in Multi
    // mode only; the values reach the presets through processParameterChange.
    [[nodiscard]] bool setParameter(EParam param, float normalizedValue, bool ramp);
    // setParameter with ramp, then the listener hears the value whatever the result.
    void modifyParameter(EParam param, float normalizedValue);
    float getParameter(EParam param) const;
    void setPlayMode(PlayMode mode);
    // Applies the smoother's current real value of a changed parameter (audio thread).
    void processParameterChange(EParam param, float value);

    // MIDI input (audio thread).
    void processMidiEvent(const SMidiEvent& event);
    void processMidiSysex(const std::vector<unsigned char>& bytes);

    // K1 system exclusive out, through the listener's sendMidi.
    [[nodiscard]] bool sendSingle(uint64_t index, uint8_t program);
    [[nodiscard]] bool sendMulti(uint64_t index, uint8_t program);
    bool sendParameterAsSysex(EParam param, float normalizedValue);

    // Read access for the facade and for sound generation.
    PluginType getPluginType() const { return m_pluginType; }
    PlayMode getPlayMode() const { return m_playMode; }
    const Config& getConfig() const { return m_config; }
    uint8_t getBasicChannel() const {
        return m_config.omni != 0 ? 0 : static_cast<uint8_t>(m_config.midiReceiveChannel & 0x0F);
    }
    uint64_t getCurrentSingleIndex() const { return m_currentSingle; }
    uint64_t getCurrentMultiIndex() const { return m_currentMulti; }
    const std::vector<SinglePreset>& getSingles() const { return m_singles; }
    const std::vector<MultiPreset>& getMultis() const { return m_multis; }
    const SinglePreset& getCurrentSingle() const { return m_singles[m_currentSingle]; }
    const MultiPreset& getCurrentMulti() const { return m_multis[m_currentMulti]; }
    uint32_t getPitchBendRange() const { return m_pitchBendRange; }
    float getFineTune() const { return m_voiceContext.fineTune; }
    const StaticArray<MidiState, kChannelCount>& getMidiStates() const { return m_channelStates; }
    // Voices keep a pointer to it; the engine keeps its fine tune and source gains current.
    const VoiceContext& getVoiceContext() const { return m_voiceContext; }
    Random& getRandom() { return m_random; }
    Multi& getMulti() { return *m_multi; }
    const ParameterManager& getParameterManager() const { return m_parameterManager; }
    // The rate voices, envelopes and LFOs run at: always the K1's own, whatever the host runs at.
    static constexpr float kProcessingSamplerate = k1lib::kProcessingSamplerate;
    float getProcessingSamplerate() const { return kProcessingSamplerate; }

    // Rendering (audio thread). The host rate makes a new resampler; process renders one host
    // block, handling events (sorted by offset) at their sample, and answers true when it took the
    // idle path (every channel exact zeros) or the block was the silent first one of a new or reset
    // engine; processAudio renders at the processing rate.
    void setSamplerate(float rate);
    bool process(float** outputs, int channels, int samples, std::vector<SMidiEvent>& events);
    void processAudio(float** outputs, int channels, int samples,
                      const std::vector<SMidiEvent>& events) override;
    bool isQuiet() const override;
    // No voice plays or fades, the first block is done, and no event may start one: only
    // controllers (but the hold pedal and the channel-mode messages), pressure and pitch bend.
    bool rendersSilence(const std::vector<SMidiEvent>& events) const override;

    // The whole state as the host stores it; a refused record changes nothing.
    [[nodiscard]] bool saveState(std::vector<unsigned char>& out);
    [[nodiscard]] bool loadState(const std::vector<unsigned char>& in);

private:
    // Whether offset .. offset + count - 1 lies inside a bank of bankSize presets (count > 0).
    static bool fitsInBank(uint64_t offset, uint64_t count, uint64_t bankSize);
    // Rounds halves away from zero; NaN and huge values end at the ends of int's safe range.
    static int nearestInteger(float value);

    // After an edit of the current preset: silence it and show its fields in the parameters.
    void refreshCurrentSingle();
    void refreshCurrentMulti();
    // Sets the parameters first .. end - 1 from the current record's fields.
    void pushSingleParameters(EParam first = Param_Name01, EParam end = Param_SourceMix12);
    void pushMultiParameters(EParam first = Param_MultiName01, EParam end = Param_Mode);
    void switchPlayMode(PlayMode mode);
    // Hands the playing Multi (the current one, or the Single-mode Multi) to the voice manager
    // again, so its channel-to-section map follows the settings.
    void remapSections();
    void processController(uint8_t channel, uint8_t statusChannel, bool own, uint8_t controller,
                           uint8_t value);
    void processDataEntry(uint8_t value);
    void processProgramChange(uint8_t channel, bool own, uint8_t program);
    void applySysexParameterChanges(const std::vector<Sysex::ParameterChange>& changes);
    // Stores the current Single with the sources first and first + 1 exchanged when the
    // amplitude modulation of that pair entered or left value 2; true when it stored one.
    bool swapSourcesOnModulationCross(uint32_t oldValue, uint32_t newValue, uint32_t first);
    void replySingle(uint8_t channel, uint64_t number);
    void replyMulti(uint8_t channel, uint64_t number);
    void replyAllSingles(uint8_t channel, uint64_t first);
    void replyAllMultis(uint8_t channel, uint64_t first);
    void sendWriteResult(uint8_t channel, unsigned char function);
    void sendSysex(std::vector<unsigned char>& bytes);
    // Rendering in runs. stepParameters: the manager's step for a run's first frame, applied.
    // stepParametersInRun: while parameters move, the steps of the later frames of a run of at
    // most limit frames, one per frame as sample by sample, keeping each frame's source-mix
    // gains in m_runGains. The run ends before a frame whose changes would do more than move
    // those gains; pending then says that frame's step is taken and waits to be applied.
    // Returns the run's length. Without voices (keepGains false) nothing hears the gains of each
    // frame: they are not kept, and the steady steps of a run are taken at once.
    void stepParameters();
    void applyParameterChanges();
    template <bool keepGains> int stepParametersInRun(int limit, bool& pending);
    // Steady source-mix ramps over frames frames from frame from: their steps, and each frame's
    // gains into m_runGains as processParameterChange would set them.
    void stepSourceMixGains(int from, int frames);
    bool parameterChangesFitRun() const;
    // With no voice, the Multi renders nothing but its sections' modulation, whose LFOs run on:
    // moved on by frames as a render would, into a scratch run.
    void advanceSections(int frames);

    IEngineListener* m_listener;
    PluginType m_pluginType;
    std::vector<SinglePreset> m_singles;
    std::vector<MultiPreset> m_multis;
    Waveforms m_waveforms;
    uint64_t m_currentSingle = 0;
    uint64_t m_currentMulti = 0;
    StaticArray<MidiState, kChannelCount> m_channelStates;
    PlayMode m_playMode = PlayMode_Single;
    Random m_random;
    // Carries the fine tune and the four source-mix gains ([0] S1 .. [3] S4).
    VoiceContext m_voiceContext;
    std::unique_ptr<EngineMultiHost> m_multiHost; // outlives the Multi that reads through it
    std::unique_ptr<Multi> m_multi;
    uint32_t m_pitchBendRange = 12;
    uint8_t m_rpnLsb = 127;
    uint8_t m_rpnMsb = 127;
    uint8_t m_bankSelectLsb = 255; // 255: none received
    uint8_t m_bankSelectMsb = 255;
    float m_hostSamplerate = 0.0f;
    // A new engine has its presets' parameters still to apply, so its first block is rendered,
    // not skipped as quiet, and its resampler converts from the first host sample on. A reset
    // sets this again so that a reset engine starts the same way.
    bool m_firstBlockPending = true;
    std::unique_ptr<Resampler> m_resampler;
    ParameterManager m_parameterManager;
    Config m_config;
    static constexpr int kMaxRampRun = 256;
    float m_runGains[kSourceCount][kMaxRampRun] = {};
    static constexpr int kSectionRun = kMaxRampRun; // as long as the Multi's longest run
    float m_sectionScratch[kSectionRun] = {};
};

} // namespace k1lib
