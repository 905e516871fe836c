// Text width outside of any drawing (layout of popups and tooltips).
#pragma once

#include "gui/CFontDesc.h"

namespace zykgui {

// The advance width of one line of text in the font, in the font's units.
VSTGUI::CCoord measureString(const VSTGUI::CFontDesc& font, const VSTGUI::UTF8String& text);

} // namespace zykgui
