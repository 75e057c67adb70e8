#include "settings/shellregistration.h"

namespace settings
{

namespace
{

const QString VerbKey = QStringLiteral("\\shell\\EditWithTavlen");
const QString VerbCaption = QStringLiteral("&Tavlenで編集");
const QString OpenWithKey = QStringLiteral(".htm\\OpenWithList\\Tavlen");
const QString OldOpenWithKey = QStringLiteral(".htm\\OpenWithList\\Tavlen.exe");
const QString EditCaption = QStringLiteral("編集(&E)");

} // namespace

QString LaunchCommand(const QString &programPath)
{
    QString quoted;
    quoted.reserve(programPath.size() + 8);
    for (const QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QLatin1Char('\\');
        else if (c == u'%')
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QStringLiteral("\" %f");
}

bool SetRelation(Registry &root, bool enabled, const QString &launchCommand, QString *reason)
{
    const QString type = RegReadString(root, QStringLiteral(".html"), QString());
    const QString verb = type + VerbKey;
    if (type.isEmpty() || !splitKeyPath(verb)) {
        if (enabled && reason)
            *reason = QStringLiteral("「.html」のファイルの種類が分かりません。");
        return !enabled;
    }
    if (!enabled)
        return RegRemoveKey(root, verb, reason);
    return RegWriteString(root, verb, QString(), VerbCaption, reason) &&
           RegWriteString(root, verb + QStringLiteral("\\Command"), QString(), launchCommand,
                          reason);
}

bool SetDefaultEditor(Registry &root, bool enabled, const QString &launchCommand, QString *reason)
{
    if (!enabled) {
        const bool removed = RegRemoveKey(root, OpenWithKey, reason);
        return RegRemoveKey(root, OldOpenWithKey, removed ? reason : nullptr) && removed;
    }
    const QString edit = OpenWithKey + QStringLiteral("\\shell\\edit");
    return RegWriteString(root, edit, QString(), EditCaption, reason) &&
           RegWriteString(root, edit + QStringLiteral("\\command"), QString(), launchCommand,
                          reason);
}

} // namespace settings
