// The browser's file buttons: export of the current preset or the displayed page as K1 sysex
// dumps, and import of ".syx" or ".mid" files onto the current preset or the displayed page.
#include "editor/K1Editor.h"
#include "editor/PresetFiles.h"
#include "editor/uiSingles.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/engine/Engine.h"
#include "k1lib/facade/Plugin.h"
#include "log/Log.h"

using namespace VSTGUI;

namespace {

bool isMultiMode(uint32_t mode) {
    return mode == k1lib::PlayMode_Multi;
}

std::string fileTooLarge() {
    return "The file is too large to import (more than " + std::to_string(k1lib::kMaxImportFileSize >> 20) +
           " MiB)";
}

const char* presetKind(uint32_t mode) {
    return isMultiMode(mode) ? "Multis" : "Singles";
}

// Stores each preset at start + its slot, one facade call per run of neighbouring slots, so the
// slot of a damaged record keeps what it held.
template <typename Preset, typename SlotOf, typename Store>
bool storeBySlot(uint64_t start, const std::vector<Preset>& presets, SlotOf slotOf, Store store) {
    bool stored = true;
    for (size_t first = 0, end = 0; first < presets.size(); first = end) {
        for (end = first + 1; end < presets.size() && slotOf(end) == slotOf(end - 1) + 1;)
            ++end;
        const std::vector<Preset> run(presets.begin() + long(first), presets.begin() + long(end));
        stored = store(start + slotOf(first), run) && stored;
    }
    return stored;
}

} // namespace

void uiSingles::showErrorMessage(const std::string& text) const {
    editor.showMessageBoxOk(text);
}

void uiSingles::runFileDialog(FileDialog kind, std::function<void(const std::string& path)> onChosen) {
    CNewFileSelector* selector = CNewFileSelector::create(
        editor.getFrame(),
        kind == FileDialog::Export ? CNewFileSelector::kSelectSaveFile : CNewFileSelector::kSelectFile);
    if (!selector) return;
    selector->addFileExtension(g_fileExtensionSYX);
    if (kind != FileDialog::Export) selector->addFileExtension(g_fileExtensionMid);
    if (kind != FileDialog::ImportSingle) selector->setDefaultExtension(g_fileExtensionSYX);
    selector->setTitle("Choose a sysex file");
    selector->run([&onChosen](CNewFileSelector* done) {
        if (done->getNumSelectedFiles() == 0) return;
        const char* path = done->getSelectedFile(0);
        if (path && *path) onChosen(path);
    });
    selector->forget();
}

void uiSingles::exportSingle(uint64_t index, const std::string& chosen) {
    const std::string path = fixFileExtension(chosen);
    std::vector<unsigned char> bytes;
    const uint32_t mode = playMode();
    if (isMultiMode(mode)) {
        k1lib::MultiPreset multi;
        const k1lib::StorageInfo* storage =
            k1lib::Engine::getStorageInfoFromPresetIndex(index, k1lib::PlayMode_Multi);
        const uint64_t program = storage ? index - storage->offset : 0;
        if (!storage || program > 0xFF || !plugin().getMulti(multi, index) ||
            !k1lib::Sysex::writeMulti(bytes, multi, 0, k1lib::StorageI,
                                      static_cast<unsigned char>(program))) {
            showErrorMessage("Failed to convert Multi to Sysex data");
            return;
        }
    } else {
        k1lib::SinglePreset single;
        const auto program = static_cast<unsigned char>(index % k1lib::kSinglesPerBank);
        const k1lib::StorageLocation location =
            program >= k1lib::kSinglesPerLocation ? k1lib::Storagei : k1lib::StorageI;
        if (!plugin().getSingle(single, index) ||
            !k1lib::Sysex::writeSingle(bytes, single, 0, location, program)) {
            showErrorMessage("Failed to convert Single to Sysex data");
            return;
        }
    }
    saveFile(path, bytes);
}

void uiSingles::exportPage(uint64_t start, const std::string& chosen) {
    const std::string path = fixFileExtension(chosen);
    const uint64_t end = std::min<uint64_t>(plugin().getPresetCount(), start + kCellCount);
    std::vector<unsigned char> bytes;
    if (isMultiMode(playMode())) {
        std::vector<k1lib::MultiPreset> multis;
        for (uint64_t i = start; i < end; ++i)
            if (k1lib::MultiPreset multi; plugin().getMulti(multi, i)) multis.push_back(multi);
        if (!k1lib::Sysex::writeMultis(bytes, multis, 0, k1lib::StorageI, 0)) {
            showErrorMessage("Failed to convert Multis to Sysex data");
            return;
        }
    } else {
        std::vector<k1lib::SinglePreset> singles;
        for (uint64_t i = start; i < end; ++i)
            if (k1lib::SinglePreset single; plugin().getSingle(single, i)) singles.push_back(single);
        // Pages alternate between the internal groups I and i.
        const auto location = static_cast<k1lib::StorageLocation>((start / kCellCount) % 2);
        if (!k1lib::Sysex::writeSingles(bytes, singles, 0, location, 0)) {
            showErrorMessage("Failed to convert Singles to Sysex data");
            return;
        }
    }
    saveFile(path, bytes);
}

void uiSingles::saveFile(const std::string& path, const std::vector<unsigned char>& bytes) const {
    // The file name is only complete once ".syx" is appended, after the dialog has returned, so
    // the dialog's own question cannot cover it.
    if (isRegularFile(path) &&
        !editor.showMessageBoxYesNo("The file " + path + " already exists. Do you want to replace it?"))
        return;
    if (!writeToFile(path, bytes)) showErrorMessage("Failed to create file");
}

bool uiSingles::confirmDamagedImport(bool damaged) const {
    const std::string kind = presetKind(playMode());
    return !damaged || editor.showMessageBoxYesNo("Some presets of the file could not be read. Import the " +
                                                  kind + " that could be read?");
}

bool uiSingles::readImport(k1lib::Sysex::SysexResult& result, bool& damaged, const std::string& path,
                           const char* readError, const char* parseError) const {
    std::vector<unsigned char> bytes;
    k1lib::FileBytesResult status = k1lib::FileBytesResult::Ok;
    if (!readFile(bytes, path, &status)) {
        showErrorMessage(status == k1lib::FileBytesResult::TooLarge ? fileTooLarge() : readError);
        return false;
    }
    // A damaged record or dump fails the import even when other messages of the file were read.
    damaged = !k1lib::Sysex::readBuffer(result, bytes, 255) || result.hasDamagedRecords();
    if (damaged) showErrorMessage(parseError);
    return true;
}

void uiSingles::importSingle(uint64_t index, const std::string& path) {
    k1lib::Sysex::SysexResult result;
    bool damaged = false;
    if (!readImport(result, damaged, path, "Unable to open file.",
                    "Failed to import Sysex data, file may be corrupted"))
        return;
    // Only the presets of the playing kind count.
    const uint32_t mode = playMode();
    const size_t found = isMultiMode(mode) ? result.multis.size() : result.singles.size();
    if (found == 0) {
        showErrorMessage(isMultiMode(mode) ? "File didn't contain any Multis"
                                           : "File didn't contain any Singles");
    } else if (found > 1) {
        showErrorMessage("File contained more than one single, please import as Bank");
    } else if (!confirmDamagedImport(damaged)) {
        return;
    } else if (isMultiMode(mode)) {
        if (!plugin().setMulti(index, result.multis[0])) showErrorMessage("Failed to import Multi");
    } else {
        if (!plugin().setSingle(index, result.singles[0])) showErrorMessage("Failed to import Single");
    }
}

void uiSingles::importPage(uint64_t start, const std::string& path) {
    k1lib::Sysex::SysexResult result;
    bool damaged = false;
    if (!readImport(result, damaged, path, "Failed to read file", "Failed to import Sysex data")) return;
    const uint32_t mode = playMode();
    const std::string kind = presetKind(mode);
    const bool multis = isMultiMode(mode);
    const uint64_t found = multis ? result.multis.size() : result.singles.size();
    if (found == 0) {
        showErrorMessage("File didn't contain any " + kind);
        return;
    }
    // Each preset goes to the slot its place in the file gives it; the span runs to the last one.
    const auto slotOf = [&result, multis](size_t k) {
        return multis ? result.multiSlot(k) : result.singleSlot(k);
    };
    const uint64_t span = slotOf(found - 1) + 1;
    // Imports that run past the last preset are refused with a word, whatever their size.
    if (start + span > plugin().getPresetCount()) {
        showErrorMessage("Imported file contains more " + kind +
                         " than there is space left. Please select a lower page to start import.");
        return;
    }
    if (!confirmDamagedImport(damaged)) return;
    if (span > kCellCount && !editor.showMessageBoxYesNo(
                                 "Imported file contains more " + kind +
                                 " than will fit on one page and will overwrite adjacent pages next to the "
                                 "currently displayed one. Please confirm to overwrite."))
        return;
    const bool stored =
        multis ? storeBySlot(start, result.multis, slotOf,
                             [this](uint64_t first, const std::vector<k1lib::MultiPreset>& run) {
                                 return plugin().setMultis(first, run);
                             })
               : storeBySlot(start, result.singles, slotOf,
                             [this](uint64_t first, const std::vector<k1lib::SinglePreset>& run) {
                                 return plugin().setSingles(first, run);
                             });
    if (!stored) k1lib::log("loadFile", 150, "The file's presets do not fit from preset ", start);
}
