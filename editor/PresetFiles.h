// The files behind the browser's import and export buttons: K1 sysex dumps (".syx"), and
// Standard MIDI Files (".mid") that carry such dumps.
#pragma once

#include "gui/vstgui/vstgui.h"
#include "k1lib/base/FileBytes.h"

#include <string>
#include <vector>

extern const VSTGUI::CFileExtension g_fileExtensionSYX;
extern const VSTGUI::CFileExtension g_fileExtensionMid;

// Appends ".syx" unless the path already holds ".syx" anywhere (case-sensitive).
std::string fixFileExtension(const std::string& path);

// The sysex of a chosen file: the dumps a MIDI file carries, or else the whole file when it is
// a raw dump (starts with F0h). False when neither gave anything; `bytes` is then empty.
// Reads only regular files of at most 64 MiB; `status`, when given, tells why a file was not
// read at all.
[[nodiscard]] bool readFile(std::vector<unsigned char>& bytes, const std::string& path,
                            k1lib::FileBytesResult* status = nullptr);

// True when the path names a regular file (a link is followed).
bool isRegularFile(const std::string& path);

// Replaces the file at the path with the bytes, or creates it. The bytes go to a temporary file
// in the same folder, which is synced and then renamed over the target, so a failed save (disk
// full, file too large) leaves the old file as it was and no partial file behind. A link is
// followed and stays a link. Anything there that is not a regular file is refused at once, and so
// is a save larger than the process's file-size limit, whose SIGXFSZ would end the host.
[[nodiscard]] bool writeToFile(const std::string& path, const std::vector<unsigned char>& bytes);
