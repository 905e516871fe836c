// zyk_strip_notes: copies a Standard MIDI File without the note messages of its first seconds,
// so that controllers move while nothing sounds (all of them when the time is past the end).
// For holding the engine's cost without notes against silence, and for render comparisons.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "k1lib/records/SmfWriter.h"

namespace {

using k1lib::smf::Bytes;

struct Reader {
    const Bytes& bytes;
    size_t at;
    size_t end;
    bool failed = false;

    unsigned byte() {
        if (at >= end) {
            failed = true;
            return 0;
        }
        return bytes[at++];
    }
    uint32_t variableLength() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const unsigned b = byte();
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) return value;
        }
        failed = true;
        return value;
    }
    Bytes take(uint32_t count) {
        if (count > end - at) {
            failed = true;
            return {};
        }
        Bytes out(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + count));
        at += count;
        return out;
    }
};

uint32_t bigEndian(const Bytes& b, size_t at, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | b[at + static_cast<size_t>(i)];
    return value;
}

// One track body without the notes before cutSeconds; false on a damaged track.
bool stripTrack(Reader in, uint16_t division, double cutSeconds, Bytes& out) {
    k1lib::smf::Track track;
    double seconds = 0.0, secondsPerTick = 0.5 / division; // 120 beats per minute until a tempo says
    uint32_t carried = 0;
    unsigned running = 0;
    while (in.at < in.end && !in.failed) {
        const uint32_t ticks = in.variableLength();
        seconds += ticks * secondsPerTick;
        const uint32_t delta = ticks + carried; // the time of the notes left out before it
        carried = 0;
        unsigned status = in.byte();
        if (status == 0xFF) {
            const unsigned type = in.byte();
            const Bytes data = in.take(in.variableLength());
            if (type == 0x51 && data.size() == 3) secondsPerTick = bigEndian(data, 0, 3) / 1e6 / division;
            if (type == 0x2F) {
                track.end(delta);
                break;
            }
            track.meta(static_cast<unsigned char>(type), data, delta);
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            track.sysex(static_cast<unsigned char>(status), in.take(in.variableLength()), delta);
            continue;
        }
        Bytes message;
        if (status < 0x80) { // running status: this byte is the first data byte
            message = {static_cast<unsigned char>(running), static_cast<unsigned char>(status)};
            status = running;
        } else {
            running = status;
            message = {static_cast<unsigned char>(status), static_cast<unsigned char>(in.byte())};
        }
        const unsigned kind = status >> 4;
        if (kind != 0xC && kind != 0xD) message.push_back(static_cast<unsigned char>(in.byte()));
        if ((kind == 0x8 || kind == 0x9) && seconds < cutSeconds)
            carried = delta;
        else
            track.raw(message, delta);
    }
    out = track.body;
    return !in.failed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: zyk_strip_notes IN.mid SECONDS OUT.mid\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 14 || bigEndian(bytes, 0, 4) != 0x4D546864u) { // "MThd"
        std::fprintf(stderr, "zyk_strip_notes: %s is no MIDI file\n", argv[1]);
        return 1;
    }
    const auto format = static_cast<uint16_t>(bigEndian(bytes, 8, 2));
    const auto division = static_cast<uint16_t>(bigEndian(bytes, 12, 2));
    if (division == 0 || (division & 0x8000) != 0) {
        std::fprintf(stderr, "zyk_strip_notes: only tempo-based timing is read\n");
        return 1;
    }
    std::vector<Bytes> tracks;
    for (size_t at = 8 + bigEndian(bytes, 4, 4); at + 8 <= bytes.size();) {
        const size_t length = bigEndian(bytes, at + 4, 4);
        if (length > bytes.size() - at - 8) {
            std::fprintf(stderr, "zyk_strip_notes: a chunk in %s runs past its end\n", argv[1]);
            return 1;
        }
        if (bigEndian(bytes, at, 4) == 0x4D54726Bu) { // "MTrk"
            tracks.emplace_back();
            if (!stripTrack(Reader{bytes, at + 8, at + 8 + length}, division, std::atof(argv[2]),
                            tracks.back())) {
                std::fprintf(stderr, "zyk_strip_notes: a damaged track in %s\n", argv[1]);
                return 1;
            }
        }
        at += 8 + length;
    }
    const Bytes out = k1lib::smf::makeFile(format, division, tracks);
    std::ofstream result(argv[3], std::ios::binary);
    result.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return result ? 0 : 1;
}
