#include "k1lib/engine/SilentConverter.h"

#include <algorithm>
#include <cstring>

namespace k1lib {

void SilentConverter::takePositions(const ConverterRecord& record, double factor) {
    m_dt = 1.0 / factor;
    m_time = record.Time;
    m_xSize = record.XSize;
    m_xp = record.Xp;
    m_xRead = record.Xread;
    m_xOff = record.Xoff;
    m_yp = record.Yp;
    m_ySize = record.YSize;
}

int SilentConverter::process(int inputLength, int outputLength, int& used) {
    used = 0;
    int produced = 0;
    // What the last pass left pending goes out first.
    const auto handOut = [&] {
        if (m_yp == 0 || outputLength - produced <= 0) return;
        const unsigned length = std::min(static_cast<unsigned>(outputLength - produced), m_yp);
        produced += static_cast<int>(length);
        m_yp -= length;
    };
    handOut();
    if (m_yp != 0) return produced;
    for (;;) {
        unsigned length = m_xSize - m_xRead;
        if (static_cast<int>(length) >= inputLength - used)
            length = static_cast<unsigned>(inputLength - used);
        used += static_cast<int>(length);
        m_xRead += length;
        const int nx = static_cast<int>(m_xRead - 2 * m_xOff);
        if (nx <= 0) break;
        // The filter loop: one output per step of the output period until the input is passed.
        unsigned out = 0;
        const double end = m_time + static_cast<double>(static_cast<unsigned>(nx));
        while (m_time < end) {
            ++out;
            m_time += m_dt;
        }
        m_time -= static_cast<unsigned>(nx);
        m_xp += static_cast<unsigned>(nx);
        const unsigned creep = static_cast<unsigned>(static_cast<int>(m_time)) - m_xOff;
        if (creep != 0) {
            m_time -= creep;
            m_xp += creep;
        }
        m_xRead = m_xRead - (m_xp - m_xOff);
        m_xp = m_xOff;
        if (out > m_ySize) return -1;
        m_yp = out;
        handOut();
        if (m_yp != 0) break;
    }
    return produced;
}

void SilentConverter::givePositions(ConverterRecord& record) const {
    record.Time = m_time;
    record.Xp = m_xp;
    record.Xread = m_xRead;
    record.Yp = m_yp;
    std::fill(record.X, record.X + m_xRead, 0.0f);
    std::fill(record.Y, record.Y + m_yp, 0.0f);
}

bool SilentConverter::samePositions(const ConverterRecord& record) const {
    return std::memcmp(&record.Time, &m_time, sizeof m_time) == 0 && record.Xp == m_xp &&
           record.Xread == m_xRead && record.Yp == m_yp;
}

} // namespace k1lib
