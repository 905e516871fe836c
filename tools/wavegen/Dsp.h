#pragma once
// Small signal helpers shared by the single-cycle and sampled recipes.
#include <cmath>

namespace wavegen {

constexpr double Pi = 3.14159265358979323846;

double fromDb(double db);
// Gain of a resonance: gainDb at centreHz, falling off as a Gaussian over widthOctaves.
double formant(double hz, double centreHz, double gainDb, double widthOctaves);
// Rolls off by dbPerOctave above cornerHz; 1 below it.
double rolloff(double hz, double cornerHz, double dbPerOctave);

// RBJ biquad, direct form I.
class Biquad {
public:
    enum class Type { LowPass, HighPass, BandPass };
    Biquad(Type type, double hz, double q, double sampleRate);
    double process(double x);

private:
    double m_b0 = 0, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

} // namespace wavegen
