#include "k1lib/voice/WavLoader.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace k1lib;

namespace {

using Bytes = std::vector<unsigned char>;

void putU16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
void putU32(Bytes& b, uint32_t v) {
    putU16(b, v & 0xffff);
    putU16(b, v >> 16);
}
void putId(Bytes& b, const char* id) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(id[i]));
}

// A chunk or sub-chunk: id, size, payload and the pad byte of odd sizes.
Bytes chunk(const char* id, const Bytes& payload) {
    Bytes b;
    putId(b, id);
    putU32(b, static_cast<uint32_t>(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    if (payload.size() & 1) b.push_back(0);
    return b;
}

Bytes format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes p;
    putU16(p, tag);
    putU16(p, channels);
    putU32(p, rate);
    putU32(p, rate * channels * bits / 8);
    putU16(p, channels * bits / 8);
    putU16(p, bits);
    return chunk("fmt ", p);
}

struct Cue {
    uint32_t id;
    uint32_t position;
    uint32_t sampleOffset;
};

Bytes cues(const std::vector<Cue>& list) {
    Bytes p;
    putU32(p, static_cast<uint32_t>(list.size()));
    for (const Cue& c : list) {
        putU32(p, c.id);
        putU32(p, c.position);
        putId(p, "data");
        putU32(p, 0);
        putU32(p, 0);
        putU32(p, c.sampleOffset);
    }
    return chunk("cue ", p);
}

Bytes text(const char* id, uint32_t cue, const std::string& s) {
    Bytes p;
    putU32(p, cue);
    p.insert(p.end(), s.begin(), s.end());
    p.push_back(0);
    return chunk(id, p);
}

Bytes list(const char* type, const std::vector<Bytes>& subs, const char* listId = "LIST") {
    Bytes p;
    putId(p, type);
    for (const Bytes& s : subs)
        p.insert(p.end(), s.begin(), s.end());
    return chunk(listId, p);
}

Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    putId(body, "WAVE");
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes image;
    putId(image, "RIFF");
    putU32(image, static_cast<uint32_t>(body.size()));
    image.insert(image.end(), body.begin(), body.end());
    return image;
}

Bytes eightBitMono(const Bytes& samples, const std::vector<Bytes>& extra = {}) {
    std::vector<Bytes> chunks = {format(1, 1, 50000, 8), chunk("data", samples)};
    chunks.insert(chunks.end(), extra.begin(), extra.end());
    return riff(chunks);
}

} // namespace

TEST(WavLoaderTest, ReadsFormatSamplesCuesAndLabels) {
    const Bytes samples = {0x80, 0x00, 0xff, 0x81};
    const Bytes image =
        eightBitMono(samples, {cues({{2, 3, 3}, {1, 1, 1}}),
                               list("adtl", {text("labl", 1, "one"), text("labl", 2, "two")})});
    Data data;
    std::vector<CuePoint> points;
    ASSERT_TRUE(WavLoader::load(data, &points, image.data(), image.size()));
    EXPECT_EQ(data.byteSize, 4u);
    EXPECT_EQ(data.bitsPerSample, 8u);
    EXPECT_EQ(data.channels, 1u);
    EXPECT_EQ(data.sampleRate, 50000u);
    EXPECT_FALSE(data.isFloat);
    EXPECT_EQ(std::memcmp(data.samples, samples.data(), 4), 0);
    ASSERT_EQ(points.size(), 2u); // ascending id, not file order
    EXPECT_EQ(points[0].position, 1u);
    EXPECT_EQ(points[0].label, "one");
    EXPECT_EQ(points[1].position, 3u);
    EXPECT_EQ(points[1].label, "two");

    std::vector<char> signedSamples;
    int rate = 0;
    ASSERT_TRUE(WavLoader::load(signedSamples, rate, nullptr, image.data(), image.size()));
    EXPECT_EQ(rate, 50000);
    EXPECT_EQ(signedSamples, (std::vector<char>{0, -128, 127, 1}));
}

TEST(WavLoaderTest, DuplicatesKeepTheFirstAndWarn) {
    LogCapture capture;
    const Bytes image = eightBitMono(
        {0x80, 0x80},
        {cues({{1, 0, 0}, {1, 1, 1}, {1, 1, 1}}),
         list("adtl", {text("note", 1, ""), text("labl", 1, "first"), text("note", 1, "second")})});
    Data data;
    std::vector<CuePoint> points;
    ASSERT_TRUE(WavLoader::load(data, &points, image.data(), image.size()));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].position, 0u);
    EXPECT_EQ(points[0].label, "first");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   "load@80: Warning: duplicated cue point 1 found",
                                   "load@80: Warning: duplicated cue point 1 found",
                                   "load@118: Warning: duplicated cue label second found for cue id 1"}));
}

TEST(WavLoaderTest, NoteBeforeLabelWinsAndListsAreReadOnlyForCues) {
    const Bytes image =
        eightBitMono({0x80}, {cues({{7, 0, 0}}),
                              list("info", {text("note", 7, "noted"), text("labl", 7, "labelled")}, "list")});
    Data data;
    std::vector<CuePoint> points = {CuePoint{99, "stale"}};
    LogCapture capture;
    ASSERT_TRUE(WavLoader::load(data, &points, image.data(), image.size()));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].label, "noted");
    EXPECT_EQ(capture.lines().size(), 1u);
    capture.clear();
    ASSERT_TRUE(WavLoader::load(data, nullptr, image.data(), image.size()));
    EXPECT_TRUE(capture.lines().empty()); // the list is not even read
}

TEST(WavLoaderTest, OddChunksArePaddedAndZeroPositionsComeFromTheOffset) {
    // An odd unknown chunk before the data, and a cue whose position field is 0.
    const Bytes image = riff({chunk("junk", {1, 2, 3}), format(1, 1, 8000, 8),
                              chunk("data", {0x80, 0x90, 0xa0}), cues({{1, 0, 2}})});
    Data data;
    std::vector<CuePoint> points;
    ASSERT_TRUE(WavLoader::load(data, &points, image.data(), image.size()));
    EXPECT_EQ(data.byteSize, 3u);
    EXPECT_EQ(data.samples[2], 0xa0);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].position, 2u);
}

TEST(WavLoaderTest, ConvertsWidthsAndFoldsChannels) {
    Bytes stereo16;
    for (int16_t v : std::initializer_list<int16_t>{16384, -16384, 32767, 32767, -32767, 0})
        putU16(stereo16, static_cast<uint16_t>(v));
    Bytes image = riff({format(1, 2, 44100, 16), chunk("data", stereo16)});
    std::vector<float> out;
    int rate = 0;
    ASSERT_TRUE(WavLoader::load(out, rate, nullptr, image.data(), image.size()));
    EXPECT_EQ(rate, 44100);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_NEAR(out[0], 0.0f, 1e-6);
    EXPECT_NEAR(out[1], 1.0f, 1e-4);
    EXPECT_NEAR(out[2], -0.5f, 1e-4);

    const Bytes mono24 = {0x00, 0x00, 0x40, 0x00, 0x00, 0xc0}; // +0.5, -0.5
    image = riff({format(1, 1, 48000, 24), chunk("data", mono24)});
    ASSERT_TRUE(WavLoader::load(out, rate, nullptr, image.data(), image.size()));
    EXPECT_EQ(out, (std::vector<float>{0.5f, -0.5f}));

    Bytes doubles(16);
    const double values[] = {0.25, -2.0};
    std::memcpy(doubles.data(), values, 16);
    image = riff({format(3, 1, 48000, 64), chunk("data", doubles)});
    ASSERT_TRUE(WavLoader::load(out, rate, nullptr, image.data(), image.size()));
    EXPECT_EQ(out, (std::vector<float>{0.25f, -2.0f}));

    image = riff({format(1, 1, 48000, 12), chunk("data", {1, 2, 3})});
    EXPECT_FALSE(WavLoader::load(out, rate, nullptr, image.data(), image.size()));
}

TEST(WavLoaderTest, SignedLoaderRefusesOtherFormatsAfterFillingCues) {
    const Bytes image = riff({format(1, 2, 50000, 8), chunk("data", {0x80, 0x80}), cues({{1, 1, 1}})});
    std::vector<char> samples;
    std::vector<CuePoint> points;
    int rate = 0;
    EXPECT_FALSE(WavLoader::load(samples, rate, &points, image.data(), image.size()));
    EXPECT_EQ(points.size(), 1u);
    const Bytes floats = riff({format(3, 1, 50000, 8), chunk("data", {0x80})});
    EXPECT_FALSE(WavLoader::load(samples, rate, nullptr, floats.data(), floats.size()));
}

TEST(WavLoaderTest, MissingChunksAndUnknownTagsAreRefused) {
    LogCapture capture;
    Data data;
    Bytes image = riff({format(1, 1, 50000, 8), chunk("junk", {0, 0})});
    EXPECT_FALSE(WavLoader::load(data, nullptr, image.data(), image.size()));
    image = riff({chunk("data", {0x80, 0x80}), chunk("junk", {0, 0})});
    EXPECT_FALSE(WavLoader::load(data, nullptr, image.data(), image.size()));
    image = riff({}); // too small to hold any chunk
    EXPECT_FALSE(WavLoader::load(data, nullptr, image.data(), image.size()));
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{"load@131: Failed to find wave data in file",
                                        "load@137: Failed to find format information in file",
                                        "load@131: Failed to find wave data in file"}));
    capture.clear();
    image = riff({format(2, 1, 50000, 8), chunk("data", {0x80, 0x80})});
    EXPECT_FALSE(WavLoader::load(data, nullptr, image.data(), image.size()));
    image[0] = 'X';
    EXPECT_FALSE(WavLoader::load(data, nullptr, image.data(), image.size()));
    EXPECT_TRUE(capture.lines().empty());
}

TEST(WavLoaderTest, SizesBeyondTheImageAreRefusedWithoutReading) {
    const Bytes good =
        eightBitMono({0x80, 0x80, 0x80, 0x80}, {cues({{1, 0, 0}}), list("adtl", {text("labl", 1, "label")})});
    const size_t dataSizeAt = 12 + 24 + 4;
    const size_t cueCountAt = 12 + 24 + 12 + 8;
    const size_t labelSizeAt = cueCountAt + 4 + 24 + 8 + 4 + 4;
    struct Damage {
        size_t at;
        uint32_t value;
        const char* line;
    };
    const Damage damages[] = {
        {dataSizeAt, 0xfffffff0u,
         "load@62: Chunk at offset 36 of size 4294967280 exceeds the image of 114 bytes"},
        {cueCountAt, 0x40000000u, "load@75: Cue chunk of 28 bytes cannot hold 1073741824 cue points"},
        {labelSizeAt, 0xfffffffcu,
         "load@105: Sub-chunk at offset 96 of size 4294967292 exceeds its list chunk"},
        {labelSizeAt, 2u, "load@109: Label sub-chunk of 2 bytes has no cue id"},
        {12 + 4, 8u, "load@66: Format chunk of 8 bytes is too short"},
    };
    for (const Damage& d : damages) {
        Bytes image = good;
        for (int i = 0; i < 4; ++i)
            image[d.at + i] = static_cast<unsigned char>(d.value >> (8 * i));
        LogCapture capture;
        Data data;
        std::vector<CuePoint> points;
        EXPECT_FALSE(WavLoader::load(data, &points, image.data(), image.size())) << d.line;
        EXPECT_EQ(capture.lines(), std::vector<std::string>{d.line});
        EXPECT_TRUE(points.empty());
    }
    // Every truncation of a good image is refused or parsed, never overread (ASan watches).
    for (size_t size = 0; size < good.size(); ++size) {
        LogCapture capture;
        const Bytes cut(good.begin(), good.begin() + static_cast<long>(size));
        Data data;
        std::vector<CuePoint> points;
        const bool parsed = WavLoader::load(data, &points, cut.data(), cut.size());
        if (size < 12) { // shorter than a RIFF header
            EXPECT_FALSE(parsed) << size;
        }
    }
    LogCapture capture;
    Data data;
    EXPECT_FALSE(WavLoader::load(data, nullptr, nullptr, 100));
    EXPECT_TRUE(capture.contains("load@131: Failed to find wave data in file"));
}

TEST(WavLoaderTest, WrittenFilesReadBackWithCues) {
    const std::string path = "wavloader_roundtrip.wav";
    const std::vector<float> samples = {0.0f, 0.5f, -0.25f, 1.0f, -1.0f};
    const std::vector<CuePoint> points = {{0, "start"}, {3, "odd"}};
    ASSERT_TRUE(WavLoader::write(path, samples, 22050, &points));
    std::vector<float> read;
    std::vector<CuePoint> readPoints;
    int rate = 0;
    ASSERT_TRUE(WavLoader::load(read, rate, &readPoints, path));
    EXPECT_EQ(rate, 22050);
    EXPECT_EQ(read, samples);
    ASSERT_EQ(readPoints.size(), 2u);
    EXPECT_EQ(readPoints[0].position, 0u);
    EXPECT_EQ(readPoints[0].label, "start");
    EXPECT_EQ(readPoints[1].position, 3u);
    EXPECT_EQ(readPoints[1].label, "odd");
    EXPECT_EQ(std::filesystem::file_size(path), 12u + 24 + 8 + 20 + 8 + 4 + 48 + 8 + 4 + 18 + 16);
    std::filesystem::remove(path);

    LogCapture capture;
    EXPECT_FALSE(WavLoader::load(read, rate, nullptr, std::string("no/such/file.wav")));
    EXPECT_FALSE(WavLoader::write("no/such/dir/out.wav", samples, 22050, nullptr));
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"load@197: Failed to open file no/such/file.wav",
                                                         "write@357: Failed to open file for writing: "
                                                         "no/such/dir/out.wav"}));
}

TEST(WavLoaderTest, ConvertScalesShortsAndBytes) {
    std::vector<float> out = {9.0f};
    const short shorts[] = {32767, -32767, 0};
    convert(out, shorts, 3);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_NEAR(out[0], 1.0f, 1e-4);
    EXPECT_NEAR(out[1], -1.0f, 1e-4);
    const unsigned char bytes[] = {0, 128, 255};
    convert(out, bytes, 3);
    EXPECT_EQ(out, (std::vector<float>{-1.0f, 0.0f, 0.9921875f}));
}
