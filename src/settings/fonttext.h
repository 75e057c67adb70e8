#pragma once

#include <QString>

namespace settings
{

// A font size rounded to a whole number, a half going to the even neighbour: 10.5 → 10,
// 11.5 → 12.
long long roundHalfEven(double size);

// The name of a font and its size in whole points: "ＭＳ ゴシック （11ﾎﾟｲﾝﾄ）".
QString FontText(const QString &name, double size);

} // namespace settings
