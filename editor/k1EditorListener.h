// What the editor asks of the host view that embeds it.
//
// Thread contract: the editor calls these on the user-interface thread only.
#pragma once

#include "k1lib/params/Parameters.h"

#include <optional>

class k1EditorListener {
public:
    virtual ~k1EditorListener() = default;
    // The user changed a parameter in the editor (normalised value). The view edits the host
    // parameter and echoes the value back to the editor as a ParameterChanged event.
    // Outside a gesture the change is one complete edit; inside one it is a step of that edit.
    virtual void changeParameter(k1lib::EParam param, float value) = 0;
    // A drag, a held button or a wheel turn on a parameter's control: every change between the
    // two calls is one edit for the host (one touch, one undo step). Calls nest per parameter.
    virtual void beginParameterGesture(k1lib::EParam param) = 0;
    virtual void endParameterGesture(k1lib::EParam param) = 0;
    // The user chose the preset that now plays: the view tells the host as the user's edit of its
    // program parameter (some hosts save only what comes to them as edits).
    virtual void changeProgram() {}
    // The editor's frame has a new size (or kept its size against a host's proposal).
    virtual void onSizeChanged() = 0;
    // The default the host was told for the parameter (normalised), which Ctrl+click on its
    // control resets to; none: the parameter table's.
    virtual std::optional<float> getDefaultValue(k1lib::EParam /*param*/) const { return std::nullopt; }
};
