#pragma once
// PCG32 (O'Neill): a small seeded generator, so every build writes the same image.
#include <cstdint>

class Random {
public:
    explicit Random(uint64_t seed) {
        next();
        m_state += seed;
        next();
    }
    uint32_t next() {
        const uint64_t old = m_state;
        m_state = old * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto shifted = static_cast<uint32_t>(((old >> 18) ^ old) >> 27);
        const auto rotation = static_cast<uint32_t>(old >> 59);
        return (shifted >> rotation) | (shifted << ((32 - rotation) & 31));
    }
    // Uniform in [0, 1).
    double uniform() { return next() * (1.0 / 4294967296.0); }
    // Uniform in [-1, 1).
    double bipolar() { return uniform() * 2.0 - 1.0; }

private:
    uint64_t m_state = 0;
};
