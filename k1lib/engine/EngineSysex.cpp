// K1 system exclusive: received dumps, requests and parameter changes, and what the engine sends.
#include <algorithm>
#include <cmath>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/params/ParameterConverter.h"

namespace k1lib {
namespace {

constexpr uint64_t kModulationSwap = 2; // "S1>S2" / "S3>S4": the pair plays in exchanged order

// Index first + k without wrapping; an overflowing sum lands past every bank.
uint64_t offsetIndex(uint64_t first, uint64_t k) {
    return first > UINT64_MAX - k ? UINT64_MAX : first + k;
}

StorageLocation location(uint64_t value) {
    return static_cast<StorageLocation>(value);
}

} // namespace

void Engine::processMidiSysex(const std::vector<unsigned char>& bytes) {
    Sysex::SysexResult result;
    Sysex::readBuffer(result, bytes, m_config.omni != 0 ? 255 : getBasicChannel());
    const uint8_t channel = result.channel;

    // A damaged record in a dump leaves its own slot as it was; the others land in theirs.
    for (uint64_t k = 0; k < result.singles.size(); ++k) {
        const bool stored =
            setSingle(offsetIndex(result.firstSingle, result.singleSlot(k)), result.singles[k]);
        sendWriteResult(channel, stored ? kWriteComplete : kWriteError);
    }
    for (uint64_t k = 0; k < result.multis.size(); ++k) {
        const bool stored = setMulti(offsetIndex(result.firstMulti, result.multiSlot(k)), result.multis[k]);
        sendWriteResult(channel, stored ? kWriteComplete : kWriteError);
    }
    for (uint64_t number : result.singleRequests)
        replySingle(channel, number);
    for (uint64_t number : result.multiRequests)
        replyMulti(channel, number);
    if (!result.parameterChanges.empty()) applySysexParameterChanges(result.parameterChanges);
    if (result.machineIdRequest) {
        std::vector<unsigned char> reply;
        Sysex::writeMachineIdResponse(reply, channel);
        sendSysex(reply);
    }
    if (result.allSinglesRequested) replyAllSingles(channel, result.firstSingle);
    if (result.allMultisRequested) replyAllMultis(channel, result.firstMulti);
}

// Requests name K1 locations I, i, E and e: Singles 0-127 and Multis 0-63. Anything beyond has
// no location to answer from and gets the "protected" write error.
void Engine::replySingle(uint8_t channel, uint64_t number) {
    std::vector<unsigned char> reply;
    if (number >= 2 * kSinglesPerBank || number >= m_singles.size() ||
        !Sysex::writeSingle(reply, m_singles[number], channel, location(number / kSinglesPerLocation),
                            static_cast<unsigned char>(number % kSinglesPerBank)))
        Sysex::writeWriteResult(reply, channel, kWriteErrorProtected);
    sendSysex(reply);
}

void Engine::replyMulti(uint8_t channel, uint64_t number) {
    std::vector<unsigned char> reply;
    if (number >= 2 * kMultisPerBank || number >= m_multis.size() ||
        !Sysex::writeMulti(reply, m_multis[number], channel, location(number / kMultisPerBank * 2),
                           static_cast<unsigned char>(number % kMultisPerBank)))
        Sysex::writeWriteResult(reply, channel, kWriteErrorProtected);
    sendSysex(reply);
}

void Engine::replyAllSingles(uint8_t channel, uint64_t first) {
    std::vector<unsigned char> reply;
    if (first >= 2 * kSinglesPerBank || !fitsInBank(first, kRecordsPerDump, m_singles.size()) ||
        !Sysex::writeSingles(
            reply,
            std::vector<SinglePreset>(m_singles.begin() + first, m_singles.begin() + first + kRecordsPerDump),
            channel, location(first / kSinglesPerLocation),
            static_cast<unsigned char>(first % kSinglesPerBank)))
        Sysex::writeWriteResult(reply, channel, kWriteErrorProtected);
    sendSysex(reply);
}

void Engine::replyAllMultis(uint8_t channel, uint64_t first) {
    std::vector<unsigned char> reply;
    if (first >= 2 * kMultisPerBank || !fitsInBank(first, kRecordsPerDump, m_multis.size()) ||
        !Sysex::writeMultis(
            reply,
            std::vector<MultiPreset>(m_multis.begin() + first, m_multis.begin() + first + kRecordsPerDump),
            channel, location(first / kMultisPerBank * 2),
            static_cast<unsigned char>(first % kMultisPerBank)))
        Sysex::writeWriteResult(reply, channel, kWriteErrorProtected);
    sendSysex(reply);
}

void Engine::applySysexParameterChanges(const std::vector<Sysex::ParameterChange>& changes) {
    SinglePreset& current = m_singles[m_currentSingle];
    const uint32_t oldModulation12 = current.ampModS1S2;
    const uint32_t oldModulation34 = current.ampModS3S4;
    bool applied = false;
    for (const Sysex::ParameterChange& change : changes)
        applied = ParameterConverter::toSingle(current, change) || applied;
    if (!applied) return;

    bool stored = swapSourcesOnModulationCross(oldModulation12, current.ampModS1S2, 0);
    stored = swapSourcesOnModulationCross(oldModulation34, current.ampModS3S4, 2) || stored;
    if (!stored) {
        pushSingleParameters();
        m_listener->onActiveSingleModified(m_currentSingle);
    }
    m_listener->onSingleModified(m_currentSingle);
}

bool Engine::swapSourcesOnModulationCross(uint32_t oldValue, uint32_t newValue, uint32_t first) {
    if ((oldValue == kModulationSwap) == (newValue == kModulationSwap)) return false;
    SinglePreset copy = getCurrentSingle();
    std::swap(copy.sources[first], copy.sources[first + 1]);
    // Two equal sources: the exchange stores nothing, so the caller still reports the edit.
    if (copy == getCurrentSingle()) return false;
    return setSingle(m_currentSingle, copy);
}

bool Engine::sendSingle(uint64_t index, uint8_t program) {
    std::vector<unsigned char> message;
    if (program >= 2 * kSinglesPerBank || index >= m_singles.size() ||
        !Sysex::writeSingle(message, m_singles[index], getBasicChannel(),
                            location(program / kSinglesPerLocation),
                            static_cast<unsigned char>(program % kSinglesPerBank)))
        return false;
    sendSysex(message);
    return true;
}

bool Engine::sendMulti(uint64_t index, uint8_t program) {
    std::vector<unsigned char> message;
    if (program >= 2 * kMultisPerBank || index >= m_multis.size() ||
        !Sysex::writeMulti(message, m_multis[index], getBasicChannel(),
                           location(program / kMultisPerBank * 2),
                           static_cast<unsigned char>(program % kMultisPerBank)))
        return false;
    sendSysex(message);
    return true;
}

bool Engine::sendParameterAsSysex(EParam param, float normalizedValue) {
    if (m_config.midiSendSysex == 0 || param >= kParamCount || !std::isfinite(normalizedValue)) return false;
    Sysex::ParameterChange change;
    change.cursor = ParameterConverter::toCursor(change.source, param);
    if (change.cursor == 0) return false;
    SinglePreset copy = getCurrentSingle();
    const CParam& row = g_params[param];
    const int value = nearestInteger(std::clamp(normalizedValue, 0.0f, 1.0f) * row.range + row.min);
    if (!ParameterConverter::toSingle(copy, param, value) ||
        !ParameterConverter::fromSingle(change.value, copy, change.cursor, change.source))
        return false;
    std::vector<unsigned char> message;
    Sysex::writeParameterChange(message, getBasicChannel(), change);
    sendSysex(message);
    return true;
}

void Engine::sendWriteResult(uint8_t channel, unsigned char function) {
    std::vector<unsigned char> reply;
    Sysex::writeWriteResult(reply, channel, function);
    sendSysex(reply);
}

void Engine::sendSysex(std::vector<unsigned char>& bytes) {
    SMidiEvent event;
    event.sysex.swap(bytes);
    m_listener->sendMidi(event);
}

} // namespace k1lib
