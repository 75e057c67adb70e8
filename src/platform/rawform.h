#pragma once

#include <QString>

namespace platform
{

// The text as the editor's document holds it once inserted: each CR LF, and each other character
// the document takes as a line break (CR, LF, U+2029, U+FDD0, U+FDD1), one paragraph separator.
// A text without any is returned as it is (shared, not copied).
QString rawForm(const QString &text);

} // namespace platform
