// zyk_render: plays a Standard MIDI File or a built-in pattern through the engine and writes
// a WAV file, printing the real-time factor. A developer and test tool.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "k1lib/constants/K1Constants.h"
#include "k1lib/engine/Engine.h"
#include "k1lib/engine/IEngineListener.h"
#include "tools/render/Performance.h"
#include "tools/render/WavFile.h"

namespace {

struct Options {
    std::string out = "zyk_render.wav";
    std::string midi;
    double rate = 48000;
    int block = 512; // 0: random sizes from 1 to 2048
    int channels = 2;
    double seconds = 8;
    long single = -1;
    long multi = -1;
    int outputMode = -1; // 0 Stereo (aux buses silent), 1 separate; eight channels default to 1
};

int usage() {
    std::fprintf(stderr,
                 "usage: zyk_render [--single N | --multi N] [--midi FILE.mid] [--rate HZ] [--block N|0]\n"
                 "                  [--channels 1-8] [--output-mode 0|1] [--seconds S] [--out FILE.wav]\n");
    return 2;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (arg == "--out")
            o.out = value;
        else if (arg == "--midi")
            o.midi = value;
        else if (arg == "--rate")
            o.rate = std::atof(value);
        else if (arg == "--block")
            o.block = std::atoi(value);
        else if (arg == "--channels")
            o.channels = std::atoi(value);
        else if (arg == "--seconds")
            o.seconds = std::atof(value);
        else if (arg == "--single")
            o.single = std::atol(value);
        else if (arg == "--multi")
            o.multi = std::atol(value);
        else if (arg == "--output-mode")
            o.outputMode = std::atoi(value);
        else
            return false;
    }
    return o.rate >= 8000 && o.rate <= 384000 && o.block >= 0 && o.channels >= 1 &&
           o.channels <= k1lib::kOutputCount && o.outputMode >= -1 && o.outputMode <= 1 && o.seconds > 0 &&
           o.seconds <= 3600;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) return usage();
    k1lib::IEngineListener listener;
    k1lib::Engine engine(&listener, k1lib::PluginType_Vst3);
    engine.setSamplerate(static_cast<float>(o.rate));
    if (o.outputMode == 1 || (o.outputMode < 0 && o.channels == k1lib::kOutputCount)) {
        k1lib::Engine::Config config = engine.getConfig();
        config.audioOutputMode = 1;
        engine.setConfig(config);
    }
    if (o.multi >= 0) {
        engine.setPlayMode(k1lib::PlayMode_Multi);
        if (!engine.setMulti(static_cast<uint64_t>(o.multi))) return usage();
    } else if (o.single >= 0 && !engine.setSingle(static_cast<uint64_t>(o.single))) {
        return usage();
    }

    std::vector<TimedEvent> performance;
    if (!o.midi.empty()) {
        if (!loadMidiFile(o.midi, o.rate, performance))
            std::fprintf(stderr, "zyk_render: damaged MIDI file, playing what was read\n");
    } else {
        performance = testPattern(o.rate, o.seconds, o.multi >= 0 ? 8 : 1);
    }

    const int64_t total = static_cast<int64_t>(o.seconds * o.rate);
    WavFileWriter wav;
    if (!wav.open(o.out, o.channels, static_cast<int>(o.rate), static_cast<uint32_t>(total))) {
        std::fprintf(stderr, "zyk_render: cannot write %s\n", o.out.c_str());
        return 1;
    }
    // One block's worth of each channel, written out after every block.
    const int maxBlock = o.block > 0 ? o.block : 2048;
    std::vector<std::vector<float>> channels(static_cast<size_t>(o.channels),
                                             std::vector<float>(static_cast<size_t>(maxBlock)));
    std::vector<float*> outputs(static_cast<size_t>(o.channels));
    for (int c = 0; c < o.channels; ++c)
        outputs[static_cast<size_t>(c)] = channels[static_cast<size_t>(c)].data();
    std::vector<k1lib::SMidiEvent> events;
    std::mt19937 random(1);
    size_t next = 0;
    double busy = 0;
    for (int64_t position = 0; position < total;) {
        const int block = static_cast<int>(
            std::min<int64_t>(o.block > 0 ? o.block : 1 + random() % 2048, total - position));
        for (; next < performance.size() && performance[next].sample < position + block; ++next) {
            k1lib::SMidiEvent e = performance[next].event;
            e.sampleOffset = static_cast<int32_t>(std::max<int64_t>(performance[next].sample - position, 0));
            events.push_back(std::move(e));
        }
        const auto start = std::chrono::steady_clock::now();
        engine.process(outputs.data(), o.channels, block, events);
        busy += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        wav.write(outputs.data(), block);
        events.clear();
        position += block;
    }
    if (!wav.close()) {
        std::fprintf(stderr, "zyk_render: cannot write %s\n", o.out.c_str());
        return 1;
    }
    std::printf("%s: %.1f s at %.0f Hz, %d channels, real-time factor %.1f\n", o.out.c_str(), o.seconds,
                o.rate, o.channels, busy > 0 ? o.seconds / busy : 0.0);
    return 0;
}
