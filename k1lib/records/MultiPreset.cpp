#include "k1lib/records/MultiPreset.h"

#include <cstring>

namespace k1lib {

bool sameMulti(const MultiPreset& a, const MultiPreset& b) {
    return std::memcmp(a.name, b.name, sizeof a.name) == 0 && a.volume == b.volume &&
           a.sections == b.sections;
}

} // namespace k1lib
