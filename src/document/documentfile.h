#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <variant>

// Document files: their bytes, the code conversion between them and the editor's text, and what
// a round trip through the editor would change.
namespace document
{

// Which line breaks a file uses.
enum class LineEnds { None, CrLf, Lf, Cr, Mixed };

// The editor's text of a file, and what about the file saving would not give back unchanged.
struct LoadedText {
    QString text; // line breaks as CR LF
    LineEnds lineEnds = LineEnds::None;
    QStringList problems; // Japanese sentences, one per kind of problem; empty when exact
    quint64 contentHash = 0; // of the file's bytes (readDocumentFile only)
};

// Why a file could not be read or written: a Japanese sentence with the system's reason.
struct FileFailure {
    QString reason;
};

// The editor's text for the bytes of a file. readCode 0 takes them as Shift_JIS (CP932); any
// other value passes them through the converter, which detects EUC-JP, ISO-2022-JP, UTF-8 and
// Shift_JIS. LF and lone CR become CR LF; an existing CR LF stays one line break. Every byte,
// a zero byte included, reaches the text. Problems are reported for bytes that are not valid in
// the encoding, for characters that would be written back as other bytes, and for line breaks
// that saving would not restore (lone CR, a mixture of kinds).
LoadedText textFromBytes(QByteArrayView bytes, int readCode);

// Reads the file at path and converts it as textFromBytes does. Only a regular file is read, and
// without waiting on a pipe or a device; a failure gives the reason in Japanese.
std::variant<LoadedText, FileFailure> readDocumentFile(const QString &path, int readCode);

// The file bytes of the editor's text (CR LF line breaks). writeCode 0 writes Shift_JIS (CP932)
// with the text's line breaks; any other value EUC-JP with each CR LF turned into LF. A
// character the encoding cannot hold is written as a numeric character reference "&#x…;" and
// the first one is reported by its UTF-16 index in text.
struct EncodedText {
    QByteArray bytes;
    qsizetype firstUnmappable = -1;
    bool converterFailed = false; // the EUC-JP conversion met bytes it could not convert
};
EncodedText bytesFromText(QStringView text, int writeCode);

// "Shift_JIS" or "EUC-JP": the name of the file encoding of a ReadCode or WriteCode.
QString encodingName(int code);

// Line and column (both from 1) of the UTF-16 index in a text with CR LF, LF or CR line breaks;
// the column counts characters, a surrogate pair as one.
struct TextPosition {
    qsizetype line = 1;
    qsizetype column = 1;
};
TextPosition positionOf(QStringView text, qsizetype index);

// The line (from 1) of a byte offset in a file with CR LF, LF or CR line breaks.
qsizetype lineOfByte(QByteArrayView bytes, qsizetype offset);

} // namespace document
