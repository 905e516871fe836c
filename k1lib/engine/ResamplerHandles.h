#pragma once
// The libresample handles of one resampler: one per channel, all duplicated from a single handle
// so the filter table is built once, plus a pristine one that a restart returns each channel to.
//
// libresample keeps a converter's whole state in one record, and two handles fed the same samples
// in the same calls hold the same state. copy and sameState read and write that record (its
// layout in Debian's libresample 0.1.3), so a channel that followed another without converting is
// brought to that state without allocating. The layout is checked against the library's own
// behaviour whenever handles are made (a silent converter's steps too); where the check fails canCopy() is
// false, every channel converts on its own and a restart duplicates the pristine handle again.
//
// Not thread-safe: the resampler's caller serialises every call.
#include <array>
#include <cstddef>

#include "k1lib/constants/K1Constants.h"

namespace k1lib {

class SilentConverter;

class ResamplerHandles {
public:
    static constexpr int kMaxHandles = kOutputCount; // one per output channel

    // factor 0 makes no handles (the rates are the same).
    explicit ResamplerHandles(double factor);
    ~ResamplerHandles();
    ResamplerHandles(const ResamplerHandles&) = delete;
    ResamplerHandles& operator=(const ResamplerHandles&) = delete;

    void* operator[](int channel) const { return m_handles[static_cast<std::size_t>(channel)]; }
    int filterWidth() const;

    // Whether copy and sameState may be used.
    bool canCopy() const { return m_canCopy; }
    // Gives handle to the state of handle from; allocates nothing.
    void copy(int to, int from);
    // Whether both handles would turn the same input into the same output from now on.
    bool sameState(int a, int b) const;
    // Whether the handle's history and pending output are all zeros, so that a silent converter
    // may stand for it; startSilence gives the silent converter its positions.
    bool holdsSilence(int channel) const;
    void startSilence(int channel, SilentConverter& silent) const;
    bool sameSilence(int channel, const SilentConverter& silent) const;
    // The handle takes the state of the converter that stood for it while silent.
    void endSilence(int channel, const SilentConverter& silent);
    // Every handle as when opened (allocates only when canCopy() is false).
    void restart();

private:
    void* m_pristine = nullptr;
    std::array<void*, kMaxHandles> m_handles{};
    double m_factor = 1.0;
    bool m_canCopy = false;
};

} // namespace k1lib
