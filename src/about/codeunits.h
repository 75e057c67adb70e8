#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace about
{

// Builds a text from a list of UTF-16 code units written as "&Hxxxx" numbers separated by
// commas ("&HFF77,&H0028"). nullopt when an element is not such a number.
std::optional<QString> decodeCodeUnits(QStringView list);

} // namespace about
