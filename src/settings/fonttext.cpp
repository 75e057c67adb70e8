#include "settings/fonttext.h"

#include <algorithm>
#include <cmath>

namespace settings
{

long long roundHalfEven(double size)
{
    if (!std::isfinite(size))
        return 0;
    constexpr double limit = 1e15; // far beyond any font size; keeps the conversion defined
    size = std::clamp(size, -limit, limit);
    const double floor = std::floor(size);
    const double diff = size - floor;
    double whole = diff < 0.5 ? floor : floor + 1;
    if (diff == 0.5)
        whole = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    return static_cast<long long>(whole);
}

QString FontSizeText(double size)
{
    constexpr double fractions = 1e12; // below this a size keeps two places exactly
    if (!(std::abs(size) < fractions))
        return QString::number(roundHalfEven(size));
    QString text = QString::number(double(roundHalfEven(size * 100.0)) / 100.0, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString FontText(const QString &name, double size)
{
    return name + QStringLiteral(" （") + FontSizeText(size) + QStringLiteral("ﾎﾟｲﾝﾄ）");
}

} // namespace settings
