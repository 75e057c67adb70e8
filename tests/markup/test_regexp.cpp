// The regular-expression object: ECMAScript pattern meaning, the replacement syntax, errors and
// very long subjects.
#include "testenv.h"

#include "markup/regexp.h"

using namespace Qt::Literals::StringLiterals;
using markup::RegExp;
using markup::RegExpError;

namespace
{

QString replaced(const QString &pattern, const QString &subject, const QString &replacement,
                 bool global = true, bool ignoreCase = false)
{
    RegExp re;
    re.Pattern = pattern;
    re.Global = global;
    re.IgnoreCase = ignoreCase;
    auto result = re.Replace(subject, replacement);
    if (auto *error = std::get_if<RegExpError>(&result))
        return QStringLiteral("ERROR: ") + error->reason;
    return std::get<QString>(result);
}

QString reasonOf(const std::variant<QString, RegExpError> &result)
{
    const auto *error = std::get_if<RegExpError>(&result);
    return error ? error->reason : QString();
}

} // namespace

class TestRegExp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void patternSyntax_data();
    void patternSyntax();
    void replacementSyntax_data();
    void replacementSyntax();
    void globalAndEmptyMatches_data();
    void globalAndEmptyMatches();
    void loneSurrogates();
    void rejectedPatternGivesReason_data();
    void rejectedPatternGivesReason();
    void recompilesWhenPatternOrCaseChanges();
    void executeFindsFirstMatchFrom();
    void engineLimitIsAnError();
    void longCommentMatches();
    void longUnterminatedCommentReturns();
};

void TestRegExp::patternSyntax_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("expected"); // every match replaced by "[$&]"

    const auto row = [](const char *name, const QString &p, bool ic, const QString &s,
                        const QString &e) { QTest::newRow(name) << p << ic << s << e; };
    row("class with range and parens", u"<[^(!--)]"_s, false, u"<a <! <- <( <) <."_s,
        u"[<a] <! <- <( <) [<.]"_s);
    row("lazy across lines", u"<!--[\\s\\S]*?-->"_s, false, u"<!--a\r\n-->b-->"_s,
        u"[<!--a\r\n-->]b-->"_s);
    row("greedy", u"a.*b"_s, false, u"aXbYb"_s, u"[aXbYb]"_s);
    row("dot stops at line ends", u"a.b"_s, false, u"a\nb a\rb a\u2028b axb"_s,
        u"a\nb a\rb a\u2028b [axb]"_s);
    row("empty alternative", u"x(y|)z"_s, false, u"xz xyz"_s, u"[xz] [xyz]"_s);
    row("caret only at start", u"^a"_s, false, u"a\na"_s, u"[a]\na"_s);
    row("dollar only at end", u"a$"_s, false, u"a\na\n"_s, u"a\na\n"_s);
    row("dollar at very end", u"a$"_s, false, u"a\na"_s, u"a\n[a]"_s);
    row("look-ahead", u"a(?=b)"_s, false, u"ab ac"_s, u"[a]b ac"_s);
    row("negative look-ahead", u"a(?!b)"_s, false, u"ab ac"_s, u"ab [a]c"_s);
    row("back-reference", u"(\\w)\\1"_s, false, u"aa ab bb"_s, u"[aa] ab [bb]"_s);
    row("unset back-reference matches empty", u"(a)?b\\1"_s, false, u"b"_s, u"[b]"_s);
    row("\\uHHHH", u"\\u3042"_s, false, u"かあ"_s, u"か[あ]"_s);
    row("\\xHH", u"\\x41"_s, false, u"BA"_s, u"B[A]"_s);
    row("\\u without digits is u", u"\\u"_s, false, u"au"_s, u"a[u]"_s);
    row("\\d is ASCII only", u"\\d"_s, false, u"1１"_s, u"[1]１"_s);
    row("\\w is ASCII only", u"\\w+"_s, false, u"ab_9あ"_s, u"[ab_9]あ"_s);
    row("\\s includes ideographic space", u"\\s"_s, false, u"a\u3000b\u00a0c"_s,
        u"a[\u3000]b[\u00a0]c"_s);
    row("\\S in class", u"[\\S]"_s, false, u" \u3000x"_s, u" \u3000[x]"_s);
    row("\\W in class", u"[\\W]"_s, true, u"k-"_s, u"k[-]"_s);
    row("\\b is an ASCII word boundary", u"\\bab\\b"_s, false, u"ab xab ab"_s, u"[ab] xab [ab]"_s);
    row("[\\b] is backspace", u"[\\b]"_s, false, u"b\bb"_s, u"b[\b]b"_s);
    row("\\v is vertical tab", u"\\v"_s, false, u"\n\v"_s, u"\n[\v]"_s);
    row("identity escape \\A", u"\\A"_s, false, u"xA"_s, u"x[A]"_s);
    row("bracket inside class", u"[[:]+"_s, false, u"a[:b"_s, u"a[[:]b"_s);
    row("empty class never matches", u"a[]"_s, false, u"a"_s, u"a"_s);
    row("[^] matches anything", u"a[^]"_s, false, u"a\n"_s, u"[a\n]"_s);
    row("ignore case ASCII", u"abc"_s, true, u"ABC abc"_s, u"[ABC] [abc]"_s);
    row("ignore case full width", u"ａｂ"_s, true, u"ＡＢ"_s, u"[ＡＢ]"_s);
    row("case kept", u"abc"_s, false, u"ABC abc"_s, u"ABC [abc]"_s);
    // A character beyond U+FFFF is one character.
    row("dot matches 𠮷 whole", u"a.b"_s, false, u"a𠮷b a𠮷𠮷b"_s, u"[a𠮷b] a𠮷𠮷b"_s);
    row("negated sets match 𠮷 whole", u"^[^a]\\D\\W\\S[\\S][^\\d]$"_s, false, u"𠮷𠮷𠮷𠮷𠮷𠮷"_s,
        u"[𠮷𠮷𠮷𠮷𠮷𠮷]"_s);
    row("[^] matches 𠮷 whole", u"[^]"_s, false, u"𠮷"_s, u"[𠮷]"_s);
    row("surrogate pair escape names 𠮷", u"\\uD842\\uDFB7|[\\uD842\\uDFB7]"_s, false, u"x𠮷"_s,
        u"x[𠮷]"_s);
    row("counted as one", u"^.{2}$"_s, false, u"𠮷x"_s, u"[𠮷x]"_s);
    row("UTF switch changes nothing", u"(*UTF)a"_s, false, u"ba"_s, u"b[a]"_s);
}

void TestRegExp::patternSyntax()
{
    QFETCH(QString, pattern);
    QFETCH(bool, ignoreCase);
    QFETCH(QString, subject);
    QFETCH(QString, expected);
    QCOMPARE(replaced(pattern, subject, u"[$&]"_s, true, ignoreCase), expected);
}

void TestRegExp::replacementSyntax_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");

    QTest::newRow("groups") << u"(a)(b)"_s << u"xaby"_s << u"$2$1"_s << u"xbay"_s;
    QTest::newRow("whole") << u"b"_s << u"abc"_s << u"<$&>"_s << u"a<b>c"_s;
    QTest::newRow("before") << u"b"_s << u"abc"_s << u"[$`]"_s << u"a[a]c"_s;
    QTest::newRow("after") << u"b"_s << u"abc"_s << u"[$']"_s << u"a[c]c"_s;
    QTest::newRow("dollar") << u"b"_s << u"abc"_s << u"$$1"_s << u"a$1c"_s;
    QTest::newRow("backslash literal")
        << u"(b)"_s << u"abc"_s << u"\\cf1 \\$1\\n"_s << u"a\\cf1 \\b\\nc"_s;
    QTest::newRow("missing group literal") << u"(b)"_s << u"abc"_s << u"$2"_s << u"a$2c"_s;
    QTest::newRow("$0 literal") << u"(b)"_s << u"abc"_s << u"$0"_s << u"a$0c"_s;
    QTest::newRow("one digit when two name nothing")
        << u"(b)"_s << u"abc"_s << u"$10"_s << u"ab0c"_s;
    QTest::newRow("$01") << u"(b)"_s << u"abc"_s << u"$01"_s << u"abc"_s;
    QTest::newRow("two digits when group exists")
        << u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)"_s << u"abcdefghijk"_s << u"$11$10$1"_s << u"kja"_s;
    QTest::newRow("unmatched group empty") << u"(x)?b"_s << u"abc"_s << u"[$1]"_s << u"a[]c"_s;
    QTest::newRow("trailing dollar") << u"b"_s << u"abc"_s << u"$"_s << u"a$c"_s;
    QTest::newRow("dollar then letter") << u"b"_s << u"abc"_s << u"$x"_s << u"a$xc"_s;
}

void TestRegExp::replacementSyntax()
{
    QFETCH(QString, pattern);
    QFETCH(QString, subject);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(replaced(pattern, subject, replacement), expected);
}

void TestRegExp::globalAndEmptyMatches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("global");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("expected"); // replacement "-"

    QTest::newRow("global") << u"a+"_s << true << u"aa b aaa"_s << u"- b -"_s;
    QTest::newRow("first only") << u"a+"_s << false << u"aa b aaa"_s << u"- b aaa"_s;
    QTest::newRow("empty matches between") << u"x*"_s << true << u"abc"_s << u"-a-b-c-"_s;
    QTest::newRow("empty after non-empty") << u"a*"_s << true << u"aab"_s << u"--b-"_s;
    QTest::newRow("lazy empty") << u"a*?"_s << true << u"aa"_s << u"-a-a-"_s;
    QTest::newRow("empty subject") << u"x*"_s << true << QString() << u"-"_s;
    QTest::newRow("no match") << u"q"_s << true << u"abc"_s << u"abc"_s;
    QTest::newRow("empty matches between characters, never inside one")
        << u"x*"_s << true << u"𠮷a𠮷"_s << u"-𠮷-a-𠮷-"_s;
    QTest::newRow("look-behind sees earlier text")
        << u"(?<=a)b"_s << true << u"abab"_s << u"a-a-"_s;
}

void TestRegExp::globalAndEmptyMatches()
{
    QFETCH(QString, pattern);
    QFETCH(bool, global);
    QFETCH(QString, subject);
    QFETCH(QString, expected);
    QCOMPARE(replaced(pattern, subject, u"-"_s, global), expected);
}

void TestRegExp::loneSurrogates()
{
    const QString high(QChar(0xD800));
    const QString low(QChar(0xDC00));
    // A lone surrogate in the subject is no error; no match reaches into it, so it stays as it
    // is, and the text around it is searched as usual.
    const QString subject = u"a"_s + high + u"b"_s + low + high + low + u"c"_s;
    QCOMPARE(replaced(u"b"_s, subject, u"B"_s), u"a"_s + high + u"B"_s + low + high + low + u"c"_s);
    QCOMPARE(replaced(u"."_s, high + low, u"x"_s), u"x"_s);
    QCOMPARE(replaced(u"[\\s\\S]"_s, low + u"a"_s + high, u"x"_s), low + u"x"_s + high);
    QCOMPARE(replaced(u"x*"_s, u"a"_s + low, u"-"_s), u"-a-"_s + low + u"-"_s);
    QCOMPARE(replaced(u"[\\s\\S]*"_s, subject, u"x"_s, false),
             u"x"_s + high + u"b"_s + low + high + low + u"c"_s);
    // Neither a match nor a replacement leaves half a pair behind.
    const QString pair = u"𠮷"_s;
    QCOMPARE(replaced(u"[\\s\\S]"_s, pair, u"$&$&"_s), pair + pair);
    QCOMPARE(replaced(u"(?=.)"_s, pair + pair, u"|"_s), u"|"_s + pair + u"|"_s + pair);
    QVERIFY(replaced(u"a"_s, u"a"_s, high).startsWith(u"ERROR: 置換後の文字列に、壊れた文字"_s));
}

void TestRegExp::rejectedPatternGivesReason_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("reason");
    // The character is counted in the pattern as typed, a character beyond U+FFFF as one.
    QTest::newRow("unclosed group")
        << u"(a"_s << u"正規表現の 3 文字目に誤りがあります。「(」を閉じる「)」がありません。"_s;
    QTest::newRow("unclosed group after translated escapes and 𠮷")
        << u"\\d𠮷\\s(a"_s
        << u"正規表現の 8 文字目に誤りがあります。「(」を閉じる「)」がありません。"_s;
    QTest::newRow("unmatched )") << u"\\w)"_s
                                 << u"正規表現の 3 文字目に誤りがあります。"
                                    u"「)」に対応する「(」がありません。"_s;
    QTest::newRow("nothing to repeat")
        << u"*a"_s
        << u"正規表現の 1 文字目に誤りがあります。繰り返しの指定（*、+、?、{ }）の前に、"
           u"繰り返すものがありません。"_s;
    QTest::newRow("unclosed class")
        << u"[a"_s << u"正規表現の 3 文字目に誤りがあります。「[」を閉じる「]」がありません。"_s;
    QTest::newRow("trailing backslash")
        << u"a\\"_s << u"正規表現の 3 文字目に誤りがあります。「\\」で終わっています。"_s;
    QTest::newRow("range out of order")
        << u"[z-a]"_s
        << u"正規表現の 4 文字目に誤りがあります。文字の範囲「-」の前後が逆の順になっています。"_s;
    QTest::newRow("lone surrogate escape")
        << u"a\\uD800"_s
        << u"正規表現の 2 文字目に誤りがあります。サロゲートの文字コードは、一つだけでは文字に"
           u"なりません。"_s;
    QTest::newRow("lone surrogate") << u"a"_s + QChar(0xDC00)
                                    << u"正規表現の 2 文字目に誤りがあります。壊れた文字"
                                       u"（対になっていないサロゲート）があります。"_s;
}

void TestRegExp::rejectedPatternGivesReason()
{
    QFETCH(QString, pattern);
    QFETCH(QString, reason);
    RegExp re;
    re.Pattern = pattern;
    auto result = re.Replace(u"abc"_s, u"x"_s);
    QVERIFY(std::holds_alternative<RegExpError>(result));
    QCOMPARE(std::get<RegExpError>(result).reason, reason);
    QVERIFY(std::holds_alternative<RegExpError>(re.Test(u"abc"_s)));
}

void TestRegExp::recompilesWhenPatternOrCaseChanges()
{
    RegExp re;
    re.Global = true;
    re.Pattern = u"a"_s;
    QCOMPARE(std::get<QString>(re.Replace(u"aA"_s, u"x"_s)), u"xA"_s);
    re.IgnoreCase = true;
    QCOMPARE(std::get<QString>(re.Replace(u"aA"_s, u"x"_s)), u"xx"_s);
    re.Pattern = u"(b"_s;
    QVERIFY(std::holds_alternative<RegExpError>(re.Replace(u"b"_s, u"x"_s)));
    re.Pattern = u"(b)"_s;
    QCOMPARE(std::get<QString>(re.Replace(u"aBc"_s, u"[$1]"_s)), u"a[B]c"_s);
    QCOMPARE(std::get<int>(re.groupCount()), 1);
}

void TestRegExp::executeFindsFirstMatchFrom()
{
    RegExp re;
    re.Pattern = u"(a)(x)?b"_s;
    const QString subject = u"ab cab"_s;
    auto first = std::get<std::optional<markup::RegExpMatch>>(re.Execute(subject));
    QVERIFY(first);
    QCOMPARE(first->whole.start, 0);
    QCOMPARE(first->whole.length, 2);
    QCOMPARE(first->captured(subject, 1), u"a"_s);
    QCOMPARE(first->groups.at(1).start, -1);
    auto second = std::get<std::optional<markup::RegExpMatch>>(re.Execute(subject, 1));
    QVERIFY(second);
    QCOMPARE(second->whole.start, 4);
    QVERIFY(!std::get<std::optional<markup::RegExpMatch>>(re.Execute(subject, 5)));
    QVERIFY(!std::get<std::optional<markup::RegExpMatch>>(re.Execute(subject, 99)));
    QCOMPARE(std::get<bool>(re.Test(subject, 4)), true);
}

void TestRegExp::engineLimitIsAnError()
{
    // Exponential backtracking runs into the match limit: an error, never a partial result.
    RegExp re;
    re.Pattern = u"(a+)+$"_s;
    auto result = re.Replace(QString(60, u'a') + u"b"_s, u"x"_s);
    QVERIFY(std::holds_alternative<RegExpError>(result));
    const QString reason = std::get<RegExpError>(result).reason;
    QVERIFY2(reason.startsWith(u"検索の手間が上限を超えた"_s), qPrintable(reason));
}

void TestRegExp::longCommentMatches()
{
    const QString body = QString(5'000'000, u'x') + u"<p>\r\n"_s.repeated(1'000'000);
    const QString subject = u"a<!--"_s + body + u"//-->b"_s;
    RegExp re;
    re.Global = true;
    re.Pattern = u"<!--([\\s\\S]*?)(//|)-->"_s;
    auto result = re.Replace(subject, u"[$2]"_s);
    QVERIFY2(std::holds_alternative<QString>(result), qPrintable(reasonOf(result)));
    QCOMPARE(std::get<QString>(result), u"a[//]b"_s);
}

void TestRegExp::longUnterminatedCommentReturns()
{
    // 10 MB after an opening "<!--" that is never closed, with tags and line breaks in it.
    const QString subject = u"<p>start<!--"_s + u"<td>セル</td>\r\n"_s.repeated(800'000);
    RegExp re;
    re.Global = true;
    re.Pattern = u"<!--([\\s\\S]*?)(//|)-->"_s;
    auto result = re.Replace(subject, u"x"_s);
    QVERIFY2(std::holds_alternative<QString>(result), qPrintable(reasonOf(result)));
    QVERIFY(std::get<QString>(result) == subject);

    // Many openings, none closed: the engine must not rescan the rest from each of them.
    const QString unclosed = u"<!--<p>"_s.repeated(1'400'000);
    auto many = re.Replace(unclosed, u"x"_s);
    QVERIFY2(std::holds_alternative<QString>(many), qPrintable(reasonOf(many)));
    QVERIFY(std::get<QString>(many) == unclosed);
}

TAVLEN_TEST_MAIN(TestRegExp)
#include "test_regexp.moc"
