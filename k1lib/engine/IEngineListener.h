#pragma once
// Everything the engine reports, always called from inside an engine call on the calling thread.
// Implemented by the plug-in facade; the engine does not own its listener.
#include <cstddef>
#include <vector>

#include "k1lib/params/Parameters.h"
#include "k1lib/records/SMidiEvent.h"

namespace k1lib {

// Every notification does nothing unless overridden: a listener names only what it acts on, and a
// plain IEngineListener is one that ignores them all.
class IEngineListener {
public:
    virtual ~IEngineListener() = default;

    virtual void onActiveSingleChanged(size_t /*index*/) {}
    virtual void onSingleModified(size_t /*index*/) {}
    virtual void onSinglesModified(size_t /*first*/, size_t /*count*/) {}
    virtual void onActiveSingleModified(size_t /*index*/) {}
    virtual void onActiveMultiChanged(size_t /*index*/) {}
    virtual void onMultiModified(size_t /*index*/) {}
    virtual void onMultisModified(size_t /*first*/, size_t /*count*/) {}
    virtual void onActiveMultiModified(size_t /*index*/) {}
    // A parameter the engine changed by itself (controllers 16/17, "Sect" program changes).
    virtual void onParameterChanged(EParam /*param*/, float /*normalizedValue*/) {}
    // A system-exclusive message to send.
    virtual void sendMidi(const SMidiEvent& /*event*/) {}
    virtual void serializeCustomData(std::vector<unsigned char>& /*data*/) {}
    virtual void deserializeCustomData(const std::vector<unsigned char>& /*data*/) {}
    virtual void onPlayModeChanged() {}
    virtual void onConfigChanged() {}
};

} // namespace k1lib
