#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The files of a site folder, looked up by exact name and, for a site made where letter case
// does not matter, by name without case. Each folder is listed once.
namespace links
{

enum class Presence { Exact, OtherCase, Missing };

struct FoundPlace {
    Presence presence = Presence::Missing;
    QStringList actual; // the segments as the disk spells them (Exact and OtherCase)
    bool directory = false;
};

class SiteFolder
{
public:
    explicit SiteFolder(QString root) : m_root(std::move(root)) {}
    const QString &root() const { return m_root; }
    // The file or folder at segments below the root; a folder is wanted when wantFolder.
    FoundPlace find(const QStringList &segments, bool wantFolder);
    QString pathOf(const QStringList &segments) const;

private:
    struct Listing {
        QHash<QString, bool> isFolder;        // name -> is a folder
        QHash<QString, QString> byFoldedName; // case-folded name -> the first name so spelled
    };
    const Listing &listing(const QStringList &folder);

    QString m_root;
    QHash<QString, Listing> m_listings;
};

} // namespace links
