#pragma once
// libresample 0.1.3's converter record (resample.c in Debian's libresample1), as far as a
// converter's state goes. Only ResamplerHandles and SilentConverter read it, and only after the
// library's behaviour confirmed the layout.

namespace k1lib {

// NOLINTBEGIN(readability-identifier-naming): the library's own field names
struct ConverterRecord {
    float* Imp;
    float* ImpD;
    float LpScl;
    unsigned Nmult;
    unsigned Nwing;
    double minFactor;
    double maxFactor;
    unsigned XSize;
    float* X; // input history: X[0 .. Xread) is all a later call reads
    unsigned Xp;
    unsigned Xread;
    unsigned Xoff;
    unsigned YSize;
    float* Y; // output computed but not yet handed out: Y[0 .. Yp)
    unsigned Yp;
    double Time;
};
// NOLINTEND(readability-identifier-naming)

} // namespace k1lib
