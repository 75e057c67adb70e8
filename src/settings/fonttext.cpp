#include "settings/fonttext.h"

#include <algorithm>
#include <cmath>

namespace settings
{

long long roundHalfEven(double size)
{
    if (!std::isfinite(size))
        return 0;
    constexpr double Limit = 1e15; // far beyond any font size; keeps the conversion defined
    size = std::clamp(size, -Limit, Limit);
    const double floor = std::floor(size);
    const double diff = size - floor;
    double whole = diff < 0.5 ? floor : floor + 1;
    if (diff == 0.5)
        whole = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    return static_cast<long long>(whole);
}

QString FontText(const QString &name, double size)
{
    return name + QStringLiteral(" （") + QString::number(roundHalfEven(size)) +
           QStringLiteral("ﾎﾟｲﾝﾄ）");
}

} // namespace settings
