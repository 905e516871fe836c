// The UI description (XML panel documents) under VSTGUI's names.
#pragma once

#include "../UIDescription.h"
