#include "settings/desktopentry.h"

#include <QStringList>

#include <algorithm>

namespace settings
{

QString DesktopEntry::value(const QString &group, const QString &key) const
{
    for (const Group &g : groups) {
        if (g.name != group)
            continue;
        for (const auto &[k, v] : g.entries) {
            if (k == key)
                return v;
        }
    }
    return QString();
}

void DesktopEntry::set(const QString &group, const QString &key, const QString &value)
{
    auto g = std::find_if(groups.begin(), groups.end(),
                          [&](const Group &candidate) { return candidate.name == group; });
    if (g == groups.end()) {
        groups.append({group, {}});
        g = groups.end() - 1;
    }
    for (auto &[k, v] : g->entries) {
        if (k == key) {
            v = value;
            return;
        }
    }
    g->entries.append({key, value});
}

DesktopEntry parseDesktopEntry(const QString &text)
{
    DesktopEntry entry;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            entry.groups.append({trimmed.mid(1, trimmed.size() - 2), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || entry.groups.isEmpty())
            continue;
        QString value = line.mid(eq + 1);
        while (value.startsWith(QLatin1Char(' ')))
            value.remove(0, 1);
        entry.groups.last().entries.append({line.left(eq).trimmed(), unescapeDesktopString(value)});
    }
    return entry;
}

QString formatDesktopEntry(const DesktopEntry &entry)
{
    QString out;
    for (const DesktopEntry::Group &g : entry.groups) {
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += QLatin1Char('[') + g.name + QStringLiteral("]\n");
        for (const auto &[k, v] : g.entries)
            out += k + QLatin1Char('=') + escapeDesktopString(v) + QLatin1Char('\n');
    }
    return out;
}

QString escapeDesktopString(const QString &value)
{
    QString out;
    out.reserve(value.size() + 4);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            out += QStringLiteral("\\s");
        else
            out += c;
    }
    return out;
}

QString unescapeDesktopString(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        switch (next.unicode()) {
        case u's':
            out += QLatin1Char(' ');
            break;
        case u'n':
            out += QLatin1Char('\n');
            break;
        case u't':
            out += QLatin1Char('\t');
            break;
        case u'r':
            out += QLatin1Char('\r');
            break;
        case u'\\':
            out += QLatin1Char('\\');
            break;
        default:
            out += c;
            out += next;
            break;
        }
    }
    return out;
}

} // namespace settings
