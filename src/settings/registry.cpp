#include "settings/registry.h"

#include <QStringList>

namespace settings
{

std::optional<QStringList> splitKeyPath(const QString &key)
{
    const QStringList names = key.split(QLatin1Char('\\'));
    for (const QString &name : names) {
        if (name.isEmpty())
            return std::nullopt;
    }
    return names;
}

QString RegReadString(const Registry &root, const QString &subKey, const QString &valueName)
{
    const std::optional<QString> text = root.value(subKey, valueName);
    if (!text)
        return QString();
    const qsizetype nul = text->indexOf(QChar(u'\0'));
    return nul < 0 ? *text : text->left(nul);
}

bool RegWriteString(Registry &root, const QString &subKey, const QString &valueName,
                    const QString &text, QString *reason)
{
    return root.setValue(subKey, valueName, text, reason);
}

bool RegRemoveKey(Registry &root, const QString &subKey, QString *reason)
{
    return root.removeKey(subKey, reason);
}

} // namespace settings
