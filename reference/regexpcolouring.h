#pragma once

// The three colouring replacements done by the regular-expression object, one after another:
// the reference that the program's scanning colouring (markTagsAndComments) is checked against.

#include "markup/regexp.h"
#include "reference/colorize.h"

#include <variant>

namespace reference
{

inline std::variant<QString, markup::RegExpError> markTagsAndCommentsWithRegExp(const QString &rtf)
{
    markup::RegExp re;
    re.Global = true;
    re.IgnoreCase = false;
    QString r = rtf;
    for (const MarkupReplacement &step : kMarkupReplacements) {
        re.Pattern = step.pattern.toString();
        auto result = re.Replace(r, step.replacement.toString());
        if (auto *error = std::get_if<markup::RegExpError>(&result))
            return *error;
        r = std::get<QString>(std::move(result));
    }
    return r;
}

} // namespace reference
