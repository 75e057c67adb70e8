#include "check/gumboerrors.h"

#include <cstdint>

namespace check::gumbo
{

namespace
{

QString tagName(GumboTag tag)
{
    return QString::fromLatin1(gumbo_normalized_tagname(tag));
}

// The element name of the tag whose text starts at text ("<name" or "</name"), lower case.
QString nameAt(const char *text, const char *end, GumboTag fallback)
{
    if (text && text < end && *text == '<') {
        ++text;
        if (text < end && *text == '/')
            ++text;
        const char *start = text;
        while (text < end && *text != '>' && *text != '/' && *text != ' ' && *text != '\t' &&
               *text != '\n' && *text != '\r' && *text != '\f' && text - start < 64)
            ++text;
        if (text > start)
            return QString::fromUtf8(start, text - start).toLower();
    }
    return tagName(fallback);
}

// The innermost open element on the stack of a parser error that is worth naming: "" when there
// is none but html and body, "?" when its name is none the parser knows.
QString innermost(const ParserError &parser)
{
    for (unsigned int k = parser.tagStack.length; k > 0; --k) {
        const auto tag = GumboTag(reinterpret_cast<intptr_t>(parser.tagStack.data[k - 1]));
        if (tag == GUMBO_TAG_UNKNOWN)
            return QStringLiteral("?");
        if (tag != GUMBO_TAG_HTML && tag != GUMBO_TAG_BODY)
            return tagName(tag);
    }
    return {};
}

// "要素 <name>", or just "要素" for one whose name the parser does not know.
QString element(const QString &name)
{
    return name == u"?" ? QStringLiteral("要素") : QStringLiteral("要素 <%1>").arg(name);
}

bool onStack(const ParserError &parser, GumboTag tag)
{
    for (unsigned int k = 0; k < parser.tagStack.length; ++k)
        if (GumboTag(reinterpret_cast<intptr_t>(parser.tagStack.data[k])) == tag)
            return true;
    return false;
}

QString parserMessage(const Error &error, const char *end)
{
    const ParserError &p = error.v.parser;
    if (p.parserState == InitialMode && p.inputType != TokenDoctype)
        return QStringLiteral("文書型宣言（<!DOCTYPE html>）がありません。");
    const QString open = innermost(p);
    switch (p.inputType) {
    case TokenDoctype:
        if (p.parserState <= BeforeHtmlMode) // the first one, not a standard form
            return QStringLiteral(
                "古い形の文書型宣言です（今の HTML では <!DOCTYPE html> と書きます）。");
        return QStringLiteral("文書型宣言（DOCTYPE）は文書の先頭にだけ書けます。");
    case TokenEndTag: {
        const QString name = nameAt(error.originalText, end, p.inputTag);
        if (p.inputTag != GUMBO_TAG_UNKNOWN && onStack(p, p.inputTag) && !open.isEmpty() &&
            open != name)
            return QStringLiteral("終了タグ </%1> の前に、閉じられていない%2があります。")
                .arg(name, element(open));
        return QStringLiteral("終了タグ </%1> に対応する開始タグがありません。").arg(name);
    }
    case TokenStartTag: {
        const QString name = nameAt(error.originalText, end, p.inputTag);
        if (!open.isEmpty() && name == open)
            return QStringLiteral("要素 <%1> が閉じられないまま、次の <%1> が始まっています。")
                .arg(name);
        if (!open.isEmpty() && open != u"?")
            return QStringLiteral("開始タグ <%1> は、<%2> の中のこの位置には書けません。")
                .arg(name, open);
        return QStringLiteral("開始タグ <%1> はこの位置には書けません。").arg(name);
    }
    case TokenEof:
        if (!open.isEmpty())
            return QStringLiteral("%1が閉じられないまま、ファイルが終わっています。")
                .arg(element(open));
        return QStringLiteral("閉じられていない要素があるまま、ファイルが終わっています。");
    case TokenNull:
        return QStringLiteral("NUL 文字（U+0000）があります。");
    case TokenComment:
        return QStringLiteral("この位置にはコメントを書けません。");
    default:
        if (!open.isEmpty() && open != u"?")
            return QStringLiteral("<%1> の中のこの位置には文字を書けません。").arg(open);
        return QStringLiteral("この位置には文字を書けません。");
    }
}

QString refText(const Error &error)
{
    const GumboStringPiece &t = error.v.text;
    if (!t.data || t.length == 0 || t.length > 64)
        return {};
    return QString::fromUtf8(t.data, qsizetype(t.length));
}

} // namespace

QString errorMessage(const Error &error, const char *end)
{
    switch (error.type) {
    case Utf8Invalid:
    case Utf8Truncated:
        return QStringLiteral("文字として読めないバイトがあります。");
    case Utf8Null:
        return QStringLiteral("NUL 文字（U+0000）があります。");
    case NumericRefNoDigits:
        return QStringLiteral(
            "数値文字参照「&#」の後に数字がありません（「&」そのものは &amp;）。");
    case NumericRefWithoutSemicolon:
        return QStringLiteral("数値文字参照の終わりに「;」がありません。");
    case NumericRefInvalid:
        return QStringLiteral("数値文字参照の表す文字（U+%1）は HTML では使えません。")
            .arg(QString::number(error.v.codepoint, 16).toUpper().rightJustified(4, u'0'));
    case NamedRefWithoutSemicolon: {
        const QString ref = refText(error);
        return ref.isEmpty()
                   ? QStringLiteral("文字参照の終わりに「;」がありません。")
                   : QStringLiteral("文字参照「&%1」の終わりに「;」がありません。").arg(ref);
    }
    case NamedRefInvalid: {
        const QString ref = refText(error);
        return ref.isEmpty()
                   ? QStringLiteral("知られていない文字参照があります（「&」そのものは &amp;）。")
                   : QStringLiteral(
                         "知られていない文字参照「&%1」があります（「&」そのものは &amp;）。")
                         .arg(ref);
    }
    case TagStartsWithQuestion:
        return QStringLiteral("「<?」で始まるタグは HTML では使えません。");
    case TagEof:
    case CloseTagEof:
    case AttrNameEof:
    case AttrDoubleQuoteEof:
    case AttrSingleQuoteEof:
    case AttrUnquotedEof:
    case AttrAfterEof:
    case SolidusEof:
        return QStringLiteral("タグが閉じられないまま、ファイルが終わっています。");
    case TagInvalid:
        return QStringLiteral("「<」の後に要素名がありません（「<」そのものは &lt;）。");
    case CloseTagEmpty:
        return QStringLiteral("中身のない終了タグ「</>」があります。");
    case CloseTagInvalid:
        return QStringLiteral("「</」の後に要素名がありません。");
    case ScriptEof:
        return QStringLiteral("<script> が閉じられないまま、ファイルが終わっています。");
    case AttrNameInvalid:
        return QStringLiteral("属性名に使えない文字（「\"」「'」「<」「=」）があります。");
    case AttrUnquotedRightBracket:
        return QStringLiteral("「=」の後に属性の値がありません。");
    case AttrUnquotedEquals:
        return QStringLiteral(
            "引用符で囲まない属性の値に使えない文字（「\"」「'」「<」「=」「`」）があります。");
    case AttrAfterInvalid:
        return QStringLiteral("属性の値の後に空白がありません。");
    case DuplicateAttr:
        return QStringLiteral("属性「%1」が一つのタグに二度書かれています。")
            .arg(QString::fromUtf8(error.v.duplicateAttr.name ? error.v.duplicateAttr.name : ""));
    case SolidusInvalid:
        return QStringLiteral("タグの中の「/」の後に「>」がありません。");
    case DashesOrDoctype:
        return QStringLiteral("「<!」の後がコメントの「--」でも DOCTYPE でもありません。");
    case CommentEof:
    case CommentEndBangEof:
        return QStringLiteral("コメントが閉じられないまま、ファイルが終わっています。");
    case CommentInvalid:
        return QStringLiteral("コメントの書き方が正しくありません（<!-- … --> と書きます）。");
    case CommentBangAfterDoubleDash:
        return QStringLiteral("コメントの終わりが「--!>」になっています。");
    case CommentDashAfterDoubleDash:
    case CommentSpaceAfterDoubleDash:
        return QStringLiteral("コメントの中に「--」があります。");
    case DoctypeEof:
        return QStringLiteral("文書型宣言が閉じられないまま、ファイルが終わっています。");
    case DoctypeInvalid:
    case DoctypeSpace:
    case DoctypeRightBracket:
    case DoctypeSpaceOrRightBracket:
    case DoctypeEnd:
        return QStringLiteral("文書型宣言（DOCTYPE）の書き方が正しくありません。");
    case Parser:
        return parserMessage(error, end);
    case UnacknowledgedSelfClosingTag:
        return QStringLiteral("空要素でない <%1> に「/>」が付いています（これでは閉じません）。")
            .arg(nameAt(error.originalText, end, error.v.parser.inputTag));
    default:
        return QStringLiteral("HTML の書き方に誤りがあります。");
    }
}

} // namespace check::gumbo
