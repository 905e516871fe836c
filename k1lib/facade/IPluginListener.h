#pragma once
// The engine's notifications as the facade passes them on to the host binding.
#include <cstddef>
#include <vector>

#include "k1lib/params/Parameters.h"
#include "k1lib/records/SMidiEvent.h"

namespace k1lib {

// Every notification does nothing unless overridden: a listener names only what it acts on.
class IPluginListener {
public:
    virtual void onActiveSingleChanged(size_t /*index*/) {}
    virtual void onSingleModified(size_t /*index*/) {}
    virtual void onActiveSingleModified(size_t /*index*/) {}
    virtual void onSinglesModified(size_t /*first*/, size_t /*count*/) {}
    virtual void onActiveMultiChanged(size_t /*index*/) {}
    virtual void onMultiModified(size_t /*index*/) {}
    virtual void onActiveMultiModified(size_t /*index*/) {}
    virtual void onMultisModified(size_t /*first*/, size_t /*count*/) {}
    virtual void sendMidi(const SMidiEvent& /*event*/) {}
    virtual void onParameterChanged(EParam /*param*/, float /*normalizedValue*/) {}
    virtual void serializeCustomData(std::vector<unsigned char>& /*data*/) {}
    virtual void deserializeCustomData(const std::vector<unsigned char>& /*data*/) {}
    virtual void onPlayModeChanged() {}
    virtual void onConfigChanged() {}

protected:
    ~IPluginListener() = default;
};

} // namespace k1lib
