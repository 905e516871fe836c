#include "vst3/ZykFactory.h"

#include <mutex>

#include "vst3/PluginFactory.h"
#include "vst3/k1AudioProcessor.h"

using namespace Steinberg;

namespace {

k1PluginFactory* buildFactory() {
    static k1PluginFactory factory(PFactoryInfo("Zyk", "https://zyk.example.org",
                                                "mailto:info@zyk.example.org", PFactoryInfo::kUnicode));
    static const PClassInfo2 processorClass(K1AudioProcessorUID.toTUID(), PClassInfo::kManyInstances,
                                            "Audio Module Class", "Marn' Zyk", 1 /* distributable */,
                                            "Instrument|Synth", nullptr, "1.26", "VST 3.6.14");
    factory.registerClass(processorClass, &k1AudioProcessor::createInstance, nullptr);
    return &factory;
}

} // namespace

IPluginFactory* obtainZykFactory() {
    static std::mutex lock;
    static k1PluginFactory* factory = nullptr;
    std::lock_guard<std::mutex> guard(lock);
    if (factory)
        factory->addRef();
    else
        factory = buildFactory();
    return factory;
}

bool InitModule() {
    return true;
}

bool DeinitModule() {
    return true;
}
