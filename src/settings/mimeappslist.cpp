#include "settings/mimeappslist.h"

#include <QStringList>

#include <functional>

namespace settings
{

namespace
{

const QString Added = QStringLiteral("Added Associations");
const QString Removed = QStringLiteral("Removed Associations");

bool isGroupHeader(const QString &line)
{
    return line.trimmed().startsWith(QLatin1Char('['));
}

qsizetype findGroup(const QStringList &lines, const QString &group)
{
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == header)
            return i;
    }
    return -1;
}

qsizetype groupEnd(const QStringList &lines, qsizetype header)
{
    qsizetype i = header + 1;
    while (i < lines.size() && !isGroupHeader(lines[i]))
        ++i;
    return i;
}

QString keyOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.left(eq).trimmed();
}

QStringList idsOf(const QString &line)
{
    const QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// Runs edit on the id list of mimeType in group. Adds the group and the key when create is set
// and the edit leaves a non-empty list; removes a key whose list becomes empty. True when the
// lines changed.
bool editList(QStringList &lines, const QString &group, const QString &mimeType, bool create,
              const std::function<void(QStringList &)> &edit)
{
    qsizetype header = findGroup(lines, group);
    if (header < 0) {
        QStringList ids;
        edit(ids);
        if (!create || ids.isEmpty())
            return false;
        while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
            lines.removeLast();
        if (!lines.isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + group + QLatin1Char(']'));
        lines.append(mimeType + QLatin1Char('=') + ids.join(QLatin1Char(';')) + QLatin1Char(';'));
        return true;
    }
    const qsizetype end = groupEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (keyOf(lines[i]) != mimeType)
            continue;
        const QStringList before = idsOf(lines[i]);
        QStringList ids = before;
        edit(ids);
        if (ids == before)
            return false;
        if (ids.isEmpty())
            lines.removeAt(i);
        else
            lines[i] = mimeType + QLatin1Char('=') + ids.join(QLatin1Char(';')) + QLatin1Char(';');
        return true;
    }
    QStringList ids;
    edit(ids);
    if (ids.isEmpty())
        return false;
    qsizetype at = end;
    while (at > header + 1 && lines[at - 1].trimmed().isEmpty())
        --at;
    lines.insert(at, mimeType + QLatin1Char('=') + ids.join(QLatin1Char(';')) + QLatin1Char(';'));
    return true;
}

void dropEmptyGroup(QStringList &lines, const QString &group)
{
    const qsizetype header = findGroup(lines, group);
    if (header < 0)
        return;
    const qsizetype end = groupEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (!lines[i].trimmed().isEmpty())
            return;
    }
    lines.remove(header, end - header);
    while (header > 0 && header == lines.size() && lines.last().trimmed().isEmpty())
        lines.removeLast();
}

QString joined(const QStringList &lines)
{
    QString text = lines.join(QLatin1Char('\n'));
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return text;
}

QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line break after the last line
    return lines;
}

} // namespace

QString withAddedAssociation(const QString &text, const QString &mimeType, const QString &desktopId)
{
    QStringList lines = linesOf(text);
    bool changed = editList(lines, Added, mimeType, true, [&](QStringList &ids) {
        if (!ids.contains(desktopId))
            ids.append(desktopId);
    });
    if (editList(lines, Removed, mimeType, false,
                 [&](QStringList &ids) { ids.removeAll(desktopId); })) {
        dropEmptyGroup(lines, Removed);
        changed = true;
    }
    return changed ? joined(lines) : text;
}

QStringList addedAssociations(const QString &text, const QString &mimeType)
{
    const QStringList lines = linesOf(text);
    const qsizetype header = findGroup(lines, Added);
    if (header < 0)
        return {};
    const qsizetype end = groupEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (keyOf(lines[i]) == mimeType)
            return idsOf(lines[i]);
    }
    return {};
}

QString withoutAddedAssociation(const QString &text, const QString &mimeType,
                                const QString &desktopId)
{
    QStringList lines = linesOf(text);
    if (!editList(lines, Added, mimeType, false,
                  [&](QStringList &ids) { ids.removeAll(desktopId); }))
        return text;
    dropEmptyGroup(lines, Added);
    return joined(lines);
}

} // namespace settings
