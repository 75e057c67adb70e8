#pragma once

#include "settings/settingsstore.h"

#include <QHash>
#include <QList>

namespace settings
{

// A settings store held in memory, for tests: it keeps every read and write in order and can be
// told to fail its next flushes.
class MemorySettingsStore final : public SettingsStore
{
public:
    struct Access {
        QString section;
        QString key;
        QString text; // the written text, or the default text of a read
        bool operator==(const Access &) const = default;
    };

    QString read(const QString &section, const QString &key,
                 const QString &defaultText) const override;
    void write(const QString &section, const QString &key, const QString &text) override;
    bool flush(QString *reason = nullptr) override;

    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key) const; // "" when absent
    int size() const { return int(m_values.size()); }

    const QList<Access> &reads() const { return m_reads; }
    const QList<Access> &writes() const { return m_writes; }
    void clearLog();

    // A non-empty reason makes every later flush() fail with it; an empty one makes them succeed.
    void setFlushFailure(const QString &reason) { m_flushFailure = reason; }
    int flushCount() const { return m_flushCount; }

private:
    using Key = std::pair<QString, QString>;
    QHash<Key, QString> m_values;
    mutable QList<Access> m_reads;
    QList<Access> m_writes;
    QString m_flushFailure;
    int m_flushCount = 0;
};

} // namespace settings
