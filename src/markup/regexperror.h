#pragma once

#include <QString>

namespace markup
{

// Why the engine refused a pattern, as a Japanese sentence naming the character (counted from 1)
// where it stopped. code is a PCRE2 compile error code.
QString patternErrorReason(int code, qsizetype character);

// Why a search could not finish, as a Japanese sentence. code is a PCRE2 match error code.
QString matchErrorReason(int code);

} // namespace markup
