// The built bundle as a host sees it: what it exports, what it needs, and its entry points.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

namespace {

struct DynamicSection {
    std::set<std::string> definedSymbols; // global or weak, defined in the module
    std::set<std::string> needed;         // DT_NEEDED libraries
};

std::vector<char> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

template <typename T> const T* at(const std::vector<char>& file, size_t offset) {
    return offset + sizeof(T) <= file.size() ? reinterpret_cast<const T*>(file.data() + offset) : nullptr;
}

const char* stringAt(const std::vector<char>& file, const Elf64_Shdr& table, size_t index) {
    if (index >= table.sh_size || table.sh_offset + table.sh_size > file.size()) return "";
    return file.data() + table.sh_offset + index;
}

// Reads the dynamic symbol table and the needed libraries from the section headers.
DynamicSection readDynamicSection(const std::vector<char>& file) {
    DynamicSection result;
    const auto* header = at<Elf64_Ehdr>(file, 0);
    if (!header || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 ||
        header->e_ident[EI_CLASS] != ELFCLASS64)
        return result;
    std::vector<Elf64_Shdr> sections;
    for (size_t i = 0; i < header->e_shnum; ++i)
        if (const auto* s = at<Elf64_Shdr>(file, header->e_shoff + i * sizeof(Elf64_Shdr)))
            sections.push_back(*s);
    for (const Elf64_Shdr& s : sections) {
        if (s.sh_link >= sections.size()) continue;
        const Elf64_Shdr& strings = sections[s.sh_link];
        if (s.sh_type == SHT_DYNSYM) {
            for (size_t off = s.sh_offset; off + sizeof(Elf64_Sym) <= s.sh_offset + s.sh_size;
                 off += sizeof(Elf64_Sym)) {
                const auto* sym = at<Elf64_Sym>(file, off);
                const int binding = sym ? ELF64_ST_BIND(sym->st_info) : STB_LOCAL;
                if (sym && sym->st_shndx != SHN_UNDEF && (binding == STB_GLOBAL || binding == STB_WEAK))
                    result.definedSymbols.insert(stringAt(file, strings, sym->st_name));
            }
        } else if (s.sh_type == SHT_DYNAMIC) {
            for (size_t off = s.sh_offset; off + sizeof(Elf64_Dyn) <= s.sh_offset + s.sh_size;
                 off += sizeof(Elf64_Dyn)) {
                const auto* entry = at<Elf64_Dyn>(file, off);
                if (entry && entry->d_tag == DT_NEEDED)
                    result.needed.insert(stringAt(file, strings, entry->d_un.d_val));
            }
        }
    }
    return result;
}

class Bundle : public ::testing::Test {
protected:
    void SetUp() override {
        handle = dlopen(ZYK_BUNDLE_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle) dlclose(handle);
    }
    template <typename F> F entry(const char* name) { return reinterpret_cast<F>(dlsym(handle, name)); }

    void* handle = nullptr;
};

} // namespace

TEST(BundleFile, ExportsExactlyTheThreeEntryPointsAndNeedsOnlyTheRuntime) {
    const std::string path = ZYK_BUNDLE_MODULE;
    EXPECT_NE(path.find("/Zyk.vst3/Contents/x86_64-linux/Zyk.so"), std::string::npos) << path;
    const DynamicSection dynamic = readDynamicSection(readFile(ZYK_BUNDLE_MODULE));
    EXPECT_EQ(dynamic.definedSymbols,
              (std::set<std::string>{"GetPluginFactory", "ModuleEntry", "ModuleExit"}));

    // The resampler is linked in too (see vst3/CMakeLists.txt): the C and C++ runtime remain, and
    // the editor's drawing, fonts, description parser and window system.
    const std::set<std::string> runtime = {
        "libstdc++.so.6", "libm.so.6",          "libgcc_s.so.1", "libc.so.6",  "ld-linux-x86-64.so.2",
        "libcairo.so.2",  "libfontconfig.so.1", "libexpat.so.1", "libX11.so.6"};
    EXPECT_FALSE(dynamic.needed.empty());
    for (const std::string& library : dynamic.needed)
        EXPECT_TRUE(runtime.count(library)) << "unexpected dependency " << library;
}

TEST_F(Bundle, ModuleEntryAndExitAreCounted) {
    auto moduleEntry = entry<bool (*)(void*)>("ModuleEntry");
    auto moduleExit = entry<bool (*)()>("ModuleExit");
    ASSERT_TRUE(moduleEntry && moduleExit);
    EXPECT_TRUE(moduleEntry(handle));
    EXPECT_TRUE(moduleEntry(handle));
    EXPECT_TRUE(moduleExit());
    EXPECT_TRUE(moduleExit());
    EXPECT_FALSE(moduleExit()); // more exits than entries
}

TEST_F(Bundle, SecondGetPluginFactoryReturnsTheSameFactoryWithOneMoreReference) {
    using Steinberg::IPluginFactory;
    auto getPluginFactory = entry<IPluginFactory* (*)()>("GetPluginFactory");
    ASSERT_NE(getPluginFactory, nullptr);
    IPluginFactory* first = getPluginFactory();
    ASSERT_NE(first, nullptr);
    const Steinberg::uint32 before = first->addRef() - 1;
    first->release();
    IPluginFactory* second = getPluginFactory();
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->addRef(), before + 2);
    second->release();
    EXPECT_EQ(first->countClasses(), 1); // the class itself: see the factory's tests
    second->release();
    first->release();
}
