#include "site/pageconvert.h"

#include "codec/charsetdeclaration.h"
#include "codec/cp932.h"
#include "codec/encodinglabels.h"

#include <QHash>
#include <QRegularExpression>

#include <utility>

namespace site
{

namespace
{

using Range = std::pair<qsizetype, qsizetype>;

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The elements whose content the browser takes as it stands, references and all.
bool isRawTextElement(QStringView name)
{
    static const QStringList names = {QStringLiteral("script"),   QStringLiteral("style"),
                                      QStringLiteral("xmp"),      QStringLiteral("iframe"),
                                      QStringLiteral("noembed"),  QStringLiteral("noframes"),
                                      QStringLiteral("noscript"), QStringLiteral("plaintext")};
    return names.contains(name.toString().toLower());
}

// The stretches of text where the browser does not read a character reference: comments,
// declarations, the inside of tags but for attribute values, and the content of raw-text
// elements. In order, not overlapping.
std::vector<Range> rawStretches(QStringView text)
{
    std::vector<Range> raw;
    const qsizetype n = text.size();
    const auto add = [&](qsizetype from, qsizetype to) {
        if (to > from)
            raw.emplace_back(from, to);
    };
    const auto endOf = [&](QStringView what, qsizetype from) {
        const qsizetype at = text.indexOf(what, from, Qt::CaseInsensitive);
        return at < 0 ? n : at;
    };
    qsizetype i = 0;
    while (i < n) {
        if (text[i] != u'<' || i + 1 >= n) {
            ++i;
            continue;
        }
        if (text.sliced(i).startsWith(u"<!--")) {
            const qsizetype end = std::min(n, endOf(u"-->", i + 4) + 3);
            add(i, end);
            i = end;
            continue;
        }
        if (text[i + 1] == u'!' || text[i + 1] == u'?') {
            const qsizetype end = std::min(n, endOf(u">", i) + 1);
            add(i, end);
            i = end;
            continue;
        }
        const bool closing = text[i + 1] == u'/';
        const qsizetype nameStart = i + 1 + (closing ? 1 : 0);
        if (nameStart >= n || !isAsciiLetter(text[nameStart])) {
            ++i;
            continue;
        }
        qsizetype j = nameStart;
        while (j < n && !isSpace(text[j]) && text[j] != u'>' && text[j] != u'/')
            ++j;
        const QStringView name = text.sliced(nameStart, j - nameStart);
        qsizetype rawStart = i;
        while (j < n && text[j] != u'>') {
            if (text[j] != u'=') {
                ++j;
                continue;
            }
            qsizetype k = j + 1;
            while (k < n && isSpace(text[k]))
                ++k;
            if (k < n && (text[k] == u'"' || text[k] == u'\'')) {
                add(rawStart, k + 1);
                const qsizetype close = text.indexOf(text[k], k + 1);
                rawStart = close < 0 ? n : close;
                j = rawStart;
                if (j < n)
                    ++j;
            } else {
                add(rawStart, k);
                qsizetype end = k;
                while (end < n && !isSpace(text[end]) && text[end] != u'>')
                    ++end;
                rawStart = end;
                j = end;
            }
        }
        const qsizetype end = j < n ? j + 1 : n;
        add(rawStart, end);
        i = end;
        if (!closing && isRawTextElement(name)) {
            const qsizetype close = name.compare(u"plaintext", Qt::CaseInsensitive) == 0
                                        ? n
                                        : endOf(QStringLiteral("</") + name.toString(), i);
            add(i, close);
            i = close;
        }
    }
    return raw;
}

// Whether the browser reads "&#x…;" back as c: not for U+0000, the C1 controls (taken as
// windows-1252) and surrogates.
bool hasReference(char32_t c)
{
    return c != 0 && !(c >= 0x80 && c <= 0x9F) && !(c >= 0xD800 && c <= 0xDFFF);
}

PageSkip notReferable(const UnwritableChar &u, const PageForm &to)
{
    return {QStringLiteral("%1 行 %2 桁の「%3」（U+%4）は %5 で書けず、スクリプト、スタイル、"
                           "コメントなど文字参照の読まれない所にあるため、変換しません。")
                .arg(u.line)
                .arg(u.column)
                .arg(QString::fromUcs4(&u.character, 1))
                .arg(QString::number(uint(u.character), 16).toUpper().rightJustified(4, u'0'))
                .arg(encodingLabel(to))};
}

// The text with each character to cannot hold written as a reference, the characters listed.
QString withReferences(QStringView text, const PageForm &to, std::vector<UnwritableChar> *list)
{
    QHash<char32_t, bool> writable;
    const auto canWrite = [&](char32_t c) {
        const auto known = writable.constFind(c);
        if (known != writable.cend())
            return *known;
        const QString one = QString::fromUcs4(&c, 1);
        PageForm plain = to;
        plain.byteOrderMark = false;
        const bool ok = std::holds_alternative<QByteArray>(encodePage(one, plain));
        writable.insert(c, ok);
        return ok;
    };
    const std::vector<Range> raw = rawStretches(text);
    auto nextRaw = raw.begin();
    QString out;
    out.reserve(text.size() + 64);
    qsizetype line = 1;
    qsizetype column = 1;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype length = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        if (c >= 0x80 && !canWrite(c)) {
            while (nextRaw != raw.end() && nextRaw->second <= i)
                ++nextRaw;
            const bool inRaw = nextRaw != raw.end() && nextRaw->first <= i;
            UnwritableChar u{line, column, c, QString::fromLatin1(codec::characterReference(c)),
                             !inRaw && hasReference(c)};
            out += u.reference;
            list->push_back(std::move(u));
        } else {
            out += text.sliced(i, length);
        }
        if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) {
            ++line;
            column = 1;
        } else {
            ++column;
        }
        i += length;
    }
    return out;
}

// Where a declaration goes in a page that has none: right after the <head> start tag.
qsizetype declarationPlace(const QString &text)
{
    static const QRegularExpression head(QStringLiteral("<head(?:[\\t\\n\\f\\r /][^>]*)?>"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = head.match(text);
    return match.hasMatch() ? match.capturedEnd() : -1;
}

} // namespace

bool isConversionTarget(PageEncoding encoding)
{
    return encoding == PageEncoding::Utf8 || encoding == PageEncoding::ShiftJis ||
           encoding == PageEncoding::EucJp;
}

std::optional<PageEncoding> conversionTargetOfName(const QString &name)
{
    const QByteArrayView canonical = codec::encodingOfLabel(name.toLatin1());
    if (canonical == "UTF-8")
        return PageEncoding::Utf8;
    if (canonical == "Shift_JIS")
        return PageEncoding::ShiftJis;
    if (canonical == "EUC-JP")
        return PageEncoding::EucJp;
    return std::nullopt;
}

QByteArray declarationName(PageEncoding encoding)
{
    switch (encoding) {
    case PageEncoding::ShiftJis:
        return "Shift_JIS";
    case PageEncoding::EucJp:
        return "EUC-JP";
    case PageEncoding::Ascii:
    case PageEncoding::Iso2022Jp:
    case PageEncoding::Utf8:
        break;
    }
    return "UTF-8";
}

PageConversion convertPage(QByteArrayView bytes, PageEncoding target)
{
    PageConversion result;
    auto decoded = decodePage(bytes, true);
    if (const PageSkip *skip = std::get_if<PageSkip>(&decoded)) {
        result.skipReason = skip->reason;
        return result;
    }
    const DecodedPage &page = std::get<DecodedPage>(decoded);
    result.from = page.form;
    result.to = PageForm{target, target == PageEncoding::Utf8 && page.form.byteOrderMark,
                         page.form.lineEnds};
    const QByteArray name = declarationName(target);
    const auto skip = [&](const QString &reason) {
        result.kind = PageConversion::Kind::Skip;
        result.skipReason = reason;
        return result;
    };

    const QByteArrayView body = page.form.byteOrderMark ? bytes.sliced(3) : bytes;
    const std::optional<codec::CharsetDeclaration> declared = codec::findCharsetDeclaration(body);
    if (page.form.encoding == target && declared && declared->encoding == name) {
        result.kind = PageConversion::Kind::AlreadyDone;
        return result;
    }
    // The characters are listed where they are in the page as it is.
    withReferences(page.text, result.to, &result.unwritable);
    for (const UnwritableChar &u : result.unwritable)
        if (!u.referable)
            return skip(notReferable(u, result.to).reason);

    QString text = page.text;
    if (declared) {
        const std::optional<QString> before =
            readPageText(body.first(declared->labelStart), page.form);
        const QByteArrayView label =
            body.sliced(declared->labelStart, declared->labelEnd - declared->labelStart);
        if (!before || QStringView(text).sliced(before->size()).left(label.size()) !=
                           QString::fromLatin1(label))
            return skip(QStringLiteral("文字コードの宣言の位置を確かめられないため、"
                                       "変換しません。"));
        text.replace(before->size(), label.size(), QString::fromLatin1(name));
    } else if (const qsizetype at = declarationPlace(text); at >= 0) {
        text.insert(at, QStringLiteral("<meta charset=\"%1\">").arg(QString::fromLatin1(name)));
        result.declarationAdded = true;
    }

    std::vector<UnwritableChar> again;
    QString written = result.unwritable.empty() ? text : withReferences(text, result.to, &again);
    auto encoded = encodePage(written, result.to);
    if (const PageSkip *cannot = std::get_if<PageSkip>(&encoded))
        return skip(cannot->reason);
    result.bytes = std::move(std::get<QByteArray>(encoded));
    result.expectedText = std::move(written);

    // The browser must take the new encoding from the page itself.
    const QByteArrayView newBody = result.to.byteOrderMark ? QByteArrayView(result.bytes).sliced(3)
                                                           : QByteArrayView(result.bytes);
    const auto found = codec::findCharsetDeclaration(newBody);
    if (found ? found->encoding != name : !result.to.byteOrderMark)
        return skip(
            QStringLiteral("文字コードの宣言を、ブラウザーが読む所（先頭 1,024 バイト以内の "
                           "<head> の直後）に書けないため、変換しません。"));
    result.kind = PageConversion::Kind::Convert;
    return result;
}

} // namespace site
