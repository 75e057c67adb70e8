#pragma once

#include "links/linkref.h"

#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <optional>

// What a page links to and which places in it can be linked to, as an HTML5 parser sees it.
namespace links
{

struct PageLinks {
    LinkRefs links;              // every href, src, srcset candidate, background, and CSS address
    std::optional<LinkRef> base; // the first <base href>
    QSet<QString> anchors;       // every id, and the names of <a name>
};

// Parses the page (UTF-8) with libgumbo.
PageLinks scanPage(QByteArrayView utf8);

// The places a page can be linked to (ids and <a name>s) without its links.
QSet<QString> scanAnchors(QByteArrayView utf8);

// The candidates of a srcset value (offsets from offsetBase, as appendCssUrls places them).
void appendSrcsetUrls(QByteArrayView value, qsizetype offsetBase, bool exact, LinkRefs &out);

} // namespace links
