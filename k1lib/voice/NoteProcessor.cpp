#include "k1lib/voice/NoteProcessor.h"

#include <algorithm>
#include <utility>

namespace k1lib {

NoteProcessor::NoteProcessor(NoteOnCallback onNoteOn, NoteOffCallback onNoteOff)
    : m_onNoteOn(std::move(onNoteOn)), m_onNoteOff(std::move(onNoteOff)) {}

int NoteProcessor::removeFromStack(uint8_t note) {
    for (int i = 0; i < m_stackSize; ++i) {
        if (m_stack[i].note != note) continue;
        const int velocity = m_stack[i].velocity;
        std::copy(m_stack.begin() + i + 1, m_stack.begin() + m_stackSize, m_stack.begin() + i);
        --m_stackSize;
        return velocity;
    }
    return -1;
}

void NoteProcessor::noteOn(uint8_t note, uint8_t velocity) {
    if (note >= kKeyCount) return;
    velocity = std::min<uint8_t>(velocity, 127);
    ++m_pressCount[note];
    removeFromStack(note);
    m_stack[m_stackSize++] = {note, velocity};
    if (m_onNoteOn) m_onNoteOn(note, velocity);
}

void NoteProcessor::noteOff(uint8_t note, uint8_t releaseVelocity) {
    if (note >= kKeyCount) return;
    releaseVelocity = std::min<uint8_t>(releaseVelocity, 127);
    if (m_pressCount[note] > 0) --m_pressCount[note];
    if (m_holdPedal) {
        ++m_heldCount[note];
        return;
    }
    if (m_heldCount[note] > 0) --m_heldCount[note];
    const int velocity = removeFromStack(note);
    if (!m_onNoteOff) return;
    if (velocity > 0 && m_stackSize > 0)
        m_onNoteOff(note, releaseVelocity, m_stack[m_stackSize - 1].note,
                    static_cast<unsigned char>(velocity));
    else
        m_onNoteOff(note, releaseVelocity, 0, 0);
}

void NoteProcessor::setHoldPedal(bool down) {
    m_holdPedal = down;
    if (down) return;
    for (int key = 0; key < kKeyCount; ++key)
        while (m_heldCount[key] > 0)
            noteOff(static_cast<uint8_t>(key), 127);
}

void NoteProcessor::allNotesOff() {
    m_holdPedal = false;
    // Keys the pedal holds are released as well: the pedal is up from here on and nothing else
    // would ever release them.
    for (int key = 0; key < kKeyCount; ++key)
        while (m_pressCount[key] > 0 || m_heldCount[key] > 0)
            noteOff(static_cast<uint8_t>(key), 64);
    m_holdPedal = false;
    m_stackSize = 0;
    m_pressCount = {};
    m_heldCount = {};
}

} // namespace k1lib
