// The GUI layer logs through the house sink ("function@line: text").
#pragma once

#include "log/Log.h"

namespace zykgui {
using k1lib::log;
}
