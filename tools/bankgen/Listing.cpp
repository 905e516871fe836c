#include "tools/bankgen/Listing.h"

#include <cstdlib>
#include <iomanip>

#include "k1lib/params/Curves.h"
#include "k1lib/wavenames/WaveformNames.h"

namespace bankgen {
namespace {

void listSource(std::ostream& out, const k1lib::SingleSource& s) {
    out << "    " << std::left << std::setw(24) << k1lib::g_waveformNames[s.wave] << std::right << " coarse "
        << std::setw(3) << s.coarse << " fine " << std::setw(3) << static_cast<int>(s.fine) - 50 << std::fixed
        << std::setprecision(3) << "  level " << k1lib::envLevel(static_cast<int>(s.envLevel)) << "  attack "
        << k1lib::envAttackTime(static_cast<int>(s.envAttack)) << " s"
        << "  decay " << k1lib::envDecayTime(static_cast<int>(s.envDecay)) << " s"
        << "  sustain " << k1lib::envSustainLevel(static_cast<int>(s.envSustain)) << "  release "
        << k1lib::envDecayTime(static_cast<int>(s.envRelease)) << " s"
        << "  vel " << static_cast<int>(s.levelModVel) - 50 << " curve " << s.velCurve + 1
        << (s.keyTrack ? "" : "  fixed") << "\n";
}

void listSingle(std::ostream& out, int slot, const k1lib::SinglePreset& p) {
    static const char* const polyModes[] = {"Poly 1", "Poly 2", "Solo"};
    out << std::setw(3) << slot << " " << std::left << std::setw(11) << p.name << std::right << " vol "
        << static_cast<int>(p.volume) + 1 << " " << polyModes[p.polyMode % 3] << " bend " << p.pitchBendDepth
        << " lfo " << std::fixed << std::setprecision(2) << k1lib::lfoSpeed(p.lfoSpeed) << " Hz"
        << " vib " << k1lib::vibratoDepth(std::abs(p.vibratoDepth - 50)) << " st";
    if (p.autoBendTime)
        out << " autobend " << (p.autoBendDepth < 50 ? "-" : "+")
            << k1lib::autoBendDepth(std::abs(p.autoBendDepth - 50)) << " st over "
            << k1lib::envDelayTime(p.autoBendTime) << " s";
    if (p.ampModS1S2) out << " AM";
    out << "\n";
    for (int i = 0; i < (p.source2or4 ? 4 : 2); ++i)
        listSource(out, p.sources[i]);
}

void listMulti(std::ostream& out, int slot, const k1lib::MultiPreset& m) {
    out << std::setw(3) << slot << " " << std::left << std::setw(11) << m.name << std::right;
    for (const k1lib::MultiSection& s : m.sections) {
        if (s.poly == 1) continue;
        out << " [" << s.single << " " << s.zoneLow << "-" << s.zoneHigh << " ch" << s.channel + 1;
        if (s.velocity) out << (s.velocity == 1 ? " soft" : " loud");
        if (s.transpose) out << " tr" << s.transpose;
        if (s.tune) out << " tune" << s.tune;
        out << " lvl" << s.level << "]";
    }
    out << "\n";
}

} // namespace

void listBanks(std::ostream& out, const std::vector<Bank>& banks) {
    for (const Bank& bank : banks) {
        out << "== " << bank.id << "\n";
        for (size_t i = 0; i < bank.singles.size(); ++i)
            listSingle(out, static_cast<int>(i), bank.singles[i]);
        for (size_t i = 0; i < bank.multis.size(); ++i)
            listMulti(out, static_cast<int>(i), bank.multis[i]);
    }
}

} // namespace bankgen
