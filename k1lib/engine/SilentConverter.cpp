#include "k1lib/engine/SilentConverter.h"

#include <algorithm>
#include <cstring>

namespace k1lib {

void SilentConverter::takePositions(const ConverterRecord& record, double factor) {
    dt_ = 1.0 / factor;
    time_ = record.Time;
    xSize_ = record.XSize;
    xp_ = record.Xp;
    xRead_ = record.Xread;
    xOff_ = record.Xoff;
    yp_ = record.Yp;
    ySize_ = record.YSize;
}

int SilentConverter::process(int inputLength, int outputLength, int& used) {
    used = 0;
    int produced = 0;
    // What the last pass left pending goes out first.
    const auto handOut = [&] {
        if (yp_ == 0 || outputLength - produced <= 0) return;
        const unsigned length = std::min(static_cast<unsigned>(outputLength - produced), yp_);
        produced += static_cast<int>(length);
        yp_ -= length;
    };
    handOut();
    if (yp_ != 0) return produced;
    for (;;) {
        unsigned length = xSize_ - xRead_;
        if (static_cast<int>(length) >= inputLength - used)
            length = static_cast<unsigned>(inputLength - used);
        used += static_cast<int>(length);
        xRead_ += length;
        const int nx = static_cast<int>(xRead_ - 2 * xOff_);
        if (nx <= 0) break;
        // The filter loop: one output per step of the output period until the input is passed.
        unsigned out = 0;
        const double end = time_ + static_cast<double>(static_cast<unsigned>(nx));
        while (time_ < end) {
            ++out;
            time_ += dt_;
        }
        time_ -= static_cast<unsigned>(nx);
        xp_ += static_cast<unsigned>(nx);
        const unsigned creep = static_cast<unsigned>(static_cast<int>(time_)) - xOff_;
        if (creep != 0) {
            time_ -= creep;
            xp_ += creep;
        }
        xRead_ = xRead_ - (xp_ - xOff_);
        xp_ = xOff_;
        if (out > ySize_) return -1;
        yp_ = out;
        handOut();
        if (yp_ != 0) break;
    }
    return produced;
}

void SilentConverter::givePositions(ConverterRecord& record) const {
    record.Time = time_;
    record.Xp = xp_;
    record.Xread = xRead_;
    record.Yp = yp_;
    std::fill(record.X, record.X + xRead_, 0.0f);
    std::fill(record.Y, record.Y + yp_, 0.0f);
}

bool SilentConverter::samePositions(const ConverterRecord& record) const {
    return std::memcmp(&record.Time, &time_, sizeof time_) == 0 && record.Xp == xp_ &&
           record.Xread == xRead_ && record.Yp == yp_;
}

} // namespace k1lib
