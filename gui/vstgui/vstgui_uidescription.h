// The UI description (XML panel documents) under VSTGUI's names.
#pragma once

#include "gui/UIDescription.h"
