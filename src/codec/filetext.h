#pragma once

#include "codec/textcode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// Document files: their bytes, the code conversion between them and the editor's text, and what
// a round trip through the editor would change.
namespace codec
{

// Which line breaks a file uses.
enum class LineEnds { None, CrLf, Lf, Cr, Mixed };

// What of a file's form, beyond its text, saving keeps. A default FileShape is a new document.
struct FileShape {
    LineEnds lineEnds = LineEnds::None;
    bool byteOrderMark = false; // read as UTF-8 behind a byte order mark
    bool shiftJisBytes = false; // the bytes were taken as Shift_JIS as they stand (or are ASCII)

    friend bool operator==(const FileShape &, const FileShape &) = default;
};

// The editor's text of a file, and what about the file saving would not give back unchanged.
struct LoadedText {
    QString text; // line breaks as CR LF
    FileShape shape;
    QStringList problems;    // Japanese sentences, one per kind of problem; empty when exact
    quint64 contentHash = 0; // of the file's bytes (readDocumentFile only)
    // A Japanese sentence when the bytes look like another encoding than the one they were read
    // as, naming it and the setting to change; empty otherwise. Not a problem by itself.
    QString encodingNote;
};

// The editor's text for the bytes of a file. ShiftJis takes them as Shift_JIS (CP932), Utf8 as
// UTF-8 (a byte order mark is noted in the shape); EucJp passes them through the
// converter, which detects EUC-JP, ISO-2022-JP, UTF-8 and Shift_JIS. LF and lone CR become CR LF;
// an existing CR LF stays one line break. Every byte, a zero byte included, reaches the text.
// Problems are reported for bytes that are not valid in the encoding, for characters that would be
// written back as other bytes, for characters the editor keeps only as line breaks (U+2029,
// U+FDD0, U+FDD1) and for line breaks that saving would not restore (lone CR, a mixture of kinds).
LoadedText textFromBytes(QByteArrayView bytes, TextCode readCode);

// The file bytes of the editor's text (CR LF line breaks) for a file of the given shape.
// ShiftJis writes Shift_JIS (CP932): LF when the file was Shift_JIS with only LF line breaks,
// else the text's CR LF. Utf8 writes UTF-8 and EucJp EUC-JP: CR LF when the file had only
// CR LF, else LF; in UTF-8 a byte order mark when the file had one. A lone CR stays. A character
// the encoding cannot hold (in EUC-JP also a user-defined one, U+E000-U+E757) is written as a
// numeric character reference "&#x…;" and the first one is reported by its UTF-16 index in text.
struct EncodedText {
    QByteArray bytes;
    qsizetype firstUnmappable = -1;
    bool converterFailed = false; // the EUC-JP conversion met bytes it could not convert
};
EncodedText bytesFromText(QStringView text, TextCode writeCode, const FileShape &shape = {});
// The same bytes for the text the editor holds, its lines ended by U+2029 (each written as CR
// LF), made a slice of at most slice characters at a time: the text is never held whole with
// CR LF. The first unmappable character is reported by its index in the CR LF form.
EncodedText bytesFromLines(QStringView lines, TextCode writeCode, const FileShape &shape = {},
                           qsizetype slice = qsizetype(1) << 20);

// Line and column (both from 1) of the UTF-16 index in a text with CR LF, LF or CR line breaks;
// the column counts characters, a surrogate pair as one.
struct TextPosition {
    qsizetype line = 1;
    qsizetype column = 1;
};
TextPosition positionOf(QStringView text, qsizetype index);

// The line (from 1) of a byte offset in a file with CR LF, LF or CR line breaks.
qsizetype lineOfByte(QByteArrayView bytes, qsizetype offset);

} // namespace codec
