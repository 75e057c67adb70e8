#pragma once

#include <QString>
#include <optional>

namespace tagsets
{

// The characters a new tag set's name may not hold, in the order they are checked:
// \ / : ; , * ? " < > |
inline constexpr QStringView ForbiddenNameCharacters = u"\\/:;,*?\"<>|";

// The first character of ForbiddenNameCharacters (in that order, not in the order of the name)
// that name contains; nullopt when it holds none of them.
std::optional<QChar> firstForbiddenCharacter(const QString &name);

// Why the file system cannot take name as a tag set file (name + ".tag") for reasons other than
// the forbidden characters: control characters, a broken character, "." or ".." alone, or a file
// name too long. A Japanese sentence; nullopt when the name can be used.
std::optional<QString> unusableNameReason(const QString &name);

} // namespace tagsets
