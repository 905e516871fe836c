// The factory set as the engine sees it, and the K1's numbering of presets.
#include <cstdio>
#include <cstring>

#include "k1lib/engine/Engine.h"
#include "k1lib/records/FactoryData.h"

namespace k1lib {
namespace {

const std::vector<SinglePreset>& singles() {
    initFactoryData();
    return factorySingles;
}

const std::vector<MultiPreset>& multis() {
    initFactoryData();
    return factoryMultis;
}

uint64_t factoryCount(PlayMode mode) {
    return mode != PlayMode_Single ? multis().size() : singles().size();
}

// "IA-1": bank letter, group letter A-D of eight presets each, position 1-8.
std::string k1Number(char bank, uint64_t position) {
    char text[8];
    std::snprintf(text, sizeof text, "%c%c-%d", bank, static_cast<char>('A' + ((position >> 3) & 3)),
                  static_cast<int>(position & 7) + 1);
    return text;
}

} // namespace

uint64_t Engine::singleCount() {
    return singles().size();
}

uint64_t Engine::multiCount() {
    return multis().size();
}

const SinglePreset& Engine::getFactorySingle(uint64_t index) {
    static const SinglePreset none{};
    return index < singles().size() ? factorySingles[index] : none;
}

const MultiPreset& Engine::getFactoryMulti(uint64_t index) {
    static const MultiPreset none{};
    return index < multis().size() ? factoryMultis[index] : none;
}

std::string Engine::getFactoryPresetName(uint64_t index, PlayMode mode) {
    if (index >= factoryCount(mode)) return {};
    const char* name = mode != PlayMode_Single ? factoryMultis[index].name : factorySingles[index].name;
    return std::string(name, strnlen(name, sizeof SinglePreset::name));
}

const std::vector<Engine::StorageInfo>& Engine::getStorageInfos(PlayMode mode) {
    initFactoryData();
    return mode != PlayMode_Single ? factoryMultisStorageInfo : factorySinglesStorageInfo;
}

const Engine::StorageInfo* Engine::getStorageInfoFromPresetIndex(uint64_t index, PlayMode mode) {
    if (index >= factoryCount(mode)) return nullptr;
    for (const StorageInfo& info : getStorageInfos(mode))
        if (info.offset <= index && index - info.offset < info.count) return &info;
    return nullptr;
}

uint64_t Engine::getSinglesOffsetForMulti(uint64_t multiIndex) {
    const StorageInfo* info = getStorageInfoFromPresetIndex(multiIndex, PlayMode_Multi);
    if (info == nullptr) return 0;
    const std::vector<StorageInfo>& singleBanks = getStorageInfos(PlayMode_Single);
    return info->bankIndex < singleBanks.size() ? singleBanks[info->bankIndex].offset : 0;
}

std::string Engine::getPresetNumberAsName(uint64_t index, PlayMode mode) {
    const StorageInfo* info = getStorageInfoFromPresetIndex(index, mode);
    if (info == nullptr) return k1Number('?', index);
    const uint64_t position = index - info->offset;
    if (info->type == 2) {
        char text[24];
        std::snprintf(text, sizeof text, "P%03llu", static_cast<unsigned long long>(position + 1));
        return text;
    }
    const char* letters = info->type == 1 ? "Ee" : "Ii";
    return k1Number(letters[(position >> 5) & 1], position);
}

std::string Engine::getSingleNumberAsName(uint64_t index) {
    return getPresetNumberAsName(index, PlayMode_Single);
}

std::string Engine::getMultiNumberAsName(uint64_t index) {
    return getPresetNumberAsName(index, PlayMode_Multi);
}

} // namespace k1lib
