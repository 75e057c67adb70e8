#pragma once

#include <QByteArray>
#include <QString>

namespace livepreview
{

// Scripts run in the page beside the text, apart from the page's own scripts. charset: the name
// of the page's encoding, as it is served.

// Reads the page's bytes from its own address, decoded as the load decodes them, parses them
// and keeps the result when the page shown is exactly that: no script of the page has changed
// it (a document.write, an onload handler that adds an element, a noscript element). Answers
// true when it is kept, so the page can be changed in place from then on.
QString rememberScript(const QByteArray &charset);

// Reads the page's newest bytes the same way and, when the page shown is still the one
// remembered and the new one has the same scripts, base address and http-equiv metas, changes
// the page shown into the new one node by node: the browser lays out again only what changed,
// and the scroll position stays. Answers "patched", or "reload" when only a load shows the page
// as a browser would.
QString patchScript(const QByteArray &charset);

} // namespace livepreview
