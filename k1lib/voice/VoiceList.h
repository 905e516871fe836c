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

    // Calls process on every voice in order, in groups of consecutive voices whose sources add up
    // to at most sources (a voice with more is a group of its own): process(group, count,
    // finished) renders the group's voices and sets finished[k] for each voice it finished. The
    // finished voices are erased, the others keep their order.
    static constexpr int kMaxGroup = 4;
    template <typename Process> void processAndEraseInGroups(int sources, Process&& process) {
        int kept = 0;
        for (int first = 0; first < m_count;) {
            Voice* group[kMaxGroup];
            bool finished[kMaxGroup] = {};
            int count = 0;
            for (int used = 0; first + count < m_count && count < kMaxGroup; ++count) {
                used += (*this)[first + count].getSourceCount();
                if (count > 0 && used > sources) break;
                group[count] = &(*this)[first + count];
            }
            process(group, count, finished);
            for (int k = 0; k < count; ++k) {
                if (finished[k]) continue;
                if (kept != first + k)
                    m_voices[static_cast<std::size_t>(kept)] = m_voices[static_cast<std::size_t>(first + k)];
                ++kept;
            }
            first += count;
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
