#include "links/sitefolder.h"

#include <QDir>
#include <QFileInfo>

namespace links
{

QString SiteFolder::pathOf(const QStringList &segments) const
{
    return segments.isEmpty() ? m_root : m_root + u'/' + segments.join(u'/');
}

const SiteFolder::Listing &SiteFolder::listing(const QStringList &folder)
{
    const QString path = pathOf(folder);
    const auto known = m_listings.constFind(path);
    if (known != m_listings.constEnd())
        return *known;
    Listing listing;
    const QFileInfoList entries = QDir(path).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        listing.isFolder.insert(name, entry.isDir());
        const QString folded = name.toCaseFolded();
        if (!listing.byFoldedName.contains(folded))
            listing.byFoldedName.insert(folded, name);
    }
    return *m_listings.insert(path, listing);
}

FoundPlace SiteFolder::find(const QStringList &segments, bool wantFolder)
{
    FoundPlace found;
    found.presence = Presence::Exact;
    found.directory = true;
    for (qsizetype k = 0; k < segments.size(); ++k) {
        const Listing &folder = listing(found.actual);
        const bool last = k + 1 == segments.size();
        QString name = segments[k];
        auto entry = folder.isFolder.constFind(name);
        if (entry == folder.isFolder.constEnd()) {
            const auto other = folder.byFoldedName.constFind(name.toCaseFolded());
            if (other == folder.byFoldedName.constEnd())
                return {Presence::Missing, {}, false};
            name = *other;
            entry = folder.isFolder.constFind(name);
            found.presence = Presence::OtherCase;
        }
        if (!last && !*entry)
            return {Presence::Missing, {}, false};
        found.actual.append(name);
        found.directory = *entry;
    }
    if (wantFolder && !found.directory)
        return {Presence::Missing, {}, false};
    return found;
}

} // namespace links
