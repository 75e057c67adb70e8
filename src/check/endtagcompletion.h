#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace check
{

// How far back from the caret the open elements are looked for.
inline constexpr qsizetype CompletionLookBehind = 256 * 1024;

// When the two characters before caret are "</" typed in text content (not in a comment, script,
// style or attribute value), the rest of the end tag of the innermost open element ("li>");
// otherwise nothing. Void elements are never open; end tags a page may leave out (li, p, td ...)
// count as given where the next start tag implies them.
std::optional<QString> endTagCompletion(QStringView text, qsizetype caret);

} // namespace check
