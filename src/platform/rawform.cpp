#include "platform/rawform.h"

#include <algorithm>

namespace platform
{

namespace
{

constexpr char16_t ParagraphSeparator = 0x2029;

bool isBreak(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == ParagraphSeparator || c == 0xFDD0 || c == 0xFDD1;
}

} // namespace

QString rawForm(const QString &text)
{
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return isBreak(c.unicode()); }))
        return text;
    QString raw(text.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(raw.data());
    const char16_t *const begin = o;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isBreak(c)) {
            *o++ = c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        *o++ = ParagraphSeparator;
    }
    raw.truncate(o - begin);
    return raw;
}

} // namespace platform
