// The host's state stream as hosts really behave: streams that move a few bytes per call, a
// stream that fails part way, a length no stream could hold, and loads while the audio plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "public.sdk/source/common/memorystream.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/RandomRecords.h"
#include "tests/vst3/Instrument.h"

using namespace Steinberg;
using testhost::Instrument;

namespace {

using Bytes = std::vector<unsigned char>;

// A memory stream that moves at most `step` bytes per call and takes no more than `capacity`.
class TrickleStream : public MemoryStream {
public:
    TrickleStream(int32 bytesPerRead, int64 limit = INT64_MAX) : step(bytesPerRead), capacity(limit) {}
    TrickleStream(const Bytes& bytes, int32 bytesPerRead)
        : MemoryStream(const_cast<unsigned char*>(bytes.data()), static_cast<TSize>(bytes.size())),
          step(bytesPerRead), capacity(INT64_MAX) {}

    tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override {
        return MemoryStream::read(buffer, std::min(numBytes, step), numBytesRead);
    }
    tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override {
        const int64 room = capacity - getSize();
        if (room <= 0) {
            if (numBytesWritten) *numBytesWritten = 0;
            return kResultFalse;
        }
        return MemoryStream::write(buffer, static_cast<int32>(std::min<int64>({numBytes, step, room})),
                                   numBytesWritten);
    }
    Bytes bytes() { return Bytes(getData(), getData() + getSize()); }

private:
    int32 step;
    int64 capacity;
};

Bytes stateOf(Instrument& i) {
    TrickleStream stream(INT32_MAX);
    EXPECT_EQ(i->getState(&stream), kResultOk);
    return stream.bytes();
}

} // namespace

// One round trip through streams that move everything at once and through streams that move a
// few bytes per call, as some hosts' do.
struct StreamSteps {
    int32 write, read;
};
class ProcessorStateRoundTrip : public ::testing::TestWithParam<StreamSteps> {
protected:
    tresult load(Instrument& i, const Bytes& bytes) {
        TrickleStream stream(bytes, GetParam().read);
        return i->setState(&stream);
    }
};

TEST_P(ProcessorStateRoundTrip, RestoresTheSameState) {
    Instrument saved;
    testing_records::RecordRandom random(4);
    ASSERT_TRUE(saved->getPlugin().setSingle(3, random.single()));
    // Another program and an edited parameter, both through the host's parameter changes.
    testhost::OutputBlock block(64);
    testhost::ParameterChanges changes;
    changes.add(224, {{0, 3.0 / 1351.0}});
    changes.add(k1lib::Param_LfoSpeed, {{0, 0.5}});
    saved.run(block, nullptr, &changes);

    TrickleStream written(GetParam().write);
    ASSERT_EQ(saved->getState(&written), kResultOk);
    const Bytes bytes = written.bytes();
    ASSERT_GT(bytes.size(), 28u);
    const auto field = [&](size_t at, size_t size) {
        uint64_t value = 0;
        for (size_t b = 0; b < size; ++b)
            value |= uint64_t(bytes[at + b]) << (8 * b);
        return value;
    };
    EXPECT_EQ(field(0, 4), 1u) << "version";
    EXPECT_EQ(field(4, 8), 968u);
    EXPECT_EQ(field(12, 8), 384u);
    EXPECT_EQ(field(20, 8), bytes.size() - 28);

    Instrument restored;
    ASSERT_NE(stateOf(restored), bytes);
    // Hosts hand the same bytes to the component and then to the controller.
    EXPECT_EQ(load(restored, bytes), kResultOk);
    EXPECT_EQ(load(restored, bytes), kResultOk);
    EXPECT_EQ(stateOf(restored), bytes);
    EXPECT_FLOAT_EQ(static_cast<float>(restored->getParamNormalized(k1lib::Param_LfoSpeed)), 0.5f);
    EXPECT_EQ(restored->getPlugin().getCurrentSingleIndex(), 3u);
    k1lib::SinglePreset loaded{}, expected{};
    ASSERT_TRUE(restored->getPlugin().getSingle(loaded, 3));
    ASSERT_TRUE(saved->getPlugin().getSingle(expected, 3)); // the random Single with the LFO edit
    EXPECT_EQ(loaded, expected);

    Bytes version0 = bytes;
    std::fill(version0.begin(), version0.begin() + 4, 0);
    Instrument fromVersion0;
    EXPECT_EQ(load(fromVersion0, version0), kResultOk);
    EXPECT_EQ(stateOf(fromVersion0), bytes);
}

INSTANTIATE_TEST_SUITE_P(Streams, ProcessorStateRoundTrip,
                         ::testing::Values(StreamSteps{INT32_MAX, INT32_MAX}, StreamSteps{997, 3}));

TEST(ProcessorState, AStreamFailingPartWayIsAFailure) {
    Instrument i;
    for (int64 capacity : {0, 3, 28, 5000, 115000}) { // 0: a stream that takes nothing
        TrickleStream full(4096, capacity);
        EXPECT_EQ(i->getState(&full), kResultFalse) << capacity;
    }
    EXPECT_EQ(i->getState(nullptr), kResultFalse);
    EXPECT_EQ(i->setState(nullptr), kResultFalse);
}

TEST(ProcessorState, AnImpossibleLengthReservesNothing) {
    Instrument i;
    Bytes bytes = stateOf(i);
    bytes.resize(100);
    for (size_t b = 0; b < 8; ++b)
        bytes[20 + b] = b == 5 ? 1 : 0; // N = 2^40
    TrickleStream stream(bytes, INT32_MAX);
    AllocationCounter allocations;
    EXPECT_EQ(i->setState(&stream), kResultFalse);
    EXPECT_EQ(allocations.count(), 0u);
}

TEST(ProcessorState, ConcurrentLoadsWhileTheAudioThreadPlays) {
    testhost::FakeRunLoop loop;
    Instrument i(&loop);
    Bytes states[2];
    for (uint32_t seed : {0u, 1u}) {
        Instrument other;
        testing_records::RecordRandom random(seed + 40);
        for (size_t index = seed; index < 968; index += 7)
            EXPECT_TRUE(other->getPlugin().setSingle(index, random.single()));
        EXPECT_TRUE(other->getPlugin().setCurrentPresetIndex(10 + seed));
        states[seed] = stateOf(other);
    }
    std::atomic<bool> done{false};
    std::thread audio([&] {
        testhost::OutputBlock block(128);
        for (int n = 0; n < 200; ++n) {
            testhost::EventList notes;
            notes.noteOn(static_cast<int16>(48 + n % 24), 0.9f, n % 128);
            i.run(block, &notes);
        }
        done = true;
    });
    for (int n = 0; !done || n < 4; ++n) {
        TrickleStream stream(states[n % 2], INT32_MAX);
        ASSERT_EQ(i->setState(&stream), kResultOk);
        stateOf(i);
        loop.tick();
    }
    audio.join();
    TrickleStream last(states[1], INT32_MAX);
    ASSERT_EQ(i->setState(&last), kResultOk);
    EXPECT_EQ(stateOf(i), states[1]);
}

// A host that answers every "values changed" by reading the state and loading it straight back
// (Qtractor 1.1 does): a project loaded while a note is held, which changes a value and another
// Single but not the one that plays, starts one round, and the note sounds all through it.
TEST(ProcessorState, AHostThatReloadsOnEveryAnnouncementStopsAfterOneRound) {
    testhost::HandlerRecorder handler;
    Instrument i;
    i->setComponentHandler(&handler);
    testhost::OutputBlock block(480);
    testhost::EventList note;
    note.noteOn(60, 0.9f, 0);
    i.run(block, &note);
    Bytes project;
    {
        Instrument other;
        testing_records::RecordRandom random(7);
        ASSERT_TRUE(other->getPlugin().setSingle(900, random.single()));
        ASSERT_TRUE(other->getPlugin().setParameter(k1lib::Param_SourceMix12, 0.3f));
        project = stateOf(other);
    }
    TrickleStream load(project, INT32_MAX);
    ASSERT_EQ(i->setState(&load), kResultOk);
    size_t reloads = 0;
    for (int tick = 0; tick < 20; ++tick) {
        i->getParamNormalized(0); // the host's user-interface thread: deferred work runs here
        while (reloads < handler.restarts.size()) {
            MemoryStream saved;
            ASSERT_EQ(i->getState(&saved), kResultOk);
            saved.seek(0, IBStream::kIBSeekSet, nullptr);
            ASSERT_EQ(i->setState(&saved), kResultOk);
            ++reloads;
        }
        i.run(block);
        EXPECT_FALSE(block.silent(0)) << "tick " << tick;
    }
    EXPECT_EQ(handler.restarts.size(), 1u); // the project's new value
    EXPECT_EQ(reloads, 1u);
    EXPECT_FLOAT_EQ(i->getPlugin().getParameter(k1lib::Param_SourceMix12), 0.3f);
}
