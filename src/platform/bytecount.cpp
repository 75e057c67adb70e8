#include "platform/bytecount.h"

#include "codec/cp932chartables.h"

namespace platform
{

namespace
{

inline int byteLength(char16_t c, const codec::cp932::CharTables &tables)
{
    if (c < 0x80)
        return 1;
    if (c == 0x2029)
        return 2; // a line break is CR LF
    const int length = int(tables.encode[c] & 0xFF);
    return length == 0 ? 1 : length; // a character CP932 cannot hold stands as one byte
}

} // namespace

qint64 cp932ByteCount(QStringView text)
{
    const codec::cp932::CharTables &tables = codec::cp932::charTables();
    qint64 total = 0;
    for (const QChar ch : text)
        total += byteLength(ch.unicode(), tables);
    return total;
}

} // namespace platform
