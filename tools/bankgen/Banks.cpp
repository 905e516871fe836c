#include "tools/bankgen/Banks.h"

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

#include "tools/bankgen/Instruments.h"
#include "tools/bankgen/Levels.h"
#include "tools/bankgen/Multis.h"
#include "tools/bankgen/NameBook.h"
#include "tools/bankgen/Voicing.h"

namespace bankgen {
namespace {

using k1lib::SinglePreset;
using G = Group;

constexpr size_t kMostCharacters = 16; // more than any family has

struct BankPlan {
    const char* id;
    bool phm;
    std::vector<std::pair<Group, int>> singles; // groups in slot order with their counts
};

// Themes: the internal bank shows everything; each card has its own; the PHm bank is general.
const std::vector<BankPlan>& bankPlans() {
    static const std::vector<BankPlan> plans = {
        {"K1INT",
         false,
         {{G::Piano, 5},
          {G::EPiano, 5},
          {G::Organ, 5},
          {G::Keys, 3},
          {G::Strings, 6},
          {G::Brass, 5},
          {G::Woodwind, 4},
          {G::Pad, 6},
          {G::Voice, 3},
          {G::Lead, 4},
          {G::SynthBass, 3},
          {G::Bass, 3},
          {G::Guitar, 3},
          {G::World, 1},
          {G::Mallet, 2},
          {G::Bell, 2},
          {G::Drum, 2},
          {G::Fx, 1}}},
        {"A101", false, {{G::Piano, 36}, {G::EPiano, 28}}},
        {"A102", false, {{G::Organ, 30}, {G::Keys, 22}, {G::Reed, 12}}},
        {"A103", false, {{G::Strings, 64}}},
        {"A104", false, {{G::Brass, 32}, {G::Woodwind, 32}}},
        {"A105", false, {{G::Lead, 36}, {G::SynthBass, 28}}},
        {"A200", false, {{G::Pad, 40}, {G::Voice, 24}}},
        {"E101", false, {{G::Mallet, 32}, {G::Bell, 32}}},
        {"E102", false, {{G::World, 64}}},
        {"J101", false, {{G::Guitar, 36}, {G::Bass, 28}}},
        {"J102", false, {{G::Drum, 48}, {G::Perc, 16}}},
        {"J103", false, {{G::Fx, 64}}},
        {"PHm", true, {{G::Piano, 8},     {G::Piano, 8},   {G::EPiano, 8},  {G::Organ, 8},  {G::Keys, 8},
                       {G::Reed, 8},      {G::Strings, 8}, {G::Strings, 8}, {G::Brass, 8},  {G::Woodwind, 8},
                       {G::Pad, 8},       {G::Pad, 8},     {G::Voice, 8},   {G::Lead, 8},   {G::Lead, 8},
                       {G::SynthBass, 8}, {G::Bass, 8},    {G::Bass, 8},    {G::Guitar, 8}, {G::World, 8},
                       {G::Mallet, 8},    {G::Bell, 8},    {G::Drum, 8},    {G::Perc, 8},   {G::Fx, 8}}},
    };
    return plans;
}

// Hands out the instruments of a group with their characters, plain ones first, never a
// name twice.
class SoundPicker {
public:
    SoundPicker(NameBook& names, Audition* audition) : m_names(names), m_audition(audition) {}

    std::pair<Slot, SinglePreset> next(Group group, const std::string& bankId, int slot) {
        std::vector<const Instrument*> members;
        for (const Instrument& in : instruments())
            if (in.group == group) members.push_back(&in);
        // Round r of the cursor takes every instrument of the group with its r-th character.
        size_t& cursor = m_cursors[group];
        for (; cursor < members.size() * kMostCharacters; ++cursor) {
            const Instrument& in = *members[cursor % members.size()];
            const auto characters = charactersFor(in.family);
            const size_t round = cursor / members.size();
            if (round >= characters.size()) continue;
            const Character character = characters[round];
            const std::string name = character == Character::Plain
                                         ? in.name
                                         : std::string(in.stem) + " " + characterTag(character);
            if (!m_names.claim(name)) continue;
            ++cursor;
            Prng prng(bankId, static_cast<uint64_t>(slot));
            SinglePreset single = voiceSingle(in, character, prng, m_audition);
            setPresetName(single.name, name);
            return {Slot{&in, in.stem, character}, single};
        }
        throw std::runtime_error("ran out of sounds for a group in bank " + bankId);
    }

private:
    NameBook& m_names;
    Audition* m_audition;
    std::map<Group, size_t> m_cursors;
};

} // namespace

std::vector<Bank> buildBanks(Listening listening) {
    NameBook names;
    std::unique_ptr<Audition> audition;
    if (listening == Listening::ByEar) audition = std::make_unique<Audition>();
    SoundPicker picker(names, audition.get());
    std::vector<Bank> banks;
    for (const BankPlan& plan : bankPlans()) {
        Bank bank;
        bank.id = plan.id;
        bank.phm = plan.phm;
        // K1INT's first Single is what a user hears on start-up.
        if (bank.id == "K1INT") {
            SinglePreset first = startupSingle(audition.get());
            const std::string name = "Piano&Str";
            if (!names.claim(name)) throw std::runtime_error("start-up name taken");
            setPresetName(first.name, name);
            static const Instrument startupPiano{"Piano&Str", "Piano", G::Piano, Family::Piano, "", ""};
            bank.slots.push_back({&startupPiano, startupPiano.stem, Character::Plain});
            bank.singles.push_back(first);
        }
        for (const auto& [group, count] : plan.singles) {
            std::vector<std::pair<Slot, SinglePreset>> picked;
            for (int n = 0; n < count; ++n)
                picked.push_back(picker.next(group, bank.id, static_cast<int>(bank.singles.size()) + n));
            // Variations of one instrument sit next to each other.
            std::stable_sort(picked.begin(), picked.end(), [](const auto& a, const auto& b) {
                return a.first.instrument < b.first.instrument;
            });
            for (const auto& [slot, single] : picked) {
                bank.slots.push_back(slot);
                bank.singles.push_back(single);
            }
        }
        if (!plan.phm) bank.multis = buildMultis(bank.slots, names, bank.id);
        if (audition != nullptr)
            for (k1lib::MultiPreset& multi : bank.multis)
                setMultiVolume(multi, bank.singles, *audition);
        banks.push_back(std::move(bank));
    }
    return banks;
}

} // namespace bankgen
