#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace settings
{

// A tree of keys under the root of the shell's file types. Key paths are "\"-separated names,
// matched without regard to letter case; every value is text, and the empty value name is the
// key's default value.
class Registry
{
public:
    virtual ~Registry() = default;
    // nullopt when the key or the value does not exist.
    virtual std::optional<QString> value(const QString &key, const QString &valueName) const = 0;
    // Creates the key and every missing key on its path, then sets the value. False, with a
    // Japanese reason, when that could not be done; nothing is changed then.
    virtual bool setValue(const QString &key, const QString &valueName, const QString &text,
                          QString *reason) = 0;
    // Removes the key together with all its subkeys. A missing key is no error.
    virtual bool removeKey(const QString &key, QString *reason) = 0;
};

// The names of a key path, or nothing when the path has an empty name in it ("", "a\\b", "\a").
std::optional<QStringList> splitKeyPath(const QString &key);

// The text of a string value up to its first NUL; "" when the key or the value is missing.
QString RegReadString(const Registry &root, const QString &subKey, const QString &valueName);
// Creates or opens the key and sets the string value.
bool RegWriteString(Registry &root, const QString &subKey, const QString &valueName,
                    const QString &text, QString *reason = nullptr);
// Deletes the key with its subkeys.
bool RegRemoveKey(Registry &root, const QString &subKey, QString *reason = nullptr);

} // namespace settings
