#pragma once

#include <QDateTime>
#include <QString>

namespace tagsets
{

// Expands, in this order and matching exactly, "<$$#CHARSET#$$>" ("Shift_JIS" when writeCode
// is 0, else "EUC-JP"), "<$$#TLVERSION#$$>" (the version text), "<$$#DATE#$$>" (yyyy/mm/dd)
// and "<$$#TIME#$$>" (hh:nn:ss, 24-hour). Date and time both come from now.
QString ExpandPlaceholders(QString text, int writeCode, const QDateTime &now);

} // namespace tagsets
