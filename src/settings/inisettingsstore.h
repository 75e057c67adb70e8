#pragma once

#include "settings/settingsstore.h"

#include <QHash>
#include <QSettings>

#include <memory>

namespace settings
{

// The settings store kept in an INI file through QSettings. The default file is
// $XDG_CONFIG_HOME/Tavlen/Tavlen.conf (~/.config when the variable is unset). Only that one file
// is consulted: system-wide fallback files are switched off. The file is replaced atomically
// (a new file is written beside it and renamed over it), so a crash never leaves it
// half-written.
//
// Writes are kept in memory and reach the file when control returns to the event loop, at
// flush(), and at destruction; only flush() tells whether that worked. flush() reads the file
// back to catch a file that came out short (a full disk) although the writer reported success.
// Writes that have not been confirmed by a successful flush() are tried again by the next one.
class IniSettingsStore final : public SettingsStore
{
public:
    IniSettingsStore();
    explicit IniSettingsStore(const QString &filePath);
    ~IniSettingsStore() override;

    static QString defaultFilePath();
    QString filePath() const { return m_filePath; }

    QString read(const QString &section, const QString &key,
                 const QString &defaultText) const override;
    void write(const QString &section, const QString &key, const QString &text) override;
    bool flush(QString *reason = nullptr) override;

private:
    void reopen();
    void rewriteUnconfirmed();
    QString failureReason(QSettings::Status status) const;

    QString m_filePath;
    std::unique_ptr<QSettings> m_settings;
    QHash<QString, QString> m_unconfirmed; // key path → text written since the last good flush
};

} // namespace settings
