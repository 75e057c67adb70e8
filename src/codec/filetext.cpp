#include "codec/filetext.h"

#include "codec/cp932.h"
#include "codec/cp932chartables.h"
#include "codec/detect.h"
#include "codec/eucjp.h"
#include "codec/nkf.h"
#include "codec/utf8.h"

#include <algorithm>
#include <cstring>

namespace codec
{
namespace
{

struct LineEndCounts {
    qsizetype crLf = 0, lf = 0, cr = 0;
};

// CR (0x0D) and LF (0x0A) are never part of a multi-byte character in any of the encodings read.
LineEndCounts countLineEnds(QByteArrayView bytes)
{
    LineEndCounts counts;
    const char *p = bytes.data();
    const qsizetype n = bytes.size();
    for (const char *q = p;
         (q = static_cast<const char *>(std::memchr(q, '\r', size_t(p + n - q)))); ++q) {
        if (q + 1 < p + n && q[1] == '\n')
            ++counts.crLf;
        else
            ++counts.cr;
    }
    counts.lf = bytes.count('\n') - counts.crLf;
    return counts;
}

LineEnds kindOf(const LineEndCounts &c)
{
    const int kinds = (c.crLf > 0) + (c.lf > 0) + (c.cr > 0);
    if (kinds == 0)
        return LineEnds::None;
    if (kinds > 1)
        return LineEnds::Mixed;
    return c.crLf > 0 ? LineEnds::CrLf : c.lf > 0 ? LineEnds::Lf : LineEnds::Cr;
}

// Every LF and lone CR becomes CR LF. Works on raw units: QString::replace is several times
// slower on a large page.
QString withCrLf(QString text, LineEnds kind)
{
    if (kind == LineEnds::None || kind == LineEnds::CrLf)
        return text;
    const auto *in = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    qsizetype added = 0; // one for every LF or CR that is not part of a CR LF
    for (qsizetype i = 0; i < n; ++i) {
        if (in[i] == u'\r' && i + 1 < n && in[i + 1] == u'\n')
            ++i;
        else if (in[i] == u'\r' || in[i] == u'\n')
            ++added;
    }
    QString result(n + added, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(result.data());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c == u'\r' || c == u'\n') {
            *out++ = u'\r';
            *out++ = u'\n';
            if (c == u'\r' && i + 1 < n && in[i + 1] == u'\n')
                ++i;
        } else {
            *out++ = c;
        }
    }
    return result;
}

// Every CR LF becomes LF, in place; a lone CR stays.
void dropCrBeforeLf(QByteArray &bytes)
{
    char *const begin = bytes.data();
    char *const end = begin + bytes.size();
    char *out = static_cast<char *>(std::memchr(begin, '\r', size_t(end - begin)));
    if (!out)
        return;
    for (const char *in = out; in < end; ++in) {
        if (!(*in == '\r' && in + 1 < end && in[1] == '\n'))
            *out++ = *in;
    }
    bytes.truncate(out - begin);
}

// Offset of the first byte where a and b differ, or -1 when they are equal.
qsizetype firstDifference(QByteArrayView a, QByteArrayView b)
{
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (mismatch.first == a.end() && mismatch.second == b.end())
        return -1;
    return mismatch.first - a.begin();
}

// Where the bytes of encoding text (decoded from cp932 with no invalid sequence) first differ
// from cp932, or -1 when they are the same: one table look-up per character, with no copy of a
// big page; a character the table does not hold sends the question to the encoder itself.
qsizetype firstReencodingDifference(QByteArrayView cp932, QStringView text)
{
    const cp932::CharTables &t = cp932::charTables();
    const auto *p = reinterpret_cast<const uchar *>(cp932.data());
    const qsizetype n = cp932.size();
    const auto throughEncoder = [&] { return firstDifference(cp932, encodeCp932(text).bytes); };
    qsizetype i = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (i >= n)
            return throughEncoder();
        if (c < 0x80) {
            if (p[i] != c)
                return throughEncoder();
            ++i;
            continue;
        }
        const std::uint32_t e = t.encode[c];
        if (e == 0)
            return throughEncoder();
        if (p[i] != uchar(e >> 8))
            return i;
        if ((e & 0xFF) == 2) {
            if (i + 1 >= n || p[i + 1] != uchar(e >> 16))
                return i + 1;
            ++i;
        }
        ++i;
    }
    return i == n ? -1 : throughEncoder();
}

QString detectedName(DetectedEncoding e)
{
    switch (e) {
    case DetectedEncoding::Ascii:
        return QStringLiteral("ASCII");
    case DetectedEncoding::ShiftJis:
        return QStringLiteral("Shift_JIS");
    case DetectedEncoding::EucJp:
        return QStringLiteral("EUC-JP");
    case DetectedEncoding::Iso2022Jp:
        return QStringLiteral("ISO-2022-JP");
    case DetectedEncoding::Utf8:
        return QStringLiteral("UTF-8");
    }
    return QString();
}

QString invalidProblem(QByteArrayView bytes, qsizetype offset, const QString &encoding,
                       bool converted)
{
    const qsizetype line = lineOfByte(bytes, offset);
    if (!converted)
        return QStringLiteral("%1 行目に、%2 として読めないバイトがあります"
                              "（「�」で表示しています）。")
            .arg(line)
            .arg(encoding);
    return QStringLiteral("%1 行目に、%2 として読めないか Shift_JIS で表せない部分があります"
                          "（「〓」などで表示しています）。")
        .arg(line)
        .arg(encoding);
}

QString rewrittenProblem(QByteArrayView bytes, qsizetype offset)
{
    return QStringLiteral("%1 行目に、保存すると別のバイトで書かれる文字（NEC・IBM 拡張文字の"
                          "重複コードなど）があります。")
        .arg(lineOfByte(bytes, offset));
}

// The first character the editor keeps only as a line break: U+2029 PARAGRAPH SEPARATOR and the
// noncharacters U+FDD0 and U+FDD1, which its text document uses to mark paragraphs and frames.
qsizetype firstEditorBreak(QStringView text)
{
    const auto found = std::find_if(text.begin(), text.end(), [](QChar c) {
        return c.unicode() == 0x2029 || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
    });
    return found == text.end() ? -1 : found - text.begin();
}

QString editorBreakProblem(QStringView text, qsizetype at)
{
    return QStringLiteral("%1 行目に、編集画面では改行になる文字（U+%2）があります。保存すると"
                          "改行として書かれます。")
        .arg(positionOf(text, at).line)
        .arg(QString::number(text[at].unicode(), 16).toUpper());
}

QString lineEndProblem(const LineEndCounts &c)
{
    return QStringLiteral("改行コードが CR LF %1 個、LF %2 個、CR %3 個です。保存すると、改行は "
                          "Shift_JIS では CR LF、EUC-JP と UTF-8 では LF にそろいます。")
        .arg(c.crLf)
        .arg(c.lf)
        .arg(c.cr);
}

} // namespace

qsizetype lineOfByte(QByteArrayView bytes, qsizetype offset)
{
    const QByteArrayView before = bytes.first(std::clamp<qsizetype>(offset, 0, bytes.size()));
    const LineEndCounts c = countLineEnds(before);
    // A CR at the very end of before may be the first half of a CR LF: one line break either way.
    return c.crLf + c.lf + c.cr + 1;
}

TextPosition positionOf(QStringView text, qsizetype index)
{
    TextPosition p;
    const qsizetype end = std::clamp<qsizetype>(index, 0, text.size());
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) {
            ++p.line;
            p.column = 1;
        } else if (c != u'\r' && !c.isLowSurrogate()) {
            ++p.column;
        }
    }
    return p;
}

namespace
{

// The setting under which the converter or the decoder would read an encoding found.
TextCode readCodeFor(DetectedEncoding e)
{
    return e == DetectedEncoding::ShiftJis ? TextCode::ShiftJis
           : e == DetectedEncoding::Utf8   ? TextCode::Utf8
                                           : TextCode::EucJp;
}

QString encodingNote(DetectedEncoding found, TextCode readCode)
{
    return QStringLiteral("このファイルは %1 で書かれているようです（「読込文字コード」の設定は"
                          "「%2」）。%1 として読むには、オプションの「読込文字コード」を「%3」に"
                          "してください。")
        .arg(detectedName(found), codeLabel(readCode), codeLabel(readCodeFor(found)));
}

// Reads bytes as UTF-8 into result's shape, problems and note; returns the text.
QString readUtf8(QByteArrayView bytes, LoadedText &result)
{
    Utf8Decoded decoded = decodeUtf8(bytes);
    result.shape.byteOrderMark = decoded.byteOrderMark;
    result.shape.shiftJisBytes = decoded.firstInvalid < 0 && !decoded.byteOrderMark &&
                                 decoded.text.size() == bytes.size(); // ASCII only
    if (decoded.firstInvalid >= 0)
        result.problems << invalidProblem(bytes, decoded.firstInvalid, QStringLiteral("UTF-8"),
                                          false);
    if (const qsizetype at = firstEditorBreak(decoded.text); at >= 0)
        result.problems << editorBreakProblem(decoded.text, at);
    const std::optional<DetectedEncoding> found =
        decoded.firstInvalid < 0 && !result.shape.shiftJisBytes ? std::nullopt
                                                                : recognisedEncoding(bytes);
    if (found && *found != DetectedEncoding::Ascii && *found != DetectedEncoding::Utf8)
        result.encodingNote = encodingNote(*found, TextCode::Utf8);
    return std::move(decoded.text);
}

// Reads bytes as Shift_JIS (TextCode::ShiftJis) or through the converter into result's shape,
// problems and note; returns the text.
QString readJapanese(QByteArrayView bytes, TextCode readCode, LoadedText &result)
{
    QByteArray converted;
    QByteArrayView cp932 = bytes;
    DetectedEncoding detected = DetectedEncoding::ShiftJis;
    qsizetype firstBad = -1;
    if (readCode != TextCode::ShiftJis) {
        ConversionResult r = convertToCp932(bytes);
        converted = std::move(r.bytes);
        cp932 = converted;
        detected = r.detected;
        firstBad = r.firstUnconvertible;
        if (detected == DetectedEncoding::ShiftJis || detected == DetectedEncoding::Utf8)
            result.encodingNote = encodingNote(detected, readCode);
    } else if (const auto found = recognisedEncoding(bytes);
               found && *found != DetectedEncoding::Ascii && *found != DetectedEncoding::ShiftJis) {
        result.encodingNote = encodingNote(*found, TextCode::ShiftJis);
    }
    result.shape.shiftJisBytes = readCode == TextCode::ShiftJis ||
                                 detected == DetectedEncoding::ShiftJis ||
                                 detected == DetectedEncoding::Ascii;
    Cp932Decoded decoded = decodeCp932(cp932);
    if (readCode == TextCode::ShiftJis)
        firstBad = decoded.firstInvalid;

    if (firstBad >= 0) {
        result.problems << invalidProblem(bytes, firstBad, detectedName(detected),
                                          readCode != TextCode::ShiftJis);
    } else if (detected == DetectedEncoding::Utf8 || detected == DetectedEncoding::Iso2022Jp) {
        result.problems << QStringLiteral("%1 で書かれたファイルです。保存すると、設定の文字コード"
                                          "で書き込まれます。")
                               .arg(detectedName(detected));
    } else {
        // Would saving in the file's own encoding give these bytes back?
        qsizetype differs = firstReencodingDifference(cp932, decoded.text);
        if (differs < 0 && detected == DetectedEncoding::EucJp) // encoding gives cp932 back
            differs = firstDifference(bytes, convertCp932ToEucJp(cp932).bytes);
        if (differs >= 0)
            result.problems << rewrittenProblem(bytes, std::min(differs, bytes.size()));
    }
    return std::move(decoded.text);
}

// The CP932 bytes of a text to be written as EUC-JP. EUC-JP as browsers read it has no
// user-defined characters (U+E000-U+E757), so they are written as references like any other
// character the encoding cannot hold.
Cp932Encoded encodeCp932ForEucJp(QStringView text)
{
    auto userDefined = [](QChar c) { return c.unicode() >= 0xE000 && c.unicode() <= 0xE757; };
    if (std::none_of(text.begin(), text.end(), userDefined))
        return encodeCp932(text);
    Cp932Encoded result;
    qsizetype from = 0;
    auto append = [&](qsizetype to) {
        const Cp932Encoded part = encodeCp932(text.sliced(from, to - from));
        if (result.firstUnmappable < 0 && part.firstUnmappable >= 0)
            result.firstUnmappable = from + part.firstUnmappable;
        result.bytes += part.bytes;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!userDefined(text[i]))
            continue;
        append(i);
        if (result.firstUnmappable < 0)
            result.firstUnmappable = i;
        result.bytes += characterReference(text[i].unicode());
        from = i + 1;
    }
    append(text.size());
    return result;
}

} // namespace

LoadedText textFromBytes(QByteArrayView bytes, TextCode readCode)
{
    LoadedText result;
    const LineEndCounts counts = countLineEnds(bytes);
    result.shape.lineEnds = kindOf(counts);
    QString text = readCode == TextCode::Utf8 ? readUtf8(bytes, result)
                                              : readJapanese(bytes, readCode, result);
    if (result.shape.lineEnds == LineEnds::Mixed || result.shape.lineEnds == LineEnds::Cr)
        result.problems << lineEndProblem(counts);
    result.text = withCrLf(std::move(text), result.shape.lineEnds);
    return result;
}

EncodedText bytesFromText(QStringView text, TextCode writeCode, const FileShape &shape)
{
    if (writeCode == TextCode::Utf8) {
        Utf8Encoded utf8 = encodeUtf8(text, shape.byteOrderMark);
        if (shape.lineEnds != LineEnds::CrLf)
            dropCrBeforeLf(utf8.bytes);
        return {std::move(utf8.bytes), utf8.firstUnmappable};
    }
    if (writeCode == TextCode::ShiftJis) {
        Cp932Encoded encoded = encodeCp932(text);
        EncodedText result{std::move(encoded.bytes), encoded.firstUnmappable};
        if (shape.shiftJisBytes && shape.lineEnds == LineEnds::Lf)
            dropCrBeforeLf(result.bytes);
        return result;
    }
    Cp932Encoded encoded = encodeCp932ForEucJp(text);
    // CR and LF are never part of a CP932 double-byte code, and the stand-ins are ASCII.
    if (shape.lineEnds != LineEnds::CrLf)
        dropCrBeforeLf(encoded.bytes);
    ConversionResult euc = convertCp932ToEucJp(encoded.bytes);
    return {std::move(euc.bytes), encoded.firstUnmappable, euc.firstUnconvertible >= 0};
}

EncodedText bytesFromLines(QStringView lines, TextCode writeCode, const FileShape &shape,
                           qsizetype slice)
{
    constexpr char16_t lineSeparator = 0x2029;
    EncodedText out;
    FileShape rest = shape;
    qsizetype crLfIndex = 0; // where the slice starts in the CR LF form
    QString crLf;
    qsizetype at = 0;
    do { // once at least: an empty text still gets its byte order mark
        qsizetype end = std::min(at + std::max<qsizetype>(slice, 2), lines.size());
        // A surrogate pair stays in one slice, and so does a CR with what follows it.
        while (end < lines.size() && end > at + 1 &&
               (lines[end - 1].isHighSurrogate() || lines[end - 1] == u'\r'))
            --end;
        const QStringView part = lines.sliced(at, end - at);
        crLf.resize(0);
        crLf.reserve(part.size() + part.count(QChar(lineSeparator)));
        for (const QChar c : part) {
            if (c.unicode() == lineSeparator)
                crLf.append(u"\r\n");
            else
                crLf.append(c);
        }
        EncodedText piece = bytesFromText(crLf, writeCode, rest);
        if (out.firstUnmappable < 0 && piece.firstUnmappable >= 0)
            out.firstUnmappable = crLfIndex + piece.firstUnmappable;
        out.converterFailed = out.converterFailed || piece.converterFailed;
        if (out.bytes.isEmpty())
            out.bytes = std::move(piece.bytes);
        else
            out.bytes.append(piece.bytes);
        crLfIndex += crLf.size();
        rest.byteOrderMark = false; // written once, before the first slice
        at = end;
    } while (at < lines.size());
    return out;
}

} // namespace codec
