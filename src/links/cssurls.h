#pragma once

#include "links/linkref.h"

#include <QByteArrayView>

// The addresses of a style sheet: url(…) values and @import strings.
namespace links
{

// The addresses in css (UTF-8), outside comments; offsets count from offsetBase. With exact
// false every address is placed at offsetBase and marked inexact (css is a decoded attribute
// value whose bytes are not the page's).
void appendCssUrls(QByteArrayView css, qsizetype offsetBase, bool exact, LinkRefs &out);

} // namespace links
