#include "PresetFiles.h"

#include "Log.h"
#include "MidiToSysex.h"
#include "Sysex.h"

#include <cstdio>
#include <sys/stat.h>

const VSTGUI::CFileExtension g_fileExtensionSYX("Sysex File (*.syx)", "syx");
const VSTGUI::CFileExtension g_fileExtensionMid("Midi File (*.mid)", "mid");

std::string fixFileExtension(const std::string& path) {
    return path.find(".syx") == std::string::npos ? path + ".syx" : path;
}

bool readFile(std::vector<unsigned char>& bytes, const std::string& path) {
    bytes.clear();
    const bool midiFile = k1lib::MidiToSysex::readFile(bytes, path.c_str());
    if (midiFile && !bytes.empty()) return true;
    // A damaged MIDI file (the reader logs the damage) still gives the sysex before it.
    if (!bytes.empty()) return true;
    const bool ok = k1lib::Sysex::readFile(bytes, path) && !bytes.empty() && bytes[0] == k1lib::kSysexStart;
    if (!ok) bytes.clear();
    return ok;
}

bool writeToFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        k1lib::log(__func__, __LINE__, "Failed to open file ", path);
        return false;
    }
    struct stat info {};
    // Only a regular file we made is ours to remove; a device or pipe is left alone.
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        k1lib::log(__func__, __LINE__, "Failed to write file ", path);
        if (regular) std::remove(path.c_str());
    }
    return ok;
}
