#pragma once

#include <QString>

namespace settings
{

// A font size rounded to a whole number, a half going to the even neighbour: 10.5 → 10,
// 11.5 → 12.
long long roundHalfEven(double size);

// A font size in points as the options show it: whole sizes as whole numbers, others to two
// places without trailing zeros (10.5, the half point common in Japanese documents, stays 10.5).
QString FontSizeText(double size);

// The name of a font and its size in points: "ＭＳ ゴシック （11ﾎﾟｲﾝﾄ）", "… （10.5ﾎﾟｲﾝﾄ）".
QString FontText(const QString &name, double size);

} // namespace settings
