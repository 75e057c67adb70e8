#include "regexperror.h"

#include <pcre2.h>

namespace markup
{

namespace
{

QString patternSentence(int code)
{
    switch (code) {
    case PCRE2_ERROR_END_BACKSLASH:
        return QStringLiteral("「\\」で終わっています。");
    case PCRE2_ERROR_END_BACKSLASH_C:
        return QStringLiteral("「\\c」の後に英字がありません。");
    case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
        return QStringLiteral("繰り返し回数 {m,n} の m が n より大きくなっています。");
    case PCRE2_ERROR_QUANTIFIER_TOO_BIG:
        return QStringLiteral("繰り返し回数が大きすぎます。");
    case PCRE2_ERROR_QUANTIFIER_INVALID:
        return QStringLiteral("繰り返しの指定（*、+、?、{ }）の前に、繰り返すものがありません。");
    case PCRE2_ERROR_MISSING_SQUARE_BRACKET:
        return QStringLiteral("「[」を閉じる「]」がありません。");
    case PCRE2_ERROR_CLASS_RANGE_ORDER:
        return QStringLiteral("文字の範囲「-」の前後が逆の順になっています。");
    case PCRE2_ERROR_CLASS_INVALID_RANGE:
        return QStringLiteral("文字の範囲「-」の書き方が正しくありません。");
    case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS:
        return QStringLiteral("「(」を閉じる「)」がありません。");
    case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS:
        return QStringLiteral("「)」に対応する「(」がありません。");
    case PCRE2_ERROR_MISSING_COMMENT_CLOSING:
        return QStringLiteral("「(?#」を閉じる「)」がありません。");
    case PCRE2_ERROR_INVALID_AFTER_PARENS_QUERY:
        return QStringLiteral("「(?」の後の書き方が正しくありません。");
    case PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE:
    case PCRE2_ERROR_ZERO_RELATIVE_REFERENCE:
    case PCRE2_ERROR_BAD_RELATIVE_REFERENCE:
        return QStringLiteral("ないグループを参照しています。");
    case PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH:
    case PCRE2_ERROR_LOOKBEHIND_TOO_COMPLICATED:
        return QStringLiteral("後読み「(?<=」「(?<!」の中は、長さの決まった書き方にしてください。");
    case PCRE2_ERROR_PARENTHESES_NEST_TOO_DEEP:
    case PCRE2_ERROR_PARENTHESES_STACK_CHECK:
        return QStringLiteral("かっこの入れ子が深すぎます。");
    case PCRE2_ERROR_PATTERN_TOO_LARGE:
    case PCRE2_ERROR_INTERNAL_CODE_OVERFLOW:
    case PCRE2_ERROR_HEAP_FAILED:
        return QStringLiteral("正規表現が大きすぎます。");
    case PCRE2_ERROR_MISSING_NAME_TERMINATOR:
    case PCRE2_ERROR_INVALID_SUBPATTERN_NAME:
    case PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED:
    case PCRE2_ERROR_SUBPATTERN_NAME_TOO_LONG:
        return QStringLiteral("グループ名の書き方が正しくありません。");
    case PCRE2_ERROR_DUPLICATE_SUBPATTERN_NAME:
        return QStringLiteral("同じグループ名が二度使われています。");
    case PCRE2_ERROR_UNKNOWN_POSIX_CLASS:
    case PCRE2_ERROR_POSIX_CLASS_NOT_IN_CLASS:
        return QStringLiteral("「[:」と「:]」の書き方が正しくありません。");
    case PCRE2_ERROR_VERB_UNKNOWN:
        return QStringLiteral("「(*」で始まる指定は使えません。");
    case PCRE2_ERROR_UNICODE_DISALLOWED_CODE_POINT:
        return QStringLiteral("サロゲートの文字コードは、一つだけでは文字になりません。");
    case PCRE2_ERROR_UTF16_ERR1:
    case PCRE2_ERROR_UTF16_ERR2:
    case PCRE2_ERROR_UTF16_ERR3:
        return QStringLiteral("壊れた文字（対になっていないサロゲート）があります。");
    default:
        return QStringLiteral("この書き方は使えません（PCRE2 のエラー %1）。").arg(code);
    }
}

} // namespace

QString patternErrorReason(int code, qsizetype character)
{
    return QStringLiteral("正規表現の %1 文字目に誤りがあります。%2")
        .arg(character)
        .arg(patternSentence(code));
}

QString matchErrorReason(int code)
{
    switch (code) {
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
        return QStringLiteral("検索の手間が上限を超えたため、途中でやめました。"
                              "繰り返しの重なりが少ない正規表現にしてください。");
    case PCRE2_ERROR_NOMEMORY:
        return QStringLiteral("検索に使うメモリが足りません。");
    default:
        return QStringLiteral("検索を終えられませんでした（PCRE2 のエラー %1）。").arg(code);
    }
}

} // namespace markup
