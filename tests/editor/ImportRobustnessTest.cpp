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

// A valid dump or MIDI file with bytes changed, cut short, or followed by noise.
std::vector<unsigned char> mutate(std::mt19937& random,
                                  const std::vector<std::vector<unsigned char>>& seeds) {
    auto below = [&random](size_t n) { return n ? random() % n : 0; };
    std::vector<unsigned char> bytes = seeds[below(seeds.size())];
    for (size_t n = 1 + below(8); n > 0 && !bytes.empty(); --n)
        bytes[below(bytes.size())] = uint8_t(random());
    if (random() % 2) bytes.resize(below(bytes.size() + 1));
    for (size_t n = random() % 3 ? 0 : below(300); n > 0; --n)
        bytes.push_back(uint8_t(random()));
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
