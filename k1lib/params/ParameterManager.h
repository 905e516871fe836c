#pragma once
// Holds every parameter's value (normalised, plain, and the current value sound generation uses)
// and moves the current value to a new target at once or over a fixed ramp, one step per engine
// sample. process() runs on the audio thread: fixed-size storage only, no allocation.
#include <atomic>
#include <cstdint>

#include "k1lib/params/Parameters.h"

namespace k1lib {

// Thread contract: none of its own. It lives inside the Engine, whose owner serialises every call:
// the setters from whichever thread changes a parameter, process and the steady steps on the
// audio thread.
class ParameterManager {
public:
    struct RampEntry {
        uint32_t param = 0xFFFFFFFF; // set on first use
        uint32_t stepsLeft = 0;      // 0: idle, not queued
    };

    // A ring with one slot per parameter; it never overflows because each parameter stands in
    // it at most once. count is changed only atomically.
    template <typename T> struct Ring {
        T slots[kParamCount]{};
        uint64_t writeIndex = 0;
        uint64_t readIndex = 0;
        std::atomic<uint32_t> count{0};

        void push(T value) {
            slots[writeIndex] = value;
            writeIndex = wrap(writeIndex + 1);
            ++count;
        }
        T pop() {
            T value = slots[readIndex];
            readIndex = wrap(readIndex + 1);
            --count;
            return value;
        }
        // Entry i counted from the oldest, without removing anything.
        T& at(uint32_t i) { return slots[wrap(readIndex + i)]; }
        const T& at(uint32_t i) const { return slots[wrap(readIndex + i)]; }

    private:
        static uint64_t wrap(uint64_t index) { return index >= kParamCount ? index - kParamCount : index; }
    };

    ParameterManager();

    // All three refuse (false, nothing changed) a parameter number of 209 or more and a value
    // that is not finite, and clamp the value to the parameter's range.
    bool setVSTParam(unsigned int param, float normalizedValue, bool smooth);
    bool setVSTParamReal(unsigned int param, float plainValue, bool smooth);
    // Moves only the target; normalized and plain stay as they were.
    void setIntParam(unsigned int param, float value, bool smooth);
    // Ramps last 0.1 s at this rate.
    void setSamplerate(float rate);

    // One step: lists in changedQueue every parameter whose ramp advanced. False when idle.
    bool process();
    // Steady ramps: when changedQueue lists exactly the running ramps, in their order, how many
    // further steps all of them take before one ends (0 otherwise). stepSteadily takes steps such
    // steps (at most steadySteps()), which leaves the values and lists as that many process()
    // calls would: every ramp moves by its delta, once per step. values, when given, receives
    // ramp i's value after step k in values[i][k].
    uint32_t steadySteps() const;
    void stepSteadily(uint32_t steps, float* const values[] = nullptr);

    // Read by the engine; written only through the functions above.
    float normalized[kParamCount];
    float plain[kParamCount];
    float current[kParamCount];
    float target[kParamCount];
    float delta[kParamCount];
    uint8_t changedFlag[kParamCount];
    RampEntry rampEntries[kParamCount];
    Ring<RampEntry*> rampQueue;
    Ring<uint32_t> changedQueue;
    uint32_t rampSteps = 4992;
    float rampStepFactor = 1.0f / 4992.0f;

private:
    void setTarget(uint32_t param, float value, bool smooth);
};

} // namespace k1lib
