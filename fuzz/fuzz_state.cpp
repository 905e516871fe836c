// Untrusted state records into one engine. An input with an odd first byte patches a valid record
// (groups of a 2-byte offset and a value; an offset past the end cuts the record short); any other
// input is a record as it stands. A refused record must leave the engine as it was; a loaded one
// must leave it valid.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "k1lib/engine/Engine.h"
#include "k1lib/engine/EngineStateRecord.h"
#include "k1lib/engine/IEngineListener.h"
#include "log/Log.h"

namespace {

void quiet(const std::string&) {}

// What a refused load must not change.
struct Snapshot {
    std::vector<k1lib::SinglePreset> singles;
    std::vector<k1lib::MultiPreset> multis;
    k1lib::Engine::Config config;
    k1lib::PlayMode mode;
    uint64_t single;
    uint64_t multi;
    float values[k1lib::kParamCount];

    explicit Snapshot(const k1lib::Engine& e)
        : singles(e.getSingles()), multis(e.getMultis()), config(e.getConfig()), mode(e.getPlayMode()),
          single(e.getCurrentSingleIndex()), multi(e.getCurrentMultiIndex()) {
        std::memcpy(values, e.getParameterManager().normalized, sizeof values);
    }
    bool matches(const k1lib::Engine& e) const {
        if (!(singles == e.getSingles()) || multis.size() != e.getMultis().size() ||
            !(config == e.getConfig()) || mode != e.getPlayMode() || single != e.getCurrentSingleIndex() ||
            multi != e.getCurrentMultiIndex() ||
            std::memcmp(values, e.getParameterManager().normalized, sizeof values) != 0)
            return false;
        for (size_t i = 0; i < multis.size(); ++i)
            if (!k1lib::sameMulti(multis[i], e.getMultis()[i])) return false;
        return true;
    }
};

bool valid(const k1lib::Engine& e) {
    if (e.getSingles().size() != k1lib::Engine::singleCount() ||
        e.getMultis().size() != k1lib::Engine::multiCount() ||
        e.getCurrentSingleIndex() >= e.getSingles().size() ||
        e.getCurrentMultiIndex() >= e.getMultis().size() || e.getPlayMode() > k1lib::PlayMode_Multi ||
        e.getConfig().midiReceiveChannel > 15)
        return false;
    for (float v : e.getParameterManager().normalized)
        if (!(v >= 0.0f && v <= 1.0f)) return false;
    return true;
}

std::vector<unsigned char> patched(const std::vector<unsigned char>& good, const unsigned char* data,
                                   size_t size) {
    std::vector<unsigned char> record = good;
    for (size_t i = 1; i + 3 <= size && !record.empty(); i += 3) {
        // One offset in nine lies past the end and cuts the record short somewhere.
        const size_t at = (static_cast<size_t>(data[i]) << 8 | data[i + 1]) % (record.size() * 9 / 8 + 1);
        if (at < record.size())
            record[at] = data[i + 2];
        else
            record.resize(std::min(record.size() - 1, (at - record.size()) * 8));
    }
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    k1lib::setLogSink(&quiet);
    static k1lib::IEngineListener listener;
    static k1lib::Engine engine(&listener, k1lib::PluginType_Vst3);
    // A valid record with short banks keeps each run quick; the loader completes them.
    static const std::vector<unsigned char> good = [] {
        k1lib::EngineStateRecord valid;
        valid.playMode = k1lib::PlayMode_Multi;
        valid.parameterValues.assign(engine.getParameterManager().normalized,
                                     engine.getParameterManager().normalized + k1lib::kParamCount);
        valid.customData = {1, 2, 3};
        valid.currentSingle = 40;
        valid.currentMulti = 3;
        valid.singles.assign(engine.getSingles().begin(), engine.getSingles().begin() + 40);
        valid.multis.assign(engine.getMultis().begin(), engine.getMultis().begin() + 8);
        std::vector<unsigned char> out;
        valid.write(out);
        return out;
    }();
    const std::vector<unsigned char> record =
        size > 0 && (data[0] & 1) ? patched(good, data, size) : std::vector<unsigned char>(data, data + size);
    // Taken again only after a load, which is rare: copying the banks every run would be most of the work.
    static Snapshot before(engine);
    if (engine.loadState(record)) {
        if (!valid(engine)) std::abort();
        before = Snapshot(engine);
    } else if (!before.matches(engine)) {
        std::abort();
    }
    return 0;
}
