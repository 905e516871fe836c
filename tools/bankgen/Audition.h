#pragma once
// Listens to a Single the way a player would: notes rendered through the engine's own voices and
// the embedded wave ROM, mixed as the Multi mixes a section in Single mode. The generator sets
// levels and picks the brighter source from what it hears here; the sound tests listen here too.
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

#include "k1lib/base/Random.h"
#include "k1lib/base/StaticArray.h"
#include "k1lib/records/SinglePreset.h"
#include "k1lib/voice/MidiState.h"
#include "k1lib/voice/VoiceContext.h"
#include "k1lib/voice/Waveforms.h"

namespace bankgen {

struct Heard {
    std::vector<float> samples;    // the mix from note-on
    std::vector<float> modulation; // the first note's pitch modulation in semitones, when asked for
    float tailSeconds = -1.0f;     // from note-off until every voice finished; -1: not within the tail
    size_t sounding = 0;           // samples from note-on before the run in which every voice finished
};

class Audition {
public:
    // Half the engine's rate: enough for levels, times and the spectrum up to 12 kHz, and quick.
    static constexpr float kRate = 24960.0f;

    Audition();

    // The mix of notes held together for held seconds at one velocity; transpose in semitones,
    // level the section level 0-100.
    std::vector<float> play(const k1lib::SinglePreset& single, std::initializer_list<int> notes, int velocity,
                            float held, int transpose = 0, int level = 100);
    // The same, then released and followed for up to tail seconds, with the first note's pitch
    // modulation kept when asked.
    Heard listen(const k1lib::SinglePreset& single, std::initializer_list<int> notes, int velocity,
                 float held, float tail, bool keepModulation = false, int transpose = 0, int level = 100);
    // The modulation wheel (0-1) for the notes that follow.
    void setWheel(float wheel) { m_midi[0].modWheel = wheel; }

private:
    std::unique_ptr<const k1lib::Waveforms> m_waveforms;
    StaticArray<k1lib::MidiState, 16> m_midi{};
    k1lib::Random m_random{7};
    k1lib::VoiceContext m_context;
};

// The frame that lies `seconds` into an audition.
inline size_t at(double seconds) {
    return static_cast<size_t>(seconds * Audition::kRate);
}

double peakOf(const std::vector<float>& samples);
// RMS of the loudest tenth of a second: a note's level whether it rings or only strikes.
double loudestRms(const std::vector<float>& samples);
// Power per frequency bin (Audition::kRate / 2048 Hz apart) over frames of 2048 samples (Hann
// window) from a point on, summed.
std::vector<double> powerSpectrum(const std::vector<float>& samples, size_t from, int frames = 1);
// Spectral centroid in Hz over frames of 2048 samples (Hann window) from a point on, their power
// spectra summed: higher is brighter. Several frames ride out the beating of detuned sources.
double brightness(const std::vector<float>& samples, size_t from, int frames = 1);

} // namespace bankgen
