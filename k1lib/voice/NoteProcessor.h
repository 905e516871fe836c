#pragma once
// Turns one MIDI channel's notes, hold pedal and all-notes-off into note-on and note-off
// callbacks. It keeps the held keys in press order, so a note-off can name the key pressed
// before (Solo sections return to it), and defers note-offs while the hold pedal is down.
#include "k1lib/base/StaticArray.h"

#include <cstdint>
#include <functional>

namespace k1lib {

class NoteProcessor {
public:
    static constexpr int kKeyCount = 128;

    using NoteOnCallback = std::function<void(unsigned char note, unsigned char velocity)>;
    // previousNote is the key now newest in the stack and velocity that of the released key;
    // both are 0 when no other key is held.
    using NoteOffCallback = std::function<void(unsigned char note, unsigned char releaseVelocity,
                                               unsigned char previousNote, unsigned char velocity)>;

    NoteProcessor(NoteOnCallback onNoteOn, NoteOffCallback onNoteOff);

    // Notes outside 0-127 are ignored; velocities above 127 count as 127.
    void noteOn(uint8_t note, uint8_t velocity);
    void noteOff(uint8_t note, uint8_t releaseVelocity);
    void setHoldPedal(bool down);
    // Releases every pressed key with release velocity 64, then forgets everything.
    void allNotesOff();

    uint32_t getPressCount(uint8_t note) const { return note < kKeyCount ? m_pressCount[note] : 0; }
    uint32_t getHeldCount(uint8_t note) const { return note < kKeyCount ? m_heldCount[note] : 0; }
    int getStackSize() const { return m_stackSize; }
    bool isHoldPedalDown() const { return m_holdPedal; }

private:
    struct Key {
        uint8_t note;
        uint8_t velocity;
    };

    // Removes the key from the stack; its velocity, or -1 when it was not there.
    int removeFromStack(uint8_t note);

    StaticArray<uint32_t, kKeyCount> m_pressCount;
    StaticArray<uint32_t, kKeyCount> m_heldCount;
    // Oldest press first; each key at most once, so 128 entries always suffice.
    StaticArray<Key, kKeyCount> m_stack;
    int m_stackSize = 0;
    NoteOnCallback m_onNoteOn;
    NoteOffCallback m_onNoteOff;
    bool m_holdPedal = false;
};

} // namespace k1lib
