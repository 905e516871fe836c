// Preset files: the dialogs the four file buttons open, the export paths and contents, the
// import of .syx and .mid files onto the current preset or the page, and every message the user
// sees, compared verbatim, including failing writes and files that are no files.
#include "tests/editor/BrowserFixture.h"

#include "editor/PresetFiles.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace VSTGUI;
using browsertest::BrowserFixture;
using Messages = std::vector<std::string>;

namespace {

using PresetFiles = BrowserFixture;

k1lib::Sysex::SysexResult parse(const std::vector<unsigned char>& bytes) {
    k1lib::Sysex::SysexResult result;
    EXPECT_TRUE(k1lib::Sysex::readBuffer(result, bytes, 255));
    return result;
}

bool sameSingles(k1lib::Plugin& plugin, uint64_t first, const std::vector<k1lib::SinglePreset>& singles) {
    for (size_t i = 0; i < singles.size(); ++i) {
        k1lib::SinglePreset stored;
        if (!plugin.getSingle(stored, first + i) || !(stored == singles[i])) return false;
    }
    return true;
}

const std::string kOverwriteQuestion =
    "Imported file contains more Singles than will fit on one page and will overwrite adjacent pages next to "
    "the currently displayed one. Please confirm to overwrite.";
const std::string kNoSpace = "Imported file contains more Singles than there is space left. Please select a "
                             "lower page to start import.";

} // namespace

TEST_F(PresetFiles, DialogsAskForSysexFilesAndExportsAppendSyxWhereThePathHoldsNone) {
    press("btSingleExport");
    press("btSingleImport");
    press("btBankImport");
    using Types = std::vector<std::string>;
    auto types = [this](size_t i) {
        Types t;
        for (const auto& type : dialogs.shown.at(i).file.types)
            t.push_back(type.description);
        t.push_back(dialogs.shown[i].file.defaultExtension);
        return t;
    };
    EXPECT_EQ(dialogs.shown[0].title, "Choose a sysex file");
    EXPECT_TRUE(dialogs.shown[0].file.save);
    EXPECT_EQ(types(0), (Types{"Sysex File (*.syx)", "syx"}));
    EXPECT_EQ(types(1), (Types{"Sysex File (*.syx)", "Midi File (*.mid)", ""}));
    EXPECT_EQ(types(2), (Types{"Sysex File (*.syx)", "Midi File (*.mid)", "syx"}));

    EXPECT_EQ(fixFileExtension("/x/bank"), "/x/bank.syx");
    EXPECT_EQ(fixFileExtension("/x/bank.syx"), "/x/bank.syx");
    EXPECT_EQ(fixFileExtension("/x/bank.syx.old"), "/x/bank.syx.old");
    EXPECT_EQ(fixFileExtension("/x/bank.SYX"), "/x/bank.SYX.syx") << "case-sensitive";
    select(37);
    runFileButton("btSingleExport", path("one"));
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_FALSE(std::filesystem::exists(path("one")));
    const auto result = parse(readBytes(path("one.syx")));
    ASSERT_EQ(result.singles.size(), 1u);
    EXPECT_EQ(result.firstSingle, 37u) << "Single 37 is number 37 of the internal group i";
    EXPECT_TRUE(sameSingles(plugin, 37, result.singles));
}

TEST_F(PresetFiles, PageExportWritesTheExistingPresetsOfThePage) {
    showPage(kLastSinglesPage);
    runFileButton("btBankExport", path("last"));
    const std::vector<unsigned char> bytes = readBytes(path("last.syx"));
    EXPECT_EQ(bytes.size(), 8 * 88 + 9u);
    const auto result = parse(bytes);
    ASSERT_EQ(result.singles.size(), 8u);
    EXPECT_TRUE(sameSingles(plugin, kLastSinglesPage, result.singles));

    plugin.setPlayMode(k1lib::PlayMode_Multi);
    idle();
    press("btPageInc");
    runFileButton("btBankExport", path("multis.syx"));
    const auto multis = parse(readBytes(path("multis.syx")));
    ASSERT_EQ(multis.multis.size(), 32u);
    std::vector<unsigned char> stored, exported;
    ASSERT_TRUE(plugin.getMulti(stored, 32 + 31));
    ASSERT_TRUE(k1lib::Sysex::writeMulti(exported, multis.multis[31], 0, k1lib::StorageI, 0));
    EXPECT_EQ(exported, stored);
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(PresetFiles, FailedWritesLeaveNoFileAndSaySo) {
    // A failing flush and close (the device takes nothing) must not be reported as success.
    std::filesystem::create_symlink("/dev/full", path("full.syx"));
    runFileButton("btSingleExport", path("full.syx"));
    EXPECT_EQ(dialogs.messages(), Messages{"Failed to create file"});
    struct stat info {};
    EXPECT_EQ(stat("/dev/full", &info), 0) << "a device is never removed";

    runFileButton("btBankExport", path("missing/dir/x.syx"));
    EXPECT_EQ(dialogs.messages().back(), "Failed to create file");

    // A short write: the file may grow to 100 bytes only.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    runFileButton("btBankExport", path("short.syx"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(dialogs.messages().size(), 3u);
    EXPECT_EQ(dialogs.messages().back(), "Failed to create file");
    EXPECT_FALSE(std::filesystem::exists(path("short.syx"))) << "no truncated bank stays on disk";
}

TEST_F(PresetFiles, MidiFilesImportLikeTheSameDumpsInASyxFile) {
    const std::vector<unsigned char> one = singlesDump(200, 1);
    writeBytes(path("one.syx"), one);
    writeBytes(path("one.mid"), midiFileWith(one));
    const std::vector<unsigned char> page = singlesDump(300, 32);
    writeBytes(path("page.mid"), midiFileWith(page));
    k1lib::SinglePreset wanted;
    ASSERT_TRUE(plugin.getSingle(wanted, 200));

    select(3);
    runFileButton("btSingleImport", path("one.mid"));
    select(4);
    runFileButton("btSingleImport", path("one.syx"));
    EXPECT_TRUE(sameSingles(plugin, 3, {wanted, wanted}));

    showPage(64);
    runFileButton("btBankImport", path("page.mid"));
    EXPECT_TRUE(sameSingles(plugin, 64, parse(page).singles));
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(cellText(0).back(), '*') << "the page shows the imported presets as modified";
}

TEST_F(PresetFiles, UnreadableFilesGiveOnlyTheReadError) {
    writeBytes(path("empty.syx"), {});
    writeBytes(path("text.syx"), {'h', 'e', 'l', 'l', 'o'});
    writeBytes(path("nosysex.mid"), midiFileWith({}));
    runFileButton("btBankImport", path("empty.syx"));
    runFileButton("btBankImport", path("nosysex.mid"));
    runFileButton("btSingleImport", path("text.syx"));
    EXPECT_EQ(dialogs.messages(),
              (Messages{"Failed to read file", "Failed to read file", "Unable to open file."}));

    // Whatever is not a regular file of at most 64 MiB is refused before it is read; a file too
    // large says so.
    const std::string fifo = path("fifo.syx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(path("folder.syx"));
    {
        std::ofstream huge(path("huge.syx"), std::ios::binary);
        huge.put(char(0xF0));
    }
    std::filesystem::resize_file(path("huge.syx"), 64ul * 1024 * 1024 + 1);
    for (const std::string name : {"fifo.syx", "folder.syx", "huge.syx", "absent.syx"}) {
        dialogs.shown.clear();
        runFileButton("btBankImport", path(name));
        EXPECT_EQ(dialogs.messages(),
                  Messages{name == "huge.syx" ? "The file is too large to import (more than 64 MiB)"
                                              : "Failed to read file"})
            << name;
    }
    EXPECT_FALSE(plugin.isSingleModified(0));
}

TEST_F(PresetFiles, ParseErrorsAndWrongCountsAreReported) {
    std::vector<unsigned char> corrupt = singlesDump(0, 1);
    corrupt[20] ^= 0x01; // the checksum no longer holds
    writeBytes(path("corrupt.syx"), corrupt);
    std::vector<unsigned char> two = singlesDump(10, 2);
    writeBytes(path("two.syx"), two);
    writeBytes(path("one.syx"), singlesDump(10, 1));

    runFileButton("btSingleImport", path("corrupt.syx"));
    runFileButton("btBankImport", path("corrupt.syx"));
    runFileButton("btSingleImport", path("two.syx"));
    EXPECT_EQ(dialogs.messages(), (Messages{"Failed to import Sysex data, file may be corrupted",
                                            "File didn't contain any Singles", "Failed to import Sysex data",
                                            "File didn't contain any Singles",
                                            "File contained more than one single, please import as Bank"}));
    EXPECT_FALSE(plugin.isSingleModified(0));

    plugin.setPlayMode(k1lib::PlayMode_Multi);
    idle();
    dialogs.shown.clear();
    runFileButton("btSingleImport", path("one.syx"));
    runFileButton("btBankImport", path("two.syx"));
    EXPECT_EQ(dialogs.messages(),
              (Messages{"File didn't contain any Multis", "File didn't contain any Multis"}));
}

TEST_F(PresetFiles, LargeImportsAskOrAreRefusedWhenThereIsNoSpace) {
    const std::vector<unsigned char> many = singlesDump(100, 64);
    writeBytes(path("64.syx"), many);
    const auto singles = parse(many).singles;
    ASSERT_EQ(singles.size(), 64u);

    runFileButton("btBankImport", path("64.syx"));
    EXPECT_EQ(dialogs.messages(), Messages{kOverwriteQuestion});
    EXPECT_FALSE(plugin.isSingleModified(0)) << "Cancel changes nothing";
    dialogs.answers.push_back(true);
    runFileButton("btBankImport", path("64.syx"));
    EXPECT_TRUE(sameSingles(plugin, 0, singles));

    // The last page holds 8 Singles: 64 do not fit, nor do 32.
    writeBytes(path("32.syx"), singlesDump(100, 32));
    showPage(kLastSinglesPage);
    dialogs.shown.clear();
    runFileButton("btBankImport", path("64.syx"));
    runFileButton("btBankImport", path("32.syx"));
    EXPECT_EQ(dialogs.messages(), (Messages{kNoSpace, kNoSpace}));
    for (uint64_t i = kLastSinglesPage; i < kSingles; ++i)
        EXPECT_FALSE(plugin.isSingleModified(i)) << i;

    // The same words for Multis: 64 of them, as two dumps of 32.
    std::vector<k1lib::MultiPreset> multis(32);
    std::vector<unsigned char> dump, second;
    for (size_t i = 0; i < multis.size(); ++i)
        ASSERT_TRUE(plugin.getMulti(multis[i], i));
    ASSERT_TRUE(k1lib::Sysex::writeMultis(dump, multis, 0, k1lib::StorageI, 0));
    ASSERT_TRUE(k1lib::Sysex::writeMultis(second, multis, 0, k1lib::StorageE, 0));
    dump.insert(dump.end(), second.begin(), second.end());
    writeBytes(path("64multis.syx"), dump);
    plugin.setPlayMode(k1lib::PlayMode_Multi);
    idle();
    dialogs.shown.clear();
    runFileButton("btBankImport", path("64multis.syx"));
    showPage(352);
    runFileButton("btBankImport", path("64multis.syx"));
    EXPECT_EQ(dialogs.messages(),
              (Messages{"Imported file contains more Multis than will fit on one page and will "
                        "overwrite adjacent pages next to the currently displayed one. Please "
                        "confirm to overwrite.",
                        "Imported file contains more Multis than there is space left. Please "
                        "select a lower page to start import."}));
}
