#include "tagsets/tagsetfile.h"

#include "tagsets/cp932.h"
#include "tagsets/placeholders.h"
#include "tagsets/tagsetfolder.h"

#include <QFileInfo>
#include <QSaveFile>
#include <unistd.h>

namespace tagsets
{

namespace
{

// Far beyond any tag set; keeps a stray huge file from exhausting memory.
constexpr qint64 maxFileSize = 64 * 1024 * 1024;

TagSetError error(TagSetError::Kind kind, const QString &reason)
{
    return TagSetError{kind, reason};
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
    return folder + u'/' + name + QStringLiteral(".tag");
}

ReadResult ReadTagSet(const QString &folder, const QString &name, bool expand, int writeCode,
                      const QDateTime &now)
{
    using Kind = TagSetError::Kind;
    if (!isUsableName(name))
        return error(Kind::InvalidName, QStringLiteral("名前に使えない文字が含まれています。"));
    const QString path = TagSetPath(folder, name);
    const QFileInfo info(path);
    if (!info.exists())
        return error(Kind::Missing, QStringLiteral("ファイルが見つかりません。"));
    if (!info.isFile())
        return error(Kind::Unreadable, QStringLiteral("通常のファイルではありません。"));
    if (info.size() > maxFileSize)
        return error(Kind::Unreadable, QStringLiteral("ファイルが大きすぎます。"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return error(Kind::Unreadable, QStringLiteral("ファイルを開けません。"));
    const QByteArray bytes = file.read(maxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return error(Kind::Unreadable, QStringLiteral("ファイルを読み込めません。"));
    if (bytes.size() > maxFileSize)
        return error(Kind::Unreadable, QStringLiteral("ファイルが大きすぎます。"));
    file.close();

    const Cp932Decoded decoded = decodeCp932(bytes);
    switch (decoded.status) {
    case Cp932Decoded::Status::Ok:
        break;
    case Cp932Decoded::Status::NoConverter:
        return error(Kind::Unreadable,
                     QStringLiteral("Shift_JIS の文字コード変換を利用できません。"));
    case Cp932Decoded::Status::InvalidBytes:
        return error(Kind::InvalidBytes,
                     QStringLiteral("%1 行目に Shift_JIS として読めないバイトがあります。")
                         .arg(decoded.badLine));
    }
    return splitTagSet(expand ? ExpandPlaceholders(decoded.text, writeCode, now) : decoded.text);
}

ReadResult ReadTagSet(const QString &name, bool expand, int writeCode)
{
    return ReadTagSet(tagSetFolder(), name, expand, writeCode, QDateTime::currentDateTime());
}

WriteResult WriteTagSet(const QString &folder, const QString &name, const QString &before,
                        const QString &after)
{
    using Kind = TagSetError::Kind;
    if (name.isEmpty() || !isUsableName(name))
        return error(Kind::InvalidName, QStringLiteral("名前に使えない文字が含まれています。"));
    const Cp932Encoded encoded = encodeCp932(withCrLf(before) + Separator.toString() +
                                             withCrLf(after) + QStringLiteral("\r\n"));
    if (!encoded.ok) {
        if (encoded.unencodable.isEmpty())
            return error(Kind::WriteFailed,
                         QStringLiteral("Shift_JIS の文字コード変換を利用できません。"));
        return error(Kind::Unencodable,
                     QStringLiteral("Shift_JIS で表せない文字が含まれています：") +
                         describeCharacters(encoded.unencodable));
    }
    if (!QFileInfo(folder).isDir())
        return error(Kind::WriteFailed, QStringLiteral("タグセットのフォルダーがありません。"));

    const QString path = TagSetPath(folder, name);
    // The new content goes to a temporary file beside the old one, which replaces it only once
    // everything is on disk; QSaveFile removes the temporary file on every failure.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return error(Kind::WriteFailed, QStringLiteral("ファイルを作成できません。"));
    if (file.write(encoded.bytes) != encoded.bytes.size() || !file.flush() ||
        ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return error(Kind::WriteFailed, QStringLiteral("ファイルを書き込めません。"));
    }
    if (!file.commit())
        return error(Kind::WriteFailed, QStringLiteral("ファイルを保存できません。"));
    return path;
}

WriteResult WriteTagSet(const QString &name, const QString &before, const QString &after)
{
    return WriteTagSet(tagSetFolder(), name, before, after);
}

} // namespace tagsets
