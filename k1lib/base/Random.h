#pragma once
// A small generator owned by each engine: the standard library's rand() takes a lock, which the
// audio thread must not. Gives the same range as glibc's rand(), 0 to 2^31 - 1.
#include <cstdint>

namespace k1lib {

class Random {
public:
    static constexpr uint32_t kMax = 0x7fffffff;

    explicit Random(uint64_t seed = 0x853c49e6748fea9bull) : m_state(seed) {}

    uint32_t next() {
        // splitmix64: full period over the 64-bit state, no zero state to avoid.
        m_state += 0x9e3779b97f4a7c15ull;
        uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return static_cast<uint32_t>((z ^ (z >> 31)) >> 33);
    }

private:
    uint64_t m_state;
};

} // namespace k1lib
