#include "reference/nkfcall.h"

#include "codec/eucjp.h"
#include "codec/nkf.h"

#include <cstring>

namespace reference
{
namespace
{

enum class Direction { ToShiftJis, ToEucJp };
Direction g_direction = Direction::ToShiftJis; // the tests call the converter on one thread

} // namespace

void SetNkfOption(const char *options)
{
    if (!options)
        return;
    for (const char *p = options; *p; ++p) {
        if (*p == 's')
            g_direction = Direction::ToShiftJis;
        else if (*p == 'e')
            g_direction = Direction::ToEucJp;
    }
}

void NkfConvert(char *output, const char *input)
{
    if (!output)
        return;
    const QByteArrayView in =
        input ? QByteArrayView(input, qsizetype(std::strlen(input))) : QByteArrayView();
    const codec::ConversionResult result = g_direction == Direction::ToShiftJis
                                               ? codec::convertToCp932(in)
                                               : codec::convertCp932ToEucJp(in);
    // The size bounds in nkf.h keep this inside the caller's area.
    std::memcpy(output, result.bytes.constData(), size_t(result.bytes.size()));
    output[result.bytes.size()] = '\0';
}

void TrimAtDoubleNul(QByteArray &buffer)
{
    const qsizetype n = buffer.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (buffer[i] == '\0' && (i + 1 == n || buffer[i + 1] == '\0')) {
            buffer.truncate(i);
            return;
        }
    }
}

} // namespace reference
