#include "MidiToSysex.h"

#include <cstdint>
#include <string>

#include "FileBytes.h"
#include "Log.h"

namespace k1lib {
namespace {

// A bounded reader over one chunk: every read checks against the chunk's end.
class ChunkReader {
public:
    ChunkReader(const unsigned char* begin, const unsigned char* end) : pos_(begin), end_(end) {}

    bool atEnd() const { return pos_ >= end_; }
    size_t left() const { return static_cast<size_t>(end_ - pos_); }

    bool byte(unsigned char& out) {
        if (atEnd()) return false;
        out = *pos_++;
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

    // Copies up to n bytes to out; false when the chunk ended first.
    bool append(std::vector<unsigned char>& out, uint32_t n) {
        const size_t take = n < left() ? n : left();
        out.insert(out.end(), pos_, pos_ + take);
        pos_ += take;
        return take == n;
    }

    bool skip(uint32_t n) {
        if (n > left()) {
            pos_ = end_;
            return false;
        }
        pos_ += n;
        return true;
    }

private:
    const unsigned char* pos_;
    const unsigned char* end_;
};

uint32_t bigEndian32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
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

bool readTrack(std::vector<unsigned char>& out, ChunkReader track) {
    unsigned char runningStatus = 0;
    bool sysexOpen = false;  // an F0h packet without its F7h yet: F7h packets continue it
    for (;;) {
        uint32_t delta;
        if (!track.varLen(delta)) return failedQuantity();
        unsigned char status;
        if (!track.byte(status)) return failedQuantity();
        if (status == 0xFF) {
            unsigned char type;
            uint32_t length;
            if (!track.byte(type) || !track.varLen(length)) return failedQuantity();
            if (type == 0x2F) return true;  // end of track
            if (!track.skip(length)) {
                log("readFile", 76, "Meta event longer than its track");
                return false;
            }
            runningStatus = 0;
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t length;
            if (!track.varLen(length)) return failedQuantity();
            if (status == 0xF0) {
                out.push_back(0xF0);
                sysexOpen = true;
            }
            const size_t before = out.size();
            if (status == 0xF0 || sysexOpen) {
                if (!track.append(out, length)) {
                    log("readFile", 91, "System exclusive event longer than its track");
                    return false;
                }
                sysexOpen = out.size() == before || out.back() != 0xF7;
            } else if (!track.skip(length)) {  // an escape packet outside a dump: not ours
                log("readFile", 91, "System exclusive event longer than its track");
                return false;
            }
            runningStatus = 0;
        } else {
            // A channel or system-common message; a data byte first means running status.
            int dataBytes;
            if (status & 0x80) {
                runningStatus = status < 0xF0 ? status : 0;
                dataBytes = dataBytesOf(status);
            } else if (runningStatus != 0) {
                dataBytes = dataBytesOf(runningStatus) - 1;
            } else {
                log("readFile", 104, "Data byte without a status in track");
                return false;
            }
            if (!track.skip(static_cast<uint32_t>(dataBytes))) {
                log("readFile", 108, "Track ended inside an event");
                return false;
            }
        }
    }
}

}  // namespace

bool MidiToSysex::readFile(std::vector<unsigned char>& out, const char* path) {
    std::vector<unsigned char> file;
    switch (readFileBytes(path ? path : "", file)) {
    case FileBytesResult::Ok:
        return readBytes(out, file);
    case FileBytesResult::OpenFailed:
        log("readFile", 15, "Failed to open file ", path ? path : "");
        return false;
    case FileBytesResult::NotRegularFile:
        log("readFile", 18, "Not a regular file ", path);
        return false;
    case FileBytesResult::TooLarge:
        log("readFile", 20, "File too large ", path);
        return false;
    case FileBytesResult::ReadFailed:
        log("readFile", 22, "Failed to read file ", path);
        return false;
    }
    return false;
}

bool MidiToSysex::readBytes(std::vector<unsigned char>& out, const std::vector<unsigned char>& file) {
    const unsigned char* pos = file.data();
    const unsigned char* const end = file.data() + file.size();
    auto chunkId = [&](const char* id) { return std::string(reinterpret_cast<const char*>(pos), 4) == id; };
    if (file.size() < 4 || !chunkId("MThd")) return false;
    bool ok = true;
    while (static_cast<size_t>(end - pos) >= 8) {
        const bool isTrack = chunkId("MTrk");
        const uint32_t length = bigEndian32(pos + 4);
        pos += 8;
        const size_t available = static_cast<size_t>(end - pos);
        const size_t body = length < available ? length : available;
        if (isTrack && !readTrack(out, ChunkReader(pos, pos + body))) ok = false;
        pos += body;
    }
    return ok;
}

}  // namespace k1lib
