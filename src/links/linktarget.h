#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Where an address written in a page leads, seen from the site folder.
namespace links
{

enum class LinkFault {
    None,
    Backslash,   // "\" in a path
    FileScheme,  // file:
    DriveLetter, // C:/ or C:\…
    LeavesSite,  // ".." above the site folder
};

// A place in the site: the path segments from the site folder, percent-decoded.
struct SitePlace {
    QStringList segments;
    bool directory = false; // a folder (the address ends in "/", ".", "..")
};

// The place relative addresses are resolved against: the page, or its <base href>.
struct BaseLocation {
    SitePlace document;
    bool elsewhere = false; // <base> names another site: relative addresses are not local
    QStringList folder() const;
};

struct LinkTarget {
    bool local = false; // false: another scheme, another host, or a fault
    LinkFault fault = LinkFault::None;
    SitePlace place;
    std::optional<QString> fragment; // percent-decoded, without "#"
    bool samePlace = false;          // the address has no path: it is the base document itself
    // For each segment of place, the index of the "/"-separated part of the written path that
    // named it, or -1 when it comes from the base.
    QList<int> writtenPart;
};

// Resolves url as a browser would against base, without touching the disk.
LinkTarget resolveLink(const QString &url, const BaseLocation &base);

} // namespace links
