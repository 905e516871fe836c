#include "vst3/PluginFactory.h"

#include <cstring>

#include "log/Log.h"

using namespace Steinberg;

k1PluginFactory::k1PluginFactory(const PFactoryInfo& info) : factoryInfo(info) {}

void k1PluginFactory::registerClass(const PClassInfo2& info, CreateFunction create, void* context) {
    classes.push_back({info, create, context});
}

const k1PluginFactory::ClassEntry* k1PluginFactory::entry(int32 index) const {
    if (index < 0 || index >= static_cast<int32>(classes.size())) return nullptr;
    return &classes[static_cast<size_t>(index)];
}

tresult PLUGIN_API k1PluginFactory::getFactoryInfo(PFactoryInfo* info) {
    if (!info) return kInvalidArgument;
    *info = factoryInfo;
    return kResultOk;
}

int32 PLUGIN_API k1PluginFactory::countClasses() {
    return static_cast<int32>(classes.size());
}

tresult PLUGIN_API k1PluginFactory::getClassInfo(int32 index, PClassInfo* info) {
    const ClassEntry* found = entry(index);
    if (!info || !found) return kInvalidArgument;
    *info = PClassInfo();
    std::memcpy(info->cid, found->info.cid, sizeof(TUID));
    info->cardinality = found->info.cardinality;
    std::memcpy(info->category, found->info.category, sizeof(info->category));
    std::memcpy(info->name, found->info.name, sizeof(info->name));
    return kResultOk;
}

tresult PLUGIN_API k1PluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
    const ClassEntry* found = entry(index);
    if (!info || !found) return kInvalidArgument;
    *info = found->info;
    return kResultOk;
}

tresult PLUGIN_API k1PluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
    const ClassEntry* found = entry(index);
    if (!info || !found) return kInvalidArgument;
    *info = PClassInfoW();
    info->fromAscii(found->info);
    return kResultOk;
}

tresult PLUGIN_API k1PluginFactory::createInstance(FIDString cid, FIDString interfaceId, void** obj) {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !interfaceId) return kInvalidArgument;
    for (const ClassEntry& candidate : classes) {
        // Byte compare: the host's IDs need not be aligned for the SDK's 64-bit compare.
        if (std::memcmp(candidate.info.cid, cid, sizeof(TUID)) != 0) continue;
        FUnknown* instance = candidate.create(candidate.context);
        if (!instance) {
            k1lib::log("createInstance", 90, "Creating an instance failed");
            return kOutOfMemory;
        }
        const tresult result = instance->queryInterface(interfaceId, obj);
        instance->release(); // the interface asked for holds its own reference
        if (result != kResultOk) *obj = nullptr;
        return result;
    }
    k1lib::log("createInstance", 99, "Unknown class ID requested");
    return kNoInterface;
}

tresult PLUGIN_API k1PluginFactory::setHostContext(FUnknown* /*context*/) {
    return kNotImplemented;
}

tresult PLUGIN_API k1PluginFactory::queryInterface(const TUID interfaceId, void** obj) {
    if (!obj) return kInvalidArgument;
    for (const TUID* known : {&IPluginFactory3::iid.toTUID(), &IPluginFactory2::iid.toTUID(),
                              &IPluginFactory::iid.toTUID(), &FUnknown::iid.toTUID()}) {
        if (std::memcmp(*known, interfaceId, sizeof(TUID)) == 0) {
            addRef();
            *obj = static_cast<IPluginFactory3*>(this);
            return kResultOk;
        }
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API k1PluginFactory::addRef() {
    return ++references;
}

uint32 PLUGIN_API k1PluginFactory::release() {
    // Never deleted: the factory is a process-wide object that outlives every host reference.
    uint32 current = references.load();
    while (current > 0 && !references.compare_exchange_weak(current, current - 1)) {
    }
    return current > 0 ? current - 1 : 0;
}
