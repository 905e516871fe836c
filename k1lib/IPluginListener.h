#pragma once
// The engine's notifications as the facade passes them on to the host binding.
#include <cstddef>
#include <vector>

#include "Parameters.h"
#include "SMidiEvent.h"

namespace k1lib {

class IPluginListener {
public:
    virtual void onActiveSingleChanged(size_t index) = 0;
    virtual void onSingleModified(size_t index) = 0;
    virtual void onActiveSingleModified(size_t index) = 0;
    virtual void onSinglesModified(size_t first, size_t count) = 0;
    virtual void onActiveMultiChanged(size_t index) = 0;
    virtual void onMultiModified(size_t index) = 0;
    virtual void onActiveMultiModified(size_t index) = 0;
    virtual void onMultisModified(size_t first, size_t count) = 0;
    virtual void sendMidi(const SMidiEvent& event) = 0;
    virtual void onParameterChanged(EParam param, float normalizedValue) = 0;
    virtual void serializeCustomData(std::vector<unsigned char>& data) = 0;
    virtual void deserializeCustomData(const std::vector<unsigned char>& data) = 0;
    virtual void onPlayModeChanged() = 0;
    virtual void onConfigChanged() = 0;

protected:
    ~IPluginListener() = default;
};

}  // namespace k1lib
