#pragma once
// The K1's fixed numbers, each written once: how many of a thing the instrument has, and the
// codes its Single and Multi records use for the fields that are choices.
#include <cstdint>

namespace k1lib {

constexpr int kMidiChannelCount = 16;
constexpr int kSourceCount = 4;         // sources of a Single
constexpr int kSectionCount = 8;        // sections of a Multi
constexpr int kOutputCount = 8;         // audio output channels at most
constexpr int kSinglesPerBank = 64;     // I 0-31 and i 32-63 internal, E and e on a card
constexpr int kSinglesPerLocation = 32; // one of I, i, E, e
constexpr int kMultisPerBank = 32;
constexpr int kWaveCount = 256;
constexpr int kFirstSampledWave = 204; // waves below are single-cycle
constexpr int kNameLength = 10;        // characters of a Single or Multi name
constexpr int kRecordsPerDump = 32;    // Singles or Multis in one block dump message
constexpr int kHighestVolume = 99;     // a Single's or Multi's volume runs 0-99

// The engine generates every sample at this rate, whatever the host's; the envelope, LFO and
// parameter-ramp timings are counted in its samples.
constexpr float kProcessingSamplerate = 49920.0f;

// A Single's polyphony.
enum PolyMode : uint32_t { Poly1 = 0, Poly2 = 1, Solo = 2 };
// A Multi section's polyphony: 2-9 reserve one to eight voices.
enum SectionPoly : uint32_t { PolyVariable = 0, PolyOff = 1 };
enum SectionOutput : uint32_t { OutputRight = 0, OutputBoth = 1, OutputLeft = 2 };
// What plays a Multi section: the keyboard, MIDI in, or both.
enum SectionMode : uint32_t { ModeKeys = 0, ModeMidi = 1, ModeBoth = 2 };
enum VelocitySwitch : uint32_t { VelocityAll = 0, VelocitySoft = 1, VelocityLoud = 2 };
constexpr int kLoudVelocity = 64; // Soft sections play below it, Loud ones from it on

} // namespace k1lib
