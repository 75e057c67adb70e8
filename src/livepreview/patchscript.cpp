#include "livepreview/patchscript.h"

#include "livepreview/linemarks.h"

namespace livepreview
{

namespace
{

// The functions both scripts use. The page as parsed last is kept in this world's own global
// object, which the page's scripts do not see; it lasts as long as the page does.
const QString Functions = QStringLiteral(R"js(
var mark = '%2';
function readPage() {
  try {
    var request = new XMLHttpRequest();
    request.open('GET', location.protocol + '//' + location.host + location.pathname, false);
    request.overrideMimeType('text/html; charset=%1');
    request.send();
    return new DOMParser().parseFromString(request.responseText, 'text/html');
  } catch (e) {
    return null;
  }
}
function isShown(page) {
  return !!page && page.compatMode === document.compatMode &&
    page.documentElement.isEqualNode(document.documentElement);
}
// What only a load reads: the scripts, the base address and the http-equiv metas.
function readOnce(doc) {
  return Array.prototype.map.call(doc.querySelectorAll('script, base, meta[http-equiv]'),
    function (e) {
      var copy = e.cloneNode(true);
      copy.removeAttribute(mark);
      return copy.outerHTML;
    }).join('\n');
}
function sameKind(a, b) { return a.nodeType === b.nodeType && a.nodeName === b.nodeName; }
function patchAttributes(a, b) {
  var i, name;
  for (i = a.attributes.length - 1; i >= 0; --i) {
    name = a.attributes[i].name;
    if (!b.hasAttribute(name)) a.removeAttribute(name);
  }
  for (i = 0; i < b.attributes.length; ++i) {
    if (a.getAttribute(b.attributes[i].name) !== b.attributes[i].value)
      a.setAttribute(b.attributes[i].name, b.attributes[i].value);
  }
}
function patchNode(a, b) {
  if (a.nodeType !== Node.ELEMENT_NODE) {
    if (a.nodeValue !== b.nodeValue) a.nodeValue = b.nodeValue;
    return;
  }
  patchAttributes(a, b);
  patchChildren(a, b);
}
// The equal children at both ends are kept; between them, children of the same kind are changed
// pair by pair, and otherwise the old ones are replaced by copies of the new.
function patchChildren(oldParent, newParent) {
  var olds = Array.prototype.slice.call(oldParent.childNodes);
  var news = Array.prototype.slice.call(newParent.childNodes);
  var start = 0, end = 0, i;
  while (start < olds.length && start < news.length && olds[start].isEqualNode(news[start]))
    ++start;
  while (end < olds.length - start && end < news.length - start &&
         olds[olds.length - 1 - end].isEqualNode(news[news.length - 1 - end]))
    ++end;
  var oldMiddle = olds.slice(start, olds.length - end);
  var newMiddle = news.slice(start, news.length - end);
  var pairs = oldMiddle.length === newMiddle.length;
  for (i = 0; pairs && i < oldMiddle.length; ++i) pairs = sameKind(oldMiddle[i], newMiddle[i]);
  if (pairs) {
    for (i = 0; i < oldMiddle.length; ++i) patchNode(oldMiddle[i], newMiddle[i]);
    return;
  }
  var before = end ? olds[olds.length - end] : null;
  oldMiddle.forEach(function (node) { oldParent.removeChild(node); });
  newMiddle.forEach(function (node) {
    oldParent.insertBefore(document.importNode(node, true), before);
  });
}
)js");

const QString RememberTemplate = QStringLiteral(R"js((function () {
%1
  var page = readPage();
  window.tavlenShownPage = isShown(page) ? page : null;
  return !!window.tavlenShownPage;
})())js");

const QString PatchTemplate = QStringLiteral(R"js((function () {
%1
  var shown = window.tavlenShownPage;
  window.tavlenShownPage = null;
  if (!isShown(shown)) return 'reload';
  var page = readPage();
  if (!page || page.compatMode !== document.compatMode || readOnce(page) !== readOnce(shown))
    return 'reload';
  patchAttributes(document.documentElement, page.documentElement);
  patchChildren(document.documentElement, page.documentElement);
  window.tavlenShownPage = page;
  return 'patched';
})())js");

QString functions(const QByteArray &charset)
{
    return QString(Functions)
        .replace(QLatin1String("%1"), QString::fromLatin1(charset))
        .replace(QLatin1String("%2"), LineAttribute);
}

} // namespace

QString rememberScript(const QByteArray &charset)
{
    return QString(RememberTemplate).replace(QLatin1String("%1"), functions(charset));
}

QString patchScript(const QByteArray &charset)
{
    return QString(PatchTemplate).replace(QLatin1String("%1"), functions(charset));
}

} // namespace livepreview
