#pragma once
// The multitimbral voice manager: maps the sixteen MIDI channels to the eight sections of the
// playing Multi, starts, limits and steals voices per section and renders runs of sample frames
// into stereo, per-source or per-section outputs. Voice storage is fixed, so nothing here
// allocates on the audio thread.
#include "k1lib/base/StaticArray.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/records/MultiPreset.h"
#include "k1lib/voice/IMultiHost.h"
#include "k1lib/voice/NoteProcessor.h"
#include "k1lib/voice/SectionState.h"
#include "k1lib/voice/VoiceList.h"

#include <cstdint>
#include <vector>

namespace k1lib {

// Declared with its fixed type, so the voice layer need not see the parameter table.
enum EParam : uint32_t;

class Multi {
public:
    static constexpr uint32_t kCurrentSingle = 255; // section single: the engine's current Single
    static constexpr uint32_t kBasicChannel = 255;  // section channel: the engine's basic channel
    // "VR" keeps 32 playing voices and adds one; voices cut by Solo or a limit fade out in about
    // 20 ms, and when more than this are fading the oldest of them ends early.
    static constexpr int kMaxPlayingVoices = 33;
    static constexpr int kMaxReleasingVoices = 64;

    struct SectionList {
        StaticArray<uint8_t, kSectionCount> sections; // ascending
        int count = 0;
    };

    explicit Multi(IMultiHost& host);
    Multi(const Multi&) = delete;
    Multi& operator=(const Multi&) = delete;

    void setMulti(const MultiPreset& preset);
    void updateMulti(const MultiPreset& preset, EParam changed);

    // MIDI for a channel's note processor; channels outside 0-15 are ignored.
    void noteOn(uint8_t channel, uint8_t note, uint8_t velocity);
    void noteOff(uint8_t channel, uint8_t note, uint8_t releaseVelocity);
    void setHoldPedal(uint8_t channel, bool down);
    void allNotesOff(uint8_t channel);
    // A program change in "Sect" mode: the channel's sections of the stored current Multi play it.
    void changeSingleForChannel(uint8_t channel, uint8_t program);

    // Erases every playing voice at once; voices already fading keep fading.
    void clearAllVoices();
    using SectionGains = StaticArray<float, kSectionCount>;
    // Each section's gain as the output hears it now: its Single's volume, its channel's volume
    // and the Multi volume.
    SectionGains getSectionGains() const;
    // After a change of program or mode: ends every playing voice over the few milliseconds of
    // the kill release, as Solo does, and keeps every voice sounding at the level it had under
    // the gains before the change, so the change leaves no step in the output.
    void fadeAllVoices(const SectionGains& before);
    // Erases the fading voices too, for when the presets they play are about to be overwritten.
    void clearReleasingVoices();
    // The sections' modulation as at construction, drawn again from the host's random generator.
    void resetModulation();
    // Playing and fading voices of all sections.
    int getActiveVoiceCount() const;

    // Adds frames sample frames to outputs[0 .. count - 1], then scales them by the Multi volume.
    // The caller handles every event and parameter change before or after the frames, never
    // between them, except for the source-mix gains: sourceGains, when given, holds each frame's
    // four gains (sourceGains[k][frame]) in place of the voice context's.
    void process(float* const* outputs, int count, int frames = 1, const float* const* sourceGains = nullptr);

    const MultiPreset& getSingleModeMulti() const { return m_singleModeMulti; }
    const MultiPreset& getPreset() const { return m_preset; }
    const SectionList& getChannelSections(uint8_t channel) const { return m_channelSections[channel & 0x0f]; }
    const SectionList& getActiveSections() const { return m_activeSections; }
    const SectionState& getSectionState(int section) const { return m_sectionStates[section & 7]; }
    int getPlayingVoiceCount(int section) const { return m_playing[section & 7].size(); }
    int getReleasingVoiceCount(int section) const { return m_releasing[section & 7].size(); }
    const Voice& getPlayingVoice(int section, int i) const { return m_playing[section & 7][i]; }
    const NoteProcessor& getNoteProcessor(uint8_t channel) const { return m_noteProcessors[channel & 0x0f]; }

private:
    enum class Routing { PerSource, Stereo, PerSection };

    void mapChannels();

    const SinglePreset* sectionSingle(int section) const;
    // The channel whose controllers a section follows, or -1 when it has none.
    int sectionChannel(int section) const;
    // A section's gain before the Multi volume: its Single's volume and its channel's volume.
    float sectionGain(const SinglePreset* single, int channel) const;
    float multiVolume() const;

    void onNoteOn(uint8_t channel, uint8_t note, uint8_t velocity);
    void onNoteOff(uint8_t channel, uint8_t note, uint8_t releaseVelocity, uint8_t previousNote,
                   uint8_t velocity);
    bool acceptsNote(const MultiSection& section, uint8_t note, uint8_t velocity) const;
    void startVoice(int section, const SinglePreset& single, uint8_t channel, uint8_t note, uint8_t velocity,
                    uint32_t clock);
    // Releases the section's oldest held voice of that note that the channel started.
    void releaseFirstKeyDown(int section, uint8_t channel, uint8_t note, uint8_t releaseVelocity);
    void killVoices(int section, int keep);

    Routing routing(int count) const;
    // At most PitchFrames::kMaxFrames frames, written from outputs[k][offset] on.
    void processRun(float* const* outputs, int count, int offset, int frames,
                    const float* const* sourceGains);
    void mixStereo(float* const* outputs, int count, int section, const float* values, int offset,
                   int frames) const;

    // What a run works in: tens of kilobytes, kept here rather than on the audio thread's stack.
    // Only processRun uses it, on the audio thread.
    struct RunScratch {
        PitchFrames modulation[kSectionCount];
        PitchFrames settled;
        float mix[kSourceCount][PitchFrames::kMaxFrames];
        float values[PitchFrames::kMaxFrames];
        Voice::Run voices[VoiceList<kMaxPlayingVoices>::kMaxGroup];
    };

    IMultiHost& m_host;
    RunScratch m_run;
    std::vector<NoteProcessor> m_noteProcessors;
    StaticArray<VoiceList<kMaxPlayingVoices>, kSectionCount> m_playing;
    StaticArray<VoiceList<kMaxReleasingVoices>, kSectionCount> m_releasing;
    StaticArray<SectionList, kMidiChannelCount> m_channelSections;
    SectionList m_activeSections;
    StaticArray<SectionState, kSectionCount> m_sectionStates;
    MultiPreset m_preset{};
    MultiPreset m_singleModeMulti{};
    uint64_t m_singlesOffset = 0;
};

} // namespace k1lib
