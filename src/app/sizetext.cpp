#include "app/sizetext.h"

namespace app
{

QString sizePanelText(qint64 bytes)
{
    QString digits = QString::number(bytes);
    const bool negative = digits.startsWith(QLatin1Char('-'));
    for (qsizetype i = digits.size() - 3; i > (negative ? 1 : 0); i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits + QStringLiteral(" Bytes");
}

} // namespace app
