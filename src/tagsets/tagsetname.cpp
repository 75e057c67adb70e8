#include "tagsets/tagsetname.h"

#include <QFile>

namespace tagsets
{

namespace
{

// The file systems here take file names of up to 255 bytes. The file is written through a
// temporary file beside it whose name is longer; this leaves room for it.
constexpr qsizetype maxFileNameBytes = 200;

bool hasControlCharacter(const QString &name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            return true;
    }
    return false;
}

// A surrogate without its partner cannot become a file name without being replaced.
bool hasBrokenCharacter(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

} // namespace

std::optional<QChar> firstForbiddenCharacter(const QString &name)
{
    for (const QChar c : ForbiddenNameCharacters) {
        if (name.contains(c))
            return c;
    }
    return std::nullopt;
}

std::optional<QString> unusableNameReason(const QString &name)
{
    if (hasControlCharacter(name))
        return QStringLiteral("タグセット名に制御文字は使用できません。");
    if (hasBrokenCharacter(name))
        return QStringLiteral("タグセット名に壊れた文字が含まれています。");
    if (name == u"." || name == u"..")
        return QStringLiteral("「.」や「..」だけの名前は使用できません。");
    const qsizetype bytes = QFile::encodeName(name + QStringLiteral(".tag")).size();
    if (bytes > maxFileNameBytes)
        return QStringLiteral("タグセット名が長すぎます。");
    return std::nullopt;
}

} // namespace tagsets
