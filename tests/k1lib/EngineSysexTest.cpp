// K1 system exclusive through the engine: stored dumps, replies to requests, parameter changes
// and what the engine sends. Expected messages are framed here byte by byte around the record codec.
#include <cstring>

#include "k1lib/params/ParameterConverter.h"
#include "k1lib/records/Sysex.h"
#include "tests/k1lib/EngineFixture.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RandomRecords.h"

using namespace k1lib;
using enginetest::Calls;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes frame(uint8_t channel, uint8_t function, std::initializer_list<unsigned char> rest = {}) {
    Bytes bytes{0xF0, 0x40, channel, function, 0x00, 0x03};
    for (unsigned char byte : rest)
        bytes.push_back(byte);
    return bytes;
}

Bytes closed(Bytes bytes) {
    bytes.push_back(0xF7);
    return bytes;
}

Bytes writeResult(uint8_t channel, uint8_t function) {
    return closed(frame(channel, function));
}

void appendRecord(Bytes& bytes, const SinglePreset& single) {
    unsigned char record[kSingleRecordSize];
    ASSERT_TRUE(writeSingle(record, single));
    bytes.insert(bytes.end(), record, record + kSingleRecordSize);
}

void appendRecord(Bytes& bytes, const MultiPreset& multi) {
    unsigned char record[kMultiRecordSize];
    ASSERT_TRUE(writeMulti(record, multi));
    bytes.insert(bytes.end(), record, record + kMultiRecordSize);
}

template <typename Preset>
Bytes dump(uint8_t channel, uint8_t function, uint8_t sub1, uint8_t sub2,
           const std::vector<Preset>& presets) {
    Bytes bytes = frame(channel, function, {sub1, sub2});
    for (const Preset& preset : presets)
        appendRecord(bytes, preset);
    return closed(bytes);
}

Bytes request(uint8_t channel, uint8_t function, uint8_t sub1, uint8_t sub2) {
    return closed(frame(channel, function, {sub1, sub2}));
}

Bytes parameterChange(uint8_t channel, uint8_t cursor, uint8_t source, uint8_t value) {
    return closed(frame(channel, 0x10,
                        {cursor, static_cast<unsigned char>(source * 2 | value >> 7),
                         static_cast<unsigned char>(value & 0x7F)}));
}

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class EngineSysex : public enginetest::EngineFixture {
protected:
    testing_records::RecordRandom random{7};

    void receive(const Bytes& bytes) { engine.processMidiSysex(bytes); }
    void setOmniOff(uint8_t channel) {
        Engine::Config config = engine.getConfig();
        config.omni = 0;
        config.midiReceiveChannel = channel;
        engine.setConfig(config);
        listener.calls.clear();
    }
    std::vector<SinglePreset> singles(uint64_t first, uint64_t count) const {
        return {engine.getSingles().begin() + first, engine.getSingles().begin() + first + count};
    }
    std::vector<MultiPreset> multis(uint64_t first, uint64_t count) const {
        return {engine.getMultis().begin() + first, engine.getMultis().begin() + first + count};
    }
};

} // namespace

TEST_F(EngineSysex, AllSinglesDumpStoresItsBlockAndAnswersEachSingle) {
    std::vector<SinglePreset> received;
    for (int k = 0; k < 32; ++k)
        received.push_back(random.single());
    receive(dump(5, 0x21, 0x00, 0x20, received));

    for (uint64_t k = 0; k < 32; ++k)
        EXPECT_TRUE(engine.getSingles()[32 + k] == received[k]) << k;
    EXPECT_TRUE(engine.getSingles()[64] == Engine::getFactorySingle(64));
    ASSERT_EQ(listener.sent.size(), 32u);
    for (const Bytes& reply : listener.sent)
        EXPECT_EQ(reply, writeResult(5, 0x40));
    Calls expected;
    for (uint64_t k = 0; k < 32; ++k) {
        expected.push_back("singleModified " + std::to_string(32 + k));
        expected.push_back("sendMidi");
    }
    EXPECT_EQ(listener.calls, expected);
}

TEST_F(EngineSysex, ADamagedRecordKeepsItsSlotAndTheOthersLandInTheirs) {
    std::vector<SinglePreset> received;
    for (int k = 0; k < 32; ++k)
        received.push_back(random.single());
    Bytes bytes = dump(0, 0x21, 0x00, 0x00, received);
    bytes[8 + 5 * kSingleRecordSize + 87] ^= 1; // record 5's checksum no longer holds
    LogCapture capture;
    const std::vector<SinglePreset> before = singles(0, 64);
    receive(bytes);
    for (uint64_t k = 0; k < 32; ++k)
        EXPECT_TRUE(engine.getSingles()[k] == (k == 5 ? before[k] : received[k])) << k;
    EXPECT_EQ(listener.sent.size(), 31u) << "one reply per stored Single";
}

TEST_F(EngineSysex, OneBlockDumpsChangeExactlyTheirTarget) {
    const std::vector<SinglePreset> current{random.single()};
    receive(dump(0, 0x20, 0x00, 0x00, current));
    EXPECT_TRUE(engine.getCurrentSingle() == current[0]);
    EXPECT_EQ(listener.calls, (Calls{"activeSingleModified 0", "singleModified 0", "sendMidi"}));

    listener.clear();
    receive(dump(0, 0x20, 0x00, 0x00, current)); // the same again: stored, nothing changed
    EXPECT_EQ(listener.calls, Calls{"sendMidi"});
    EXPECT_EQ(listener.sent, std::vector<Bytes>{writeResult(0, 0x40)});

    listener.clear();
    const std::vector<MultiPreset> multi{random.multi()};
    const std::vector<MultiPreset> before = multis(0, 384);
    receive(dump(2, 0x20, 0x01, 0x48, multi));
    for (uint64_t i = 0; i < 384; ++i)
        EXPECT_TRUE(sameMulti(engine.getMultis()[i], i == 40 ? multi[0] : before[i])) << i;
    EXPECT_EQ(listener.calls, (Calls{"multiModified 40", "sendMidi"}));
    EXPECT_EQ(listener.sent, std::vector<Bytes>{writeResult(2, 0x40)});
}

TEST_F(EngineSysex, RequestsAnswerOnTheRequestChannelWithTheirDumpsOrProtected) {
    const std::pair<Bytes, Bytes> cases[] = {
        {request(3, 0x00, 0x01, 0x06), dump(3, 0x20, 0x01, 0x06, singles(70, 1))},
        {request(3, 0x00, 0x01, 0x24), dump(3, 0x20, 0x01, 0x24, singles(100, 1))},
        {request(9, 0x00, 0x01, 0x48), dump(9, 0x20, 0x01, 0x48, multis(40, 1))},
        {request(3, 0x00, 0x02, 0x00), writeResult(3, 0x42)}, // no K1 location holds Single 128
        {request(3, 0x00, 0x7F, 0x7F), writeResult(3, 0x42)},
        {request(1, 0x01, 0x00, 0x20), dump(1, 0x21, 0x00, 0x20, singles(32, 32))},
        {request(1, 0x01, 0x01, 0x40), dump(1, 0x21, 0x01, 0x40, multis(32, 32))},
        {request(1, 0x01, 0x0F, 0x00), writeResult(1, 0x42)}, // Singles 960..991: past the banks
        {request(1, 0x01, 0x02, 0x40), writeResult(1, 0x42)}, // Multis 64..95: no such location
    };
    for (const auto& [asked, answer] : cases) {
        listener.clear();
        receive(asked);
        EXPECT_EQ(listener.sent, std::vector<Bytes>{answer});
    }
}

TEST_F(EngineSysex, MixedBuffersAnswerInStepOrder) {
    const std::vector<MultiPreset> multi{random.multi()};
    receive(joined({request(0, 0x01, 0x00, 0x00), Bytes{0xF0, 0x40, 0x00, 0x60, 0xF7},
                    request(0, 0x00, 0x00, 0x05), dump(0, 0x20, 0x00, 0x43, multi)}));
    ASSERT_EQ(listener.sent.size(), 4u);
    EXPECT_EQ(listener.sent[0], writeResult(0, 0x40));
    EXPECT_EQ(listener.sent[1], dump(0, 0x20, 0x00, 0x05, singles(5, 1)));
    EXPECT_EQ(listener.sent[2], writeResult(0, 0x61));
    EXPECT_EQ(listener.sent[3], dump(0, 0x21, 0x00, 0x00, singles(0, 32)));
    EXPECT_TRUE(sameMulti(engine.getMultis()[3], multi[0]));
}

TEST_F(EngineSysex, ListensOnTheReceiveChannelOnlyWithoutOmni) {
    setOmniOff(2);
    receive(Bytes{0xF0, 0x40, 0x03, 0x60, 0xF7});
    EXPECT_TRUE(listener.sent.empty());
    receive(Bytes{0xF0, 0x40, 0x02, 0x60, 0xF7});
    EXPECT_EQ(listener.sent, std::vector<Bytes>{writeResult(2, 0x61)});

    listener.clear();
    Engine::Config config = engine.getConfig();
    config.midiReceiveSysEx = 0;
    engine.setConfig(config);
    SMidiEvent event;
    event.sysex = Bytes{0xF0, 0x40, 0x02, 0x60, 0xF7};
    engine.processMidiEvent(event);
    config.midiReceiveSysEx = 1;
    engine.setConfig(config);
    engine.processMidiEvent(event);
    EXPECT_EQ(listener.sent, std::vector<Bytes>{writeResult(2, 0x61)});
}

TEST_F(EngineSysex, ModulationValueTwoEnteredOrLeftSwapsTheSourcePair) {
    SinglePreset single = random.single();
    single.ampModS1S2 = 0;
    single.ampModS3S4 = 0;
    single.sources[0].wave = 10;
    single.sources[1].wave = 20;
    EXPECT_TRUE(engine.setSingle(0, single));
    listener.clear();
    unsigned char source = 0;
    const uint8_t am12 = ParameterConverter::toCursor(source, Param_AmpModS1S2);

    receive(parameterChange(0, am12, 0, 2));
    EXPECT_EQ(engine.getCurrentSingle().ampModS1S2, 2u);
    EXPECT_TRUE(engine.getCurrentSingle().sources[0] == single.sources[1]);
    EXPECT_TRUE(engine.getCurrentSingle().sources[1] == single.sources[0]);
    EXPECT_EQ(listener.calls, (Calls{"activeSingleModified 0", "singleModified 0", "singleModified 0"}));
    EXPECT_TRUE(listener.sent.empty());

    listener.clear();
    receive(parameterChange(0, am12, 0, 1));
    EXPECT_EQ(engine.getCurrentSingle().ampModS1S2, 1u);
    EXPECT_TRUE(engine.getCurrentSingle().sources[0] == single.sources[0]);

    listener.clear();
    receive(parameterChange(0, am12, 0, 0));
    EXPECT_TRUE(engine.getCurrentSingle().sources[0] == single.sources[0]);
    EXPECT_EQ(listener.calls, (Calls{"activeSingleModified 0", "singleModified 0"}));
    EXPECT_FLOAT_EQ(engine.getParameter(Param_AmpModS1S2), 0.0f);

    listener.clear();
    receive(parameterChange(0, am12, 0, 3)); // refused by the K1's rule: nothing changes
    EXPECT_TRUE(listener.calls.empty());
}

TEST_F(EngineSysex, SendsPresetsToK1ProgramNumbersOnTheBasicChannel) {
    EXPECT_TRUE(engine.sendSingle(70, 100));
    EXPECT_TRUE(engine.sendMulti(41, 40));
    EXPECT_FALSE(engine.sendMulti(41, 64));
    EXPECT_FALSE(engine.sendMulti(384, 0));
    EXPECT_FALSE(engine.sendSingle(968, 0));
    EXPECT_FALSE(engine.sendSingle(0, 128));
    setOmniOff(6);
    EXPECT_TRUE(engine.sendSingle(1, 5));
    ASSERT_EQ(listener.sent.size(), 3u);
    EXPECT_EQ(listener.sent[0], dump(0, 0x20, 0x01, 0x24, singles(70, 1)));
    EXPECT_EQ(listener.sent[1], dump(0, 0x20, 0x01, 0x48, multis(41, 1)));
    EXPECT_EQ(listener.sent[2], dump(6, 0x20, 0x00, 0x05, singles(1, 1)));
}

TEST_F(EngineSysex, SendsEditedParametersAsK1ParameterChanges) {
    const SinglePreset before = engine.getCurrentSingle();
    const CParam& volume = g_params[Param_Volume];
    EXPECT_TRUE(engine.sendParameterAsSysex(Param_Volume, (43.0f - volume.min) * volume.rangeInv));
    const CParam& attack = g_params[Param_SourceS2EnvAttack];
    EXPECT_TRUE(engine.sendParameterAsSysex(Param_SourceS2EnvAttack, (77.0f - attack.min) * attack.rangeInv));
    ASSERT_EQ(listener.sent.size(), 2u);
    EXPECT_EQ(listener.sent[0], parameterChange(0, 3, 0, 42)); // the K1 stores volume one below its display
    EXPECT_EQ(listener.sent[1], parameterChange(0, 43, 1, 77));
    EXPECT_TRUE(engine.getCurrentSingle() == before);

    EXPECT_FALSE(engine.sendParameterAsSysex(Param_SourceMix12, 0.5f));
    EXPECT_FALSE(engine.sendParameterAsSysex(Param_SourceS1Mute, 1.0f));
    EXPECT_FALSE(engine.sendParameterAsSysex(Param_AmpModS1S2, 1.0f));
    EXPECT_FALSE(engine.sendParameterAsSysex(static_cast<EParam>(300), 1.0f));
    Engine::Config config = engine.getConfig();
    config.midiSendSysex = 0;
    engine.setConfig(config);
    EXPECT_FALSE(engine.sendParameterAsSysex(Param_Volume, 0.5f));
    EXPECT_EQ(listener.sent.size(), 2u);
}
