// The colour table and the colour switches put into the RTF: fixed examples, and the regular-
// expression replacements and the scanning fast path against a plain reference on random text.
#include "reference/regexpcolouring.h"
#include "testenv.h"

#include "markup/backgroundcolouring.h"
#include "markup/markupscan.h"
#include "platform/colorrun.h"
#include "platform/richtextbox.h"
#include "reference/colorize.h"
#include "reference/colortable.h"
#include "reference/rtf/rtf.h"

#include <QRandomGenerator>
#include <QSignalSpy>

#include <algorithm>
#include <functional>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace
{

const QString kRtfHead = u"{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fmodern MS Gothic;}}"
                         u"\r\n{\\colortbl ;\\red0\\green0\\blue0;}\r\n\\viewkind4\\pard\\f0 "_s;
const QString kRtfTail = u"\\par\r\n}\r\n"_s;
const QString kDefaultTable =
    u"{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue128;\\red0\\green128\\blue0;}"_s;

QString colorizedBody(const QString &body)
{
    const QString rtf = reference::ColorizeRtf(kRtfHead + body + kRtfTail, 0, 0x800000, 0x8000);
    const qsizetype start = rtf.indexOf(u"\\f0 "_s) + 4;
    if (!rtf.endsWith(kRtfTail) || start < 4)
        return u"BROKEN: "_s + rtf;
    return rtf.mid(start, rtf.size() - kRtfTail.size() - start);
}

QString viaRegExp(const QString &text)
{
    auto result = reference::markTagsAndCommentsWithRegExp(text);
    if (auto *error = std::get_if<markup::RegExpError>(&result))
        return u"ERROR: "_s + error->reason;
    return std::get<QString>(result);
}

// Reference: each pattern written out as a match test at one position, tried at every position
// from left to right as a global replacement does.
struct RefMatch {
    qsizetype end;
    QString text;
};
using RefMatcher = std::function<std::optional<RefMatch>(const QString &, qsizetype)>;

bool inClassParenRange(QChar c, char16_t low, char16_t high)
{
    return c == u'(' || c == u')' || (c.unicode() >= low && c.unicode() <= high);
}

std::optional<RefMatch> tagStartAt(const QString &s, qsizetype k)
{
    if (k + 1 < s.size() && s[k] == u'<' && !inClassParenRange(s[k + 1], u'!', u'-'))
        return RefMatch{k + 2, u"\\cf1 <"_s + s[k + 1]};
    return std::nullopt;
}

std::optional<RefMatch> tagEndAt(const QString &s, qsizetype k)
{
    if (k + 1 < s.size() && s[k + 1] == u'>' && !inClassParenRange(s[k], u'(', u'-'))
        return RefMatch{k + 2, s[k] + u">\\cf0 "_s};
    return std::nullopt;
}

std::optional<RefMatch> commentAt(const QString &s, qsizetype k)
{
    if (QStringView(s).mid(k, 4) != u"<!--")
        return std::nullopt;
    for (qsizetype p = k + 4; p <= s.size(); ++p) { // lazy: shortest body first
        const QString body = s.mid(k + 4, p - k - 4);
        if (QStringView(s).mid(p, 5) == u"//-->")
            return RefMatch{p + 5, u"\\cf2 <!--"_s + body + u"\\cf2 //-->\\cf0 "_s};
        if (QStringView(s).mid(p, 3) == u"-->")
            return RefMatch{p + 3, u"\\cf2 <!--"_s + body + u"\\cf2 -->\\cf0 "_s};
    }
    return std::nullopt;
}

QString referenceReplace(const QString &s, const RefMatcher &matchAt)
{
    QString out;
    qsizetype copied = 0;
    for (qsizetype k = 0; k < s.size();) {
        if (auto m = matchAt(s, k)) {
            out += s.mid(copied, k - copied) + m->text;
            copied = k = m->end;
        } else {
            ++k;
        }
    }
    return out + s.mid(copied);
}

QString referenceMarkup(const QString &s)
{
    return referenceReplace(referenceReplace(referenceReplace(s, tagStartAt), tagEndAt), commentAt);
}

QString randomMarkup(QRandomGenerator &rng, int length)
{
    static const QStringList pieces = {u"<"_s,    u">"_s,   u"!"_s,  u"-"_s,   u"/"_s,
                                       u"("_s,    u")"_s,   u"a"_s,  u"\n"_s,  u" "_s,
                                       u"<!--"_s, u"-->"_s, u"//"_s, u"<p>"_s, u"->"_s};
    QString s;
    while (s.size() < length)
        s += pieces.at(rng.bounded(qsizetype(pieces.size())));
    return s;
}

// Plain text with the characters that the RTF writes as escapes or control words, next to the
// markup characters.
QString randomPlainText(QRandomGenerator &rng, int length)
{
    static const QStringList pieces = {
        u"<"_s,      u">"_s,      u"!"_s,      u"-"_s,          u"/"_s,      u"("_s,  u")"_s,
        u"a"_s,      u"\u2029"_s, u" "_s,      u"<!--"_s,       u"-->"_s,    u"//"_s, u"<p>"_s,
        u"->"_s,     u"\t"_s,     u"\\"_s,     u"{"_s,          u"}"_s,      u"日"_s, u"ｱ"_s,
        u"\u2028"_s, u"\x01"_s,   u"\u00a0"_s, u"\U0001F600"_s, u"\u8000"_s, u"?"_s,  u"0"_s};
    QString s;
    while (s.size() < length)
        s += pieces.at(rng.bounded(qsizetype(pieces.size())));
    return s;
}

// The colours of the text after writing it as the editor's RTF, colouring that and reading it
// back, as runs of colour indexes.
std::vector<markup::MarkupRun> runsThroughRtf(const QString &text)
{
    const QRgb colours[3] = {qRgb(1, 0, 0), qRgb(2, 0, 0), qRgb(3, 0, 0)};
    const QString rtf =
        reference::rtf::write(text, {}, qRgb(9, 9, 9), u"ＭＳ ゴシック<!--"_s, 10.5);
    auto coloured = reference::ColorizeRtf(rtf, 1, 2, 3);
    std::vector<markup::MarkupRun> runs;
    for (const platform::ColorRun &r : reference::rtf::read(coloured, qRgb(9, 9, 9)).runs)
        runs.push_back(
            {r.start, r.length, int(std::find(colours, colours + 3, r.color) - colours)});
    return runs;
}

} // namespace

class TestColorize : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void makeColorTable_data();
    void makeColorTable();
    void colorTableReplaced_data();
    void colorTableReplaced();
    void body_data();
    void body();
    void eachStepMatchesReference();
    void scanningMatchesRegExpOnRandomText();
    void runsFromTextMatchRtfRoundTrip_data();
    void runsFromTextMatchRtfRoundTrip();
    void runsFromTextMatchRtfOnRandomText();
    void longUnterminatedComment();
    void manyUnclosedCommentsStayLinear();
    void aBigPageEndsWithTheColoursOfItsTextAsItIsThen();
};

void TestColorize::makeColorTable_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<bool>("first");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tag default") << 0x800000u << false << u";\\red0\\green0\\blue128"_s;
    QTest::newRow("red first") << 0x0000FFu << true << u"{\\colortbl\\red255\\green0\\blue0"_s;
    QTest::newRow("black first") << 0u << true << u"{\\colortbl\\red0\\green0\\blue0"_s;
    QTest::newRow("comment default") << 0x8000u << false << u";\\red0\\green128\\blue0"_s;
    QTest::newRow("white") << 0xFFFFFFu << false << u";\\red255\\green255\\blue255"_s;
    QTest::newRow("high byte dropped") << 0x12345678u << false << u";\\red120\\green86\\blue52"_s;
}

void TestColorize::makeColorTable()
{
    QFETCH(quint32, colour);
    QFETCH(bool, first);
    QFETCH(QString, expected);
    QCOMPARE(reference::MakeColorTable(colour, first), expected);
}

void TestColorize::colorTableReplaced_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("editor table") << u"{\\rtf1{\\colortbl ;\\red0\\green0\\blue0;}x}"_s
                                  << u"{\\rtf1"_s + kDefaultTable + u"x}"_s;
    QTest::newRow("only the first")
        << u"{\\colortbl;}{\\colortbl;}"_s << kDefaultTable + u"{\\colortbl;}"_s;
    QTest::newRow("no table") << u"{\\rtf1 <p>}"_s << u"{\\rtf1 \\cf1 <p>\\cf0 }"_s;
    QTest::newRow("unclosed table") << u"{\\rtf1{\\colortbl;"_s << u"{\\rtf1{\\colortbl;"_s;
    QTest::newRow("tag right before table")
        << u"<{\\colortbl;}>"_s << u"\\cf1 <"_s + kDefaultTable + u">\\cf0 "_s;
    QTest::newRow("table holding markup")
        << u"{\\colortbl<b>-;}<!--x-->"_s << kDefaultTable + u"\\cf2 <!--x\\cf2 -->\\cf0 "_s;
    QTest::newRow("case differs") << u"{\\COLORTBL;}"_s << u"{\\COLORTBL;}"_s;
}

void TestColorize::colorTableReplaced()
{
    QFETCH(QString, rtf);
    QFETCH(QString, expected);
    auto result = reference::ColorizeRtf(rtf, 0, 0x800000, 0x8000);
    QCOMPARE(result, expected);
}

void TestColorize::body_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tags") << u"<p>hello</p>"_s << u"\\cf1 <p>\\cf0 hello\\cf1 </p>\\cf0 "_s;
    QTest::newRow("comment") << u"<!-- note -->"_s << u"\\cf2 <!-- note \\cf2 -->\\cf0 "_s;
    QTest::newRow("script comment end") << u"<!-- x //-->"_s << u"\\cf2 <!-- x \\cf2 //-->\\cf0 "_s;
    QTest::newRow("doctype") << u"<!DOCTYPE html>"_s << u"<!DOCTYPE html>\\cf0 "_s;
    QTest::newRow("arrow") << u"a->b"_s << u"a->b"_s;
    QTest::newRow("paren") << u"x)>"_s << u"x)>"_s;
    QTest::newRow("multi-line comment")
        << u"<!--\\par\r\n<b>x</b>\\par\r\n-->"_s
        << u"\\cf2 <!--\\par\r\n\\cf1 <b>\\cf0 x\\cf1 </b>\\cf0 \\par\r\n\\cf2 -->\\cf0 "_s;
    QTest::newRow("unterminated comment") << u"<!-- a <i>"_s << u"<!-- a \\cf1 <i>\\cf0 "_s;
    QTest::newRow("second < not marked") << u"<<a"_s << u"\\cf1 <<a"_s;
    QTest::newRow("second > not marked") << u"a>>"_s << u"a>\\cf0 >"_s;
    QTest::newRow("empty comment") << u"<!---->"_s << u"\\cf2 <!--\\cf2 -->\\cf0 "_s;
    QTest::newRow("comment needs four") << u"<!-->x-->"_s << u"\\cf2 <!-->x\\cf2 -->\\cf0 "_s;
    QTest::newRow("escaped text") << u"\\'82\\'a0<br>"_s << u"\\'82\\'a0\\cf1 <br>\\cf0 "_s;
}

void TestColorize::body()
{
    QFETCH(QString, body);
    QFETCH(QString, expected);
    QCOMPARE(colorizedBody(body), expected);
    QCOMPARE(viaRegExp(body), expected);
}

void TestColorize::eachStepMatchesReference()
{
    QRandomGenerator rng(20240601);
    const RefMatcher matchers[3] = {tagStartAt, tagEndAt, commentAt};
    const std::function<QString(const QString &)> scans[3] = {
        markup::markTagStarts, markup::markTagEnds, markup::markComments};
    for (int round = 0; round < 1500; ++round) {
        const QString s = randomMarkup(rng, int(rng.bounded(40)));
        for (int step = 0; step < 3; ++step) {
            markup::RegExp re;
            re.Global = true;
            re.Pattern = reference::kMarkupReplacements[step].pattern.toString();
            auto viaRe = re.Replace(s, reference::kMarkupReplacements[step].replacement.toString());
            const QString expected = referenceReplace(s, matchers[step]);
            QVERIFY2(std::holds_alternative<QString>(viaRe), qPrintable(s));
            QCOMPARE(std::get<QString>(viaRe), expected);
            QCOMPARE(scans[step](s), expected);
        }
    }
}

void TestColorize::scanningMatchesRegExpOnRandomText()
{
    QRandomGenerator rng(7);
    for (int round = 0; round < 1500; ++round) {
        const QString s = randomMarkup(rng, int(rng.bounded(120)));
        const QString expected = referenceMarkup(s);
        QCOMPARE(viaRegExp(s), expected);
        QCOMPARE(markup::markTagsAndComments(s), expected);
        // With a colour table somewhere in the middle, swapped while marking.
        const qsizetype cut = rng.bounded(s.size() + 1);
        auto colored = reference::ColorizeRtf(s.left(cut) + u"{\\colortbl ;}"_s + s.mid(cut), 0,
                                              0x800000, 0x8000);
        QCOMPARE(colored, viaRegExp(s.left(cut) + kDefaultTable + s.mid(cut)));
    }
}

void TestColorize::runsFromTextMatchRtfRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("tags") << u"<p>hello</p>"_s;
    QTest::newRow("< last") << u"a<"_s;
    QTest::newRow("> first") << u">a"_s;
    QTest::newRow(">> first") << u">>a"_s;
    QTest::newRow("< before a line break") << u"<\u2029p>"_s;
    QTest::newRow("> after kanji") << u"<p日>x"_s;
    QTest::newRow("> after backslash") << u"<p\\>x"_s;
    QTest::newRow("comment then tag") << u"<!-- a --><b>x"_s;
    QTest::newRow("comment then comment") << u"<!--a--><!--b-->c"_s;
    QTest::newRow("tag inside comment") << u"<!-- <b>x</b> //-->y"_s;
    QTest::newRow("unclosed comment") << u"<!-- <i>"_s;
    QTest::newRow("negative \\u before >") << u"x\uffff>y"_s;
}

void TestColorize::runsFromTextMatchRtfRoundTrip()
{
    QFETCH(QString, text);
    QCOMPARE(markup::markupRuns(text), runsThroughRtf(text));
}

void TestColorize::runsFromTextMatchRtfOnRandomText()
{
    QRandomGenerator rng(16);
    for (int round = 0; round < 3000; ++round) {
        const QString s = randomPlainText(rng, int(rng.bounded(60)));
        QCOMPARE(markup::markupRuns(s), runsThroughRtf(s));
    }
}

void TestColorize::longUnterminatedComment()
{
    const QString body = u"<p>a<!--"_s + u"<td>\\'82\\'a0</td>\\par\r\n"_s.repeated(400'000);
    const QString expected = referenceReplace(referenceReplace(body, tagStartAt), tagEndAt);
    QCOMPARE(viaRegExp(body), expected);
    QCOMPARE(markup::markTagsAndComments(body), expected);
}

void TestColorize::manyUnclosedCommentsStayLinear()
{
    // Every "<!--" opens a comment that never closes; the scan must not rescan the rest of the
    // text from each of them (that would take hours here).
    const QString text = u"<!--"_s.repeated(2'500'000);
    QCOMPARE(markup::markTagsAndComments(text), text);
    auto result = reference::ColorizeRtf(text, 0, 0x800000, 0x8000);
    QCOMPARE(result, text);
}

// A big page is coloured by a worker while the window goes on; a change typed meanwhile must not
// leave the colours of the text before it.
void TestColorize::aBigPageEndsWithTheColoursOfItsTextAsItIsThen()
{
    platform::RichTextBox editor;
    editor.setText(u"<p class=a>日本<!-- c -->x</p>\r\n"_s.repeated(200'000));
    markup::BackgroundColouring colouring(editor);
    QSignalSpy coloured(&colouring, &markup::BackgroundColouring::coloured);
    const markup::MarkupColours colours{0, 0x800000, 0x8000};
    QVERIFY(colouring.colour(colours));
    QVERIFY(!editor.colorRuns().empty()); // its first lines at once
    editor.setSelStart(3);
    editor.setSelText(u"<!--"_s); // makes everything after it a comment
    QVERIFY(coloured.wait(120'000));
    QCOMPARE(editor.colorRuns(), markup::colourRuns(editor.rawText(), colours));
}

TAVLEN_TEST_MAIN(TestColorize)
#include "test_colorize.moc"
