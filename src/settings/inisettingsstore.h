#pragma once

#include "settings/settingsstore.h"

#include <QHash>
#include <QSettings>

#include <memory>
#include <optional>

namespace settings
{

// The settings store kept in an INI file through QSettings. The default file is
// $XDG_CONFIG_HOME/Tavlen/Tavlen.conf (~/.config when the variable is unset). Only that one file
// is consulted: system-wide fallback files are switched off.
//
// Writes are kept in memory and reach the file at flush() and at destruction. QSettings formats the
// new text in a scratch copy of the file, and the atomic writer puts it in place (every write
// checked, flushed to the disk, renamed over the old file), so a full disk, a failing disk or a
// crash never leaves the file short or half-written: it is either the old file or the new one.
// Writes that have not been confirmed by a successful flush() are tried again by the next one.
// Opening the store removes the temporary file a write killed before its rename left beside it.
// A settings file that is a pipe, a device or a socket is neither read (that could wait forever)
// nor written over: the store keeps this run's settings in memory and problem() says why. A text
// longer than any real value (a font name, a path) reads as absent.
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
    QString problem() const override { return m_problem; }

private:
    std::optional<QString> writeMerged() const;

    QString m_filePath;
    QString m_problem;
    std::unique_ptr<QSettings> m_settings; // null when the file cannot be used
    QHash<QString, QString> m_unconfirmed; // key path → text written since the last good flush;
                                           // m_settings only reads the file
};

} // namespace settings
