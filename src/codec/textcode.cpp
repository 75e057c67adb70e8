#include "codec/textcode.h"

namespace codec
{

QString encodingName(TextCode code)
{
    switch (code) {
    case TextCode::ShiftJis:
        return QStringLiteral("Shift_JIS");
    case TextCode::Utf8:
        return QStringLiteral("UTF-8");
    case TextCode::EucJp:
        break;
    }
    return QStringLiteral("EUC-JP");
}

QString codeLabel(TextCode code)
{
    switch (code) {
    case TextCode::ShiftJis:
        return QStringLiteral("SJIS");
    case TextCode::Utf8:
        return QStringLiteral("UTF-8");
    case TextCode::EucJp:
        break;
    }
    return QStringLiteral("EUC");
}

} // namespace codec
