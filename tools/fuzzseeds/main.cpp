// zyk_fuzzseeds DIR: writes starting inputs for the fuzz targets, made with the project's own
// writers, so the fuzzers begin from well-formed K1 messages, MIDI files and WAV images.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "k1lib/records/FactoryData.h"
#include "k1lib/records/SmfWriter.h"
#include "k1lib/records/Sysex.h"
#include "k1lib/voice/WavLoader.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

bool save(const fs::path& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A one-track file: a program change, a note with running status, a text, the dump, end of track.
Bytes midiFileWith(const Bytes& dump) {
    k1lib::smf::Track track;
    track.raw({0xC0, 0x05}).raw({0x90, 0x3C, 0x40}).raw({0x3C, 0x00}, 0x60).meta(0x01, {'K', '1', '!'});
    track.sysex(0xF0, Bytes(dump.begin() + 1, dump.end())).end();
    return k1lib::smf::makeFile(0, 96, {track.body});
}

Bytes withPrefix(unsigned char prefix, const Bytes& message) {
    Bytes out{prefix};
    out.insert(out.end(), message.begin(), message.end());
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zyk_fuzzseeds DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* target : {"fuzz_sysex", "fuzz_engine_sysex", "fuzz_midifile", "fuzz_wav"})
        fs::create_directories(root / target);
    k1lib::initFactoryData();
    const std::vector<k1lib::SinglePreset>& singles = k1lib::factorySingles;
    const std::vector<k1lib::MultiPreset>& multis = k1lib::factoryMultis;

    std::vector<std::pair<std::string, Bytes>> messages;
    Bytes bytes;
    bool written = true;
    written &= k1lib::Sysex::writeSingle(bytes, singles.at(0), 0, k1lib::StorageI, 0);
    messages.emplace_back("single", bytes);
    written &= k1lib::Sysex::writeSingles(
        bytes, std::vector<k1lib::SinglePreset>(singles.begin() + 32, singles.begin() + 64), 0,
        k1lib::Storagei, 0);
    messages.emplace_back("singles", bytes);
    written &= k1lib::Sysex::writeMultis(
        bytes, std::vector<k1lib::MultiPreset>(multis.begin(), multis.begin() + 32), 0, k1lib::StorageI, 0);
    messages.emplace_back("multis", bytes);
    written &= k1lib::Sysex::writeMulti(bytes, multis.at(1), 0, k1lib::StorageE, 1);
    messages.emplace_back("multi", bytes);
    k1lib::Sysex::writeParameterChange(bytes, 0, {36, 2, 146});
    messages.emplace_back("parameter", bytes);
    written &= k1lib::Sysex::writeOneSingleRequest(bytes, 0, k1lib::Storagei, 40);
    messages.emplace_back("request", bytes);
    written &= k1lib::Sysex::writeAllSinglesRequest(bytes, 0, k1lib::StorageE);
    messages.emplace_back("requestall", bytes);
    messages.emplace_back("requestmultis", Bytes{0xF0, 0x40, 0x00, 0x01, 0x00, 0x03, 0x00, 0x40, 0xF7});
    written &= k1lib::Sysex::writeMachineIdRequest(bytes, 0);
    messages.emplace_back("machineid", bytes);
    if (!written) {
        std::fprintf(stderr, "zyk_fuzzseeds: a writer refused its seed message\n");
        return 1;
    }

    bool ok = true;
    for (const auto& [name, message] : messages) {
        ok &= save(root / "fuzz_sysex" / name, message);
        ok &= save(root / "fuzz_engine_sysex" / name, withPrefix(0x80, message));
        ok &= save(root / "fuzz_midifile" / name, midiFileWith(message));
    }
    std::vector<float> samples(512);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(i % 64) / 64.0f - 0.5f;
    const fs::path wav = root / "fuzz_wav" / "float";
    ok &= k1lib::WavLoader::write(wav.string(), samples, 50000, nullptr);
    return ok ? 0 : 1;
}
