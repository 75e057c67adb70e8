#pragma once

#include <QString>
#include <vector>

namespace links
{

enum class LinkKind {
    Reference,  // an address a page or style sheet uses
    StyleSheet, // a style sheet it loads (<link rel="stylesheet">, @import): its own links count
};

// One address as written in a page or style sheet.
struct LinkRef {
    QString url;          // as written, character references resolved
    qsizetype offset = 0; // byte offset of the address in the UTF-8 form of the text
    bool exact = true;    // the bytes at offset spell url itself (no references or escapes)
    LinkKind kind = LinkKind::Reference;
};

using LinkRefs = std::vector<LinkRef>;

} // namespace links
