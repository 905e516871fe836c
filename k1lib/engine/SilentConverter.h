#pragma once
// A libresample converter fed nothing but zeros, kept without filtering: its history and pending
// output are all zeros, so only the positions and the time move, in the very steps the library
// takes (resample_process and its filter loop, less the arithmetic on samples). Every channel of a
// resampler gets the same calls, so one of these stands for all of its silent channels, which
// then cost nothing until one sounds again and takes this state.
//
// Not thread-safe: the resampler's caller serialises every call.
#include "k1lib/engine/ConverterRecord.h"

namespace k1lib {

class SilentConverter {
public:
    // The positions and time of a converter record, whose samples must all be zeros.
    void takePositions(const ConverterRecord& record, double factor);
    // As resample_process(handle, factor, zeros, inputLength, 0, &used, out, outputLength),
    // returning the samples produced (all zeros).
    int process(int inputLength, int outputLength, int& used);
    // Gives record these positions and zeros where a later call reads.
    void givePositions(ConverterRecord& record) const;
    bool samePositions(const ConverterRecord& record) const;

private:
    double m_dt = 1.0;
    double m_time = 0.0;
    unsigned m_xSize = 0, m_xp = 0, m_xRead = 0, m_xOff = 0, m_yp = 0, m_ySize = 0;
};

} // namespace k1lib
