#pragma once
// A fixed-capacity list of voices, oldest first, held inline: adding, erasing and moving voices
// between lists never allocates on the audio thread.
#include "k1lib/voice/Voice.h"

#include <array>
#include <cstddef>
#include <optional>

namespace k1lib {

template <std::size_t Capacity> class VoiceList {
public:
    int size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    bool full() const { return m_count == static_cast<int>(Capacity); }

    Voice& operator[](int i) { return *m_voices[static_cast<std::size_t>(i)]; }
    const Voice& operator[](int i) const { return *m_voices[static_cast<std::size_t>(i)]; }

    // The caller makes room first; a full list keeps what it holds.
    void pushBack(const Voice& voice) {
        if (!full()) m_voices[static_cast<std::size_t>(m_count++)] = voice;
    }

    // Erases voice i and keeps the order of the others.
    void erase(int i) {
        for (int j = i; j + 1 < m_count; ++j)
            m_voices[static_cast<std::size_t>(j)] = m_voices[static_cast<std::size_t>(j + 1)];
        m_voices[static_cast<std::size_t>(--m_count)].reset();
    }

    void clear() {
        for (int i = 0; i < m_count; ++i)
            m_voices[static_cast<std::size_t>(i)].reset();
        m_count = 0;
    }

    // Calls process on every voice in order and erases those it reports finished, keeping the order.
    template <typename Process> void processAndErase(Process&& process) {
        int kept = 0;
        for (int i = 0; i < m_count; ++i) {
            if (process(*m_voices[static_cast<std::size_t>(i)])) continue;
            if (kept != i) m_voices[static_cast<std::size_t>(kept)] = m_voices[static_cast<std::size_t>(i)];
            ++kept;
        }
        for (int i = kept; i < m_count; ++i)
            m_voices[static_cast<std::size_t>(i)].reset();
        m_count = kept;
    }

private:
    std::array<std::optional<Voice>, Capacity> m_voices;
    int m_count = 0;
};

} // namespace k1lib
