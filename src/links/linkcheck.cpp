#include "links/linkcheck.h"

#include "links/cssurls.h"
#include "links/linktarget.h"
#include "links/pagedecode.h"
#include "links/pagelinks.h"
#include "links/sitefolder.h"
#include "links/textpositions.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>

namespace links
{

namespace
{

bool hasSuffix(const QString &name, std::initializer_list<QLatin1String> suffixes)
{
    return std::any_of(suffixes.begin(), suffixes.end(), [&](QLatin1String suffix) {
        return name.endsWith(suffix, Qt::CaseInsensitive);
    });
}

bool isPageName(const QString &name)
{
    return hasSuffix(name, {QLatin1String(".htm"), QLatin1String(".html"), QLatin1String(".shtml"),
                            QLatin1String(".xhtml")});
}

bool isStyleSheetName(const QString &name)
{
    return hasSuffix(name, {QLatin1String(".css")});
}

// The text of a file as UTF-8, or the reason it could not be read.
struct ReadText {
    QByteArray utf8;
    QString failure;
};

ReadText readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    return {decodePage(bytes).text.toUtf8(), {}};
}

FindingKind kindOf(LinkFault fault)
{
    switch (fault) {
    case LinkFault::Backslash:
        return FindingKind::Backslash;
    case LinkFault::FileScheme:
        return FindingKind::FileScheme;
    case LinkFault::DriveLetter:
        return FindingKind::DriveLetter;
    case LinkFault::LeavesSite:
    case LinkFault::None:
        break;
    }
    return FindingKind::LeavesSite;
}

// The written link with each path part that named a file replaced by the disk's spelling, or
// nullopt when a part is percent-encoded and the spelling cannot be put in as it is.
std::optional<QString> respelled(const QString &written, const LinkTarget &target,
                                 const QStringList &actual)
{
    qsizetype pathEnd = written.size();
    for (qsizetype i = 0; i < written.size(); ++i)
        if (written[i] == u'?' || written[i] == u'#') {
            pathEnd = i;
            break;
        }
    QStringList parts = written.left(pathEnd).split(u'/');
    for (qsizetype k = 0; k < target.writtenPart.size() && k < actual.size(); ++k) {
        const int part = target.writtenPart[k];
        if (part < 0 || parts[part] == actual[k])
            continue;
        if (parts[part].contains(u'%'))
            return std::nullopt;
        parts[part] = actual[k];
    }
    return parts.join(u'/') + written.mid(pathEnd);
}

class Checker
{
public:
    explicit Checker(const QString &root) : m_site(root) {}

    SiteCheck run(const QStringList &pages, const CheckControl &control);

private:
    struct Raw {
        LinkRef link;
        FindingKind kind;
        QString fix;
        bool fixable = false;
    };
    void checkFile(const QString &path, bool styleSheet, SiteCheck &result);
    void checkLink(const LinkRef &link, const BaseLocation &base, std::vector<Raw> &raw);
    const QSet<QString> *anchorsOf(const QString &path);
    QStringList segmentsOf(const QString &path) const;

    SiteFolder m_site;
    QHash<QString, std::optional<QSet<QString>>> m_anchors;
    QSet<QString> m_sheetsSeen;
    QStringList m_sheets;
};

QStringList Checker::segmentsOf(const QString &path) const
{
    return path.mid(m_site.root().size() + 1).split(u'/', Qt::SkipEmptyParts);
}

const QSet<QString> *Checker::anchorsOf(const QString &path)
{
    auto known = m_anchors.find(path);
    if (known == m_anchors.end()) {
        ReadText text = readText(path);
        std::optional<QSet<QString>> anchors;
        if (text.failure.isEmpty())
            anchors = scanAnchors(text.utf8);
        known = m_anchors.insert(path, anchors);
    }
    return known->has_value() ? &**known : nullptr;
}

void Checker::checkLink(const LinkRef &link, const BaseLocation &base, std::vector<Raw> &raw)
{
    const LinkTarget target = resolveLink(link.url, base);
    if (target.fault != LinkFault::None) {
        raw.push_back({link, kindOf(target.fault), {}, false});
        return;
    }
    if (!target.local)
        return;
    const FoundPlace found = m_site.find(target.place.segments, target.place.directory);
    if (found.presence == Presence::Missing) {
        raw.push_back({link, FindingKind::Missing, {}, false});
        return;
    }
    if (found.presence == Presence::OtherCase) {
        const std::optional<QString> fix = respelled(link.url, target, found.actual);
        if (fix && *fix != link.url)
            raw.push_back({link, FindingKind::OtherCase, *fix, link.exact});
        else
            raw.push_back({link, FindingKind::OtherCase,
                           m_site.pathOf(found.actual).mid(m_site.root().size() + 1), false});
        return;
    }
    const QString path = m_site.pathOf(found.actual);
    if (link.kind == LinkKind::StyleSheet && !found.directory && isStyleSheetName(path) &&
        !m_sheetsSeen.contains(path)) {
        m_sheetsSeen.insert(path);
        m_sheets.append(path);
    }
    if (!target.fragment || target.fragment->isEmpty() || found.directory || !isPageName(path))
        return;
    const QString &fragment = *target.fragment;
    const QSet<QString> *anchors = anchorsOf(path); // a page checked already is known
    if (anchors && !anchors->contains(fragment) &&
        fragment.compare(QLatin1String("top"), Qt::CaseInsensitive) != 0)
        raw.push_back({link, FindingKind::NoAnchor, {}, false});
}

void Checker::checkFile(const QString &path, bool styleSheet, SiteCheck &result)
{
    ++result.pages;
    const ReadText text = readText(path);
    if (!text.failure.isEmpty()) {
        result.errors.append(path + QStringLiteral(": 読めませんでした。") + text.failure);
        return;
    }
    BaseLocation base;
    base.document = {segmentsOf(path), false};
    PageLinks page;
    if (styleSheet)
        appendCssUrls(text.utf8, 0, true, page.links);
    else
        page = scanPage(text.utf8);
    if (!styleSheet)
        m_anchors.insert(path, page.anchors);

    std::vector<Raw> raw;
    if (page.base) {
        const LinkTarget target = resolveLink(page.base->url, base);
        if (target.fault != LinkFault::None) {
            raw.push_back({*page.base, kindOf(target.fault), {}, false});
        } else if (!target.local) {
            base.elsewhere = true;
        } else {
            // Links resolve against the base even when its folder is missing, as a browser's do.
            base.document = target.place;
            if (target.place.directory &&
                m_site.find(target.place.segments, true).presence == Presence::Missing)
                raw.push_back({*page.base, FindingKind::Missing, {}, false});
        }
    }
    for (const LinkRef &link : page.links)
        checkLink(link, base, raw);
    if (raw.empty())
        return;

    std::stable_sort(raw.begin(), raw.end(),
                     [](const Raw &a, const Raw &b) { return a.link.offset < b.link.offset; });
    Utf8Positions positions(text.utf8);
    for (const Raw &r : raw) {
        const TextPlace place = positions.at(r.link.offset);
        result.findings.push_back({path, place.line, place.column, place.utf16Index, r.kind,
                                   r.link.url, r.fix, r.fixable});
    }
}

SiteCheck Checker::run(const QStringList &pages, const CheckControl &control)
{
    SiteCheck result;
    const int total = int(pages.size());
    for (int k = 0; k < total; ++k) {
        if (control.cancel && control.cancel->load()) {
            result.cancelled = true;
            return result;
        }
        checkFile(pages[k], false, result);
        if (control.progress)
            control.progress(k + 1, total);
    }
    // Style sheets a checked sheet imports join the list while it is worked through.
    for (qsizetype k = 0; k < m_sheets.size(); ++k) {
        if (control.cancel && control.cancel->load()) {
            result.cancelled = true;
            return result;
        }
        checkFile(m_sheets[k], true, result);
    }
    return result;
}

} // namespace

QStringList sitePages(const QString &root)
{
    QStringList pages;
    std::vector<QString> folders{root};
    while (!folders.empty()) {
        const QString folder = folders.back();
        folders.pop_back();
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir()) {
                // A linked folder may lead back up: only the folder's own subfolders count.
                if (!entry.fileName().startsWith(u'.') && !entry.isSymLink())
                    folders.push_back(entry.filePath());
            } else if (isPageName(entry.fileName()) &&
                       !entry.fileName().endsWith(QLatin1String(".xhtml"), Qt::CaseInsensitive)) {
                pages.append(entry.filePath());
            }
        }
    }
    pages.sort();
    return pages;
}

SiteCheck checkLinks(const QString &root, const QStringList &pages, const CheckControl &control)
{
    return Checker(root).run(pages, control);
}

} // namespace links
