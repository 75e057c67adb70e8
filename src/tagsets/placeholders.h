#pragma once

#include "codec/textcode.h"

#include <QDateTime>
#include <QString>

namespace tagsets
{

// Expands, in this order and matching exactly, "<$$#CHARSET#$$>" ("Shift_JIS" when writeCode
// is 0, "UTF-8" when it is 2, else "EUC-JP"), "<$$#TLVERSION#$$>" (the version text),
// "<$$#DATE#$$>" (yyyy/mm/dd) and "<$$#TIME#$$>" (hh:nn:ss, 24-hour). Date and time both come from
// now.
QString ExpandPlaceholders(QString text, codec::TextCode writeCode, const QDateTime &now);

} // namespace tagsets
