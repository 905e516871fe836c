#pragma once
// What the resampler pulls engine-rate audio from: the engine's per-sample loop.
#include <vector>

#include "k1lib/records/SMidiEvent.h"

namespace k1lib {

class AudioRenderer {
public:
    virtual ~AudioRenderer() = default;
    // Renders samples frames at the engine rate into outputs, handling each event whose offset
    // lies before samples at that sample (negative offsets at once).
    virtual void processAudio(float** outputs, int channels, int samples,
                              const std::vector<SMidiEvent>& events) = 0;
    // True while nothing can sound before the next event or parameter change: every sample
    // rendered until then would be an exact zero.
    virtual bool isQuiet() const { return false; }
    // True when processAudio with these events renders nothing but exact zeros and leaves nothing
    // that sounds later: it then writes zeros to the channels it is given and needs none.
    virtual bool rendersSilence(const std::vector<SMidiEvent>& /*events*/) const { return false; }
};

} // namespace k1lib
