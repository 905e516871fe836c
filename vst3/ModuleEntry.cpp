// The module's only exported functions, as Linux hosts expect them.
#include <mutex>

#include "vst3/ZykFactory.h"

namespace {
std::mutex g_moduleLock;
int g_moduleEntries = 0; // hosts may enter the module more than once; init and deinit run once
} // namespace

extern "C" {

SMTG_EXPORT_SYMBOL Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory() {
    return obtainZykFactory();
}

SMTG_EXPORT_SYMBOL bool ModuleEntry(void* /*sharedLibraryHandle*/) {
    std::lock_guard<std::mutex> guard(g_moduleLock);
    if (g_moduleEntries == 0 && !InitModule()) return false;
    ++g_moduleEntries;
    return true;
}

SMTG_EXPORT_SYMBOL bool ModuleExit() {
    std::lock_guard<std::mutex> guard(g_moduleLock);
    if (g_moduleEntries == 0) return false;
    if (--g_moduleEntries == 0) return DeinitModule();
    return true;
}
}
