#pragma once
// The generator's own random numbers: splitmix64 seeded from a text and a slot, integer only,
// so every run on every machine writes the same banks.
#include <cstdint>
#include <string_view>

namespace bankgen {

class Prng {
public:
    Prng(std::string_view label, uint64_t slot) : m_state(fnv1a(label) ^ (slot * 0x9e3779b97f4a7c15ull)) {}

    uint64_t next() {
        m_state += 0x9e3779b97f4a7c15ull;
        uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }

    // A whole number in -spread..+spread.
    int jitter(int spread) {
        return static_cast<int>(next() % static_cast<uint64_t>(2 * spread + 1)) - spread;
    }

private:
    static uint64_t fnv1a(std::string_view text) {
        uint64_t hash = 0xcbf29ce484222325ull;
        for (const char c : text)
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
        return hash;
    }

    uint64_t m_state;
};

} // namespace bankgen
