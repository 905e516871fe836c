// Imports of seeded random files through both import buttons in both play modes: whatever the
// bytes, the import ends with a message or a stored preset, never a crash or a stray read. The
// sanitizer builds run a few thousand files; the plain build a few hundred.
#include "BrowserFixture.h"

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

using ImportRobustness = BrowserFixture;

// Valid dumps and MIDI files with bytes flipped, runs cut out or repeated, lengths changed,
// or plain noise after a sysex or MIDI-file start.
std::vector<unsigned char> mutate(std::mt19937& random,
                                  const std::vector<std::vector<unsigned char>>& seeds) {
    auto pick = [&random](size_t n) {
        return n ? std::uniform_int_distribution<size_t>(0, n - 1)(random) : 0;
    };
    std::vector<unsigned char> bytes = seeds[pick(seeds.size())];
    const int edits = 1 + static_cast<int>(pick(8));
    for (int e = 0; e < edits; ++e) {
        switch (pick(5)) {
        case 0: // flip bytes
            for (size_t n = 1 + pick(6); n > 0 && !bytes.empty(); --n)
                bytes[pick(bytes.size())] = uint8_t(random());
            break;
        case 1: // truncate
            bytes.resize(pick(bytes.size() + 1));
            break;
        case 2: { // cut a run out
            const size_t from = pick(bytes.size() + 1), length = pick(bytes.size() - from + 1);
            bytes.erase(bytes.begin() + long(from), bytes.begin() + long(from + length));
            break;
        }
        case 3: { // repeat a run
            const size_t from = pick(bytes.size() + 1),
                         length = pick(std::min<size_t>(bytes.size() - from, 200) + 1);
            std::vector<unsigned char> run(bytes.begin() + long(from), bytes.begin() + long(from + length));
            bytes.insert(bytes.begin() + long(pick(bytes.size() + 1)), run.begin(), run.end());
            break;
        }
        default: { // noise after a start
            const size_t keep = std::min<size_t>(bytes.size(), pick(24));
            bytes.resize(keep);
            for (size_t n = pick(400); n > 0; --n)
                bytes.push_back(uint8_t(random()));
            break;
        }
        }
    }
    return bytes;
}

} // namespace

TEST_F(ImportRobustness, RandomFilesNeverCrashAnImport) {
    const std::vector<unsigned char> singles = singlesDump(0, 40);
    std::vector<k1lib::MultiPreset> multis(3);
    for (size_t i = 0; i < multis.size(); ++i)
        ASSERT_TRUE(plugin.getMulti(multis[i], i));
    std::vector<unsigned char> multiDump;
    ASSERT_TRUE(k1lib::Sysex::writeMultis(multiDump, multis, 0, k1lib::StorageI, 0));
    const std::vector<std::vector<unsigned char>> seeds = {singles, singlesDump(5, 1), multiDump,
                                                           midiFileWith(singles), midiFileWith(multiDump)};

    std::mt19937 random(20261207);
    const std::string file = path("random.syx");
    const char* const buttons[] = {"btSingleImport", "btBankImport"};
    int silent = 0, refused = 0;
    for (int n = 0; n < kFiles; ++n) {
        if (n == kFiles / 2) {
            plugin.setPlayMode(k1lib::PlayMode_Multi);
            idle();
        }
        writeBytes(file, mutate(random, seeds));
        dialogs.shown.clear();
        runFileButton(buttons[n % 2], file);
        // An import that says nothing has stored what it found.
        (dialogs.messages().empty() ? silent : refused)++;
        if (::testing::Test::HasFailure()) break;
    }
    EXPECT_GT(silent, 0) << "some mutated dumps still import";
    EXPECT_GT(refused, 0);
}
