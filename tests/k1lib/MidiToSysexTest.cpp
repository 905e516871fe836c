// Extracting sysex from Standard MIDI Files that the tests build themselves.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "k1lib/records/MidiToSysex.h"
#include "k1lib/records/SmfWriter.h"
#include "tests/support/LogCapture.h"

using k1lib::MidiToSysex;
using k1lib::smf::appendChunk;
using k1lib::smf::Bytes;
using k1lib::smf::Track;

namespace {

Bytes midiFile(const std::vector<Bytes>& tracks) {
    return k1lib::smf::makeFile(1, 96, tracks);
}

Bytes payload(unsigned char fill, size_t n) {
    Bytes data(n, fill);
    data.back() = 0xF7;
    return data;
}

Bytes withF0(const Bytes& data) {
    Bytes out{0xF0};
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

} // namespace

TEST(MidiFiles, SysexEventsAreCollectedInOrder) {
    const Bytes a = payload(0x11, 10), b = payload(0x22, 20);
    Bytes out;
    ASSERT_TRUE(MidiToSysex::readBytes(out, midiFile({Track().sysex(0xF0, a).sysex(0xF0, b).end().body})));
    Bytes expected = withF0(a);
    const Bytes second = withF0(b);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(out, expected);

    // Two tracks give both dumps in track order, and another chunk in between is skipped.
    Bytes file;
    appendChunk(file, "MThd", {0, 1, 0, 2, 0, 96});
    appendChunk(file, "XYZW", {1, 2, 3});
    appendChunk(file, "MTrk", Track().sysex(0xF0, a).end().body);
    appendChunk(file, "MTrk", Track().sysex(0xF0, b).end().body);
    Bytes twoTracks;
    ASSERT_TRUE(MidiToSysex::readBytes(twoTracks, file));
    EXPECT_EQ(twoTracks, expected);
}

TEST(MidiFiles, ChannelMessagesRunningStatusAndMetaEventsAreWalkedOver) {
    const Bytes dump = payload(0x33, 12);
    Track t;
    t.raw({0xC0, 0x05})              // program change: one data byte
        .raw({0x90, 0x3C, 0x40})     // note on
        .raw({0x3E, 0x40}, 200)      // running status, long delta
        .raw({0xE0, 0x00, 0x40})     // bend
        .meta(0x01, Bytes(300, 'x')) // a text longer than one length byte can say
        .raw({0xF7, 0x01, 0xFE})     // an escape packet outside any dump
        .sysex(0xF0, dump)
        .raw({0xD0, 0x22})
        .raw({0x80, 0x3C, 0x00})
        .end();
    Bytes out;
    ASSERT_TRUE(MidiToSysex::readBytes(out, midiFile({t.body})));
    EXPECT_EQ(out, withF0(dump));
}

TEST(MidiFiles, ContinuationPacketsAreJoined) {
    Track t;
    t.sysex(0xF0, {0x40, 0x00, 0x20}).sysex(0xF7, {0x00, 0x03}).sysex(0xF7, {0x01, 0xF7}).end();
    Bytes out;
    ASSERT_TRUE(MidiToSysex::readBytes(out, midiFile({t.body})));
    EXPECT_EQ(out, (Bytes{0xF0, 0x40, 0x00, 0x20, 0x00, 0x03, 0x01, 0xF7}));
}

TEST(MidiFiles, DamagedFilesKeepWhatWasFoundAndReportFailure) {
    LogCapture capture;
    const Bytes dump = payload(0x44, 8);
    Bytes out;
    EXPECT_FALSE(MidiToSysex::readBytes(out, {'R', 'I', 'F', 'F', 0, 0, 0, 0}));
    EXPECT_FALSE(MidiToSysex::readBytes(out, {'M', 'T'}));
    EXPECT_TRUE(out.empty());

    // A track without its end: the dump found before stays.
    EXPECT_FALSE(MidiToSysex::readBytes(out, midiFile({Track().sysex(0xF0, dump).body})));
    EXPECT_EQ(out, withF0(dump));
    EXPECT_EQ(capture.lines().back(), "readFile@48: Failed to read variable length variable");

    // A 20-byte file declaring a huge sysex appends only what exists.
    Bytes tiny;
    appendChunk(tiny, "MThd", {0, 0, 0, 1, 0, 96});
    appendChunk(tiny, "MTrk", {0x00, 0xF0, 0x80, 0x80, 0x80, 0x7F, 0x41, 0x42}, 0xFFFFFFF0u);
    Bytes partial;
    EXPECT_FALSE(MidiToSysex::readBytes(partial, tiny));
    EXPECT_EQ(partial, (Bytes{0xF0, 0x41, 0x42}));

    // A variable-length quantity longer than four bytes is refused, never shifted forever.
    Bytes endless;
    EXPECT_FALSE(MidiToSysex::readBytes(endless, midiFile({{0x80, 0x80, 0x80, 0x80, 0x80, 0x00}})));

    // Data without a status byte.
    EXPECT_FALSE(MidiToSysex::readBytes(endless, midiFile({{0x00, 0x3C, 0x40}})));
    EXPECT_TRUE(endless.empty());
}

TEST(MidiFiles, ReadFileAppendsAndRefusesWhatIsNotAFile) {
    namespace fs = std::filesystem;
    LogCapture capture;
    Bytes out = {7};
    const std::string missing = (fs::temp_directory_path() / "zyk_no_such.mid").string();
    EXPECT_FALSE(MidiToSysex::readFile(out, missing.c_str()));
    EXPECT_EQ(capture.lines().back(), "readFile@15: Failed to open file " + missing);
    EXPECT_FALSE(MidiToSysex::readFile(out, fs::temp_directory_path().c_str()));

    const fs::path path = fs::temp_directory_path() / "zyk_test.mid";
    const Bytes file = midiFile({Track().sysex(0xF0, payload(0x55, 4)).end().body});
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    ASSERT_TRUE(MidiToSysex::readFile(out, path.c_str()));
    EXPECT_EQ(out, (Bytes{7, 0xF0, 0x55, 0x55, 0x55, 0xF7}));
    fs::remove(path);
}
