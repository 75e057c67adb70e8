#pragma once

#include "document/cp932table.h"

namespace document::eucjp
{

// EUC-JP codes of the IBM extension characters, by cp932::ibmIndex; see ibmeuc.cpp.
extern const quint16 kIbmEuc[cp932::kIbmCount];

} // namespace document::eucjp
