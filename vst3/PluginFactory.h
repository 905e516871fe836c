#pragma once
// The module's class factory (IPluginFactory3): the factory information and a fixed table of
// classes, each with its create function. It lives for the whole process; references are
// counted for the host's sake but never free it.
#include <atomic>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

// Thread contract: any thread may call it; the tables are fixed after construction and the
// reference count is atomic.
class k1PluginFactory : public Steinberg::IPluginFactory3 {
public:
    // Returns a new instance as an FUnknown with one reference; the context is the factory's.
    using CreateFunction = Steinberg::FUnknown* (*)(void* context);

    explicit k1PluginFactory(const Steinberg::PFactoryInfo& info);
    virtual ~k1PluginFactory() = default;
    k1PluginFactory(const k1PluginFactory&) = delete;
    k1PluginFactory& operator=(const k1PluginFactory&) = delete;

    void registerClass(const Steinberg::PClassInfo2& info, CreateFunction create, void* context);

    // IPluginFactory
    Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) override;
    Steinberg::int32 PLUGIN_API countClasses() override;
    Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index, Steinberg::PClassInfo* info) override;
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString iid,
                                                 void** obj) override;
    // IPluginFactory2
    Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index,
                                                Steinberg::PClassInfo2* info) override;
    // IPluginFactory3
    Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index,
                                                      Steinberg::PClassInfoW* info) override;
    Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown* context) override;

    // FUnknown
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override;
    Steinberg::uint32 PLUGIN_API release() override;

private:
    struct ClassEntry {
        Steinberg::PClassInfo2 info;
        CreateFunction create;
        void* context;
    };
    const ClassEntry* entry(Steinberg::int32 index) const;

    Steinberg::PFactoryInfo factoryInfo;
    std::vector<ClassEntry> classes;
    std::atomic<Steinberg::uint32> references{1};
};
