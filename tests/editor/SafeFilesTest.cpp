// Nothing the user has is lost to a file button: a save that fails leaves the old file as it was,
// an existing file is replaced only after "OK", a pipe never blocks the editor, and an import of
// a damaged file puts every readable record in its own slot, only after the user agreed.
#include "tests/editor/BrowserFixture.h"

#include "editor/PresetFiles.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using browsertest::BrowserFixture;
using Messages = std::vector<std::string>;

namespace {

using SafeFiles = BrowserFixture;

const std::string kDamagedSingles =
    "Some presets of the file could not be read. Import the Singles that could be read?";

std::string replaceQuestion(const std::string& path) {
    return "The file " + path + " already exists. Do you want to replace it?";
}

size_t filesIn(const std::filesystem::path& dir) {
    return size_t(std::distance(std::filesystem::directory_iterator(dir), {}));
}

// Two dumps of 16 Singles each, taken from Singles 200-231; record 5 of the first one damaged.
std::vector<unsigned char> twoDumpsWithADamagedRecord(k1lib::Plugin& plugin,
                                                      std::vector<k1lib::SinglePreset>& source) {
    source.clear();
    for (uint64_t i = 200; i < 232; ++i) {
        k1lib::SinglePreset single;
        EXPECT_TRUE(plugin.getSingle(single, i));
        source.push_back(single);
    }
    std::vector<unsigned char> first, second;
    EXPECT_TRUE(
        k1lib::Sysex::writeSingles(first, {source.begin(), source.begin() + 16}, 0, k1lib::StorageI, 0));
    EXPECT_TRUE(
        k1lib::Sysex::writeSingles(second, {source.begin() + 16, source.end()}, 0, k1lib::Storagei, 0));
    first[8 + 5 * k1lib::kSingleRecordSize + 87] ^= 1; // the checksum no longer holds
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

} // namespace

TEST_F(SafeFiles, ASaveThatFailsHalfWayLeavesTheOldFileByteIdentical) {
    const std::vector<unsigned char> old(500, 0x42);
    writeBytes(path("bank.syx"), old);
    ASSERT_EQ(chmod(path("bank.syx").c_str(), 0640), 0);

    // The file may grow to 100 bytes only: the page's dump breaks off half-way.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    dialogs.answers.push_back(true);
    runFileButton("btBankExport", path("bank.syx"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(dialogs.messages(), (Messages{replaceQuestion(path("bank.syx")), "Failed to create file"}));
    EXPECT_EQ(readBytes(path("bank.syx")), old);
    EXPECT_EQ(filesIn(dir), 1u) << "no temporary file stays behind";

    // Without the limit the same save replaces the file whole, with its permissions.
    dialogs.answers.push_back(true);
    runFileButton("btBankExport", path("bank.syx"));
    EXPECT_EQ(readBytes(path("bank.syx")).size(), 32 * 88 + 9u);
    struct stat info {};
    ASSERT_EQ(stat(path("bank.syx").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(filesIn(dir), 1u);

    // A link stays a link; the file it names gets the bytes.
    std::filesystem::create_symlink(path("bank.syx"), path("link.syx"));
    writeBytes(path("bank.syx"), old);
    dialogs.answers.push_back(true);
    runFileButton("btSingleExport", path("link.syx"));
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.syx")));
    EXPECT_EQ(readBytes(path("bank.syx")).size(), 88 + 9u);
}

TEST_F(SafeFiles, ASaveOverTheFileSizeLimitFailsAndTheHostLives) {
    const std::vector<unsigned char> old(500, 0x42);
    writeBytes(path("bank.syx"), old);
    // As in a host: a file-size limit and SIGXFSZ at its default, which ends the process that
    // writes past the limit. The save runs in a child so that the test survives it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(60);
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit small{};
        getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &small);
        dialogs.answers.push_back(true);
        runFileButton("btBankExport", path("bank.syx"));
        _exit(dialogs.messages() == Messages{replaceQuestion(path("bank.syx")), "Failed to create file"} ? 0
                                                                                                         : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0)
        << "the question, then \"Failed to create file\"";
    EXPECT_EQ(readBytes(path("bank.syx")), old);
    EXPECT_EQ(filesIn(dir), 1u) << "no temporary file stays behind";
}

TEST_F(SafeFiles, AnExistingFileIsReplacedOnlyAfterOk) {
    const std::vector<unsigned char> old = {0xF0, 0x01, 0x02, 0xF7};
    writeBytes(path("one.syx"), old);
    select(37);
    runFileButton("btSingleExport", path("one")); // ".syx" is appended after the dialog
    EXPECT_EQ(dialogs.messages(), Messages{replaceQuestion(path("one.syx"))});
    EXPECT_EQ(readBytes(path("one.syx")), old) << "Cancel, the default, keeps the file";

    dialogs.shown.clear();
    dialogs.answers.push_back(true);
    runFileButton("btSingleExport", path("one.syx"));
    EXPECT_EQ(dialogs.messages(), Messages{replaceQuestion(path("one.syx"))});
    k1lib::Sysex::SysexResult result;
    ASSERT_TRUE(k1lib::Sysex::readBuffer(result, readBytes(path("one.syx")), 255));
    k1lib::SinglePreset single;
    ASSERT_TRUE(plugin.getSingle(single, 37));
    ASSERT_EQ(result.singles.size(), 1u);
    EXPECT_TRUE(result.singles[0] == single);

    dialogs.shown.clear();
    runFileButton("btSingleExport", path("two"));
    EXPECT_TRUE(dialogs.messages().empty()) << "a new file needs no question";
}

TEST_F(SafeFiles, APipeOrFolderIsRefusedAtOnce) {
    const std::string fifo = path("pipe.syx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto done = std::async(std::launch::async, [this] { runFileButton("btBankExport", path("pipe.syx")); });
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the save waits for a reader of the pipe";
        // A reader lets the blocked open go on, so the test can end.
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        done.wait();
        ::close(reader);
    }
    EXPECT_EQ(dialogs.messages(), Messages{"Failed to create file"});
    struct stat info {};
    ASSERT_EQ(stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    std::filesystem::create_directory(path("folder.syx"));
    dialogs.shown.clear();
    runFileButton("btBankExport", path("folder.syx"));
    EXPECT_EQ(dialogs.messages(), Messages{"Failed to create file"});
    EXPECT_TRUE(std::filesystem::is_directory(path("folder.syx")));
}

TEST_F(SafeFiles, ADamagedRecordLeavesItsSlotAndTheOthersLandInTheirs) {
    std::vector<k1lib::SinglePreset> source;
    writeBytes(path("damaged.syx"), twoDumpsWithADamagedRecord(plugin, source));
    showPage(64);
    std::vector<k1lib::SinglePreset> before(32);
    for (uint64_t k = 0; k < 32; ++k)
        ASSERT_TRUE(plugin.getSingle(before[k], 64 + k));

    dialogs.answers.push_back(true);
    runFileButton("btBankImport", path("damaged.syx"));
    EXPECT_EQ(dialogs.messages(), (Messages{"Failed to import Sysex data", kDamagedSingles}));
    for (uint64_t k = 0; k < 32; ++k) {
        k1lib::SinglePreset stored;
        ASSERT_TRUE(plugin.getSingle(stored, 64 + k));
        EXPECT_TRUE(stored == (k == 5 ? before[k] : source[k])) << "slot " << 64 + k;
    }
    EXPECT_FALSE(plugin.isSingleModified(64 + 5));
    EXPECT_FALSE(plugin.isSingleModified(96)) << "nothing lands after the file's last record";
}

TEST_F(SafeFiles, CancelAfterAParseErrorChangesNoPreset) {
    std::vector<k1lib::SinglePreset> source;
    writeBytes(path("damaged.syx"), twoDumpsWithADamagedRecord(plugin, source));
    // One dump of two Singles whose second record is damaged: one Single can still be read.
    std::vector<unsigned char> pair;
    ASSERT_TRUE(k1lib::Sysex::writeSingles(pair, {source[0], source[1]}, 0, k1lib::StorageI, 0));
    pair[8 + k1lib::kSingleRecordSize + 87] ^= 1;
    writeBytes(path("pair.syx"), pair);

    runFileButton("btBankImport", path("damaged.syx"));
    select(3);
    runFileButton("btSingleImport", path("pair.syx"));
    EXPECT_EQ(dialogs.messages(),
              (Messages{"Failed to import Sysex data", kDamagedSingles,
                        "Failed to import Sysex data, file may be corrupted", kDamagedSingles}));
    for (uint64_t i = 0; i < kSingles; ++i)
        ASSERT_FALSE(plugin.isSingleModified(i)) << i;

    dialogs.shown.clear();
    dialogs.answers.push_back(true);
    runFileButton("btSingleImport", path("pair.syx"));
    k1lib::SinglePreset stored;
    ASSERT_TRUE(plugin.getSingle(stored, 3));
    EXPECT_TRUE(stored == source[0]) << "OK imports the Single that could be read";

    // The same question for Multis, in Multi mode.
    std::vector<k1lib::MultiPreset> multis(3);
    for (uint64_t i = 0; i < multis.size(); ++i)
        ASSERT_TRUE(plugin.getMulti(multis[i], 100 + i));
    std::vector<unsigned char> dump;
    ASSERT_TRUE(k1lib::Sysex::writeMultis(dump, multis, 0, k1lib::StorageI, 0));
    dump[8 + 75] ^= 1;
    writeBytes(path("multis.syx"), dump);
    plugin.setPlayMode(k1lib::PlayMode_Multi);
    idle();
    dialogs.shown.clear();
    runFileButton("btBankImport", path("multis.syx"));
    EXPECT_EQ(
        dialogs.messages(),
        (Messages{"Failed to import Sysex data",
                  "Some presets of the file could not be read. Import the Multis that could be read?"}));
    for (uint64_t i = 0; i < 32; ++i)
        EXPECT_FALSE(plugin.isMultiModified(i)) << i;
}
