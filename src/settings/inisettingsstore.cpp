#include "settings/inisettingsstore.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace settings
{

namespace
{

QString keyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

std::unique_ptr<QSettings> openSettings(const QString &filePath)
{
    auto settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
    settings->setFallbacksEnabled(false);
    settings->setAtomicSyncRequired(true);
    return settings;
}

// Whether the file on disk holds exactly what `written` holds. QSaveFile in Qt 6.4 loses an error
// met while writing out its last buffer (a full disk): it renames the short file over the good
// one and reports success. So the file is read back under another name of the same file, which
// makes QSettings parse it afresh instead of answering from what it keeps in memory.
bool fileHolds(const QSettings &written, const QString &filePath)
{
    const QString alias =
        QStringLiteral("/proc/self/root") + QFileInfo(filePath).absoluteFilePath();
    if (!QFileInfo::exists(alias))
        return true; // no other name to read it under; trust the writer
    QSettings onDisk(alias, QSettings::IniFormat);
    onDisk.setFallbacksEnabled(false);
    const QStringList keys = written.allKeys();
    if (onDisk.status() != QSettings::NoError || onDisk.allKeys() != keys)
        return false;
    for (const QString &key : keys) {
        if (onDisk.value(key) != written.value(key))
            return false;
    }
    return true;
}

} // namespace

IniSettingsStore::IniSettingsStore() : IniSettingsStore(defaultFilePath()) {}

IniSettingsStore::IniSettingsStore(const QString &filePath)
    : m_filePath(filePath), m_settings(openSettings(filePath))
{
}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tavlen/Tavlen.conf");
}

QString IniSettingsStore::read(const QString &section, const QString &key,
                               const QString &defaultText) const
{
    const QVariant value = m_settings->value(keyPath(section, key));
    if (!value.isValid())
        return defaultText;
    // An unquoted text with commas, typed into the file by hand, comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    if (!value.canConvert<QString>())
        return defaultText;
    return value.toString();
}

void IniSettingsStore::write(const QString &section, const QString &key, const QString &text)
{
    const QString path = keyPath(section, key);
    m_settings->setValue(path, text);
    m_unconfirmed.insert(path, text);
}

// A QSettings object keeps the first error it met for good, and an error met while reading the
// file (a line it could not understand) hides whether a later write worked. So after any error
// a fresh object is given the unconfirmed writes and tries once more: its status speaks for
// this attempt alone. A file that QSettings has rewritten always reads back cleanly.
bool IniSettingsStore::flush(QString *reason)
{
    if (m_unconfirmed.isEmpty())
        return true;
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        reopen();
        m_settings->sync();
    }
    const QSettings::Status status = m_settings->status();
    const bool written = status == QSettings::NoError;
    if (written && fileHolds(*m_settings, m_filePath)) {
        m_unconfirmed.clear();
        return true;
    }
    if (written)
        rewriteUnconfirmed(); // the file came out short, but memory still holds every key
    else
        reopen(); // the next flush starts with a clean status; the writes stay pending
    if (reason)
        *reason = failureReason(status);
    return false;
}

QString IniSettingsStore::failureReason(QSettings::Status status) const
{
    switch (status) {
    case QSettings::FormatError:
        return QStringLiteral(
                   "設定ファイル %1 の形式が正しくないため、設定を保存できませんでした。")
            .arg(m_filePath);
    case QSettings::NoError:
        return QStringLiteral("設定ファイル %1 を最後まで書き込めませんでした。"
                              "ディスクの空き容量を確認してください。")
            .arg(m_filePath);
    case QSettings::AccessError:
        break;
    }
    return QStringLiteral("設定ファイル %1 に書き込めませんでした。").arg(m_filePath);
}

// Gives the current object the unconfirmed writes again, so its next sync rewrites the whole
// file from what it holds in memory.
void IniSettingsStore::rewriteUnconfirmed()
{
    for (auto it = m_unconfirmed.cbegin(); it != m_unconfirmed.cend(); ++it)
        m_settings->setValue(it.key(), it.value());
}

// Replaces the QSettings object by a fresh one that reads the file again and holds the
// unconfirmed writes.
void IniSettingsStore::reopen()
{
    m_settings.reset();
    m_settings = openSettings(m_filePath);
    rewriteUnconfirmed();
}

} // namespace settings
