#include "platform/fontfallback.h"

#include <QFontDatabase>
#include <QHash>

#include <fontconfig/fontconfig.h>

namespace platform
{

QString closestJapaneseMonospace(const QString &name)
{
    FcPattern *pattern = FcPatternCreate();
    if (!pattern)
        return QString();
    const QByteArray family = name.toUtf8();
    if (!family.isEmpty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.data()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>("monospace"));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8 *>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    QString chosen;
    FcChar8 *text = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &text) == FcResultMatch && text)
        chosen = QString::fromUtf8(reinterpret_cast<const char *>(text));
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return chosen;
}

QStringList displayFamilies(const QString &name)
{
    static QHash<QString, QStringList> known;
    const auto found = known.constFind(name);
    if (found != known.cend())
        return *found;
    QStringList families{name};
    if (!QFontDatabase::hasFamily(name)) {
        const QString fallback = closestJapaneseMonospace(name);
        if (!fallback.isEmpty() && fallback != name)
            families.append(fallback);
    }
    known.insert(name, families);
    return families;
}

} // namespace platform
