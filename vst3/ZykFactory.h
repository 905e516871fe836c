#pragma once
// The module's one class: its ID, its class information and the process-wide factory.
#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ipluginbase.h"

// Hosts identify saved projects by this ID, so it never changes.
inline const Steinberg::FUID K1AudioProcessorUID(0x84E8DE5E, 0x92554F52, 0x96FAE412, 0x3C935A17);

// The process-wide factory: built on the first call, one more reference on each later call.
Steinberg::IPluginFactory* obtainZykFactory();

// InitModule and DeinitModule only answer true; the module entry calls them.
bool InitModule();
bool DeinitModule();
