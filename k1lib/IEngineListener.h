#pragma once
// Everything the engine reports, always called from inside an engine call on the calling thread.
// Implemented by the plug-in facade; the engine does not own its listener.
#include <cstddef>
#include <vector>

#include "Parameters.h"
#include "SMidiEvent.h"

namespace k1lib {

class IEngineListener {
public:
    virtual void onActiveSingleChanged(size_t index) = 0;
    virtual void onSingleModified(size_t index) = 0;
    virtual void onSinglesModified(size_t first, size_t count) = 0;
    virtual void onActiveSingleModified(size_t index) = 0;
    virtual void onActiveMultiChanged(size_t index) = 0;
    virtual void onMultiModified(size_t index) = 0;
    virtual void onMultisModified(size_t first, size_t count) = 0;
    virtual void onActiveMultiModified(size_t index) = 0;
    // A parameter the engine changed by itself (controllers 16/17, "Sect" program changes).
    virtual void onParameterChanged(EParam param, float normalizedValue) = 0;
    // A system-exclusive message to send.
    virtual void sendMidi(const SMidiEvent& event) = 0;
    virtual void serializeCustomData(std::vector<unsigned char>& data) = 0;
    virtual void deserializeCustomData(const std::vector<unsigned char>& data) = 0;
    virtual void onPlayModeChanged() = 0;
    virtual void onConfigChanged() = 0;

protected:
    ~IEngineListener() = default;
};

} // namespace k1lib
