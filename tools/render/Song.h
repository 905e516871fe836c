#pragma once
// The project's own benchmark music: a piano part and an organ part written as Standard MIDI
// Files, with notes in every envelope stage, the sustain pedal, pitch bend, the modulation wheel
// and the source mix (controller 16) moved every 10 ms, at most 16 keys sounding at once.
// Deterministic: the same arguments give the same bytes.
#include <string>
#include <vector>

enum class SongStyle { Piano, Organ };

// The style named "piano" or "organ"; false for any other name.
bool songStyleFromName(const std::string& name, SongStyle& style);

// A format 0 file on channel 1 lasting about seconds, ending with every key and the pedal up.
std::vector<unsigned char> makeSongMidiFile(SongStyle style, double seconds);
