#pragma once

#include "settings/registry.h"

#include <QMap>
#include <QStringList>

#include <map>

namespace settings
{

// A registry held in memory, for tests: keys keep the spelling they were created with.
class MemoryRegistry final : public Registry
{
public:
    std::optional<QString> value(const QString &key, const QString &valueName) const override;
    bool setValue(const QString &key, const QString &valueName, const QString &text,
                  QString *reason) override;
    bool removeKey(const QString &key, QString *reason) override;

    bool contains(const QString &key) const;
    // Every key, in the spelling it was created with, sorted without regard to case.
    QStringList keys() const;

private:
    struct Node {
        QString path;
        QMap<QString, QString> values; // by lower-case value name
    };
    std::map<QString, Node> m_nodes; // by lower-case path
};

} // namespace settings
