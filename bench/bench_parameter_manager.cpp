// ParameterManager::process() runs once per engine sample (49,920 times a second). Prints the
// time per call and the real-time factor for an idle manager, one ramp and all 209 ramps.
#include <chrono>
#include <cstdio>
#include <memory>

#include "k1lib/params/ParameterManager.h"

using namespace k1lib;

namespace {

constexpr double kEngineRate = 49920.0;
constexpr int kCalls = 4992 * 200; // 20 s of engine time

// Runs kCalls steps; before each ramp length, startRamps sets new targets.
template <typename StartRamps> void measure(const char* label, ParameterManager& m, StartRamps startRamps) {
    float sink = 0.0f;
    const auto begin = std::chrono::steady_clock::now();
    for (int call = 0; call < kCalls; ++call) {
        if (call % 4992 == 0) startRamps(call / 4992);
        m.process();
        sink += m.current[Param_LfoSpeed];
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("%-14s %8.2f ns/call  real-time factor %10.1f  (%g)\n", label, seconds * 1e9 / kCalls,
                kCalls / kEngineRate / seconds, static_cast<double>(sink));
}

} // namespace

int main() {
    auto m = std::make_unique<ParameterManager>();
    m->process();
    measure("idle", *m, [](int) {});
    measure("one ramp", *m,
            [&](int round) { m->setVSTParam(Param_LfoSpeed, round % 2 ? 0.0f : 1.0f, true); });
    measure("209 ramps", *m, [&](int round) {
        for (uint32_t p = 0; p < kParamCount; ++p)
            m->setVSTParam(p, round % 2 ? 0.1f : 0.9f, true);
    });
    return 0;
}
