#pragma once

// The RTF control words the reader acts on.

#include <QStringView>

namespace reference::rtf
{

enum class KeywordKind {
    Unknown,     // ignored
    Text,        // stands for one character (Keyword::ch)
    Paragraph,   // ends a paragraph
    Unicode,     // \uN
    UnicodeSkip, // \ucN
    ColorIndex,  // \cfN
    Plain,       // \plain
    Red,         // colour table entries
    Green,
    Blue,
    ColorTable, // \colortbl
    Binary,     // \binN: N bytes of raw data follow
    SkipGroup,  // a destination whose content is no text of the document
};

struct Keyword {
    KeywordKind kind = KeywordKind::Unknown;
    char16_t ch = 0;
};

// The meaning of a control word given by its letters (without the backslash and parameter).
Keyword classifyKeyword(QStringView name);

} // namespace reference::rtf
