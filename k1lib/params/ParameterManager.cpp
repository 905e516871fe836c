#include "k1lib/params/ParameterManager.h"

#include <algorithm>
#include <cmath>

#include "log/Log.h"

namespace k1lib {
namespace {

constexpr float kUnset = -99999.0f;

float clampToRow(uint32_t param, float plainValue) {
    return std::clamp(plainValue, g_params[param].min, g_params[param].max);
}

} // namespace

ParameterManager::ParameterManager() {
    std::fill(std::begin(normalized), std::end(normalized), kUnset);
    std::fill(std::begin(plain), std::end(plain), kUnset);
    std::fill(std::begin(current), std::end(current), kUnset);
    std::fill(std::begin(target), std::end(target), kUnset);
    std::fill(std::begin(delta), std::end(delta), 0.0f);
    std::fill(std::begin(changedFlag), std::end(changedFlag), uint8_t{0});

    // The unset fill makes every parameter differ from its default, so each is queued in order.
    for (uint32_t p = 0; p < kParamCount; ++p) {
        const CParam& row = g_params[p];
        normalized[p] = (row.defaultValue - row.min) * row.rangeInv;
        plain[p] = normalized[p] * row.range + row.min;
        setTarget(p, plain[p], false);
    }
    // Defaults are current at once, yet the first process() still lists every parameter.
    for (uint32_t p = 0; p < kParamCount; ++p) {
        current[p] = target[p];
        delta[p] = 0.0f;
        changedFlag[p] = 1;
        changedQueue.push(p);
    }
}

bool ParameterManager::setVSTParam(unsigned int param, float normalizedValue, bool smooth) {
    if (param >= kParamCount || !std::isfinite(normalizedValue)) return false;
    const float n = std::clamp(normalizedValue, 0.0f, 1.0f);
    if (normalized[param] == n) return false;
    normalized[param] = n;
    plain[param] = n * g_params[param].range + g_params[param].min;
    setTarget(param, plain[param], smooth);
    return true;
}

bool ParameterManager::setVSTParamReal(unsigned int param, float plainValue, bool smooth) {
    if (param >= kParamCount || !std::isfinite(plainValue)) return false;
    const float x = clampToRow(param, plainValue);
    if (plain[param] == x) return false;
    plain[param] = x;
    normalized[param] = (x - g_params[param].min) * g_params[param].rangeInv;
    setTarget(param, x, smooth);
    return true;
}

void ParameterManager::setIntParam(unsigned int param, float value, bool smooth) {
    if (param >= kParamCount || !std::isfinite(value)) return;
    setTarget(param, clampToRow(param, value), smooth);
}

void ParameterManager::setSamplerate(float rate) {
    const float steps = rate * 0.1f;
    if (!std::isfinite(steps) || steps < 1.0f || steps > 1e8f) {
        log("setSamplerate", 61, "Invalid sample rate ", rate);
        return;
    }
    rampSteps = static_cast<uint32_t>(steps);
    rampStepFactor = 1.0f / steps;
}

void ParameterManager::setTarget(uint32_t param, float value, bool smooth) {
    if (target[param] == value) return;
    RampEntry& entry = rampEntries[param];
    entry.param = param;
    target[param] = value;
    const uint32_t wasLeft = entry.stepsLeft;
    const float difference = value - current[param];
    delta[param] = smooth ? difference * rampStepFactor : difference;
    entry.stepsLeft = smooth ? rampSteps : 1;
    if (wasLeft == 0) rampQueue.push(&entry); // else already queued: the ramp restarts from here
}

bool ParameterManager::process() {
    while (changedQueue.count > 0)
        changedFlag[changedQueue.pop()] = 0;
    if (rampQueue.count == 0) return false;

    for (uint32_t i = 0; i < rampQueue.count;) {
        RampEntry& entry = *rampQueue.at(i);
        const uint32_t p = entry.param;
        if (!changedFlag[p]) {
            changedFlag[p] = 1;
            changedQueue.push(p);
        }
        current[p] += delta[p];
        if (--entry.stepsLeft != 0) {
            ++i;
            continue;
        }
        // Done: land exactly on the target and retire the entry; slot i then holds the next one.
        current[p] = target[p];
        if (i > 0) std::swap(rampQueue.at(i), rampQueue.at(0));
        rampQueue.pop();
    }
    return true;
}

uint32_t ParameterManager::steadySteps() const {
    const uint32_t count = rampQueue.count;
    if (count == 0 || changedQueue.count != count) return 0;
    uint32_t steps = 0xFFFFFFFF;
    for (uint32_t i = 0; i < count; ++i) {
        const RampEntry& entry = *rampQueue.at(i);
        if (changedQueue.at(i) != entry.param) return 0;
        steps = std::min(steps, entry.stepsLeft - 1); // the last step lands on the target
    }
    return steps;
}

void ParameterManager::stepSteadily(uint32_t steps, float* const values[]) {
    for (uint32_t i = 0; i < rampQueue.count; ++i) {
        RampEntry& entry = *rampQueue.at(i);
        // Added step by step, so every rounding is the one process() makes.
        float value = current[entry.param];
        const float step = delta[entry.param];
        float* const out = values != nullptr ? values[i] : nullptr;
        for (uint32_t k = 0; k < steps; ++k) {
            value += step;
            if (out != nullptr) out[k] = value;
        }
        current[entry.param] = value;
        entry.stepsLeft -= steps;
    }
}

} // namespace k1lib
