#pragma once

#include "codec/cp932table.h"

namespace codec::eucjp
{

// The 0x8F three-byte EUC-JP codes older tools wrote for the IBM extension characters, by
// cp932::ibmIndex; see ibmeuc.cpp.
extern const quint16 kIbmEuc[cp932::kIbmCount];

} // namespace codec::eucjp
