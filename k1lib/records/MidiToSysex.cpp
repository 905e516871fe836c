#include "k1lib/records/MidiToSysex.h"

#include <string>

#include "k1lib/base/FileBytes.h"
#include "k1lib/records/SmfReader.h"
#include "log/Log.h"

namespace k1lib {
bool MidiToSysex::readFile(std::vector<unsigned char>& out, const char* path) {
    std::vector<unsigned char> file;
    switch (readFileBytes(path ? path : "", file)) {
    case FileBytesResult::Ok:
        return readBytes(out, file);
    case FileBytesResult::OpenFailed:
        log("readFile", 15, "Failed to open file ", path ? path : "");
        return false;
    case FileBytesResult::NotRegularFile:
        log("readFile", 18, "Not a regular file ", path);
        return false;
    case FileBytesResult::TooLarge:
        log("readFile", 20, "File too large ", path);
        return false;
    case FileBytesResult::ReadFailed:
        log("readFile", 22, "Failed to read file ", path);
        return false;
    }
    return false;
}

bool MidiToSysex::readBytes(std::vector<unsigned char>& out, const std::vector<unsigned char>& file) {
    SmfFile smf;
    const bool ok = readSmf(file, smf);
    for (const SmfEvent& event : smf.events)
        out.insert(out.end(), event.sysex.begin(), event.sysex.end());
    return ok;
}

} // namespace k1lib
