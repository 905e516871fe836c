// What the editor asks of the host view that embeds it.
//
// Thread contract: the editor calls these on the user-interface thread only.
#pragma once

#include "Parameters.h"

class k1EditorListener {
public:
    virtual ~k1EditorListener() = default;
    // The user changed a parameter in the editor (normalised value). The view edits the host
    // parameter and echoes the value back to the editor as a ParameterChanged event.
    virtual void changeParameter(k1lib::EParam param, float value) = 0;
    // The editor's frame has a new size (or kept its size against a host's proposal).
    virtual void onSizeChanged() = 0;
};
