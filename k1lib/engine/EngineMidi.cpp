// MIDI input: notes, controllers, RPN data entry and program changes with bank select.
#include <algorithm>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/records/FactoryData.h"
#include "k1lib/voice/Multi.h"
#include "log/Log.h"

namespace k1lib {
namespace {

enum Controller : uint8_t {
    BankSelectMsb = 0,
    ModWheel = 1,
    DataEntry = 6,
    Volume = 7,
    Pan = 10,
    SourceMix12 = 16,
    SourceMix34 = 17,
    BankSelectLsb = 32,
    HoldPedal = 64,
    RpnLsb = 100,
    RpnMsb = 101,
    AllNotesOff = 123,
    OmniOff = 124,
    OmniOn = 125,
};

constexpr uint8_t kNone = 255;
constexpr float kFineTuneStep = 0.02f; // semitones per data-entry step

} // namespace

void Engine::processMidiEvent(const SMidiEvent& event) {
    if (!event.sysex.empty()) {
        if (m_config.midiReceiveSysEx != 0) processMidiSysex(event.sysex);
        return;
    }
    const uint8_t status = event.status;
    // Data bytes of 80h and above come from no valid message; they would index past the note tables.
    if (status < 0x80 || status >= 0xF0 || event.data1 > 0x7F || event.data2 > 0x7F) return;
    const uint8_t statusChannel = status & 0x0F;
    const bool omni = m_config.omni != 0;
    const uint8_t ch = omni && m_playMode == PlayMode_Single ? 0 : statusChannel;
    const bool own = omni || statusChannel == m_config.midiReceiveChannel;
    const uint8_t data1 = event.data1;
    const uint8_t data2 = event.data2;
    MidiState& state = m_channelStates[ch];

    switch (status >> 4) {
    case 0x8:
        m_multi->noteOff(ch, data1, data2);
        break;
    case 0x9:
        if (data2 == 0)
            m_multi->noteOff(ch, data1, 0);
        else
            m_multi->noteOn(ch, data1, m_config.midiReceiveVelocity != 0 ? data2 : 127);
        break;
    case 0xB:
        processController(ch, statusChannel, own, data1, data2);
        break;
    case 0xC:
        if (m_config.midiReceiveProgramChange != 0) processProgramChange(ch, own, data1);
        break;
    case 0xD:
        if (m_config.midiReceivePressure != 0) state.pressure = data1 / 127.0f;
        break;
    case 0xE:
        if (m_config.midiReceivePitchBend != 0)
            state.pitchBend = static_cast<float>(data1 + 128 * data2 - 8192) / 8192.0f;
        break;
    default: // polyphonic pressure
        break;
    }
}

void Engine::processController(uint8_t channel, uint8_t statusChannel, bool own, uint8_t controller,
                               uint8_t value) {
    MidiState& state = m_channelStates[channel];
    switch (controller) {
    case BankSelectMsb:
        if (own) m_bankSelectMsb = value;
        break;
    case ModWheel:
        if (m_config.midiReceiveModWheel != 0) state.modWheel = value / 127.0f;
        break;
    case DataEntry:
        if (own && m_rpnMsb == 0) processDataEntry(value);
        break;
    case Volume:
        if (m_config.midiReceiveVolume != 0) state.volume = value / 127.0f;
        break;
    case Pan:
        if (m_config.midiReceivePan != 0) {
            state.panRight = static_cast<float>(std::min<int>(value, 64)) / 64.0f;
            state.panLeft = static_cast<float>(128 - std::max<int>(value, 64)) / 64.0f;
        }
        break;
    case SourceMix12:
    case SourceMix34:
        if (own) {
            const EParam param = controller == SourceMix12 ? Param_SourceMix12 : Param_SourceMix34;
            m_parameterManager.setVSTParam(param, value / 127.0f, true);
            m_listener->onParameterChanged(param, value / 127.0f);
        }
        break;
    case BankSelectLsb:
        if (own) m_bankSelectLsb = value;
        break;
    case HoldPedal:
        m_multi->setHoldPedal(channel, value >= 64 && m_config.midiReceiveHoldPedal != 0);
        break;
    case RpnLsb:
        if (own) m_rpnLsb = value;
        break;
    case RpnMsb:
        if (own) m_rpnMsb = value;
        break;
    case AllNotesOff:
        m_multi->allNotesOff(channel);
        break;
    case OmniOff:
    case OmniOn:
        // Through setConfig, so the listener hears it and the sections follow the new basic
        // channel; the receive channel is the message's own, also while omni is on.
        if (own) {
            Config config = m_config;
            config.omni = controller == OmniOn ? 1 : 0;
            if (controller == OmniOff) config.midiReceiveChannel = statusChannel;
            setConfig(config);
        }
        break;
    default:
        break;
    }
}

void Engine::processDataEntry(uint8_t value) {
    if (m_rpnLsb == 0)
        m_pitchBendRange = value <= 12 ? value : 0;
    else if (m_rpnLsb == 1)
        m_voiceContext.fineTune = static_cast<float>(std::clamp<int>(value, 14, 114) - 64) * kFineTuneStep;
}

void Engine::processProgramChange(uint8_t channel, bool own, uint8_t program) {
    const bool selectsMulti = program >= kSinglesPerBank;
    uint64_t base = m_bankSelectMsb != kNone ? m_bankSelectMsb * 100ull : 0;
    const std::vector<StorageInfo>& banks = getStorageInfos(selectsMulti ? PlayMode_Multi : PlayMode_Single);
    if (m_bankSelectLsb < banks.size()) base += banks[m_bankSelectLsb].offset;

    if (!selectsMulti && m_config.midiReceiveProgramChange == 2 && m_playMode == PlayMode_Multi) {
        m_multi->changeSingleForChannel(channel, program);
    } else if (!selectsMulti && own) {
        if (m_playMode == PlayMode_Multi) switchPlayMode(PlayMode_Single);
        if (!setSingle(base + program)) log("processProgramChange", 155, "No Single ", base + program);
    } else if (selectsMulti && own) {
        if (m_playMode == PlayMode_Single) switchPlayMode(PlayMode_Multi);
        if (!setMulti(base + program % kMultisPerBank))
            log("processProgramChange", 158, "No Multi ", base + program % kMultisPerBank);
    }
    m_bankSelectLsb = kNone;
    m_bankSelectMsb = kNone;
}

} // namespace k1lib
