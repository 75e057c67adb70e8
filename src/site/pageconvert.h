#pragma once

#include "site/pagecodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// One page converted to another encoding so that a browser shows the very same characters: its
// charset declaration rewritten to match, its line breaks kept, and each character the new
// encoding cannot hold written as a numeric character reference where the browser reads one.
namespace site
{

// A character the target encoding cannot hold.
struct UnwritableChar {
    qsizetype line = 1;   // from 1
    qsizetype column = 1; // from 1, in characters
    char32_t character = 0;
    QString reference;     // "&#x301C;"
    bool referable = true; // in text or an attribute value, where the browser reads a reference
};

struct PageConversion {
    enum class Kind { Convert, AlreadyDone, Skip };
    Kind kind = Kind::Skip;
    QString skipReason;
    PageForm from;
    PageForm to;
    QByteArray bytes;     // the converted page
    QString expectedText; // what the browser reads from bytes
    bool declarationAdded = false;
    std::vector<UnwritableChar> unwritable; // written as references (all referable, for Convert)
};

// The encodings a folder converts to: Shift_JIS, EUC-JP or UTF-8.
bool isConversionTarget(PageEncoding encoding);
// The target a name on the command line means ("UTF-8", "Shift_JIS", "EUC-JP", or any label a
// browser knows for them), or nullopt.
std::optional<PageEncoding> conversionTargetOfName(const QString &name);
// "UTF-8", "Shift_JIS" or "EUC-JP".
QByteArray declarationName(PageEncoding encoding);

// The conversion of a page's bytes to target. The page is read as the folder search reads it: a
// page that would not be written back as the same bytes, or whose declaration no browser would
// find after the conversion, is skipped, as is one with a character the target cannot hold
// where a reference would not be read (in a script, a style sheet, a comment, a tag's name).
PageConversion convertPage(QByteArrayView bytes, PageEncoding target);

} // namespace site
