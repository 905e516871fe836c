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
    double dt_ = 1.0;
    double time_ = 0.0;
    unsigned xSize_ = 0, xp_ = 0, xRead_ = 0, xOff_ = 0, yp_ = 0, ySize_ = 0;
};

} // namespace k1lib
