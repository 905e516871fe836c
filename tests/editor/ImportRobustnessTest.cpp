// Imports of seeded random files through both import buttons in both play modes: whatever the
// bytes, the import ends with a message or a stored preset, never a crash or a stray read, and it
// changes exactly what the file's readable records say, or nothing. The sanitizer builds run a
// few thousand files; the plain build a few hundred.
#include "editor/PresetFiles.h"
#include "tests/editor/BrowserFixture.h"

#include <random>

using browsertest::BrowserFixture;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kFiles = 3000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kFiles = 3000;
#else
constexpr int kFiles = 300;
#endif
#else
constexpr int kFiles = 300;
#endif

// Every preset of the playing kind, as K1 records, so Singles and Multis compare alike.
using Bank = std::vector<std::vector<unsigned char>>;

class ImportRobustness : public BrowserFixture {
protected:
    bool multiMode() { return plugin.getPlayMode() == k1lib::PlayMode_Multi; }
    Bank bank() {
        Bank all(plugin.getPresetCount());
        for (uint64_t i = 0; i < all.size(); ++i)
            EXPECT_TRUE(multiMode() ? plugin.getMulti(all[i], i) : plugin.getSingle(all[i], i));
        return all;
    }
    // The bank after an import that stores what the file's readable records hold: at the current
    // preset for a single import of exactly one record, else from the page start, each record at
    // its slot. A file that gives no such placement yields the bank unchanged.
    Bank placed(Bank all, const std::string& file, bool single) {
        std::vector<unsigned char> bytes;
        k1lib::Sysex::SysexResult result;
        if (readFile(bytes, file)) (void)k1lib::Sysex::readBuffer(result, bytes, 255);
        const size_t found = multiMode() ? result.multis.size() : result.singles.size();
        for (size_t k = 0; k < found; ++k) {
            std::vector<unsigned char> record;
            const uint64_t slot = multiMode() ? result.multiSlot(k) : result.singleSlot(k);
            const uint64_t index = single ? current() : browser().getPageStart() + slot;
            if (single && found > 1) break;
            const bool written =
                multiMode() ? k1lib::Sysex::writeMulti(record, result.multis[k], 0, k1lib::StorageI, 0)
                            : k1lib::Sysex::writeSingle(record, result.singles[k], 0, k1lib::StorageI, 0);
            if (!written || index >= all.size()) return {};
            all[index] = record;
        }
        return all;
    }
};

// A valid dump or MIDI file with bytes changed (three files in four), cut short, or followed by
// noise.
std::vector<unsigned char> mutate(std::mt19937& random,
                                  const std::vector<std::vector<unsigned char>>& seeds) {
    auto below = [&random](size_t n) { return n ? random() % n : 0; };
    std::vector<unsigned char> bytes = seeds[below(seeds.size())];
    for (size_t n = random() % 4 ? 1 + below(8) : 0; n > 0 && !bytes.empty(); --n)
        bytes[below(bytes.size())] = uint8_t(random());
    if (random() % 2) bytes.resize(below(bytes.size() + 1));
    for (size_t n = random() % 3 ? 0 : below(300); n > 0; --n)
        bytes.push_back(uint8_t(random()));
    return bytes;
}

} // namespace

TEST_F(ImportRobustness, RandomFilesNeverCrashAnImport) {
    // Presets from elsewhere in the banks, so an import onto page 0 or preset 0 changes them.
    const std::vector<unsigned char> singles = singlesDump(100, 40);
    std::vector<k1lib::MultiPreset> multis(4);
    for (size_t i = 0; i < multis.size(); ++i)
        ASSERT_TRUE(plugin.getMulti(multis[i], 40 + i));
    std::vector<unsigned char> multiDump, oneMulti;
    ASSERT_TRUE(
        k1lib::Sysex::writeMultis(multiDump, {multis.begin(), multis.begin() + 3}, 0, k1lib::StorageI, 0));
    ASSERT_TRUE(k1lib::Sysex::writeMulti(oneMulti, multis[3], 0, k1lib::StorageI, 0));
    const std::vector<std::vector<unsigned char>> seeds = {
        singles, singlesDump(5, 1), multiDump, oneMulti, midiFileWith(singles), midiFileWith(multiDump)};

    std::mt19937 random(20261207);
    const std::string file = path("random.syx");
    const char* const buttons[] = {"btSingleImport", "btBankImport"};
    int silent = 0, refused = 0, confirmed = 0;
    for (int n = 0; n < kFiles; ++n) {
        if (n == kFiles / 2) {
            plugin.setPlayMode(k1lib::PlayMode_Multi);
            idle();
        }
        writeBytes(file, mutate(random, seeds));
        dialogs.shown.clear();
        // Every third file answers "OK" to whatever is asked; the others take the default "Cancel".
        const bool agree = n % 3 == 0;
        dialogs.answers.assign(agree ? 2 : 0, true);
        const Bank before = bank();
        const Bank expected = placed(before, file, n % 2 == 0);
        runFileButton(buttons[n % 2], file);
        const Bank after = bank();
        const bool asked = std::any_of(dialogs.shown.begin(), dialogs.shown.end(), [](const auto& shown) {
            return shown.kind == zykgui::test::ScriptedDialogs::Shown::Question;
        });
        if (dialogs.messages().empty()) {
            EXPECT_EQ(after, expected) << "file " << n << ": a silent import stores the file's records";
            ++silent;
        } else if (asked && !agree) {
            EXPECT_EQ(after, before) << "file " << n << ": Cancel changes nothing";
            ++refused;
        } else {
            // Refused (nothing changes) or confirmed (the records land in their slots).
            EXPECT_TRUE(after == before || after == expected) << "file " << n;
            (after == before ? refused : confirmed)++;
        }
        if (::testing::Test::HasFailure()) break;
    }
    EXPECT_GT(silent, 0) << "some mutated dumps still import";
    EXPECT_GT(confirmed, 0) << "some damaged dumps import after OK";
    EXPECT_GT(refused, 0);
}
