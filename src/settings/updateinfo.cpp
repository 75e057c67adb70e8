#include "settings/updateinfo.h"

#include "settings/settingskeys.h"

namespace settings
{

namespace
{

// A number with at least `digits` digits, zero-padded after the sign: -5 → "-05".
QString padded(int number, int digits)
{
    const QString magnitude =
        QString::number(qAbs(qint64(number))).rightJustified(digits, QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + magnitude : magnitude;
}

} // namespace

QString UpdateInfoVersionText(int major, int minor, int revision)
{
    return QString::number(major) + QLatin1Char('.') + padded(minor, 2) + QLatin1Char('.') +
           padded(revision, 4);
}

void WriteUpdateInfo(SettingsStore &store, int major, int minor, int revision,
                     const QString &applicationPath)
{
    QString folder = applicationPath;
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    store.write(keys::UpdateInfoSection, keys::CurrentVersion,
                UpdateInfoVersionText(major, minor, revision));
    store.write(keys::UpdateInfoSection, keys::ApplicationPath, folder);
}

} // namespace settings
