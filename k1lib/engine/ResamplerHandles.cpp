#include "k1lib/engine/ResamplerHandles.h"

#include <algorithm>
#include <cstring>
#include <libresample.h>
#include <random>
#include <vector>

#include "k1lib/engine/ConverterRecord.h"
#include "k1lib/engine/SilentConverter.h"

namespace k1lib {
namespace {

ConverterRecord& record(void* handle) {
    return *static_cast<ConverterRecord*>(handle);
}
const ConverterRecord& record(const void* handle) {
    return *static_cast<const ConverterRecord*>(handle);
}

void copyRecord(void* to, const void* from) {
    ConverterRecord& t = record(to);
    const ConverterRecord& f = record(from);
    std::copy(f.X, f.X + f.Xread, t.X);
    std::copy(f.Y, f.Y + f.Yp, t.Y);
    t.Xp = f.Xp;
    t.Xread = f.Xread;
    t.Yp = f.Yp;
    t.Time = f.Time;
}

bool sameRecord(const void* a, const void* b) {
    const ConverterRecord& x = record(a);
    const ConverterRecord& y = record(b);
    return x.Xp == y.Xp && x.Xread == y.Xread && x.Yp == y.Yp &&
           std::memcmp(&x.Time, &y.Time, sizeof x.Time) == 0 &&
           std::memcmp(x.X, y.X, x.Xread * sizeof(float)) == 0 &&
           std::memcmp(x.Y, y.Y, x.Yp * sizeof(float)) == 0;
}

// A freshly opened handle must show the record's fields where the layout puts them.
bool looksLikeRecord(const void* handle, double factor) {
    const ConverterRecord& r = record(handle);
    return r.minFactor == factor && r.maxFactor == factor && r.X && r.Y && r.Imp && r.ImpD && r.Xoff > 0 &&
           r.Xp == r.Xoff && r.Xread == r.Xoff && r.Yp == 0 && r.Time == r.Xoff && r.XSize > 2 * r.Xoff &&
           r.YSize > 0 && static_cast<int>(r.Xoff) < resample_get_filter_width(handle) + 64;
}

int feed(void* handle, double factor, std::vector<float>& in, std::vector<float>& out) {
    int used = 0;
    return resample_process(handle, factor, in.data(), static_cast<int>(in.size()), 0, &used, out.data(),
                            static_cast<int>(out.size()));
}

// Whether a copied record converts exactly as the handle it was copied from, while a handle fed
// something else is told apart.
bool copiesBehave(void* pristine, double factor) {
    if (!looksLikeRecord(pristine, factor)) return false;
    void* a = resample_dup(pristine);
    void* b = resample_dup(pristine);
    void* c = resample_dup(pristine);
    bool ok = a && b && c;
    if (ok) {
        std::vector<float> in(300), other(300), outA(400), outB(400);
        for (size_t i = 0; i < in.size(); ++i) {
            in[i] = static_cast<float>((i * 37) % 101) / 101.0f - 0.5f;
            other[i] = in[i] * 0.5f;
        }
        feed(a, factor, in, outA);
        feed(c, factor, other, outB);
        ok = !sameRecord(a, c);
        copyRecord(b, a);
        ok = ok && sameRecord(a, b);
        for (int round = 0; round < 3 && ok; ++round) {
            const int na = feed(a, factor, in, outA);
            const int nb = feed(b, factor, in, outB);
            ok = na == nb && na > 0 &&
                 std::memcmp(outA.data(), outB.data(), sizeof(float) * static_cast<size_t>(na)) == 0;
        }
    }
    for (void* h : {a, b, c})
        if (h) resample_close(h);
    return ok;
}

// Whether the silent converter keeps the positions of a real one through calls of every size.
bool silenceBehaves(void* pristine, double factor) {
    void* real = resample_dup(pristine);
    if (!real) return false;
    SilentConverter silent;
    silent.takePositions(record(real), factor);
    std::vector<float> zeros(700, 0.0f), out(900);
    std::mt19937 random(11);
    bool ok = true;
    for (int call = 0; call < 150 && ok; ++call) {
        const int in = static_cast<int>(random() % 300);
        const int wanted = static_cast<int>(random() % 400);
        int usedReal = 0, usedSilent = 0;
        const int producedReal =
            resample_process(real, factor, zeros.data(), in, 0, &usedReal, out.data(), wanted);
        const int producedSilent = silent.process(in, wanted, usedSilent);
        ok = producedReal == producedSilent && usedReal == usedSilent && silent.samePositions(record(real));
    }
    resample_close(real);
    return ok;
}

} // namespace

ResamplerHandles::ResamplerHandles(double factor) {
    if (!(factor > 0.0)) return; // no conversion, no handles
    m_pristine = resample_open(1, factor, factor);
    if (!m_pristine) return;
    m_factor = factor;
    m_canCopy = copiesBehave(m_pristine, factor) && silenceBehaves(m_pristine, factor);
    for (void*& handle : m_handles)
        handle = resample_dup(m_pristine);
}

ResamplerHandles::~ResamplerHandles() {
    for (void* handle : m_handles)
        if (handle) resample_close(handle);
    if (m_pristine) resample_close(m_pristine);
}

int ResamplerHandles::filterWidth() const {
    return m_pristine ? resample_get_filter_width(m_pristine) : 64;
}

void ResamplerHandles::copy(int to, int from) {
    void* target = m_handles[static_cast<size_t>(to)];
    const void* source = m_handles[static_cast<size_t>(from)];
    if (m_canCopy && target && source && target != source) copyRecord(target, source);
}

bool ResamplerHandles::sameState(int a, int b) const {
    const void* x = m_handles[static_cast<size_t>(a)];
    const void* y = m_handles[static_cast<size_t>(b)];
    return m_canCopy && x && y && sameRecord(x, y);
}

bool ResamplerHandles::holdsSilence(int channel) const {
    const void* handle = m_handles[static_cast<size_t>(channel)];
    if (!m_canCopy || !handle) return false;
    const ConverterRecord& r = record(handle);
    const auto zero = [](float v) { return v == 0.0f; };
    return std::all_of(r.X, r.X + r.Xread, zero) && std::all_of(r.Y, r.Y + r.Yp, zero);
}

void ResamplerHandles::startSilence(int channel, SilentConverter& silent) const {
    const void* handle = m_handles[static_cast<size_t>(channel)];
    if (m_canCopy && handle) silent.takePositions(record(handle), m_factor);
}

bool ResamplerHandles::sameSilence(int channel, const SilentConverter& silent) const {
    const void* handle = m_handles[static_cast<size_t>(channel)];
    return m_canCopy && handle && silent.samePositions(record(handle));
}

void ResamplerHandles::endSilence(int channel, const SilentConverter& silent) {
    void* handle = m_handles[static_cast<size_t>(channel)];
    if (m_canCopy && handle) silent.givePositions(record(handle));
}

void ResamplerHandles::restart() {
    if (!m_pristine) return;
    for (void*& handle : m_handles) {
        if (m_canCopy && handle) {
            copyRecord(handle, m_pristine);
            continue;
        }
        if (handle) resample_close(handle);
        handle = resample_dup(m_pristine);
    }
}

} // namespace k1lib
