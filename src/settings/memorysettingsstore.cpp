#include "settings/memorysettingsstore.h"

namespace settings
{

QString MemorySettingsStore::read(const QString &section, const QString &key,
                                  const QString &defaultText) const
{
    m_reads.append({section, key, defaultText});
    const auto it = m_values.constFind({section, key});
    return it == m_values.cend() ? defaultText : *it;
}

void MemorySettingsStore::write(const QString &section, const QString &key, const QString &text)
{
    m_writes.append({section, key, text});
    m_values.insert({section, key}, text);
}

bool MemorySettingsStore::flush(QString *reason)
{
    ++m_flushCount;
    if (m_flushFailure.isEmpty())
        return true;
    if (reason)
        *reason = m_flushFailure;
    return false;
}

bool MemorySettingsStore::contains(const QString &section, const QString &key) const
{
    return m_values.contains({section, key});
}

QString MemorySettingsStore::value(const QString &section, const QString &key) const
{
    return m_values.value({section, key});
}

void MemorySettingsStore::clearLog()
{
    m_reads.clear();
    m_writes.clear();
}

} // namespace settings
