// Real-time factors of the engine: the "rtf" counter is seconds of audio rendered per second
// of processing time on one core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "k1lib/engine/Resampler.h"
#include "tools/render/Performance.h"
#include "tools/render/Song.h"

namespace {

constexpr int kBlock = 512;

// A benchmark set up on a refused preset would measure something else: stop instead.
void require(bool accepted, const char* what) {
    if (accepted) return;
    std::fprintf(stderr, "bench_engine: %s refused\n", what);
    std::abort();
}

k1lib::SinglePreset sustainedSingle(bool fourSources, bool vibrato) {
    k1lib::SinglePreset s{};
    std::strcpy(s.name, "Bench");
    s.volume = 99;
    s.source2or4 = fourSources ? 1 : 0;
    s.pressureToFreq = s.pressureToVibrato = s.velToDepth = s.autoBendKeyScaleToTime = 50;
    s.vibratoDepth = vibrato ? 75 : 50;
    s.autoBendDepth = 50;
    s.pitchBendDepth = 2;
    s.lfoSpeed = 40;
    for (int i = 0; i < 4; ++i) {
        k1lib::SingleSource& src = s.sources[i];
        src.fine = 50 + i;
        src.coarse = 84;
        src.wave = static_cast<uint8_t>(13 + i * 40);
        src.keyTrack = 1;
        src.vibABend = 1;
        src.envLevel = 100;
        src.envSustain = 100;
        src.envRelease = 40;
        src.levelModVel = src.levelModPressure = src.levelModKeyScale = 50;
        src.timeModVel = src.timeModKeyScale = src.freqKeyScaleToFreq = 50;
    }
    return s;
}

struct EngineRig {
    k1lib::IEngineListener listener;
    k1lib::Engine engine{&listener, k1lib::PluginType_Vst3};
    std::vector<std::vector<float>> buffers;
    std::vector<float*> outputs;
    std::vector<k1lib::SMidiEvent> events;

    explicit EngineRig(int channels) : buffers(static_cast<size_t>(channels), std::vector<float>(kBlock)) {
        for (std::vector<float>& b : buffers)
            outputs.push_back(b.data());
        events.reserve(256);
        engine.setSamplerate(48000.0f);
    }
    void note(int channel, int key) {
        events.push_back(
            k1lib::shortMessage(static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key), 100));
    }
    void bend(int channel, int value) {
        events.push_back(k1lib::shortMessage(static_cast<uint8_t>(0xE0 | channel),
                                             static_cast<uint8_t>(value & 0x7F),
                                             static_cast<uint8_t>(value >> 7)));
    }
    void block() {
        engine.process(outputs.data(), static_cast<int>(outputs.size()), kBlock, events);
        events.clear();
    }
};

void reportRealTime(benchmark::State& state) {
    state.counters["rtf"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock / 48000.0,
                                               benchmark::Counter::kIsRate);
}

void BM_Idle(benchmark::State& state) {
    EngineRig rig(2);
    for (auto _ : state)
        rig.block();
    reportRealTime(state);
}
BENCHMARK(BM_Idle);

// Controllers without notes: the wheel, a bend and the pan move every block while nothing sounds
// (to hold against BM_Idle).
void BM_ControllersWithoutNotes(benchmark::State& state) {
    EngineRig rig(2);
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) & 0x7F;
        rig.events.push_back(k1lib::shortMessage(0xB0, 1, static_cast<uint8_t>(step)));
        rig.events.push_back(k1lib::shortMessage(0xB0, 10, static_cast<uint8_t>(127 - step)));
        rig.bend(0, step << 7);
        rig.block();
    }
    reportRealTime(state);
}
BENCHMARK(BM_ControllersWithoutNotes);

// A K1 at full load: sixteen voices of a two-source Single, stereo, at 48 kHz.
void startK1Load(EngineRig& rig) {
    require(rig.engine.setSingle(0, sustainedSingle(false, false)), "setSingle");
    require(rig.engine.setSingle(0), "setSingle");
    for (int k = 0; k < 16; ++k)
        rig.note(0, 36 + 3 * k);
    rig.block();
}

void BM_K1Load(benchmark::State& state) {
    EngineRig rig(2);
    startK1Load(rig);
    for (auto _ : state)
        rig.block();
    reportRealTime(state);
}
BENCHMARK(BM_K1Load);

// The same load while the host automates one parameter every block, so a ramp always runs.
void BM_K1LoadAutomated(benchmark::State& state) {
    EngineRig rig(2);
    startK1Load(rig);
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 64;
        if (!rig.engine.setParameter(k1lib::Param_SourceMix12,
                                     static_cast<float>(step < 32 ? step : 64 - step) / 32.0f, true)) {
            state.SkipWithError("the engine refused the automated parameter");
            break;
        }
        rig.block();
    }
    reportRealTime(state);
}
BENCHMARK(BM_K1LoadAutomated);

// The project's songs on factory Singles (1 "Grand Pno", 11 "Jazz Organ"), played in a loop:
// notes in every envelope stage, the pedal, bends, the wheel and the source mix automated.
void songLoad(benchmark::State& state, SongStyle style, uint64_t single, int outputs = 2) {
    constexpr double kSeconds = 64.0;
    EngineRig rig(outputs);
    require(rig.engine.setSingle(single), "setSingle");
    std::vector<TimedEvent> song;
    if (!loadMidiBytes(makeSongMidiFile(style, kSeconds), 48000.0, song)) {
        state.SkipWithError("the song does not load");
        return;
    }
    const int64_t length = static_cast<int64_t>(kSeconds * 48000.0);
    int64_t position = 0;
    size_t next = 0;
    for (auto _ : state) {
        for (; next < song.size() && song[next].sample < position + kBlock; ++next) {
            k1lib::SMidiEvent e = song[next].event;
            e.sampleOffset = static_cast<int32_t>(std::max<int64_t>(song[next].sample - position, 0));
            rig.events.push_back(e);
        }
        rig.block();
        position += kBlock;
        if (position >= length) {
            position = 0;
            next = 0;
        }
    }
    reportRealTime(state);
}
void BM_SongPiano(benchmark::State& state) {
    songLoad(state, SongStyle::Piano, 1);
}
void BM_SongOrgan(benchmark::State& state) {
    songLoad(state, SongStyle::Organ, 11);
}
// Stereo mode with all six aux buses active: they stay silent.
void BM_SongPianoAuxBuses(benchmark::State& state) {
    songLoad(state, SongStyle::Piano, 1, 8);
}
BENCHMARK(BM_SongPiano);
BENCHMARK(BM_SongOrgan);
BENCHMARK(BM_SongPianoAuxBuses);

// Eight sections of eight four-source voices with vibrato and a bend sweep, on eight channels.
void BM_HeavyMulti(benchmark::State& state) {
    EngineRig rig(8);
    k1lib::Engine::Config config = rig.engine.getConfig();
    config.audioOutputMode = 1;
    config.omni = 0;
    rig.engine.setConfig(config);
    k1lib::MultiPreset multi{};
    std::strcpy(multi.name, "Heavy");
    multi.volume = 99;
    for (int s = 0; s < 8; ++s) {
        require(rig.engine.setSingle(static_cast<uint64_t>(s), sustainedSingle(true, true)), "setSingle");
        k1lib::MultiSection& sec = multi.sections[s];
        sec.single = static_cast<uint32_t>(s);
        sec.zoneLow = 0;
        sec.zoneHigh = 127;
        sec.poly = 9; // eight voices
        sec.output = 1;
        sec.channel = static_cast<uint32_t>(s);
        sec.level = 100;
    }
    require(rig.engine.setMulti(0, multi), "setMulti");
    rig.engine.setPlayMode(k1lib::PlayMode_Multi);
    require(rig.engine.setMulti(0), "setMulti");
    for (int s = 0; s < 8; ++s)
        for (int k = 0; k < 8; ++k)
            rig.note(s, 40 + 5 * k);
    rig.block();
    int sweep = 0;
    for (auto _ : state) {
        sweep = (sweep + 256) & 0x3FFF;
        for (int s = 0; s < 8; ++s)
            rig.bend(s, sweep);
        rig.block();
    }
    reportRealTime(state);
}
BENCHMARK(BM_HeavyMulti);

// What a host's setActive costs: the engine back to silence with a resampler as new, after a
// performance left voices, ramps and converter state behind.
void BM_Activation(benchmark::State& state) {
    EngineRig rig(2);
    for (auto _ : state) {
        state.PauseTiming();
        startK1Load(rig);
        state.ResumeTiming();
        rig.engine.reset();
    }
}
BENCHMARK(BM_Activation)->Unit(benchmark::kMillisecond);

// A host that changes its rate: a new resampler, its filters included.
void BM_NewHostRate(benchmark::State& state) {
    EngineRig rig(2);
    bool high = false;
    for (auto _ : state) {
        high = !high;
        rig.engine.setSamplerate(high ? 96000.0f : 48000.0f);
    }
}
BENCHMARK(BM_NewHostRate)->Unit(benchmark::kMillisecond);

class SilentRenderer : public k1lib::AudioRenderer {
public:
    void processAudio(float** outputs, int channels, int samples,
                      const std::vector<k1lib::SMidiEvent>&) override {
        for (int c = 0; c < channels; ++c)
            std::memset(outputs[c], 0, sizeof(float) * static_cast<size_t>(samples));
    }
};

void BM_ResamplerEightChannels(benchmark::State& state) {
    SilentRenderer renderer;
    k1lib::Resampler resampler(renderer, 49920.0f, 48000.0f, 8);
    std::vector<std::vector<float>> buffers(8, std::vector<float>(kBlock));
    std::vector<float*> outputs;
    for (std::vector<float>& b : buffers)
        outputs.push_back(b.data());
    std::vector<k1lib::SMidiEvent> events;
    for (auto _ : state)
        resampler.process(outputs.data(), 8, kBlock, events);
    reportRealTime(state);
}
BENCHMARK(BM_ResamplerEightChannels);

} // namespace

BENCHMARK_MAIN();
