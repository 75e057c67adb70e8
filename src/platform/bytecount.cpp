#include "platform/bytecount.h"

#include "document/cp932chartables.h"

namespace app {

int cp932ByteLength(char16_t c)
{
    if (c < 0x80)
        return 1;
    if (c == 0x2029)
        return 2; // a line break is CR LF
    const int length = int(document::cp932::charTables().encode[c] & 0xFF);
    return length == 0 ? 1 : length; // a character CP932 cannot hold stands as one byte
}

qint64 cp932ByteCount(QStringView text)
{
    qint64 total = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80)
            ++total;
        else
            total += cp932ByteLength(c);
    }
    return total;
}

} // namespace app
