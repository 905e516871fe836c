#include "tools/render/Song.h"

#include "k1lib/records/SmfWriter.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr uint32_t kTempo = 500000;                // microseconds per quarter: 120 beats per minute
constexpr int kTicksPerBar = 4 * kTicksPerQuarter; // two seconds
constexpr int kAutomationTicks = 10;               // about 10 ms: once per host block
constexpr int kMaxKeys = 16;

struct Event {
    uint64_t tick;
    uint32_t order; // keeps equal ticks in the order written
    std::vector<unsigned char> bytes;
};

// A small linear congruential generator: the song must not depend on the library's random engines.
class SongRandom {
public:
    int below(int n) {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>((m_state >> 33) % static_cast<uint64_t>(n));
    }

private:
    uint64_t m_state = 0x5a796b;
};

class Writer {
public:
    void message(uint64_t tick, unsigned char status, unsigned char data1, unsigned char data2) {
        m_events.push_back({tick, m_order++, {status, data1, data2}});
    }
    void controller(uint64_t tick, int number, int value) {
        message(tick, 0xB0, static_cast<unsigned char>(number),
                static_cast<unsigned char>(std::clamp(value, 0, 127)));
    }
    void bend(uint64_t tick, int value) {
        const int v = std::clamp(value, 0, 16383);
        message(tick, 0xE0, static_cast<unsigned char>(v & 0x7F), static_cast<unsigned char>(v >> 7));
    }
    // A key pressed for length ticks, unless kMaxKeys are already down then.
    void note(uint64_t tick, uint64_t length, int key, int velocity) {
        const uint64_t end = tick + std::max<uint64_t>(length, 1);
        std::erase_if(m_down, [tick](uint64_t up) { return up <= tick; });
        if (static_cast<int>(m_down.size()) >= kMaxKeys) return;
        m_down.push_back(end);
        message(tick, 0x90, static_cast<unsigned char>(std::clamp(key, 0, 127)),
                static_cast<unsigned char>(std::clamp(velocity, 1, 127)));
        message(end, 0x80, static_cast<unsigned char>(std::clamp(key, 0, 127)), 64);
    }
    std::vector<unsigned char> file(uint64_t endTick);

private:
    std::vector<Event> m_events;
    std::vector<uint64_t> m_down; // when each pressed key comes up
    uint32_t m_order = 0;
};

std::vector<unsigned char> Writer::file(uint64_t endTick) {
    std::stable_sort(m_events.begin(), m_events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    k1lib::smf::Track track;
    track.meta(0x51, {static_cast<unsigned char>(kTempo >> 16), static_cast<unsigned char>(kTempo >> 8),
                      static_cast<unsigned char>(kTempo)});
    uint64_t last = 0;
    for (const Event& e : m_events) {
        track.raw(e.bytes, static_cast<uint32_t>(e.tick - last));
        last = e.tick;
    }
    track.end(static_cast<uint32_t>(endTick > last ? endTick - last : 0));
    return k1lib::smf::makeFile(0, kTicksPerQuarter, {track.body});
}

// Four chords (C, A minor, F, G), moved up a fourth every eight bars and back down after three moves.
int chordRoot(int bar) {
    static const int roots[] = {0, 9, 5, 7};
    return roots[bar % 4] + ((bar / 8) % 3) * 5;
}
const int* chordTones(int bar) {
    static const int major[] = {0, 4, 7, 12};
    static const int minor[] = {0, 3, 7, 12};
    return bar % 4 == 1 ? minor : major;
}

// Controllers every bar pattern shares: a bend every fourth bar, a wheel swell every eighth, and
// the source mix moving as a slow triangle through the whole song.
void expression(Writer& w, uint64_t endTick) {
    for (uint64_t bar = 0; bar * kTicksPerBar < endTick; ++bar) {
        const uint64_t start = bar * kTicksPerBar;
        if (bar % 4 == 2) {
            for (int step = 0; step <= 24; ++step) {
                const int rise = step <= 12 ? step : 24 - step;
                w.bend(start + kTicksPerQuarter + static_cast<uint64_t>(step) * 20, 8192 + rise * 170);
            }
        }
        if (bar % 8 == 5) {
            for (int step = 0; step <= 40; ++step)
                w.controller(start + static_cast<uint64_t>(step) * 48, 1,
                             (step <= 20 ? step : 40 - step) * 5);
        }
    }
    const uint64_t period = 16 * kTicksPerQuarter * 2; // 16 seconds
    for (uint64_t t = 0; t < endTick; t += kAutomationTicks) {
        const uint64_t phase = t % period;
        const uint64_t rise = phase < period / 2 ? phase : period - phase;
        w.controller(t, 16, static_cast<int>(rise * 127 * 2 / period));
    }
}

void piano(Writer& w, SongRandom& random, uint64_t endTick) {
    static const int scale[] = {0, 2, 4, 5, 7, 9, 11};
    int melody = 3; // scale degree above the octave of C5
    for (uint64_t bar = 0; (bar + 1) * kTicksPerBar <= endTick; ++bar) {
        const uint64_t start = bar * kTicksPerBar;
        const int root = 36 + chordRoot(static_cast<int>(bar));
        const int* tones = chordTones(static_cast<int>(bar));
        // The pedal goes down just after the bar's first bass note and up just before the next bar.
        w.controller(start + 30, 64, 127);
        w.controller(start + kTicksPerBar - 20, 64, 0);
        w.note(start, kTicksPerQuarter * 2, root, 90);
        for (int eighth = 0; eighth < 8; ++eighth)
            w.note(start + static_cast<uint64_t>(eighth) * 240, 200, root + 12 + tones[eighth % 4],
                   60 + random.below(30));
        // The right hand: quarters, eighths and an occasional held or staccato note.
        uint64_t t = start;
        while (t < start + kTicksPerBar) {
            const int kind = random.below(10);
            const uint64_t length = kind < 2 ? 960 : kind < 6 ? 480 : 240;
            const uint64_t held = kind == 9 ? 60 : length - 20; // staccato: straight into release
            melody = std::clamp(melody + random.below(5) - 2, 0, 13);
            const int key =
                72 + (melody / 7) * 12 + scale[melody % 7] + chordRoot(static_cast<int>(bar)) % 12 - 5;
            const int velocity = 70 + random.below(50);
            w.note(t, held, key, velocity);
            if (kind == 0) {
                w.note(t, held, key - 4, velocity - 10);
                w.note(t, held, key - 7, velocity - 15);
            }
            t += length;
        }
    }
}

void organ(Writer& w, SongRandom& random, uint64_t endTick) {
    static const int scale[] = {0, 2, 4, 5, 7, 9, 11};
    int melody = 5;
    for (uint64_t bar = 0; (bar + 1) * kTicksPerBar <= endTick; ++bar) {
        const uint64_t start = bar * kTicksPerBar;
        const int root = 48 + chordRoot(static_cast<int>(bar));
        const int* tones = chordTones(static_cast<int>(bar));
        // Held chords: the keys stay down through the bar, overlapping the next by a little.
        for (int k = 0; k < 4; ++k)
            w.note(start, kTicksPerBar - 10, root + tones[k], 100);
        w.note(start, kTicksPerQuarter * 2 - 10, root - 12, 110);
        w.note(start + kTicksPerQuarter * 2, kTicksPerQuarter * 2 - 10, root - 5, 110);
        if (bar % 4 == 3) {
            // The pedal holds the last bar of a phrase over the next downbeat.
            w.controller(start, 64, 127);
            w.controller(start + kTicksPerBar + 240, 64, 0);
        }
        if (bar % 8 == 7) {
            // A run of sixteenths: short notes in their attack and decay.
            for (int step = 0; step < 16; ++step)
                w.note(start + static_cast<uint64_t>(step) * 120, 100, 72 + scale[step % 7] + (step / 7) * 12,
                       100);
            continue;
        }
        uint64_t t = start;
        while (t < start + kTicksPerBar) {
            const uint64_t length = random.below(3) == 0 ? 960 : 480;
            melody = std::clamp(melody + random.below(5) - 2, 0, 13);
            w.note(t, length - 30, 72 + (melody / 7) * 12 + scale[melody % 7], 100);
            t += length;
        }
    }
}

} // namespace

bool songStyleFromName(const std::string& name, SongStyle& style) {
    if (name == "piano")
        style = SongStyle::Piano;
    else if (name == "organ")
        style = SongStyle::Organ;
    else
        return false;
    return true;
}

std::vector<unsigned char> makeSongMidiFile(SongStyle style, double seconds) {
    const double ticksPerSecond = kTicksPerQuarter * 1e6 / kTempo;
    const uint64_t endTick = static_cast<uint64_t>(std::clamp(seconds, 2.0, 3600.0) * ticksPerSecond);
    Writer w;
    SongRandom random;
    if (style == SongStyle::Piano)
        piano(w, random, endTick);
    else
        organ(w, random, endTick);
    expression(w, endTick);
    w.controller(endTick, 64, 0);
    w.bend(endTick, 8192);
    return w.file(endTick);
}
