// Parameters in and out of the engine, and the switch between Single and Multi mode.
#include <algorithm>
#include <cmath>

#include "k1lib/base/SoundMath.h"
#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/params/ParameterConverter.h"
#include "k1lib/voice/Multi.h"
#include "log/Log.h"

#include <cstring>

namespace k1lib {
namespace {

bool isSingleParameter(EParam param) {
    return param < Param_SourceMix12;
}
bool isMultiParameter(EParam param) {
    return param >= Param_MultiName01 && param < Param_Mode;
}

// Param_Mode's plain value rounded to a mode.
PlayMode modeOf(float plainValue) {
    return truncateClamped(plainValue + 0.5f, 0, 1) != 0 ? PlayMode_Multi : PlayMode_Single;
}

} // namespace

int Engine::nearestInteger(float value) {
    return truncateClamped(std::round(value), -0x1000000, 0x1000000);
}

bool Engine::setParameter(EParam param, float normalizedValue, bool ramp) {
    if (param >= kParamCount) {
        log("setParameter", 268, "Refusing unknown parameter ", static_cast<uint32_t>(param));
        return false;
    }
    if (!std::isfinite(normalizedValue)) {
        log("setParameter", 272, "Refusing value ", normalizedValue, " for parameter ",
            CParam::getEnumString(param));
        return false;
    }
    const float value = std::clamp(normalizedValue, 0.0f, 1.0f);
    if (param == Param_Mode) {
        const PlayMode mode = modeOf(value * g_params[Param_Mode].range + g_params[Param_Mode].min);
        if (mode != m_playMode) switchPlayMode(mode);
        m_parameterManager.setVSTParam(Param_Mode, value, false);
        return true;
    }
    if (isSingleParameter(param) && m_playMode != PlayMode_Single) {
        log("setParameter", 282, "Refusing to modify parameter ", CParam::getEnumString(param),
            " in mode != Single");
        return false;
    }
    if (isMultiParameter(param) && m_playMode != PlayMode_Multi) {
        log("setParameter", 290, "Refusing to modify parameter ", CParam::getEnumString(param),
            " in mode != Multi");
        return false;
    }
    // Multi fields are never smoothed: each step would remap sections or change a section's Single.
    m_parameterManager.setVSTParam(param, value, ramp && !isMultiParameter(param));
    return true;
}

void Engine::modifyParameter(EParam param, float normalizedValue) {
    // A refusal is logged; the listener hears the value whatever the result.
    (void)setParameter(param, normalizedValue, true);
    // The listener's parameter arrays end at Param_Mode.
    if (param < kParamCount) m_listener->onParameterChanged(param, normalizedValue);
}

float Engine::getParameter(EParam param) const {
    return param < kParamCount ? m_parameterManager.normalized[param] : 0.0f;
}

void Engine::setPlayMode(PlayMode mode) {
    if (mode != PlayMode_Single && mode != PlayMode_Multi) {
        log("setPlayMode", 305, "Refusing unknown play mode ", static_cast<uint32_t>(mode));
        return;
    }
    if (mode != m_playMode) switchPlayMode(mode);
}

void Engine::switchPlayMode(PlayMode mode) {
    // Single mode with Omni folds every channel's keys into the first; Multi mode keeps them
    // apart. A key held across the switch would be released on another channel than the one that
    // holds it, and Solo would return to it later: every key is let go first.
    for (uint8_t channel = 0; channel < kChannelCount; ++channel)
        m_multi->allNotesOff(channel);
    const Multi::SectionGains gains = m_multi->getSectionGains();
    m_playMode = mode;
    m_parameterManager.setVSTParamReal(Param_Mode, static_cast<float>(mode), false);
    m_listener->onPlayModeChanged();
    remapSections();
    m_multi->fadeAllVoices(gains);
}

void Engine::processParameterChange(EParam param, float value) {
    if (param >= kParamCount || !std::isfinite(value)) return;
    float* gains = m_voiceContext.sourceGains;
    if (param == Param_Mode) {
        const PlayMode mode = modeOf(value);
        if (mode != m_playMode) switchPlayMode(mode);
    } else if (param == Param_SourceMix12 || param == Param_SourceMix34) {
        const int first = param == Param_SourceMix12 ? 0 : 2;
        gains[first] = std::min(1.0f - value, 1.0f);
        gains[first + 1] = std::min(1.0f + value, 1.0f);
    } else if (isSingleParameter(param)) {
        if (m_playMode != PlayMode_Single) return;
        // A Single's parameter, so the converter knows its field: it refuses only what it logs.
        (void)ParameterConverter::toSingle(m_singles[m_currentSingle], param, nearestInteger(value));
        if (param == Param_PitchBendDepth) m_pitchBendRange = getCurrentSingle().pitchBendDepth;
    } else if (m_playMode == PlayMode_Multi) {
        // Every parameter left here is a Multi field the converter knows.
        (void)ParameterConverter::toMulti(m_multis[m_currentMulti], param, nearestInteger(value));
        m_multi->updateMulti(getCurrentMulti(), param);
    }
}

bool Engine::parameterChangesFitRun() const {
    for (uint32_t k = 0; k < m_parameterManager.changedQueue.count; ++k) {
        const auto p = static_cast<EParam>(m_parameterManager.changedQueue.at(k));
        if (p == Param_SourceMix12 || p == Param_SourceMix34) continue; // a gain per frame
        if (isSingleParameter(p)) {
            if (m_playMode != PlayMode_Single) continue; // ignored
            // Most steps of a ramp leave the rounded value, and so the Single, as it was.
            const SinglePreset& current = getCurrentSingle();
            SinglePreset changed;
            std::memcpy(&changed, &current, sizeof(SinglePreset));
            // A refusal leaves the copy as it was, which the comparison below reads as no change.
            (void)ParameterConverter::toSingle(changed, p, nearestInteger(m_parameterManager.current[p]));
            if (std::memcmp(&changed, &current, sizeof(SinglePreset)) != 0) return false;
            if (p == Param_PitchBendDepth && changed.pitchBendDepth != m_pitchBendRange) return false;
            continue;
        }
        if (isMultiParameter(p) && m_playMode != PlayMode_Multi) continue; // ignored
        return false; // a Multi field or the play mode: remaps sections, may end voices
    }
    return true;
}

} // namespace k1lib
