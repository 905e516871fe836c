#pragma once
// One change reported to the editor, drained on the user-interface thread.
#include <cstdint>

#include "k1lib/params/Parameters.h"

namespace k1lib {

struct PluginToEditorEvent {
    enum Type : uint32_t {
        ParameterChanged = 0,
        SinglesModified = 1,
        SingleModified = 2,
        ActiveSingleModified = 3,
        ActiveSingleChanged = 4,
        MultisModified = 5,
        MultiModified = 6,
        ActiveMultiModified = 7,
        ActiveMultiChanged = 8,
        PlayModeChanged = 9,
        ConfigChanged = 10,
    };
    static constexpr EParam kNoParam = Param_Count;

    uint32_t type = ParameterChanged;
    uint64_t index = 0; // the Single or Multi concerned, or the first of a range
    uint64_t count = 0; // the length of a range
    EParam param = kNoParam;
    float value = 0.0f; // normalised

    // The report of a parameter's new normalised value.
    static PluginToEditorEvent parameterChanged(EParam changed, float normalizedValue) {
        PluginToEditorEvent event;
        event.param = changed;
        event.value = normalizedValue;
        return event;
    }
};

// Implemented by the editor: records the event for its own thread and returns at once.
class IEditor {
public:
    virtual void onEvent(const PluginToEditorEvent& event) = 0;
    virtual ~IEditor() = default;
};

} // namespace k1lib
