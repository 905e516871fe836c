// The class the factory registers, as a host reads it, and instance creation.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pluginterfaces/vst/ivstcomponent.h"
#include "tests/support/LogCapture.h"
#include "vst3/ZykFactory.h"

using namespace Steinberg;

namespace {

const unsigned char expectedClassId[16] = {0x84, 0xE8, 0xDE, 0x5E, 0x92, 0x55, 0x4F, 0x52,
                                           0x96, 0xFA, 0xE4, 0x12, 0x3C, 0x93, 0x5A, 0x17};

std::u16string utf16(const char16_t* text) {
    return std::u16string(text);
}

struct FactoryRef {
    IPluginFactory* factory = obtainZykFactory();
    ~FactoryRef() { factory->release(); }
};

} // namespace

TEST(Factory, ListsExactlyOneClassWithTheInstrumentsInfo) {
    FactoryRef ref;
    FUnknownPtr<IPluginFactory3> factory(ref.factory);
    ASSERT_TRUE(factory);

    PFactoryInfo info;
    ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
    EXPECT_EQ(info.flags, 16);
    EXPECT_EQ(std::strncmp(info.email, "mailto:", 7), 0);
    EXPECT_EQ(factory->countClasses(), 1);

    PClassInfo2 c;
    ASSERT_EQ(factory->getClassInfo2(0, &c), kResultOk);
    EXPECT_EQ(std::memcmp(c.cid, expectedClassId, 16), 0);
    EXPECT_EQ(c.cardinality, 0x7FFFFFFF);
    EXPECT_STREQ(c.category, "Audio Module Class");
    EXPECT_STREQ(c.name, "Marn' Zyk");
    EXPECT_EQ(c.classFlags, 1u);
    EXPECT_STREQ(c.subCategories, "Instrument|Synth");
    EXPECT_STREQ(c.vendor, "");
    EXPECT_STREQ(c.version, "1.26");
    EXPECT_STREQ(c.sdkVersion, "VST 3.6.14");

    PClassInfo plain;
    ASSERT_EQ(factory->getClassInfo(0, &plain), kResultOk);
    EXPECT_EQ(std::memcmp(plain.cid, expectedClassId, 16), 0);
    EXPECT_STREQ(plain.name, "Marn' Zyk");

    PClassInfoW wide;
    ASSERT_EQ(factory->getClassInfoUnicode(0, &wide), kResultOk);
    EXPECT_EQ(std::memcmp(wide.cid, expectedClassId, 16), 0);
    EXPECT_EQ(utf16(wide.name), u"Marn' Zyk");
    EXPECT_EQ(utf16(wide.version), u"1.26");
    EXPECT_STREQ(wide.subCategories, "Instrument|Synth");
}

TEST(Factory, RefusesClassIndexesOutsideTheTable) {
    FactoryRef ref;
    FUnknownPtr<IPluginFactory3> factory(ref.factory);
    PClassInfo2 c;
    PClassInfoW w;
    PClassInfo p;
    for (int32 index : {-1, 1, 0x7FFFFFFF}) {
        EXPECT_NE(factory->getClassInfo2(index, &c), kResultOk) << index;
        EXPECT_NE(factory->getClassInfoUnicode(index, &w), kResultOk) << index;
        EXPECT_NE(factory->getClassInfo(index, &p), kResultOk) << index;
    }
    EXPECT_NE(factory->getClassInfo2(0, nullptr), kResultOk);
    EXPECT_NE(factory->getFactoryInfo(nullptr), kResultOk);
}

TEST(Factory, CreatesIndependentInstancesOfTheClassOnly) {
    FactoryRef ref;
    Vst::IComponent* first = nullptr;
    Vst::IComponent* second = nullptr;
    ASSERT_EQ(ref.factory->createInstance(reinterpret_cast<FIDString>(expectedClassId), Vst::IComponent::iid,
                                          reinterpret_cast<void**>(&first)),
              kResultOk);
    ASSERT_EQ(ref.factory->createInstance(reinterpret_cast<FIDString>(expectedClassId), Vst::IComponent::iid,
                                          reinterpret_cast<void**>(&second)),
              kResultOk);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    // The instance holds exactly the reference handed out.
    first->addRef();
    EXPECT_EQ(first->release(), 1u);
    first->release();
    second->release();

    LogCapture log;
    unsigned char otherId[16] = {};
    void* obj = &otherId;
    EXPECT_EQ(ref.factory->createInstance(reinterpret_cast<FIDString>(otherId), Vst::IComponent::iid, &obj),
              kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_TRUE(log.contains("createInstance@99: Unknown class ID requested"));
    EXPECT_EQ(ref.factory->createInstance(nullptr, Vst::IComponent::iid, &obj), kInvalidArgument);
}
