#include "reference/rtf/rtf.h"
#include "testenv.h"

#include <QRegularExpression>

using platform::ColorRun;

namespace
{

const QRgb kDefault = qRgb(1, 2, 3);
const QRgb kText = qRgb(0, 0, 0);
const QRgb kTag = qRgb(0, 0, 128);
const QRgb kComment = qRgb(0, 128, 0);

QString readText(const QString &rtf)
{
    return reference::rtf::read(rtf, kDefault).text;
}

// Every match of the pattern replaced by what make() gives for it.
QString replaceAll(const QString &s, const QString &pattern,
                   const std::function<QString(const QRegularExpressionMatch &)> &make)
{
    const QRegularExpression re(pattern);
    QString out;
    qsizetype pos = 0;
    auto it = re.globalMatch(s);
    while (it.hasNext()) {
        const auto m = it.next();
        out += QStringView(s).mid(pos, m.capturedStart() - pos);
        out += make(m);
        pos = m.capturedEnd();
    }
    out += QStringView(s).mid(pos);
    return out;
}

// The markup colouring as the program does it: a new colour table and switches around tags and
// comments, inserted into the RTF with regular expressions.
QString colourMarkup(QString rtf)
{
    const qsizetype p = rtf.indexOf(QStringLiteral("{\\colortbl"));
    const qsizetype q = rtf.indexOf(u'}', p);
    rtf.replace(p, q - p + 1,
                QStringLiteral("{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue128;"
                               "\\red0\\green128\\blue0;}"));
    rtf = replaceAll(rtf, QStringLiteral("<([^(!--)])"),
                     [](const auto &m) { return QStringLiteral("\\cf1 <") + m.captured(1); });
    rtf = replaceAll(rtf, QStringLiteral("([^(--)])>"),
                     [](const auto &m) { return m.captured(1) + QStringLiteral(">\\cf0 "); });
    return replaceAll(rtf, QStringLiteral("<!--([\\s\\S]*?)(//|)-->"), [](const auto &m) {
        return QStringLiteral("\\cf2 <!--") + m.captured(1) + QStringLiteral("\\cf2 ") +
               m.captured(2) + QStringLiteral("-->\\cf0 ");
    });
}

// The colour of each character, one letter each: t text, g tag, c comment, d default, ? other.
QString colourLetters(const reference::rtf::Document &doc)
{
    QString letters;
    for (const ColorRun &r : doc.runs) {
        const QChar l = r.color == kText      ? u't'
                        : r.color == kTag     ? u'g'
                        : r.color == kComment ? u'c'
                        : r.color == kDefault ? u'd'
                                              : u'?';
        letters += QString(r.length, l);
    }
    return letters;
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colouredMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colours");
        QTest::newRow("tags") << QStringLiteral("<p>hello</p>") << QStringLiteral("gggtttttgggg");
        QTest::newRow("comment") << QStringLiteral("a<!-- x -->b")
                                 << QStringLiteral("tcccccccccct");
        QTest::newRow("script comment")
            << QStringLiteral("<!-- x //-->") << QStringLiteral("cccccccccccc");
        QTest::newRow("doctype") << QStringLiteral("<!DOCTYPE html>\u2029x")
                                 << QStringLiteral("ttttttttttttttttt");
        QTest::newRow("japanese and lines")
            << QStringLiteral("<p>日本語</p>\u2029<br>\u2029\u2029テスト")
            << QStringLiteral("gggtttggggtggggttttt");
        QTest::newRow("comment over lines")
            << QStringLiteral("<!--\u2029<b>\u2029-->x") << QStringLiteral("cccccgggtccct");
        QTest::newRow("ends in tag") << QStringLiteral("a\u2029<hr>") << QStringLiteral("ttgggg");
        QTest::newRow("escapes near tags")
            << QStringLiteral("<a href=\"\\{}\">\t</a>") << QStringLiteral("ggggggggggggggtgggg");
    }
    void colouredMarkup()
    {
        QFETCH(QString, text);
        QFETCH(QString, colours);
        const QString rtf = colourMarkup(
            reference::rtf::write(text, {}, kDefault, QStringLiteral("MS Gothic"), 10));
        const reference::rtf::Document doc = reference::rtf::read(rtf, kDefault);
        QCOMPARE(doc.text, text);
        QCOMPARE(colourLetters(doc), colours);
    }

    void switchesAnywhere_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colours");
        const QString table = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 A;}}{\\colortbl\\red0"
                                             "\\green0\\blue0;\\red0\\green0\\blue128;}");
        QTest::newRow("right after the table")
            << table + QStringLiteral("\\cf1 \\viewkind4\\uc1\\pard\\f0\\fs20 ab\\par\r\n}")
            << QStringLiteral("ab") << QStringLiteral("gg");
        QTest::newRow("before par") << table + QStringLiteral("a\\cf1 \\par\r\nb\\cf0 \\par\r\n}")
                                    << QStringLiteral("a\u2029b") << QStringLiteral("tgg");
        QTest::newRow("between hex characters")
            << table + QStringLiteral("\\'82\\'a0\\cf1 \\'82\\'a2}") << QStringLiteral("あい")
            << QStringLiteral("tg");
        QTest::newRow("after unicode fallback") << table + QStringLiteral("\\u8364?\\cf1 <}")
                                                << QStringLiteral("€<") << QStringLiteral("tg");
        QTest::newRow("after control word")
            << table + QStringLiteral("\\tab \\cf1 x\\line \\cf0 y}")
            << QStringLiteral("\tx\u2028y") << QStringLiteral("tggt");
    }
    void switchesAnywhere()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QFETCH(QString, colours);
        const reference::rtf::Document doc = reference::rtf::read(rtf, kDefault);
        QCOMPARE(doc.text, text);
        QCOMPARE(colourLetters(doc), colours);
    }

    void colourTable_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("colours");
        QTest::newRow("auto entry") << QStringLiteral("{\\rtf1{\\colortbl;\\red0\\green0\\blue128;}"
                                                      "a\\cf1 b\\cf0 c}")
                                    << QStringLiteral("dgd");
        QTest::newRow("index past the table")
            << QStringLiteral("{\\rtf1{\\colortbl\\red0\\green0\\blue0;}a\\cf7 b\\cf99999999999 "
                              "c\\cf-3 d}")
            << QStringLiteral("tddd");
        QTest::newRow("plain resets")
            << QStringLiteral("{\\rtf1{\\colortbl\\red0\\green0\\blue0;"
                              "\\red0\\green0\\blue128;}\\cf1 a\\plain b}")
            << QStringLiteral("gt");
        QTest::newRow("group restores")
            << QStringLiteral("{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue128;}"
                              "a{\\cf1 b}c}")
            << QStringLiteral("tgt");
        QTest::newRow("table after its use, last entry without ;")
            << QStringLiteral("{\\rtf1\\cf1 a{\\colortbl\\red0\\green0\\blue0;\\red0\\green0"
                              "\\blue128}}")
            << QStringLiteral("g");
        QTest::newRow("only the first table")
            << QStringLiteral("{\\rtf1{\\colortbl;\\red0\\green0\\blue128;}{\\colortbl;\\red0"
                              "\\green128\\blue0;}\\cf1 a}")
            << QStringLiteral("g");
        QTest::newRow("equal colours merge")
            << QStringLiteral("{\\rtf1{\\colortbl\\red0\\green0\\blue128;\\red0\\green0\\blue128;}"
                              "a\\cf1 b\\cf0 c}")
            << QStringLiteral("ggg");
        QTest::newRow("components out of range")
            << QStringLiteral("{\\rtf1{\\colortbl\\red-5\\green0\\blue999;}a}")
            << QStringLiteral("?");
    }
    void colourTable()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, colours);
        const reference::rtf::Document doc = reference::rtf::read(rtf, kDefault);
        QCOMPARE(colourLetters(doc), colours);
        for (std::size_t i = 1; i < doc.runs.size(); ++i)
            QVERIFY(doc.runs[i].color != doc.runs[i - 1].color);
    }

    void text_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        auto row = [](const char *name, const char *rtf, const QString &text) {
            QTest::newRow(name) << QString::fromUtf8(rtf) << text;
        };
        // Paragraph marks: the last one of the document adds nothing.
        row("final par", "{\\rtf1 a\\par}", QStringLiteral("a"));
        row("empty line at end", "{\\rtf1 a\\par\\par}", QStringLiteral("a\u2029"));
        row("par between", "{\\rtf1 a\\par b}", QStringLiteral("a\u2029b"));
        row("only par", "{\\rtf1 \\par}", QString());
        row("escaped newline", "{\\rtf1 a\\\r\nb}", QStringLiteral("a\u2029b"));
        row("raw newlines", "{\\rtf1 a\r\nb\rc\nd}", QStringLiteral("abcd"));
        // Control symbols and words.
        row("symbols", "{\\rtf1 \\\\\\{\\}\\~\\-\\_\\|\\:}",
            QStringLiteral("\\{}\u00A0\u00AD\u2011"));
        row("delimiter", "{\\rtf1\\b0  x\\i1y\\ul-z}", QStringLiteral(" xy-z"));
        row("typography", "{\\rtf1 \\emdash\\endash\\lquote\\rdblquote\\bullet}",
            QStringLiteral("—–‘”•"));
        row("hex ascii", "{\\rtf1 \\'41\\'7b\\'5c}", QStringLiteral("A{\\"));
        row("hex kana and kanji", "{\\rtf1 \\'b1\\'93\\'fa\\'96\\'7b}", QStringLiteral("ｱ日本"));
        row("upper-case hex", "{\\rtf1 \\'82\\'A0}", QStringLiteral("あ"));
        // Unicode and its fallback.
        row("uc1", "{\\rtf1 \\u26085?x}", QStringLiteral("日x"));
        row("uc0", "{\\rtf1\\uc0 \\u26085 x}", QStringLiteral("日x"));
        row("uc2 with hex fallback", "{\\rtf1\\uc2 \\u26085\\'93\\'fax}", QStringLiteral("日x"));
        row("uc2 in a group", "{\\rtf1 {\\uc2 \\u26085\\'93\\'fa}\\u26412?}",
            QStringLiteral("日本"));
        row("fallback ends at group", "{\\rtf1\\uc3 \\u26085{x}y}", QStringLiteral("日xy"));
        row("control word inside fallback", "{\\rtf1\\uc2\\u26085\\b x\\b0 yz}",
            QStringLiteral("日z"));
        row("negative", "{\\rtf1 \\u-10179?\\u-8704?}", QStringLiteral("😀"));
        row("no parameter", "{\\rtf1 \\u x}", QStringLiteral("x"));
        row("out of range", "{\\rtf1 \\u99999999999?\\u-70000?x}", QStringLiteral("\uFFFD\uFFFDx"));
        row("nul", "{\\rtf1 a\\u0?b}", QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
        // Broken bytes.
        row("lone lead byte", "{\\rtf1 \\'82x}", QStringLiteral("\uFFFDx"));
        row("lead byte then invalid trail", "{\\rtf1 \\'82\\'20}", QStringLiteral("\uFFFD "));
        row("lead byte then lead byte", "{\\rtf1 \\'85\\'82\\'a0}", QStringLiteral("\uFFFDあ"));
        row("lead byte at the end", "{\\rtf1 a\\'82}", QStringLiteral("a\uFFFD"));
        row("byte that is no character", "{\\rtf1 \\'a0\\'fd}", QStringLiteral("\uFFFD\uFFFD"));
        row("bad hex", "{\\rtf1 \\'zz\\'4}", QStringLiteral("\uFFFDzz\uFFFD"));
        row("truncated hex", "{\\rtf1 a\\'", QStringLiteral("a\uFFFD"));
        // Skipped destinations.
        row("skipped groups",
            "{\\rtf1{\\fonttbl{\\f0 Font;}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
            "{\\*\\generator Writer;}{\\*\\unknown {nested} x}{\\pict\\bin4 }}}}ab}x}",
            QStringLiteral("x"));
        row("binary in text", "{\\rtf1 a\\bin3 {{{b}", QStringLiteral("ab"));
        row("field result kept", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}",
            QStringLiteral("link"));
        // Malformed documents.
        row("empty", "", QString());
        row("backslash alone", "\\", QString());
        row("not rtf", "plain text", QStringLiteral("plain text"));
        row("no closing brace", "{\\rtf1 abc", QStringLiteral("abc"));
        row("too many closing braces", "}}abc}", QStringLiteral("abc"));
        row("text after the document", "{\\rtf1 a}b", QStringLiteral("a"));
        row("truncated control word", "{\\rtf1 a\\pa", QStringLiteral("a"));
        row("truncated parameter", "{\\rtf1 a\\cf-", QStringLiteral("a-"));
        row("unclosed skipped group", "{\\rtf1 a{\\*\\x b", QStringLiteral("a"));
        row("huge skip counts", "{\\rtf1\\uc2147483647 \\u65 abc}d", QStringLiteral("A"));
        row("huge binary", "{\\rtf1 a\\bin99999999999 b}", QStringLiteral("a"));
    }
    void text()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
    }

    // A document as a Japanese word processor saves it.
    void wordProcessorDocument()
    {
        const QString rtf = QStringLiteral(
            "{\\rtf1\\adeflang1025\\ansi\\ansicpg932\\uc2\\adeff0\\deff0\\stshfdbch11\\deflang1033"
            "\\deflangfe1041{\\upr{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose "
            "02020603050405020304}Times New Roman;}{\\f11\\fmodern\\fcharset128\\fprq1{\\*\\panose "
            "02020609040205080304}\\'82\\'6c\\'82\\'72 "
            "\\'96\\'be\\'92\\'a9;}}{\\*\\ud{\\fonttbl{\\f0"
            " Times;}}}}\r\n{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
            "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\wrapdefault\\fs21 \\snext0 "
            "Normal;}{\\*\\cs10 "
            "\\additive Default Paragraph Font;}}\r\n{\\*\\generator Riched20 10.0.19041}"
            "{\\info{\\title \\'83\\'65\\'83\\'58\\'83\\'67}{\\author x}}\\viewkind4\r\n"
            "\\pard\\plain \\ltrpar\\ql \\f11\\fs21\\lang1041\\langfe1041 {\\cf2 "
            "\\'93\\'fa\\'96\\'7b"
            "\\'8c\\'ea}{\\uc1\\u20320?}\\u22909\\'8d\\'44\\tab end{\\*\\bkmkstart a}"
            "{\\*\\bkmkend a}\\par\r\n\\pard \\ltrpar{\\field{\\*\\fldinst {HYPERLINK "
            "\"http://x/\" }}{\\fldrslt {\\ul link}}}\\par\r\n}\r\n");
        const reference::rtf::Document doc = reference::rtf::read(rtf, kDefault);
        QCOMPARE(doc.text, QStringLiteral("日本語你好\tend\u2029link"));
        const std::vector<ColorRun> runs{{0, 3, qRgb(255, 0, 0)}, {3, 11, kDefault}};
        QCOMPARE(doc.runs, runs);
    }

    void deepNesting_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        const int n = 100000;
        QTest::newRow("balanced") << QString(n, u'{') + u'x' + QString(n, u'}')
                                  << QStringLiteral("x");
        QTest::newRow("never closed")
            << QStringLiteral("{\\rtf1 ") + QString(n, u'{') + u'x' << QStringLiteral("x");
        QTest::newRow("closed too often") << QString(n, u'}') + u'x' << QStringLiteral("x");
        QTest::newRow("deep skipped group")
            << QStringLiteral("{\\rtf1{\\*\\x ") + QString(n, u'{') + QString(n, u'}') +
                   QStringLiteral("}y}")
            << QStringLiteral("y");
        QTest::newRow("colour set deep down")
            << QStringLiteral("{\\rtf1 ") + QString(n, u'{') + QStringLiteral("\\cf5 a") +
                   QString(n, u'}') + QStringLiteral("b}")
            << QStringLiteral("ab");
    }
    void deepNesting()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
    }

    // Random bytes and random RTF fragments: no crash, and the text never exceeds the input.
    void garbage()
    {
        const QStringList pieces{
            QStringLiteral("{"),           QStringLiteral("}"),         QStringLiteral("\\"),
            QStringLiteral("\\'"),         QStringLiteral("\\'8"),      QStringLiteral("\\'82"),
            QStringLiteral("\\u"),         QStringLiteral("\\u-"),      QStringLiteral("\\uc"),
            QStringLiteral("\\uc9"),       QStringLiteral("\\bin"),     QStringLiteral("\\bin5"),
            QStringLiteral("\\*"),         QStringLiteral("\\par"),     QStringLiteral("\\cf"),
            QStringLiteral("\\colortbl"),  QStringLiteral("\\red"),     QStringLiteral(";"),
            QStringLiteral("99999999999"), QStringLiteral(" "),         QStringLiteral("a"),
            QStringLiteral("\r\n"),        QStringLiteral("\\fonttbl"), QStringLiteral("あ")};
        QRandomGenerator rng(20240601);
        for (int round = 0; round < 3000; ++round) {
            QString rtf;
            const int count = rng.bounded(40);
            for (int i = 0; i < count; ++i) {
                if (rng.bounded(4) == 0)
                    rtf += QChar(char16_t(rng.bounded(0x10000)));
                else
                    rtf += pieces[rng.bounded(pieces.size())];
            }
            const reference::rtf::Document doc = reference::rtf::read(rtf, kDefault);
            QVERIFY(doc.text.size() <= rtf.size());
            qsizetype covered = 0;
            for (const ColorRun &r : doc.runs) {
                QCOMPARE(r.start, covered);
                QVERIFY(r.length > 0);
                covered += r.length;
            }
            QCOMPARE(covered, doc.text.size());
        }
    }
};

TAVLEN_TEST_MAIN(TestRtfReader)
#include "test_rtf_reader.moc"
