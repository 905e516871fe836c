#include "k1lib/records/SmfReader.h"

#include <cstring>

#include "log/Log.h"

namespace k1lib {
namespace {

// A bounded reader over one chunk: every read checks against the chunk's end.
class ChunkReader {
public:
    ChunkReader(const unsigned char* begin, const unsigned char* end) : cursor(begin), limit(end) {}

    size_t left() const { return static_cast<size_t>(limit - cursor); }

    bool byte(unsigned char& out) {
        if (cursor >= limit) return false;
        out = *cursor++;
        return true;
    }

    // A variable-length quantity of at most four bytes, most significant group first.
    bool varLen(uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned char b;
            if (!byte(b)) return false;
            out = (out << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }

    // Copies up to n bytes; false when the chunk ended first.
    bool append(std::vector<uint8_t>& out, uint32_t n) {
        const size_t take = n < left() ? n : left();
        out.insert(out.end(), cursor, cursor + take);
        cursor += take;
        return take == n;
    }

    const unsigned char* take(uint32_t n) {
        if (n > left()) return nullptr;
        const unsigned char* start = cursor;
        cursor += n;
        return start;
    }

private:
    const unsigned char* cursor;
    const unsigned char* limit;
};

uint32_t bigEndian32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// Data bytes that follow a status byte of a channel or system-common message.
int dataBytesOf(unsigned char status) {
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0xF0:
        return status == 0xF2 ? 2 : (status == 0xF1 || status == 0xF3) ? 1 : 0;
    default:
        return 2;
    }
}

bool failedQuantity() {
    log("readFile", 48, "Failed to read variable length variable");
    return false;
}

bool readTrack(ChunkReader track, uint32_t trackIndex, std::vector<SmfEvent>& events) {
    unsigned char runningStatus = 0;
    SmfEvent* openSysex = nullptr; // an F0h packet without its F7h yet: F7h packets continue it
    uint64_t tick = 0;
    for (;;) {
        uint32_t delta;
        unsigned char status;
        if (!track.varLen(delta) || !track.byte(status)) return failedQuantity();
        tick += delta;
        SmfEvent event;
        event.track = trackIndex;
        event.tick = tick;
        if (status == 0xFF) {
            unsigned char type;
            uint32_t length;
            if (!track.byte(type) || !track.varLen(length)) return failedQuantity();
            if (type == 0x2F) return true; // end of track
            const unsigned char* data = track.take(length);
            if (!data) {
                log("readFile", 76, "Meta event longer than its track");
                return false;
            }
            if (type == 0x51 && length == 3) {
                event.tempo =
                    static_cast<uint32_t>(data[0]) << 16 | static_cast<uint32_t>(data[1]) << 8 | data[2];
                events.push_back(std::move(event));
                openSysex = nullptr;
            }
            runningStatus = 0;
        } else if (status == 0xF0 || status == 0xF7) {
            runningStatus = 0;
            std::vector<uint8_t>* target = nullptr;
            // The F0h goes out before its length is read: a file cut inside the length still
            // shows a dump cut off.
            if (status == 0xF0) {
                event.sysex.push_back(0xF0);
                events.push_back(std::move(event));
                openSysex = &events.back();
                target = &openSysex->sysex;
            } else if (openSysex) {
                target = &openSysex->sysex;
            }
            uint32_t length;
            if (!track.varLen(length)) return failedQuantity();
            if (!target) { // an escape packet outside a dump: not ours
                if (!track.take(length)) {
                    log("readFile", 91, "System exclusive event longer than its track");
                    return false;
                }
                continue;
            }
            const size_t before = target->size();
            if (!track.append(*target, length)) {
                log("readFile", 91, "System exclusive event longer than its track");
                return false;
            }
            if (target->size() > before && target->back() == 0xF7) openSysex = nullptr;
        } else {
            // A channel or system-common message; a data byte first means running status.
            unsigned char data[2] = {0, 0};
            int dataBytes;
            int filled = 0;
            if (status & 0x80) {
                runningStatus = status < 0xF0 ? status : 0;
                dataBytes = dataBytesOf(status);
            } else if (runningStatus != 0) {
                data[filled++] = status;
                status = runningStatus;
                dataBytes = dataBytesOf(status);
            } else {
                log("readFile", 104, "Data byte without a status in track");
                return false;
            }
            for (; filled < dataBytes; ++filled) {
                if (!track.byte(data[filled])) {
                    log("readFile", 108, "Track ended inside an event");
                    return false;
                }
            }
            if (status < 0xF0) {
                event.status = status;
                event.data1 = data[0];
                event.data2 = data[1];
                events.push_back(std::move(event));
                openSysex = nullptr;
            }
        }
    }
}

} // namespace

bool readSmf(const std::vector<unsigned char>& file, SmfFile& out) {
    const unsigned char* pos = file.data();
    const unsigned char* const end = file.data() + file.size();
    if (file.size() < 4 || std::memcmp(pos, "MThd", 4) != 0) return false;
    bool ok = true;
    uint32_t trackIndex = 0;
    bool header = true;
    while (static_cast<size_t>(end - pos) >= 8) {
        const bool isTrack = std::memcmp(pos, "MTrk", 4) == 0;
        const uint32_t length = bigEndian32(pos + 4);
        pos += 8;
        const size_t available = static_cast<size_t>(end - pos);
        const size_t body = length < available ? length : available;
        if (header && body >= 6) {
            out.format = static_cast<uint16_t>(pos[0] << 8 | pos[1]);
            out.trackCount = static_cast<uint16_t>(pos[2] << 8 | pos[3]);
            out.division = static_cast<uint16_t>(pos[4] << 8 | pos[5]);
        }
        header = false;
        if (isTrack && !readTrack(ChunkReader(pos, pos + body), trackIndex++, out.events)) ok = false;
        pos += body;
    }
    return ok;
}

} // namespace k1lib
