#pragma once

#include <QString>

namespace settings
{

// A per-user store of text values addressed by section and key. The application name is fixed
// ("Tavlen"). A read names the text to return when the key is absent; a write creates the
// section and key when missing and replaces the value otherwise. Nothing is ever deleted.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString &section, const QString &key,
                         const QString &defaultText) const = 0;
    virtual void write(const QString &section, const QString &key, const QString &text) = 0;
    // Push pending writes to permanent storage; false (with a Japanese reason) when that failed.
    virtual bool flush(QString *reason = nullptr) = 0;
    // Why the stored settings cannot be used at all (the program then runs on defaults); empty
    // when they can.
    virtual QString problem() const { return {}; }
};

} // namespace settings
