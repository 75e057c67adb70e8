#pragma once

#include "links/finding.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

// The local link check of a site folder: every page's links, and the style sheets they load.
namespace links
{

struct SiteCheck {
    std::vector<Finding> findings; // page by page, in the order written
    QStringList errors;            // Japanese sentences: pages that could not be read
    int pages = 0;                 // pages and style sheets checked
    bool cancelled = false;
};

struct CheckControl {
    std::function<void(int done, int total)> progress; // after each page
    const std::atomic_bool *cancel = nullptr;
};

// The pages of a folder and its subfolders (*.htm, *.html, *.shtml), sorted; folders whose
// name starts with "." are left out.
QStringList sitePages(const QString &root);

// Checks the links of pages (absolute paths below root), and of the local style sheets they
// load, against the files below root.
SiteCheck checkLinks(const QString &root, const QStringList &pages,
                     const CheckControl &control = {});

} // namespace links
