// The files behind the browser's import and export buttons: K1 sysex dumps (".syx"), and
// Standard MIDI Files (".mid") that carry such dumps.
#pragma once

#include "vstgui/vstgui.h"

#include <string>
#include <vector>

extern const VSTGUI::CFileExtension g_fileExtensionSYX;
extern const VSTGUI::CFileExtension g_fileExtensionMid;

// Appends ".syx" unless the path already holds ".syx" anywhere (case-sensitive).
std::string fixFileExtension(const std::string& path);

// The sysex of a chosen file: the dumps a MIDI file carries, or else the whole file when it is
// a raw dump (starts with F0h). False when neither gave anything; `bytes` is then empty.
// Reads only regular files of at most 64 MiB.
[[nodiscard]] bool readFile(std::vector<unsigned char>& bytes, const std::string& path);

// Writes all bytes to the path. False when the file cannot be opened, written whole or closed;
// a regular file left half-written is then removed, so no truncated dump stays on disk.
[[nodiscard]] bool writeToFile(const std::string& path, const std::vector<unsigned char>& bytes);
