#pragma once

#include "document/cp932table.h"

namespace document::eucjp
{

// The 0x8F three-byte EUC-JP codes older tools wrote for the IBM extension characters, by
// cp932::ibmIndex; see ibmeuc.cpp.
extern const quint16 kIbmEuc[cp932::kIbmCount];

} // namespace document::eucjp
