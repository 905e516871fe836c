#include "tools/render/Performance.h"

#include <algorithm>

#include "k1lib/base/FileBytes.h"
#include "k1lib/records/SmfReader.h"

namespace {

using k1lib::shortMessage;

void note(std::vector<TimedEvent>& out, double rate, double start, double length, int channel, int key,
          int velocity) {
    const uint8_t ch = static_cast<uint8_t>(channel & 15);
    out.push_back({static_cast<int64_t>(start * rate),
                   shortMessage(static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(key),
                                static_cast<uint8_t>(velocity))});
    out.push_back({static_cast<int64_t>((start + length) * rate),
                   shortMessage(static_cast<uint8_t>(0x80 | ch), static_cast<uint8_t>(key), 64)});
}

} // namespace

bool loadMidiFile(const std::string& path, double hostRate, std::vector<TimedEvent>& out) {
    std::vector<unsigned char> bytes;
    if (k1lib::readFileBytes(path, bytes) != k1lib::FileBytesResult::Ok) return false;
    return loadMidiBytes(bytes, hostRate, out);
}

bool loadMidiBytes(const std::vector<unsigned char>& bytes, double hostRate, std::vector<TimedEvent>& out) {
    k1lib::SmfFile smf;
    const bool ok = k1lib::readSmf(bytes, smf);
    if (smf.division == 0 || (smf.division & 0x8000)) return false; // SMPTE time is not supported here
    std::vector<k1lib::SmfEvent> events = std::move(smf.events);
    std::stable_sort(events.begin(), events.end(),
                     [](const k1lib::SmfEvent& a, const k1lib::SmfEvent& b) { return a.tick < b.tick; });
    double seconds = 0, secondsPerTick = 0.5 / smf.division;
    uint64_t lastTick = 0;
    for (k1lib::SmfEvent& e : events) {
        seconds += static_cast<double>(e.tick - lastTick) * secondsPerTick;
        lastTick = e.tick;
        if (e.tempo) {
            secondsPerTick = e.tempo / 1e6 / smf.division;
            continue;
        }
        TimedEvent timed;
        timed.sample = static_cast<int64_t>(seconds * hostRate);
        timed.event = shortMessage(e.status, e.data1, e.data2);
        timed.event.sysex = std::move(e.sysex);
        out.push_back(std::move(timed));
    }
    return ok;
}

std::vector<TimedEvent> testPattern(double rate, double seconds, int channels) {
    std::vector<TimedEvent> out;
    const int chord[] = {0, 4, 7, 11};
    for (int bar = 0; bar * 2.0 < seconds - 1.0; ++bar) {
        const double start = bar * 2.0;
        const int root = 36 + (bar * 5) % 36;
        for (int channel = 0; channel < channels; ++channel) {
            for (int k = 0; k < 4; ++k)
                note(out, rate, start, 1.6, channel, root + 12 + chord[k], 70 + 12 * k);
            for (int step = 0; step < 8; ++step)
                note(out, rate, start + step * 0.2, 0.15, channel,
                     root + 24 + chord[step % 4] + 12 * (step / 4), 100);
        }
        // A bend up and back, and the modulation wheel, on the first channel.
        for (int step = 0; step <= 16; ++step) {
            const int bend = 8192 + static_cast<int>(4096 * (step <= 8 ? step : 16 - step) / 8.0);
            out.push_back(
                {static_cast<int64_t>((start + 1.0 + step * 0.05) * rate),
                 shortMessage(0xE0, static_cast<uint8_t>(bend & 0x7F), static_cast<uint8_t>(bend >> 7))});
        }
        out.push_back({static_cast<int64_t>((start + 0.5) * rate), shortMessage(0xB0, 1, bar % 2 ? 100 : 0)});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.sample < b.sample; });
    return out;
}
