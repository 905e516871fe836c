#include "tools/bankgen/Multis.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "tools/bankgen/Prng.h"

namespace bankgen {
namespace {

using k1lib::MultiPreset;
using k1lib::MultiSection;
using G = Group;

// Two name parts and a separator, the longer part cut first until the whole fits 10 characters.
std::string fitName(std::string a, const std::string& separator, std::string b) {
    while (a.size() + separator.size() + b.size() > 10) {
        std::string& longer = a.size() >= b.size() ? a : b;
        longer.pop_back();
    }
    return a + separator + b;
}

MultiSection unusedSection() {
    MultiSection s{};
    s.zoneHigh = 127;
    s.poly = k1lib::PolyOff;
    s.output = k1lib::OutputBoth;
    s.level = 100;
    return s;
}

MultiSection playing(int single, int low, int high, int level = 100) {
    MultiSection s = unusedSection();
    s.single = static_cast<uint32_t>(single);
    s.zoneLow = static_cast<uint32_t>(low);
    s.zoneHigh = static_cast<uint32_t>(high);
    s.poly = k1lib::PolyVariable;
    s.level = static_cast<uint32_t>(level);
    return s;
}

bool isBassGroup(const Slot& slot) {
    return slot.instrument->group == G::Bass || slot.instrument->group == G::SynthBass;
}

// Drums, percussion and effects do not layer or split well with keyboard sounds.
bool isMelodic(const Slot& slot) {
    const Group g = slot.instrument->group;
    return g != G::Drum && g != G::Perc && g != G::Fx;
}

// Deals a bank's Singles in a shuffled, repeating order, so neighbouring deals differ.
class Deck {
public:
    Deck(std::vector<int> cards, Prng& prng) : m_cards(std::move(cards)) {
        for (size_t i = m_cards.size(); i > 1; --i)
            std::swap(m_cards[i - 1], m_cards[prng.next() % i]);
    }
    bool empty() const { return m_cards.empty(); }
    int deal() { return m_cards[m_next++ % m_cards.size()]; }

private:
    std::vector<int> m_cards;
    size_t m_next = 0;
};

class MultiBuilder {
public:
    MultiBuilder(const std::vector<Slot>& slots, NameBook& names, const std::string& bankId)
        : m_slots(slots), m_names(names), m_bankId(bankId), m_prng(bankId + " deck", 0),
          m_lows(cardsWhere([](const Slot& s) { return isBassGroup(s); }), m_prng),
          m_highs(cardsWhere([](const Slot& s) { return isMelodic(s) && !isBassGroup(s); }), m_prng),
          m_all(cardsWhere([](const Slot&) { return true; }), m_prng) {
        m_bassInBank = !m_lows.empty();
    }

    std::vector<MultiPreset> keyboardMultis() {
        std::vector<MultiPreset> multis;
        for (int k = 0; k < 8; ++k)
            multis.push_back(split(k));
        for (int k = 0; k < 8; ++k)
            multis.push_back(layer(k));
        for (int k = 0; k < 4; ++k)
            multis.push_back(velocitySwitch(k));
        for (int k = 0; k < 4; ++k)
            multis.push_back(zones(k));
        for (int k = 0; k < 4; ++k)
            multis.push_back(multitimbral(k));
        for (int k = 0; k < 4; ++k)
            multis.push_back(stack(k));
        return multis;
    }

    // Eight flavours of four kits each; a kit takes the drums of its flavour where the bank has them.
    std::vector<MultiPreset> drumKits() {
        struct Flavour {
            Character character;
            const char* names[4];
        };
        static const Flavour flavours[] = {
            {Character::Plain, {"Rock Kit", "Pop Kit", "Studio Kit", "Live Kit"}},
            {Character::Tight, {"Tight Kit", "Funk Kit", "Dry Kit", "Disco Kit"}},
            {Character::Room, {"Room Kit", "Hall Kit", "Jazz Kit", "Arena Kit"}},
            {Character::Big, {"Big Kit", "Power Kit", "Metal Kit", "Stage Kit"}},
            {Character::Bright, {"Bright Kit", "Dance Kit", "Club Kit", "Punk Kit"}},
            {Character::Low, {"Deep Kit", "Soul Kit", "Blues Kit", "Retro Kit"}},
            {Character::High, {"Hard Kit", "Latin Kit", "March Kit", "Indie Kit"}},
            {Character::Dark, {"Soft Kit", "Swing Kit", "Fusion Kit", "Garage Kit"}}};
        // Key ranges of the kit: kick, rim, snare, toms, closed hat, open hat, crash, ride.
        struct Part {
            std::vector<const char*> instruments;
            int low, high;
        };
        const Part parts[] = {{{"Kick"}, 24, 36},
                              {{"Rim Shot"}, 37, 37},
                              {{"Snare", "Tight Snr", "E Snare", "Rev Snare"}, 38, 40},
                              {{"E Tom", "Tom"}, 41, 48},
                              {{"Hi Hat"}, 49, 53},
                              {{"Open Hat"}, 54, 56},
                              {{"Crash"}, 57, 60},
                              {{"Ride"}, 61, 72}};
        std::vector<MultiPreset> kits;
        for (int k = 0; k < 32; ++k) {
            const Flavour& flavour = flavours[k % 8];
            const int variant = k / 8;
            MultiPreset kit = named(flavour.names[variant], k);
            for (int p = 0; p < 8; ++p) {
                const std::vector<int> all = slotsOf(parts[p].instruments);
                if (all.empty()) throw std::runtime_error("drum kit part missing in bank " + m_bankId);
                std::vector<int> choices = withCharacter(all, flavour.character);
                if (choices.empty()) choices = withCharacter(all, Character::Plain);
                if (choices.empty()) choices = all;
                kit.sections[static_cast<size_t>(p)] = playing(
                    choices[static_cast<size_t>(variant + p) % choices.size()], parts[p].low, parts[p].high);
            }
            kits.push_back(kit);
        }
        return kits;
    }

    // The start-up Multi: a bass below the start-up piano, which a soft pad doubles.
    MultiPreset startupMulti() {
        if (!m_names.claim("Bass/Piano")) throw std::runtime_error("start-up Multi name taken");
        MultiPreset m = emptyMulti("Bass/Piano", 0);
        m.sections[0] = playing(firstOf(G::Bass), 0, 54);
        m.sections[0].poly = 2; // one voice
        m.sections[1] = playing(0, 55, 127);
        m.sections[2] = playing(firstOf(G::Pad), 55, 127, 66);
        return m;
    }

private:
    int firstOf(Group group) const {
        for (int i = 0; i < static_cast<int>(m_slots.size()); ++i)
            if (m_slots[static_cast<size_t>(i)].instrument->group == group) return i;
        throw std::runtime_error("no such group in bank " + m_bankId);
    }

    std::vector<int> slotsOf(const std::vector<const char*>& names) const {
        std::vector<int> found;
        for (int i = 0; i < static_cast<int>(m_slots.size()); ++i)
            for (const char* name : names)
                if (std::strcmp(m_slots[static_cast<size_t>(i)].instrument->name, name) == 0)
                    found.push_back(i);
        return found;
    }

    std::vector<int> withCharacter(const std::vector<int>& singles, Character character) const {
        std::vector<int> found;
        for (const int i : singles)
            if (m_slots[static_cast<size_t>(i)].character == character) found.push_back(i);
        return found;
    }

    std::vector<int> cardsWhere(bool (*wanted)(const Slot&)) const {
        std::vector<int> cards;
        for (int i = 0; i < static_cast<int>(m_slots.size()); ++i)
            if (wanted(m_slots[static_cast<size_t>(i)])) cards.push_back(i);
        return cards;
    }

    // A bass where the bank has one, else any sound (which plays an octave down).
    int low() { return m_bassInBank ? m_lows.deal() : high(); }
    int high() { return m_highs.empty() ? m_all.deal() : m_highs.deal(); }
    // Another sound than a variation of the given Single's instrument, where the bank has one.
    int highBeside(int single) {
        for (int tries = 0; tries < 64; ++tries)
            if (const int other = high(); m_slots[static_cast<size_t>(other)].instrument !=
                                          m_slots[static_cast<size_t>(single)].instrument)
                return other;
        return high();
    }
    const std::string& stem(int single) const { return m_slots[static_cast<size_t>(single)].stem; }

    MultiPreset emptyMulti(const std::string& name, int k) const {
        MultiPreset m{};
        setPresetName(m.name, name);
        Prng prng(m_bankId + " multi", static_cast<uint64_t>(k));
        m.volume = static_cast<uint32_t>(84 + prng.jitter(1)); // 0.73 on the flat step 80-85
        for (MultiSection& s : m.sections)
            s = unusedSection();
        return m;
    }

    MultiPreset named(const std::string& name, int k) { return emptyMulti(m_names.claimNumbered(name), k); }

    // Bass (or, in banks without one, a sound an octave down) below a split point, a sound above.
    MultiPreset split(int k) {
        const int bass = low();
        const int top = highBeside(bass);
        const int splitKey = 48 + (k % 4) * 4;
        MultiPreset m = named(fitName(stem(bass), "/", stem(top)), k);
        m.sections[0] = playing(bass, 0, splitKey - 1);
        if (m_bassInBank)
            m.sections[0].poly = 2; // one voice, as a bass player
        else
            m.sections[0].transpose = -12;
        m.sections[1] = playing(top, splitKey, 127);
        return m;
    }

    // Two sounds over the whole keyboard spread left and right; odd ones add an octave above.
    MultiPreset layer(int k) {
        const int a = high();
        const int b = highBeside(a);
        MultiPreset m = named(fitName(stem(a), "+", stem(b)), 8 + k);
        m.sections[0] = playing(a, 0, 127);
        m.sections[0].output = k1lib::OutputLeft;
        m.sections[1] = playing(b, 0, 127, 90);
        m.sections[1].output = k1lib::OutputRight;
        m.sections[1].tune = k % 2 ? -4 : 4;
        if (k % 2) {
            m.sections[2] = playing(high(), 0, 127, 80);
            m.sections[2].transpose = 12;
        }
        return m;
    }

    MultiPreset velocitySwitch(int k) {
        const int soft = high();
        const int loud = highBeside(soft);
        MultiPreset m = named(fitName(stem(soft), ">", stem(loud)), 16 + k);
        m.sections[0] = playing(soft, 0, 127);
        m.sections[0].velocity = k1lib::VelocitySoft;
        m.sections[1] = playing(loud, 0, 127);
        m.sections[1].velocity = k1lib::VelocityLoud;
        return m;
    }

    // Four neighbouring zones, low to high.
    MultiPreset zones(int k) {
        const int singles[4] = {low(), high(), high(), high()};
        MultiPreset m = named(fitName("Ens", " ", stem(singles[1])), 20 + k);
        const int bounds[5] = {0, 48, 65, 85, 128};
        for (int z = 0; z < 4; ++z)
            m.sections[static_cast<size_t>(z)] = playing(singles[z], bounds[z], bounds[z + 1] - 1);
        if (!m_bassInBank) m.sections[0].transpose = -12;
        return m;
    }

    // A band on one keyboard, all on channel 1 as hosts send every note: a bass below the first
    // two keyboard sounds dealt, layered; the drums, where the bank has them, below the bass.
    MultiPreset multitimbral(int k) {
        static const char* const names[] = {"Combo", "Session", "Studio", "Band"};
        MultiPreset m = named(names[k], 24 + k);
        const std::vector<int> kick = slotsOf({"Kick"});
        const std::vector<int> snare = slotsOf({"Snare"});
        const bool drums = !kick.empty() && !snare.empty();
        const int melodic = drums ? 6 : 8;
        int layered = 0;
        for (int i = 0; i < melodic; ++i) {
            const int single = i == 0 ? low() : m_all.deal(); // the deals of every Multi after it stay
            const Slot& slot = m_slots[static_cast<size_t>(single)];
            if (i == 0) {
                m.sections[0] = playing(single, drums ? 41 : 0, 59, 90);
                if (m_bassInBank) m.sections[0].poly = 2; // one voice, as a bass player
            } else if (layered < 2 && isMelodic(slot) && !isBassGroup(slot))
                m.sections[static_cast<size_t>(++layered)] = playing(single, 60, 127, 90);
        }
        if (drums) {
            m.sections[6] = playing(kick.front(), 0, 23);
            m.sections[7] = playing(snare.front(), 24, 40);
        }
        return m;
    }

    // One sound three times, detuned and spread.
    MultiPreset stack(int k) {
        const int single = high();
        MultiPreset m = named(fitName(stem(single), " ", "Stack"), 28 + k);
        const int tunes[3] = {-6, 0, 6};
        const uint32_t outputs[3] = {2, 1, 0};
        for (int i = 0; i < 3; ++i) {
            MultiSection& s = m.sections[static_cast<size_t>(i)];
            s = playing(single, 0, 127, i == 1 ? 100 : 90);
            s.tune = tunes[i];
            s.output = outputs[i];
        }
        return m;
    }

    const std::vector<Slot>& m_slots;
    NameBook& m_names;
    std::string m_bankId;
    Prng m_prng;
    Deck m_lows;
    Deck m_highs;
    Deck m_all;
    bool m_bassInBank = false;
};

} // namespace

std::vector<MultiPreset> buildMultis(const std::vector<Slot>& slots, NameBook& names,
                                     const std::string& bankId) {
    MultiBuilder builder(slots, names, bankId);
    if (bankId == "J102") return builder.drumKits();
    std::vector<MultiPreset> multis;
    // K1INT's first Multi is what a user hears on start-up.
    if (bankId == "K1INT") multis.push_back(builder.startupMulti());
    const std::vector<MultiPreset> rest = builder.keyboardMultis();
    multis.insert(multis.end(), rest.begin(), rest.begin() + static_cast<long>(32 - multis.size()));
    return multis;
}

} // namespace bankgen
