#include "site/pagecodec.h"

#include "codec/charsetdeclaration.h"
#include "codec/cp932.h"
#include "codec/detect.h"
#include "codec/eucjp.h"
#include "codec/iso2022jp.h"
#include "codec/utf8.h"

#include <optional>

namespace site
{

namespace
{

using codec::LineEnds;

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF", 3);

PageSkip unreadable(const PageForm &form, qsizetype offset)
{
    return {QStringLiteral("%1 として読めないバイトがあります（%2 バイト目）。")
                .arg(encodingLabel(form))
                .arg(offset + 1)};
}

PageSkip cannotHold(const PageForm &form)
{
    if (form.encoding == PageEncoding::Ascii)
        return {QStringLiteral("文字コードの宣言がなく ASCII だけのページなので、"
                               "ASCII 以外の文字を書けません。")};
    return {QStringLiteral("置き換えた文字の中に %1 では書けない文字があります。")
                .arg(encodingLabel(form))};
}

std::optional<PageEncoding> encodingOfName(QByteArrayView name)
{
    if (name == "Shift_JIS")
        return PageEncoding::ShiftJis;
    if (name == "EUC-JP")
        return PageEncoding::EucJp;
    if (name == "ISO-2022-JP")
        return PageEncoding::Iso2022Jp;
    if (name == "UTF-8")
        return PageEncoding::Utf8;
    return std::nullopt;
}

PageEncoding encodingOfDetected(codec::DetectedEncoding detected)
{
    switch (detected) {
    case codec::DetectedEncoding::Ascii:
        return PageEncoding::Ascii;
    case codec::DetectedEncoding::ShiftJis:
        return PageEncoding::ShiftJis;
    case codec::DetectedEncoding::EucJp:
        return PageEncoding::EucJp;
    case codec::DetectedEncoding::Iso2022Jp:
        return PageEncoding::Iso2022Jp;
    case codec::DetectedEncoding::Utf8:
        return PageEncoding::Utf8;
    }
    return PageEncoding::ShiftJis;
}

bool allAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

// The ISO-2022-JP form of EUC-JP bytes: each run of JIS X 0208, JIS X 0212 or half-width
// katakana behind its escape sequence, and ASCII designated again before any ASCII byte (line
// breaks included) and at the end.
QByteArray iso2022JpOfEucJp(QByteArrayView euc)
{
    enum class Set { Ascii, Jis0208, Jis0212, Katakana };
    QByteArray out;
    out.reserve(euc.size() + euc.size() / 4 + 8);
    Set set = Set::Ascii;
    auto designate = [&](Set wanted, const char *escape) {
        if (set != wanted) {
            out.append(escape);
            set = wanted;
        }
    };
    for (qsizetype i = 0; i < euc.size();) {
        const uchar b = uchar(euc[i]);
        if (b < 0x80) {
            designate(Set::Ascii, "\x1B(B");
            out.append(char(b));
            i += 1;
        } else if (b == 0x8E && i + 1 < euc.size()) {
            designate(Set::Katakana, "\x1B(I");
            out.append(char(uchar(euc[i + 1]) - 0x80));
            i += 2;
        } else if (b == 0x8F && i + 2 < euc.size()) {
            designate(Set::Jis0212, "\x1B$(D");
            out.append(char(uchar(euc[i + 1]) - 0x80));
            out.append(char(uchar(euc[i + 2]) - 0x80));
            i += 3;
        } else if (i + 1 < euc.size()) {
            designate(Set::Jis0208, "\x1B$B");
            out.append(char(b - 0x80));
            out.append(char(uchar(euc[i + 1]) - 0x80));
            i += 2;
        } else {
            out.append(char(b)); // cannot come from the converter; the read-back check sees it
            i += 1;
        }
    }
    designate(Set::Ascii, "\x1B(B");
    return out;
}

// The text of bytes read as form says, or the offset of the first byte it does not read.
std::variant<QString, qsizetype> readAs(QByteArrayView bytes, const PageForm &form)
{
    switch (form.encoding) {
    case PageEncoding::Utf8: {
        codec::Utf8Decoded decoded = codec::decodeUtf8(bytes);
        if (decoded.firstInvalid >= 0)
            return decoded.firstInvalid;
        return std::move(decoded.text);
    }
    case PageEncoding::EucJp:
    case PageEncoding::Iso2022Jp: {
        const codec::ConversionResult cp932 = form.encoding == PageEncoding::EucJp
                                                  ? codec::convertEucJpToCp932(bytes)
                                                  : codec::convertIso2022JpToCp932(bytes);
        if (cp932.firstUnconvertible >= 0)
            return cp932.firstUnconvertible;
        codec::Cp932Decoded decoded = codec::decodeCp932(cp932.bytes);
        if (decoded.firstInvalid >= 0)
            return qsizetype(0);
        return std::move(decoded.text);
    }
    case PageEncoding::Ascii:
    case PageEncoding::ShiftJis:
        break;
    }
    codec::Cp932Decoded decoded = codec::decodeCp932(bytes);
    if (decoded.firstInvalid >= 0)
        return decoded.firstInvalid;
    return std::move(decoded.text);
}

} // namespace

bool looksBinary(QByteArrayView bytes)
{
    return bytes.contains('\0');
}

LineEnds lineEndsOf(QStringView text)
{
    bool crLf = false;
    bool lf = false;
    bool cr = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n')) {
                crLf = true;
                ++i;
            } else {
                cr = true;
            }
        } else if (c == QLatin1Char('\n')) {
            lf = true;
        }
    }
    const int kinds = int(crLf) + int(lf) + int(cr);
    if (kinds > 1)
        return LineEnds::Mixed;
    if (crLf)
        return LineEnds::CrLf;
    if (lf)
        return LineEnds::Lf;
    return cr ? LineEnds::Cr : LineEnds::None;
}

std::variant<DecodedPage, PageSkip> decodePage(QByteArrayView bytes, bool exact)
{
    if (bytes.startsWith(QByteArrayView("\xFE\xFF", 2)) ||
        bytes.startsWith(QByteArrayView("\xFF\xFE", 2)))
        return PageSkip{QStringLiteral("UTF-16 のファイルは扱いません。")};
    if (looksBinary(bytes))
        return PageSkip{QStringLiteral("テキストではありません（バイナリファイルです）。")};
    PageForm form;
    if (bytes.startsWith(Utf8Bom)) {
        form.encoding = PageEncoding::Utf8;
        form.byteOrderMark = true;
    } else if (const auto declared = codec::findCharsetDeclaration(bytes)) {
        if (const auto known = encodingOfName(declared->encoding)) {
            form.encoding = *known;
        } else if (allAscii(bytes)) {
            form.encoding = PageEncoding::Ascii;
        } else {
            return PageSkip{QStringLiteral("扱えない文字コード（%1）が宣言されています。")
                                .arg(QString::fromLatin1(declared->encoding))};
        }
    } else {
        form.encoding = encodingOfDetected(codec::detectEncoding(bytes));
    }
    std::variant<QString, qsizetype> text = readAs(bytes, form);
    if (const qsizetype *offset = std::get_if<qsizetype>(&text))
        return unreadable(form, *offset);
    DecodedPage page{std::move(std::get<QString>(text)), form};
    page.form.lineEnds = lineEndsOf(page.text);
    if (exact) {
        std::variant<QByteArray, PageSkip> again = encodePage(page.text, page.form);
        const QByteArray *same = std::get_if<QByteArray>(&again);
        if (!same || *same != bytes)
            return PageSkip{QStringLiteral("%1 として読んで書き戻すと元のバイト列に戻らないため、"
                                           "扱いません。")
                                .arg(encodingLabel(page.form))};
    }
    return page;
}

std::variant<QByteArray, PageSkip> encodePage(QStringView text, const PageForm &form)
{
    QByteArray bytes;
    if (form.encoding == PageEncoding::Utf8) {
        codec::Utf8Encoded encoded = codec::encodeUtf8(text, form.byteOrderMark);
        if (encoded.firstUnmappable >= 0)
            return cannotHold(form);
        bytes = std::move(encoded.bytes);
    } else {
        codec::Cp932Encoded cp932 = codec::encodeCp932(text);
        if (cp932.firstUnmappable >= 0)
            return cannotHold(form);
        switch (form.encoding) {
        case PageEncoding::Ascii:
            if (!allAscii(cp932.bytes))
                return cannotHold(form);
            bytes = std::move(cp932.bytes);
            break;
        case PageEncoding::ShiftJis:
            bytes = std::move(cp932.bytes);
            break;
        case PageEncoding::EucJp:
        case PageEncoding::Iso2022Jp: {
            codec::ConversionResult euc = codec::convertCp932ToEucJp(cp932.bytes);
            if (euc.firstUnconvertible >= 0)
                return cannotHold(form);
            bytes = form.encoding == PageEncoding::EucJp ? std::move(euc.bytes)
                                                         : iso2022JpOfEucJp(euc.bytes);
            break;
        }
        case PageEncoding::Utf8:
            break;
        }
    }
    // What is written must read back as the very text: a character with no code of its own in
    // the encoding would come back as another one.
    const std::variant<QString, qsizetype> back = readAs(bytes, form);
    const QString *backText = std::get_if<QString>(&back);
    if (!backText || *backText != text)
        return cannotHold(form);
    return bytes;
}

std::optional<QString> readPageText(QByteArrayView bytes, const PageForm &form)
{
    std::variant<QString, qsizetype> text = readAs(bytes, form);
    if (QString *read = std::get_if<QString>(&text))
        return std::move(*read);
    return std::nullopt;
}

QString encodingLabel(const PageForm &form)
{
    switch (form.encoding) {
    case PageEncoding::Ascii:
        return QStringLiteral("ASCII");
    case PageEncoding::ShiftJis:
        return QStringLiteral("Shift_JIS");
    case PageEncoding::EucJp:
        return QStringLiteral("EUC-JP");
    case PageEncoding::Iso2022Jp:
        return QStringLiteral("ISO-2022-JP");
    case PageEncoding::Utf8:
        break;
    }
    return form.byteOrderMark ? QStringLiteral("UTF-8 (BOM)") : QStringLiteral("UTF-8");
}

QString lineEndsLabel(LineEnds lineEnds)
{
    switch (lineEnds) {
    case LineEnds::CrLf:
        return QStringLiteral("CR LF");
    case LineEnds::Lf:
        return QStringLiteral("LF");
    case LineEnds::Cr:
        return QStringLiteral("CR");
    case LineEnds::Mixed:
        return QStringLiteral("混在");
    case LineEnds::None:
        break;
    }
    return QStringLiteral("なし");
}

} // namespace site
