#include "tools/wavegen/Dsp.h"

namespace wavegen {

double fromDb(double db) {
    return std::pow(10.0, db / 20.0);
}

double formant(double hz, double centreHz, double gainDb, double widthOctaves) {
    const double octaves = std::log2(hz / centreHz) / widthOctaves;
    return fromDb(gainDb * std::exp(-0.5 * octaves * octaves));
}

double rolloff(double hz, double cornerHz, double dbPerOctave) {
    return hz <= cornerHz ? 1.0 : fromDb(-dbPerOctave * std::log2(hz / cornerHz));
}

Biquad::Biquad(Type type, double hz, double q, double sampleRate) {
    const double w = 2.0 * Pi * hz / sampleRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    switch (type) {
    case Type::LowPass:
        m_b0 = m_b2 = (1.0 - c) / 2.0 / a0;
        m_b1 = (1.0 - c) / a0;
        break;
    case Type::HighPass:
        m_b0 = m_b2 = (1.0 + c) / 2.0 / a0;
        m_b1 = -(1.0 + c) / a0;
        break;
    case Type::BandPass:
        m_b0 = alpha / a0;
        m_b1 = 0.0;
        m_b2 = -alpha / a0;
        break;
    }
    m_a1 = -2.0 * c / a0;
    m_a2 = (1.0 - alpha) / a0;
}

double Biquad::process(double x) {
    const double y = m_b0 * x + m_b1 * m_x1 + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
    m_x2 = m_x1;
    m_x1 = x;
    m_y2 = m_y1;
    m_y1 = y;
    return y;
}

} // namespace wavegen
