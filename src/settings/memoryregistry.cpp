#include "settings/memoryregistry.h"

namespace settings
{

std::optional<QString> MemoryRegistry::value(const QString &key, const QString &valueName) const
{
    const auto node = m_nodes.find(key.toLower());
    if (node == m_nodes.end())
        return std::nullopt;
    const auto found = node->second.values.constFind(valueName.toLower());
    if (found == node->second.values.cend())
        return std::nullopt;
    return *found;
}

bool MemoryRegistry::setValue(const QString &key, const QString &valueName, const QString &text,
                              QString *reason)
{
    const std::optional<QStringList> names = splitKeyPath(key);
    if (!names) {
        if (reason)
            *reason = QStringLiteral("キーの名前が正しくありません: ") + key;
        return false;
    }
    QString path;
    for (const QString &name : *names) {
        path = path.isEmpty() ? name : path + QLatin1Char('\\') + name;
        const QString lower = path.toLower();
        if (m_nodes.find(lower) == m_nodes.end())
            m_nodes[lower].path = path;
    }
    m_nodes[key.toLower()].values.insert(valueName.toLower(), text);
    return true;
}

bool MemoryRegistry::removeKey(const QString &key, QString *)
{
    const QString lower = key.toLower();
    const QString below = lower + QLatin1Char('\\');
    for (auto it = m_nodes.begin(); it != m_nodes.end();) {
        if (it->first == lower || it->first.startsWith(below))
            it = m_nodes.erase(it);
        else
            ++it;
    }
    return true;
}

bool MemoryRegistry::contains(const QString &key) const
{
    return m_nodes.find(key.toLower()) != m_nodes.end();
}

QStringList MemoryRegistry::keys() const
{
    QStringList out;
    for (const auto &[lower, node] : m_nodes)
        out.append(node.path);
    return out;
}

} // namespace settings
