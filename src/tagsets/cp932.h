#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tagsets
{

// Tag set files hold code page 932 (Microsoft's Shift_JIS). These conversions never replace a
// character silently: they say where the bytes or characters are that do not convert.

struct Cp932Decoded {
    enum class Status { Ok, InvalidBytes, NoConverter };
    Status status = Status::Ok;
    QString text;          // meaningful only when status is Ok
    qsizetype badLine = 0; // InvalidBytes: the line (from 1) of the first bad byte sequence
};
Cp932Decoded decodeCp932(const QByteArray &bytes);

struct Cp932Encoded {
    bool ok = false;
    QByteArray bytes;        // meaningful only when ok
    QStringList unencodable; // the distinct characters code page 932 cannot hold, in order
};
Cp932Encoded encodeCp932(const QString &text);

} // namespace tagsets
