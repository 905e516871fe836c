// The state the host keeps with a project: an empty stream, and damaged states refused without
// touching what the instrument holds.
#include <gtest/gtest.h>

#include <vector>

#include "public.sdk/source/common/memorystream.h"
#include "tests/vst3/Instrument.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using testhost::Instrument;
using testhost::OutputBlock;
using testhost::ParameterChanges;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes stateOf(Instrument& i) {
    MemoryStream stream;
    EXPECT_EQ(i->getState(&stream), kResultOk);
    const auto* data = reinterpret_cast<const unsigned char*>(stream.getData());
    return Bytes(data, data + stream.getSize());
}

tresult load(Instrument& i, const Bytes& bytes) {
    MemoryStream stream(const_cast<unsigned char*>(bytes.data()), static_cast<TSize>(bytes.size()));
    return i->setState(&stream);
}

void putLittleEndian(Bytes& bytes, size_t at, uint64_t value, size_t size) {
    for (size_t b = 0; b < size; ++b)
        bytes[at + b] = static_cast<unsigned char>(value >> (8 * b));
}

// An instrument whose state differs from a fresh one: another program and an edited parameter.
void edit(Instrument& i) {
    OutputBlock block(64);
    ParameterChanges changes;
    changes.add(224, {{0, 3.0 / 1351.0}});
    changes.add(k1lib::Param_LfoSpeed, {{0, 0.5}});
    i.run(block, nullptr, &changes);
}

} // namespace

TEST(State, EmptyStreamsAndDamagedStatesChangeNothing) {
    Instrument source;
    edit(source);
    const Bytes good = stateOf(source);
    Instrument i;
    const Bytes before = stateOf(i);
    EXPECT_EQ(load(i, {}), kResultOk) << "an empty stream restores nothing";
    EXPECT_EQ(stateOf(i), before);

    std::vector<Bytes> damaged;
    for (uint64_t version : {2ull, 0xFFFFFFFFull}) {
        damaged.push_back(good);
        putLittleEndian(damaged.back(), 0, version, 4);
    }
    for (size_t cut : {1u, 3u, 4u, 11u, 20u, 27u, 28u})
        damaged.emplace_back(good.begin(), good.begin() + cut);
    damaged.emplace_back(good.begin(), good.end() - 1); // the engine record cut short
    damaged.push_back(good);
    putLittleEndian(damaged.back(), 12, 383, 8); // another Multi count
    damaged.push_back(good);
    putLittleEndian(damaged.back(), 4, 969, 8);
    for (uint64_t length : {0ull, 1ull << 40, ~0ull}) {
        damaged.emplace_back(good.begin(), good.begin() + 100);
        putLittleEndian(damaged.back(), 20, length, 8);
    }
    for (const Bytes& bytes : damaged) {
        EXPECT_EQ(load(i, bytes), kResultFalse) << bytes.size() << " bytes";
        EXPECT_EQ(stateOf(i), before);
    }
}
