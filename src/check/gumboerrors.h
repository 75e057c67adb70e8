#pragma once

#include <gumbo.h>

#include <QString>

// libgumbo keeps the form of its parse errors out of its installed header; this is that form for
// the library's 0.10 series (the one Debian ships), so the errors can be told in Japanese.
namespace check::gumbo
{

enum ErrorType {
    Utf8Invalid,
    Utf8Truncated,
    Utf8Null,
    NumericRefNoDigits,
    NumericRefWithoutSemicolon,
    NumericRefInvalid,
    NamedRefWithoutSemicolon,
    NamedRefInvalid,
    TagStartsWithQuestion,
    TagEof,
    TagInvalid,
    CloseTagEmpty,
    CloseTagEof,
    CloseTagInvalid,
    ScriptEof,
    AttrNameEof,
    AttrNameInvalid,
    AttrDoubleQuoteEof,
    AttrSingleQuoteEof,
    AttrUnquotedEof,
    AttrUnquotedRightBracket,
    AttrUnquotedEquals,
    AttrAfterEof,
    AttrAfterInvalid,
    DuplicateAttr,
    SolidusEof,
    SolidusInvalid,
    DashesOrDoctype,
    CommentEof,
    CommentInvalid,
    CommentBangAfterDoubleDash,
    CommentDashAfterDoubleDash,
    CommentSpaceAfterDoubleDash,
    CommentEndBangEof,
    DoctypeEof,
    DoctypeInvalid,
    DoctypeSpace,
    DoctypeRightBracket,
    DoctypeSpaceOrRightBracket,
    DoctypeEnd,
    Parser,
    UnacknowledgedSelfClosingTag,
};

enum TokenType {
    TokenDoctype,
    TokenStartTag,
    TokenEndTag,
    TokenComment,
    TokenWhitespace,
    TokenCharacter,
    TokenNull,
    TokenEof
};

constexpr int InitialMode = 0;
constexpr int BeforeHtmlMode = 1;

struct DuplicateAttrError {
    const char *name;
    unsigned int originalIndex;
    unsigned int newIndex;
};

struct ParserError {
    int inputType; // TokenType
    GumboTag inputTag;
    int parserState;      // the insertion mode
    GumboVector tagStack; // of GumboTag stored by value
};

struct Error {
    int type; // ErrorType
    GumboSourcePosition position;
    const char *originalText;
    union {
        uint64_t codepoint;
        GumboStringPiece text;
        DuplicateAttrError duplicateAttr;
        ParserError parser;
    } v;
};

// The Japanese sentence for one of the parser's errors; source is the parsed UTF-8 text.
QString errorMessage(const Error &error, const char *sourceEnd);

} // namespace check::gumbo
