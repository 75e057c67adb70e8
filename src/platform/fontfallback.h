#pragma once

#include <QStringList>

namespace platform
{

// The font families the editor asks for to show a font chosen by name: the name first, and
// when no installed font has that name (the default "ＭＳ ゴシック" on Linux), fontconfig's
// choice for it among monospace fonts for Japanese. The setting keeps the chosen name.
QStringList displayFamilies(const QString &name);

// fontconfig's choice of an installed family for the name, preferring monospace fonts that
// cover Japanese; "" when fontconfig has none.
QString closestJapaneseMonospace(const QString &name);

} // namespace platform
