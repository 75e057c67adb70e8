#include "links/pagelinks.h"

#include "links/cssurls.h"

#include <gumbo.h>
#include <memory>
#include <vector>

namespace links
{

namespace
{

bool isHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool containsWordNoCase(QByteArrayView list, QByteArrayView word)
{
    const QList<QByteArray> words = list.toByteArray().toLower().simplified().split(' ');
    return words.contains(word.toByteArray());
}

struct ParsedPage {
    QByteArrayView utf8;
    std::unique_ptr<GumboOutput, void (*)(GumboOutput *)> output;

    explicit ParsedPage(QByteArrayView bytes)
        : utf8(bytes),
          output(
              gumbo_parse_with_options(&kGumboDefaultOptions, bytes.data(), size_t(bytes.size())),
              [](GumboOutput *o) { gumbo_destroy_output(&kGumboDefaultOptions, o); })
    {
    }
};

// An attribute's value: where it is in the page and whether the page spells it as it is.
struct AttributeValue {
    QByteArrayView value;
    qsizetype offset = 0;
    bool exact = false;
};

AttributeValue valueOf(const GumboAttribute &attribute, QByteArrayView page)
{
    AttributeValue v;
    v.value = QByteArrayView(attribute.value);
    QByteArrayView raw(attribute.original_value.data, qsizetype(attribute.original_value.length));
    if (raw.size() >= 1 && (raw.front() == '"' || raw.front() == '\'')) {
        const char quote = raw.front();
        raw = raw.sliced(1);
        if (raw.endsWith(quote))
            raw.chop(1);
    }
    if (raw.data() >= page.data() && raw.data() <= page.data() + page.size())
        v.offset = raw.data() - page.data();
    v.exact = raw == v.value;
    return v;
}

// A URL attribute's value without the white space a browser strips around it.
void addUrl(const AttributeValue &v, LinkKind kind, LinkRefs &out)
{
    qsizetype start = 0;
    qsizetype end = v.value.size();
    while (start < end && isHtmlSpace(v.value[start]))
        ++start;
    while (end > start && isHtmlSpace(v.value[end - 1]))
        --end;
    out.push_back({QString::fromUtf8(v.value.sliced(start, end - start)),
                   v.exact ? v.offset + start : v.offset, v.exact, kind});
}

template <typename Visit> void forEachElement(const GumboNode *root, Visit visit)
{
    std::vector<const GumboNode *> stack{root};
    while (!stack.empty()) {
        const GumboNode *node = stack.back();
        stack.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE)
            continue;
        visit(node->v.element);
        const GumboVector &children = node->v.element.children;
        for (unsigned k = children.length; k-- > 0;)
            stack.push_back(static_cast<const GumboNode *>(children.data[k]));
    }
}

void addAnchors(const GumboElement &element, QSet<QString> &anchors)
{
    for (unsigned k = 0; k < element.attributes.length; ++k) {
        const auto *attribute = static_cast<const GumboAttribute *>(element.attributes.data[k]);
        const QByteArrayView name(attribute->name);
        if (name == "id" || (name == "name" && element.tag == GUMBO_TAG_A))
            anchors.insert(QString::fromUtf8(attribute->value));
    }
}

void addStyleText(const GumboElement &element, QByteArrayView page, LinkRefs &out)
{
    for (unsigned k = 0; k < element.children.length; ++k) {
        const auto *child = static_cast<const GumboNode *>(element.children.data[k]);
        if (child->type != GUMBO_NODE_TEXT && child->type != GUMBO_NODE_WHITESPACE &&
            child->type != GUMBO_NODE_CDATA)
            continue;
        const GumboText &text = child->v.text;
        const QByteArrayView raw(text.original_text.data, qsizetype(text.original_text.length));
        appendCssUrls(raw, raw.data() - page.data(), true, out);
    }
}

} // namespace

void appendSrcsetUrls(QByteArrayView value, qsizetype offsetBase, bool exact, LinkRefs &out)
{
    qsizetype i = 0;
    while (i < value.size()) {
        while (i < value.size() && (isHtmlSpace(value[i]) || value[i] == ','))
            ++i;
        if (i >= value.size())
            break;
        const qsizetype start = i;
        while (i < value.size() && !isHtmlSpace(value[i]))
            ++i;
        qsizetype end = i;
        bool descriptorsFollow = true;
        if (value[end - 1] == ',') {
            while (end > start && value[end - 1] == ',')
                --end;
            descriptorsFollow = false;
        }
        if (end > start)
            out.push_back({QString::fromUtf8(value.sliced(start, end - start)),
                           exact ? offsetBase + start : offsetBase, exact, LinkKind::Reference});
        if (!descriptorsFollow)
            continue;
        // The descriptors run to the next comma outside parentheses.
        int depth = 0;
        while (i < value.size() && (depth > 0 || value[i] != ',')) {
            if (value[i] == '(')
                ++depth;
            else if (value[i] == ')' && depth > 0)
                --depth;
            ++i;
        }
    }
}

PageLinks scanPage(QByteArrayView utf8)
{
    PageLinks page;
    const ParsedPage parsed(utf8);
    forEachElement(parsed.output->root, [&](const GumboElement &element) {
        addAnchors(element, page.anchors);
        if (element.tag == GUMBO_TAG_STYLE)
            addStyleText(element, utf8, page.links);
        bool stylesheet = false;
        if (element.tag == GUMBO_TAG_LINK)
            if (const GumboAttribute *rel = gumbo_get_attribute(&element.attributes, "rel"))
                stylesheet = containsWordNoCase(QByteArrayView(rel->value), "stylesheet");
        for (unsigned k = 0; k < element.attributes.length; ++k) {
            const auto *attribute = static_cast<const GumboAttribute *>(element.attributes.data[k]);
            const QByteArrayView name(attribute->name);
            if (name == "href" && element.tag == GUMBO_TAG_BASE) {
                if (!page.base) {
                    LinkRefs one;
                    addUrl(valueOf(*attribute, utf8), LinkKind::Reference, one);
                    page.base = one.front();
                }
            } else if (name == "href" || name == "xlink:href") {
                addUrl(valueOf(*attribute, utf8),
                       stylesheet ? LinkKind::StyleSheet : LinkKind::Reference, page.links);
            } else if (name == "src" || name == "background") {
                addUrl(valueOf(*attribute, utf8), LinkKind::Reference, page.links);
            } else if (name == "srcset") {
                const AttributeValue v = valueOf(*attribute, utf8);
                appendSrcsetUrls(v.value, v.offset, v.exact, page.links);
            } else if (name == "style") {
                const AttributeValue v = valueOf(*attribute, utf8);
                appendCssUrls(v.value, v.offset, v.exact, page.links);
            }
        }
    });
    return page;
}

QSet<QString> scanAnchors(QByteArrayView utf8)
{
    QSet<QString> anchors;
    const ParsedPage parsed(utf8);
    forEachElement(parsed.output->root,
                   [&](const GumboElement &element) { addAnchors(element, anchors); });
    return anchors;
}

} // namespace links
