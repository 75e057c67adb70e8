#include "tagsets/tagsetfile.h"

#include "codec/cp932.h"
#include "files/atomicwrite.h"
#include "files/regularfile.h"
#include "tagsets/placeholders.h"
#include "tagsets/tagsetfolder.h"

#include <QDir>
#include <QFileInfo>

namespace tagsets
{

namespace
{

// Far beyond any tag set; keeps a stray huge file from exhausting memory.
constexpr qint64 maxFileSize = 64 * 1024 * 1024;

TagSetError error(TagSetError::Kind kind, const QString &reason)
{
    return TagSetError{kind, reason, {}};
}

// A name must stay inside the folder: no "/" and no NUL.
bool isUsableName(const QString &name)
{
    return !name.contains(u'/') && !name.contains(QChar(u'\0'));
}

QStringList splitTagSet(const QString &text)
{
    QStringList pieces = text.split(Separator.toString());
    if (pieces.size() == 1)
        pieces << QString() << QString();
    return pieces;
}

// Lone line feeds become CR LF, the line break the file format uses.
QString withCrLf(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\n' && (i == 0 || text.at(i - 1) != u'\r'))
            result += u'\r';
        result += text.at(i);
    }
    return result;
}

// The distinct characters of text that code page 932 cannot hold, in order of appearance.
QStringList unencodableCharacters(const QString &text, qsizetype from)
{
    QStringList found;
    for (qsizetype i = from; i < text.size();) {
        const qsizetype length =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        const QString character = text.mid(i, length);
        if (codec::encodeCp932(character).firstUnmappable >= 0 && !found.contains(character))
            found.append(character);
        i += length;
    }
    return found;
}

QString describeCharacters(const QStringList &characters)
{
    constexpr qsizetype shownAtMost = 10;
    QStringList shown;
    for (qsizetype i = 0; i < characters.size() && i < shownAtMost; ++i) {
        const QString &c = characters.at(i);
        const char32_t code =
            c.size() == 2 ? QChar::surrogateToUcs4(c.at(0), c.at(1)) : char32_t(c.at(0).unicode());
        const QString codeText =
            QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
        // A lone surrogate cannot be shown; its code says enough.
        shown << (c.at(0).isSurrogate() && c.size() == 1
                      ? codeText
                      : QStringLiteral("「%1」(%2)").arg(c, codeText));
    }
    QString text = shown.join(u'、');
    if (characters.size() > shownAtMost)
        text += QStringLiteral(" ほか %1 種類").arg(characters.size() - shownAtMost);
    return text;
}

} // namespace

QString TagSetPath(const QString &folder, const QString &name)
{
    const QString path = folder + u'/' + name + QStringLiteral(".tag");
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
        return path;
    // The list shows "x.TAG" and "x.Tag" as "x" too.
    const QStringList files = QDir(folder).entryList(
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &file : files) {
        if (file.size() == name.size() + 4 && file.startsWith(name) &&
            file.endsWith(QStringLiteral(".tag"), Qt::CaseInsensitive))
            return folder + u'/' + file;
    }
    return path;
}

ReadResult ReadTagSet(const QString &folder, const QString &name, bool expand,
                      codec::TextCode writeCode, const QDateTime &now)
{
    using Kind = TagSetError::Kind;
    if (!isUsableName(name))
        return error(Kind::InvalidName, QStringLiteral("名前に使えない文字が含まれています。"));
    const QString path = TagSetPath(folder, name);
    if (!QFileInfo::exists(path))
        return error(Kind::Missing, QStringLiteral("ファイルが見つかりません。"));
    auto read = files::readRegularFile(path, maxFileSize);
    if (const QString *failure = std::get_if<QString>(&read))
        return error(Kind::Unreadable, *failure);
    const QByteArray &bytes = std::get<QByteArray>(read);

    const codec::Cp932Decoded decoded = codec::decodeCp932(bytes);
    if (decoded.firstInvalid >= 0) {
        // A line feed byte is never part of a two-byte character, so counting them is exact.
        const qsizetype badLine = QByteArrayView(bytes).first(decoded.firstInvalid).count('\n') + 1;
        TagSetError invalid = error(
            Kind::InvalidBytes,
            QStringLiteral("%1 行目に Shift_JIS として読めないバイトがあります。").arg(badLine));
        invalid.readable = splitTagSet(decoded.text);
        return invalid;
    }
    return splitTagSet(expand ? ExpandPlaceholders(decoded.text, writeCode, now) : decoded.text);
}

ReadResult ReadTagSet(const QString &name, bool expand, codec::TextCode writeCode)
{
    return ReadTagSet(tagSetFolder(), name, expand, writeCode, QDateTime::currentDateTime());
}

WriteResult WriteTagSet(const QString &folder, const QString &name, const QString &before,
                        const QString &after)
{
    using Kind = TagSetError::Kind;
    if (name.isEmpty() || !isUsableName(name))
        return error(Kind::InvalidName, QStringLiteral("名前に使えない文字が含まれています。"));
    const QString text =
        withCrLf(before) + Separator.toString() + withCrLf(after) + QStringLiteral("\r\n");
    const codec::Cp932Encoded encoded = codec::encodeCp932(text);
    if (encoded.firstUnmappable >= 0)
        return error(Kind::Unencodable,
                     QStringLiteral("Shift_JIS で表せない文字が含まれています：") +
                         describeCharacters(unencodableCharacters(text, encoded.firstUnmappable)));
    if (!QFileInfo(folder).isDir())
        return error(Kind::WriteFailed, QStringLiteral("タグセットのフォルダーがありません。"));
    // A tag set saved where the list cannot be read would never be offered.
    if (const QString problem = tagSetFolderProblem(folder); !problem.isEmpty())
        return error(Kind::WriteFailed, problem);

    const QString path = TagSetPath(folder, name);
    if (const std::optional<QString> failure = files::writeFileAtomically(path, encoded.bytes))
        return error(Kind::WriteFailed,
                     QStringLiteral("ファイルを保存できません（%1）。").arg(*failure));
    return path;
}

WriteResult WriteTagSet(const QString &name, const QString &before, const QString &after)
{
    return WriteTagSet(tagSetFolder(), name, before, after);
}

} // namespace tagsets
