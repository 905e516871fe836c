#include "k1lib/voice/Multi.h"

#include "k1lib/base/FrameMath.h"
#include "k1lib/params/Curves.h"
#include "k1lib/params/Parameters.h"
#include "k1lib/voice/Lfo.h"
#include "k1lib/voice/VoiceContext.h"

#include <algorithm>

namespace k1lib {

namespace {

// The built-in Multi of Single mode: section 1 plays the current Single on the basic channel
// over the whole keyboard; the other sections are off.
MultiPreset makeSingleModeMulti() {
    MultiPreset multi{};
    multi.volume = kHighestVolume;
    MultiSection& first = multi.sections[0];
    first.single = Multi::kCurrentSingle;
    first.zoneHigh = 127;
    first.poly = PolyVariable;
    first.output = OutputBoth;
    first.mode = ModeBoth;
    first.channel = Multi::kBasicChannel;
    first.level = 100;
    for (int s = 1; s < kSectionCount; ++s)
        multi.sections[s].poly = PolyOff;
    return multi;
}

} // namespace

Multi::Multi(IMultiHost& host) : m_host(host) {
    m_noteProcessors.reserve(kMidiChannelCount);
    for (int ch = 0; ch < kMidiChannelCount; ++ch) {
        const auto channel = static_cast<uint8_t>(ch);
        m_noteProcessors.emplace_back(
            [this, channel](unsigned char note, unsigned char velocity) {
                onNoteOn(channel, note, velocity);
            },
            [this, channel](unsigned char note, unsigned char release, unsigned char previous,
                            unsigned char velocity) {
                onNoteOff(channel, note, release, previous, velocity);
            });
    }
    resetModulation();
    m_singleModeMulti = makeSingleModeMulti();
    setMulti(m_singleModeMulti);
}

void Multi::setMulti(const MultiPreset& preset) {
    m_preset = preset;
    mapChannels();
    m_singlesOffset = m_host.getSinglesOffset();
}

void Multi::updateMulti(const MultiPreset& preset, EParam changed) {
    if (changed >= Param_MultiName01 && changed <= Param_MultiVolume) {
        m_preset = preset;
        return;
    }
    // Voices of a section that changes channel would follow the wrong controllers.
    if (changed >= Param_MultiS1Channel && changed <= Param_MultiS8Channel)
        for (auto& playing : m_playing)
            playing.clear();
    setMulti(preset);
}

void Multi::mapChannels() {
    for (SectionList& list : m_channelSections)
        list.count = 0;
    m_activeSections.count = 0;
    for (int s = 0; s < kSectionCount; ++s) {
        const MultiSection& section = m_preset.sections[s];
        const int channel = sectionChannel(s);
        if (section.poly == PolyOff || section.level == 0 || channel < 0) continue;
        SectionList& list = m_channelSections[static_cast<std::size_t>(channel)];
        list.sections[static_cast<std::size_t>(list.count++)] = static_cast<uint8_t>(s);
        m_activeSections.sections[static_cast<std::size_t>(m_activeSections.count++)] =
            static_cast<uint8_t>(s);
    }
}

const SinglePreset* Multi::sectionSingle(int section) const {
    const uint32_t number = m_preset.sections[section].single;
    if (number == kCurrentSingle) return m_host.getCurrentSingle();
    // A Single beyond the Multi's bank, or beyond the list, plays nothing.
    const std::vector<SinglePreset>& singles = m_host.getSingles();
    const uint64_t index = m_singlesOffset + number;
    return number < kSinglesPerBank && index < singles.size() ? &singles[index] : nullptr;
}

int Multi::sectionChannel(int section) const {
    const uint32_t channel = m_preset.sections[section].channel;
    if (channel == kBasicChannel) return m_host.getBasicChannel() & 0x0f;
    return channel < kMidiChannelCount ? static_cast<int>(channel) : -1;
}

void Multi::noteOn(uint8_t channel, uint8_t note, uint8_t velocity) {
    if (channel < kMidiChannelCount) m_noteProcessors[channel].noteOn(note, velocity);
}

void Multi::noteOff(uint8_t channel, uint8_t note, uint8_t releaseVelocity) {
    if (channel < kMidiChannelCount) m_noteProcessors[channel].noteOff(note, releaseVelocity);
}

void Multi::setHoldPedal(uint8_t channel, bool down) {
    if (channel < kMidiChannelCount) m_noteProcessors[channel].setHoldPedal(down);
}

void Multi::allNotesOff(uint8_t channel) {
    if (channel < kMidiChannelCount) m_noteProcessors[channel].allNotesOff();
}

void Multi::changeSingleForChannel(uint8_t channel, uint8_t program) {
    const MultiPreset& stored = m_host.getCurrentMulti();
    for (int s = 0; s < kSectionCount; ++s) {
        const MultiSection& section = stored.sections[s];
        if (section.channel == channel && section.single != program)
            m_host.setSectionSingle(static_cast<uint32_t>(s), program);
    }
}

bool Multi::acceptsNote(const MultiSection& section, uint8_t note, uint8_t velocity) const {
    if (section.velocity == VelocitySoft && velocity >= kLoudVelocity) return false;
    if (section.velocity == VelocityLoud && velocity < kLoudVelocity) return false;
    // A wrapped zone (high below low) sounds from low up and below high; its high key is silent.
    if (section.zoneLow <= section.zoneHigh) return note >= section.zoneLow && note <= section.zoneHigh;
    return note >= section.zoneLow || note < section.zoneHigh;
}

void Multi::onNoteOn(uint8_t channel, uint8_t note, uint8_t velocity) {
    const SectionList& list = m_channelSections[channel];
    for (int i = 0; i < list.count; ++i) {
        const int s = list.sections[static_cast<std::size_t>(i)];
        const SinglePreset* single = sectionSingle(s);
        if (single == nullptr) continue;
        VoiceList<kMaxPlayingVoices>& playing = m_playing[static_cast<std::size_t>(s)];
        // Solo cuts the section's voices on every note of its channel, in its zone or not.
        if (single->polyMode == Solo) {
            killVoices(s, 0);
        } else if (single->polyMode == Poly1) {
            for (int v = 0; v < playing.size(); ++v) {
                if (playing[v].getNote() == note && playing[v].isKeyDown()) {
                    playing.erase(v);
                    break;
                }
            }
        }
        const MultiSection& section = m_preset.sections[s];
        if (!acceptsNote(section, note, velocity)) continue;
        // The new voice keeps the section's clock running: it inherits the oldest voice's clock,
        // taken before the voice limit moves that voice out.
        const uint32_t clock = playing.empty() ? 0 : playing[0].getClock();
        // Poly k (2-9) keeps k - 2 voices before adding one; "VR", and any larger value, 32.
        const uint32_t limit = section.poly == PolyVariable ? kMaxPlayingVoices - 1 : section.poly - 2;
        const int keep = static_cast<int>(std::min<uint32_t>(limit, kMaxPlayingVoices - 1));
        killVoices(s, keep);
        startVoice(s, *single, channel, note, velocity, clock);
    }
}

void Multi::onNoteOff(uint8_t channel, uint8_t note, uint8_t releaseVelocity, uint8_t previousNote,
                      uint8_t velocity) {
    // Every section is searched, not only those the channel maps to now: a change of basic
    // channel, Omni or section channel since the note-on must not leave its voice sounding.
    const SectionList& list = m_channelSections[channel];
    for (int s = 0, i = 0; s < kSectionCount; ++s) {
        const bool mapped = i < list.count && list.sections[static_cast<std::size_t>(i)] == s;
        i += mapped ? 1 : 0;
        const SinglePreset* single = mapped ? sectionSingle(s) : nullptr;
        // Solo returns to the key still held, with the velocity of the key just released.
        if (velocity != 0 && single != nullptr && single->polyMode == Solo) {
            killVoices(s, 0);
            startVoice(s, *single, channel, previousNote, velocity, 0);
        } else {
            releaseFirstKeyDown(s, channel, note, releaseVelocity);
        }
    }
}

void Multi::startVoice(int section, const SinglePreset& single, uint8_t channel, uint8_t note,
                       uint8_t velocity, uint32_t clock) {
    const MultiSection& s = m_preset.sections[section];
    m_playing[static_cast<std::size_t>(section)].pushBack(
        Voice(m_host.getVoiceContext(), single, note, velocity, channel, m_host.getProcessingSamplerate(),
              s.transpose, s.tune, static_cast<int>(s.level), clock));
}

void Multi::releaseFirstKeyDown(int section, uint8_t channel, uint8_t note, uint8_t releaseVelocity) {
    VoiceList<kMaxPlayingVoices>& playing = m_playing[static_cast<std::size_t>(section)];
    for (int v = 0; v < playing.size(); ++v) {
        if (playing[v].getNote() == note && playing[v].getChannel() == channel && playing[v].isKeyDown()) {
            playing[v].onNoteOff(releaseVelocity);
            return;
        }
    }
}

void Multi::killVoices(int section, int keep) {
    VoiceList<kMaxPlayingVoices>& playing = m_playing[static_cast<std::size_t>(section)];
    VoiceList<kMaxReleasingVoices>& releasing = m_releasing[static_cast<std::size_t>(section)];
    while (playing.size() > std::max(keep, 0)) {
        playing[0].onNoteOff(127, Voice::kKillRelease);
        if (releasing.full()) releasing.erase(0);
        releasing.pushBack(playing[0]);
        playing.erase(0);
    }
}

void Multi::clearAllVoices() {
    for (auto& playing : m_playing)
        playing.clear();
}

Multi::SectionGains Multi::getSectionGains() const {
    SectionGains gains;
    const float multi = multiVolume();
    for (int s = 0; s < kSectionCount; ++s)
        gains[static_cast<std::size_t>(s)] = sectionGain(sectionSingle(s), sectionChannel(s)) * multi;
    return gains;
}

float Multi::sectionGain(const SinglePreset* single, int channel) const {
    return volume(single != nullptr ? single->volume : kHighestVolume) *
           (channel >= 0 ? m_host.getMidiStates()[static_cast<std::size_t>(channel)].volume : 1.0f);
}

float Multi::multiVolume() const {
    return volume(static_cast<int>(std::min<uint32_t>(m_preset.volume, kHighestVolume)));
}

void Multi::fadeAllVoices(const SectionGains& before) {
    const SectionGains after = getSectionGains();
    for (int s = 0; s < kSectionCount; ++s) {
        const auto k = static_cast<std::size_t>(s);
        // A section silent before or after has no level to keep.
        if (before[k] > 0.0f && after[k] > 0.0f && before[k] != after[k]) {
            for (int v = 0; v < m_playing[k].size(); ++v)
                m_playing[k][v].scaleLevel(before[k] / after[k]);
            for (int v = 0; v < m_releasing[k].size(); ++v)
                m_releasing[k][v].scaleLevel(before[k] / after[k]);
        }
        killVoices(s, 0);
    }
}

void Multi::resetModulation() {
    for (SectionState& state : m_sectionStates)
        state = SectionState(m_host.getRandom());
}

void Multi::clearReleasingVoices() {
    for (auto& releasing : m_releasing)
        releasing.clear();
}

int Multi::getActiveVoiceCount() const {
    int count = 0;
    for (int s = 0; s < kSectionCount; ++s)
        count += m_playing[s].size() + m_releasing[s].size();
    return count;
}

Multi::Routing Multi::routing(int count) const {
    const uint32_t outputMode = m_host.getAudioOutputMode();
    if (count >= 4 && count != 2 && outputMode != 0 && m_host.isSingleMode()) return Routing::PerSource;
    if (count == 2 || outputMode == 0) return Routing::Stereo;
    return Routing::PerSection;
}

// Only outputs that exist are written: with one output, the right side has nowhere to go.
void Multi::mixStereo(float* const* outputs, int count, int section, const float* values, int offset,
                      int frames) const {
    const uint32_t output = m_preset.sections[section].output;
    const int channel = sectionChannel(section);
    const MidiState& state = m_host.getMidiStates()[static_cast<std::size_t>(std::max(channel, 0))];
    if (output == OutputLeft || output == OutputBoth)
        addGainFrames(outputs[0] + offset, values, state.panLeft, frames);
    if ((output == OutputRight || output == OutputBoth) && count > 1)
        addGainFrames(outputs[1] + offset, values, state.panRight, frames);
}

void Multi::process(float* const* outputs, int count, int frames, const float* const* sourceGains) {
    if (outputs == nullptr || count <= 0) return;
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, PitchFrames::kMaxFrames);
        processRun(outputs, count, done, n, sourceGains);
        done += n;
    }
}

void Multi::processRun(float* const* outputs, int count, int offset, int frames,
                       const float* const* sourceGains) {
    const Routing route = routing(count);
    const StaticArray<MidiState, kMidiChannelCount>& midi = m_host.getMidiStates();
    const float rate = m_host.getProcessingSamplerate();
    const auto bendRange = static_cast<float>(m_host.getPitchBendRange());

    Random& random = m_host.getRandom();
    const SinglePreset* singles[kSectionCount];
    int channels[kSectionCount];
    for (int s = 0; s < kSectionCount; ++s) {
        singles[s] = sectionSingle(s);
        channels[s] = sectionChannel(s);
    }

    // The sections' modulation moves every sample. Random LFOs draw from the shared generator:
    // with more than one of them the sections take turns sample by sample, so the draws come in
    // the same order whatever the length of the run.
    bool updated[kSectionCount] = {};
    int randomLfos = 0;
    for (int a = 0; a < m_activeSections.count; ++a) {
        const int s = m_activeSections.sections[static_cast<std::size_t>(a)];
        updated[s] = singles[s] != nullptr && channels[s] >= 0;
        randomLfos += updated[s] && singles[s]->lfoShape >= Lfo::RandomShape ? 1 : 0;
    }
    PitchFrames* const modulation = m_run.modulation;
    if (randomLfos <= 1) {
        for (int s = 0; s < kSectionCount; ++s) {
            if (updated[s])
                m_sectionStates[static_cast<std::size_t>(s)].render(
                    *singles[s], midi[static_cast<std::size_t>(channels[s])], bendRange, rate, random,
                    modulation[s], frames);
        }
    } else {
        for (int i = 0; i < frames; ++i) {
            for (int s = 0; s < kSectionCount; ++s) {
                SectionState& state = m_sectionStates[static_cast<std::size_t>(s)];
                if (updated[s])
                    state.update(*singles[s], midi[static_cast<std::size_t>(channels[s])], bendRange, rate,
                                 random);
                modulation[s].modulation[i] = state.vibrato;
                modulation[s].bend[i] = state.bend;
                modulation[s].pressurePitch[i] = state.pressurePitch;
            }
        }
    }
    for (int s = 0; s < kSectionCount; ++s) {
        // A section without a Single or a channel holds its modulation, for the voices it has.
        if (updated[s] || (m_playing[s].empty() && m_releasing[s].empty())) continue;
        const SectionState& state = m_sectionStates[static_cast<std::size_t>(s)];
        fillFrames(modulation[s].modulation, frames, state.vibrato);
        fillFrames(modulation[s].bend, frames, state.bend);
        fillFrames(modulation[s].pressurePitch, frames, state.pressurePitch);
    }

    for (int s = 0; s < kSectionCount; ++s) {
        auto& playing = m_playing[static_cast<std::size_t>(s)];
        auto& releasing = m_releasing[static_cast<std::size_t>(s)];
        if (playing.empty() && releasing.empty()) continue;
        auto& mix = m_run.mix;
        for (float* slot : mix)
            std::fill(slot, slot + frames, 0.0f);
        float* const slots[kSourceCount] = {mix[0], mix[1], mix[2], mix[3]};
        modulation[s].findMoves(frames);
        // What voices past their auto-bend hear, made once for all of them when it differs; the
        // voices of another Single (still fading) make their own.
        const PitchFrames* settled = nullptr;
        if (singles[s] != nullptr && singles[s]->autoBendTime != 0) {
            settled = &modulation[s];
            if (modulation[s].settleMoves(frames)) {
                m_run.settled.settle(modulation[s], frames);
                settled = &m_run.settled;
            }
        }
        const float* const* gains = nullptr;
        const float* runGains[kSourceCount];
        if (sourceGains != nullptr) {
            for (int k = 0; k < kSourceCount; ++k)
                runGains[k] = sourceGains[k] + offset;
            gains = runGains;
        }
        // A few voices at a time, their envelopes side by side in the lanes; mixed in order.
        const auto render = [&](Voice* const group[], int voices, bool finished[]) {
            Voice::Run* const runs = m_run.voices;
            Env::Lane* lanes[Env::kMaxLanes];
            int laneCount = 0;
            for (int k = 0; k < voices; ++k)
                laneCount += group[k]->beginRun(runs[k], modulation[s], settled, frames, lanes + laneCount);
            Env::renderLanes(lanes, laneCount, frames);
            for (int k = 0; k < voices; ++k)
                finished[k] = group[k]->finishRun(runs[k], slots, gains);
        };
        playing.processAndEraseInGroups(Env::kMaxLanes, render);
        releasing.processAndEraseInGroups(Env::kMaxLanes, render);

        const float gain = sectionGain(singles[s], channels[s]);
        if (route == Routing::PerSource) {
            for (int k = 0; k < kSourceCount; ++k)
                addGainFrames(outputs[k] + offset, mix[k], gain, frames);
            continue;
        }
        float* const values = m_run.values;
        sumFourFrames(values, slots, gain, frames);
        // A section whose own output does not exist joins the main pair.
        if (route == Routing::PerSection && s < count) {
            for (int i = 0; i < frames; ++i)
                outputs[s][offset + i] += values[i];
        } else {
            mixStereo(outputs, count, s, values, offset, frames);
        }
    }

    const float multi = multiVolume();
    for (int k = 0; k < count; ++k)
        scaleFrames(outputs[k] + offset, multi, frames);
}

} // namespace k1lib
