#pragma once

#include "codec/textcode.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <variant>

namespace tagsets
{

// Why a tag set could not be read or written. reason is a Japanese sentence the caller can show
// after its own line naming the tag set.
struct TagSetError {
    enum class Kind {
        InvalidName,  // the name cannot be a file name in the folder
        Missing,      // no such file (for example deleted since the list was filled)
        Unreadable,   // not a regular file, too large, or the system refused to read it
        InvalidBytes, // bytes that are not code page 932
        Unencodable,  // writing: characters code page 932 cannot hold
        WriteFailed,  // writing: the file could not be created or written completely
    };
    Kind kind;
    QString reason;
    // InvalidBytes: the tag set as far as it can be read, split like a readable one, each byte
    // sequence that is no character shown as U+FFFD (for the editor, where it can be mended).
    QStringList readable;
};

// Element 0 is the before text, element 1 the after text; always at least two elements.
using ReadResult = std::variant<QStringList, TagSetError>;
// The path of the written file.
using WriteResult = std::variant<QString, TagSetError>;

// The ten characters between the before text and the after text.
inline constexpr QStringView Separator = u"<$$#--#$$>";

// folder + "/" + name + ".tag", or the existing file whose extension is ".tag" in another case
// (".TAG", ".Tag"), which the list shows under the same name.
QString TagSetPath(const QString &folder, const QString &name);

// Reads the tag set name in folder. With expand the placeholders are expanded (writeCode and
// now give the character set, date and time) before the text is split at every separator; a
// text without a separator gives three elements, the last two empty. The line end after the
// after text is kept. An empty file reads as three empty texts.
ReadResult ReadTagSet(const QString &folder, const QString &name, bool expand,
                      codec::TextCode writeCode, const QDateTime &now);
// The same in the tag set folder, at the current local time.
ReadResult ReadTagSet(const QString &name, bool expand, codec::TextCode writeCode);

// Writes before + separator + after + CR LF in code page 932 as the tag set name in folder,
// replacing an existing file atomically: on any failure the old file stays as it was and no
// temporary file remains. Line feeds not preceded by a carriage return are written as CR LF.
WriteResult WriteTagSet(const QString &folder, const QString &name, const QString &before,
                        const QString &after);
// The same in the tag set folder.
WriteResult WriteTagSet(const QString &name, const QString &before, const QString &after);

} // namespace tagsets
