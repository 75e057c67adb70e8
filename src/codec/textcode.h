#pragma once

#include <QString>
#include <QtGlobal>

namespace codec
{

// The encoding the user chose for reading ("ReadCode") or writing ("WriteCode") documents. The
// values are those the settings file stores. Reading with EucJp goes through the converter, which
// detects EUC-JP, ISO-2022-JP, UTF-8 and Shift_JIS.
enum class TextCode : qint16 { ShiftJis = 0, EucJp = 1, Utf8 = 2 };

// The code a stored number stands for: 0 Shift_JIS, 2 UTF-8, any other number EUC-JP.
constexpr TextCode textCodeOf(int stored)
{
    return stored == 0 ? TextCode::ShiftJis : stored == 2 ? TextCode::Utf8 : TextCode::EucJp;
}

// The number the settings file stores for a code.
constexpr int storedValue(TextCode code)
{
    return int(code);
}

// "Shift_JIS", "UTF-8" or "EUC-JP": the name of the file encoding of a code.
QString encodingName(TextCode code);
// "SJIS", "UTF-8" or "EUC": the option button and status panel text of a code.
QString codeLabel(TextCode code);

} // namespace codec
