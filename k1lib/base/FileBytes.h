#pragma once
// Loads a whole file for the importers: regular files only, with a size cap, never a short read.
#include <string>
#include <vector>

namespace k1lib {

enum class FileBytesResult { Ok, OpenFailed, NotRegularFile, TooLarge, ReadFailed };

constexpr unsigned long kMaxImportFileSize = 64ul * 1024 * 1024;

// On anything but Ok, out is left as it was.
FileBytesResult readFileBytes(const std::string& path, std::vector<unsigned char>& out);

} // namespace k1lib
