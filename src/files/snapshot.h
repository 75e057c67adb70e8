#pragma once

#include "codec/filetext.h"
#include "files/filestamp.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

namespace files
{

// A copy of an unsaved document, kept on disk so that a crash does not lose it.
struct Snapshot {
    QString text;          // the editor's text, CR LF line breaks, exactly as it was
    QString path;          // the document's file; empty for a new document
    FileStamp diskFile;    // the document's file as it was last read or written
    QString inexactReason; // why saving over that file would change it; empty when it would not
    codec::TextCode readCode = codec::TextCode::ShiftJis;
    codec::TextCode writeCode = codec::TextCode::ShiftJis;
    QDateTime time; // when the copy was taken
    codec::FileShape
        shape; // line breaks and byte order mark of the document's file, kept on saving

    friend bool operator==(const Snapshot &, const Snapshot &) = default;
};

// The bytes of a snapshot file: a short header of "name=value" lines and the text as UTF-16LE,
// so that every text, a lone surrogate or a zero character included, comes back unchanged. A
// paragraph separator (U+2029, the editor's own line break) is written as CR LF, so the editor's
// raw text may be given as it is, shared rather than copied.
QByteArray encodeSnapshot(const Snapshot &snapshot);
// The snapshot in bytes written by encodeSnapshot; nullopt for anything else (a truncated or
// foreign file).
std::optional<Snapshot> decodeSnapshot(QByteArrayView bytes);
// Only the document's path, from the first kSnapshotHeadMax bytes of a snapshot file.
inline constexpr qint64 kSnapshotHeadMax = 64 * 1024;
std::optional<QString> decodeSnapshotPath(QByteArrayView head);

} // namespace files
