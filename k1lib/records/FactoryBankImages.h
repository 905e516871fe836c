#pragma once
// Accessors of the embedded factory bank images (data/factory/<ID>.syx), one pair per bank:
// k1data::getData_sysex_<ID>() and k1data::getDataSize_sysex_<ID>().

// The banks in bank-index order.
#define K1_FACTORY_BANK_IDS(X)                                                                               \
    X(K1INT) X(A101) X(A102) X(A103) X(A104) X(A105) X(A200) X(E101) X(E102) X(J101) X(J102) X(J103) X(PHm)

namespace k1data {
#define K1_DECLARE_FACTORY_BANK(id)                                                                          \
    const unsigned char* getData_sysex_##id();                                                               \
    unsigned long getDataSize_sysex_##id();
K1_FACTORY_BANK_IDS(K1_DECLARE_FACTORY_BANK)
#undef K1_DECLARE_FACTORY_BANK
} // namespace k1data
