#include "k1lib/records/SmfWriter.h"

namespace k1lib::smf {

namespace {

void append16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<unsigned char>(value >> 8));
    out.push_back(static_cast<unsigned char>(value));
}

} // namespace

void appendVariableLength(Bytes& out, uint32_t value) {
    unsigned char groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<unsigned char>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n > 1)
        out.push_back(static_cast<unsigned char>(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

void appendChunk(Bytes& file, const char* id, const Bytes& body, uint32_t declaredLength) {
    file.insert(file.end(), id, id + 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<unsigned char>(declaredLength >> shift));
    file.insert(file.end(), body.begin(), body.end());
}

void appendChunk(Bytes& file, const char* id, const Bytes& body) {
    appendChunk(file, id, body, static_cast<uint32_t>(body.size()));
}

Track& Track::raw(const Bytes& bytes, uint32_t delta) {
    appendVariableLength(body, delta);
    body.insert(body.end(), bytes.begin(), bytes.end());
    return *this;
}

Track& Track::sysex(unsigned char status, const Bytes& data, uint32_t delta) {
    appendVariableLength(body, delta);
    body.push_back(status);
    appendVariableLength(body, static_cast<uint32_t>(data.size()));
    body.insert(body.end(), data.begin(), data.end());
    return *this;
}

Track& Track::meta(unsigned char type, const Bytes& data, uint32_t delta) {
    appendVariableLength(body, delta);
    body.push_back(0xFF);
    body.push_back(type);
    appendVariableLength(body, static_cast<uint32_t>(data.size()));
    body.insert(body.end(), data.begin(), data.end());
    return *this;
}

Bytes makeFile(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes header;
    append16(header, format);
    append16(header, static_cast<uint16_t>(tracks.size()));
    append16(header, division);
    Bytes file;
    appendChunk(file, "MThd", header);
    for (const Bytes& track : tracks)
        appendChunk(file, "MTrk", track);
    return file;
}

} // namespace k1lib::smf
