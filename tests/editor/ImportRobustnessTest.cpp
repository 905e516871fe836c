// Imports of seeded random files through both import buttons in both play modes: whatever the
// bytes, the import ends with a message or a stored preset, never a crash or a stray read, and it
// changes exactly what the file's readable records say, or nothing: every preset it changes holds
// the record the file has at that preset's place. The sanitizer builds run a few thousand files;
// the plain build a few hundred.
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

// A seed file and where each Single and Multi record starts in it, in file order.
struct Seed {
    std::vector<unsigned char> bytes;
    std::vector<size_t> singles, multis;
};

// Finds the dumps our writer made (F0h ... F7h each) in the file that carries them: each
// message's bytes after its F0h stand together in a ".syx" and a ".mid" file alike.
Seed seedOf(const std::vector<unsigned char>& file, const std::vector<unsigned char>& dumps) {
    Seed seed{file, {}, {}};
    auto from = file.begin();
    for (size_t start = 0, end; start < dumps.size(); start = end + 1) {
        end = size_t(std::find(dumps.begin() + long(start), dumps.end(), 0xF7) - dumps.begin());
        from = std::search(from, file.end(), dumps.begin() + long(start) + 1, dumps.begin() + long(end) + 1);
        const size_t records = size_t(from - file.begin()) + 7; // the F0h stood one byte before
        const bool singles = dumps[start + 7] < 0x40;
        const size_t size = singles ? k1lib::kSingleRecordSize : k1lib::kMultiRecordSize;
        for (size_t k = 0; 8 + size * (k + 1) <= end - start; ++k)
            (singles ? seed.singles : seed.multis).push_back(records + size * k);
    }
    return seed;
}

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

    // Every slot the import changed holds the record that the file's own bytes give at that
    // slot's place among its records (the page import), or at one of them (the single import).
    void expectRecordsOfTheFile(const Bank& before, const Bank& after, const std::vector<unsigned char>& file,
                                const Seed& seed, bool single, int n) {
        const std::vector<size_t>& starts = multiMode() ? seed.multis : seed.singles;
        const size_t size = multiMode() ? k1lib::kMultiRecordSize : k1lib::kSingleRecordSize;
        for (uint64_t i = 0; i < after.size(); ++i) {
            if (after[i] == before[i]) continue;
            bool found = false;
            for (size_t k = 0; k < starts.size() && !found; ++k) {
                if ((!single && browser().getPageStart() + k != i) || starts[k] + size > file.size())
                    continue;
                std::vector<unsigned char> record;
                k1lib::SinglePreset singlePreset;
                k1lib::MultiPreset multiPreset;
                const unsigned char* bytes = file.data() + starts[k];
                found = multiMode()
                            ? k1lib::readMulti(multiPreset, bytes) &&
                                  k1lib::Sysex::writeMulti(record, multiPreset, 0, k1lib::StorageI, 0)
                            : k1lib::readSingle(singlePreset, bytes) &&
                                  k1lib::Sysex::writeSingle(record, singlePreset, 0, k1lib::StorageI, 0);
                found = found && record == after[i];
            }
            EXPECT_TRUE(found) << "file " << n << ": preset " << i
                               << " holds no record of the file at its place";
        }
    }
};

// A valid dump or MIDI file with bytes changed (three files in four), cut short, or followed by
// noise: none of them moves a record of the seed.
std::vector<unsigned char> mutate(std::mt19937& random, const std::vector<Seed>& seeds, size_t& seed) {
    auto below = [&random](size_t n) { return n ? random() % n : 0; };
    seed = below(seeds.size());
    std::vector<unsigned char> bytes = seeds[seed].bytes;
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
    const std::vector<unsigned char> one = singlesDump(5, 1);
    const std::vector<Seed> seeds = {seedOf(singles, singles),
                                     seedOf(one, one),
                                     seedOf(multiDump, multiDump),
                                     seedOf(oneMulti, oneMulti),
                                     seedOf(midiFileWith(singles), singles),
                                     seedOf(midiFileWith(multiDump), multiDump)};

    std::mt19937 random(20261207);
    const std::string file = path("random.syx");
    const char* const buttons[] = {"btSingleImport", "btBankImport"};
    int silent = 0, refused = 0, confirmed = 0;
    for (int n = 0; n < kFiles; ++n) {
        if (n == kFiles / 2) {
            plugin.setPlayMode(k1lib::PlayMode_Multi);
            idle();
        }
        size_t seed = 0;
        const std::vector<unsigned char> bytes = mutate(random, seeds, seed);
        writeBytes(file, bytes);
        dialogs.shown.clear();
        // Every third file answers "OK" to whatever is asked; the others take the default "Cancel".
        const bool agree = n % 3 == 0;
        dialogs.answers.assign(agree ? 2 : 0, true);
        const Bank before = bank();
        const Bank expected = placed(before, file, n % 2 == 0);
        runFileButton(buttons[n % 2], file);
        const Bank after = bank();
        expectRecordsOfTheFile(before, after, bytes, seeds[seed], n % 2 == 0, n);
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
