#include "reference/rtf/rtf.h"
#include "testenv.h"

#include <QRegularExpression>

using platform::ColorRun;

namespace
{

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

QString writeText(const QString &text, const std::vector<ColorRun> &runs = {},
                  QRgb defaultColor = kBlack)
{
    return reference::rtf::write(text, runs, defaultColor, QStringLiteral("Courier"), 12);
}

// What follows the header: the body and the closing mark.
QString bodyOf(const QString &rtf)
{
    const QString headerEnd = QStringLiteral("\\fs24 ");
    const qsizetype at = rtf.indexOf(headerEnd);
    return at < 0 ? QString() : rtf.mid(at + headerEnd.size());
}

const QString kEnd = QStringLiteral("\\par\r\n}");

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header()
    {
        const QString rtf =
            reference::rtf::write(u"x", {}, qRgb(1, 2, 3), QStringLiteral("ＭＳ ゴシック"), 10.5);
        QCOMPARE(rtf, QStringLiteral("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fmodern"
                                     "\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83"
                                     "\\'62\\'83\\'4e;}}{\\colortbl\\red1\\green2\\blue3;}"
                                     "\\viewkind4\\uc1\\pard\\f0\\fs21 x\\par\r\n}"));
    }

    void fontSize_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("word");
        QTest::newRow("whole") << 12.0 << QStringLiteral("\\fs24 ");
        QTest::newRow("zero") << 0.0 << QStringLiteral("\\fs20 ");
        QTest::newRow("negative") << -3.0 << QStringLiteral("\\fs20 ");
        QTest::newRow("nan") << qQNaN() << QStringLiteral("\\fs20 ");
        QTest::newRow("huge") << 1e300 << QStringLiteral("\\fs32767 ");
    }
    void fontSize()
    {
        QFETCH(double, points);
        QFETCH(QString, word);
        QVERIFY(reference::rtf::write(u"", {}, kBlack, QString(), points).contains(word));
    }

    void body_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("body");
        auto row = [](const char *name, const QString &text, const char *body) {
            QTest::newRow(name) << text << QString::fromUtf8(body);
        };
        row("empty", QString(), "");
        row("rtf characters", QStringLiteral("a\\b{c}d"), "a\\\\b\\{c\\}d");
        row("markup kept", QStringLiteral("<p class=\"x\">;</p>"), "<p class=\"x\">;</p>");
        row("hiragana", QStringLiteral("あ"), "\\'82\\'a0");
        row("trail byte 5c", QStringLiteral("ソ表"), "\\'83\\'5c\\'95\\'5c");
        row("half-width kana", QStringLiteral("ｱ"), "\\'b1");
        row("nec", QStringLiteral("①"), "\\'87\\'40");
        row("ibm", QStringLiteral("髙"), "\\'fb\\'fc");
        row("fullwidth tilde", QStringLiteral("～"), "\\'81\\'60");
        row("wave dash", QStringLiteral("〜"), "\\u12316?");
        row("yen", QStringLiteral("¥"), "\\u165?");
        row("euro", QStringLiteral("€"), "\\u8364?");
        row("nbsp", QStringLiteral("a\u00A0b"), "a\\u160?b");
        row("tab", QStringLiteral("a\tb"), "a\\tab b");
        row("line", QStringLiteral("a\u2028b"), "a\\line b");
        row("paragraph", QStringLiteral("a\u2029b"), "a\\par\r\nb");
        row("astral", QStringLiteral("😀"), "\\u-10179?\\u-8704?");
        row("lone surrogate", QString(QChar(0xDC00)), "\\u-9216?");
        row("nul", QString(QChar(0)), "\\u0?");
        row("cr lf", QStringLiteral("\r\n"), "\\u13?\\u10?");
        row("del and c1", QStringLiteral("\u007F\u0085"), "\\u127?\\u133?");
        row("max unit", QString(QChar(0xFFFF)), "\\u-1?");
    }
    void body()
    {
        QFETCH(QString, text);
        QFETCH(QString, body);
        QCOMPARE(bodyOf(writeText(text)), body + kEnd);
    }

    void colorSwitches_data()
    {
        QTest::addColumn<std::vector<ColorRun>>("runs");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("body");
        const QString blackOnly = QStringLiteral("\\red0\\green0\\blue0;");
        const QString blackRedBlue = blackOnly + QStringLiteral("\\red255\\green0\\blue0;"
                                                                "\\red0\\green0\\blue255;");
        QTest::newRow("none") << std::vector<ColorRun>{} << blackOnly << QStringLiteral("ab<c>d");
        QTest::newRow("default colour runs")
            << std::vector<ColorRun>{{0, 3, kBlack}, {3, 3, qRgba(0, 0, 0, 7)}} << blackOnly
            << QStringLiteral("ab<c>d");
        QTest::newRow("tag") << std::vector<ColorRun>{{2, 3, kRed}}
                             << blackOnly + QStringLiteral("\\red255\\green0\\blue0;")
                             << QStringLiteral("ab\\cf1 <c>\\cf0 d");
        QTest::newRow("adjacent and from start")
            << std::vector<ColorRun>{{0, 2, kBlue}, {2, 1, kRed}, {3, 3, kBlue}}
            << QStringLiteral("\\red0\\green0\\blue0;\\red0\\green0\\blue255;"
                              "\\red255\\green0\\blue0;")
            << QStringLiteral("\\cf1 ab\\cf2 <\\cf1 c>d");
        QTest::newRow("same colour twice")
            << std::vector<ColorRun>{{1, 1, kRed}, {2, 1, kRed}, {4, 1, kBlue}} << blackRedBlue
            << QStringLiteral("a\\cf1 b<\\cf0 c\\cf2 >\\cf0 d");
        QTest::newRow("cut to the text") << std::vector<ColorRun>{{4, 100, kRed}, {-5, 2, kBlue}}
                                         << blackOnly + QStringLiteral("\\red255\\green0\\blue0;")
                                         << QStringLiteral("ab<c\\cf1 >d");
        QTest::newRow("overlap cut") << std::vector<ColorRun>{{0, 4, kRed}, {2, 4, kBlue}}
                                     << blackRedBlue << QStringLiteral("\\cf1 ab<c\\cf2 >d");
        QTest::newRow("empty and negative lengths")
            << std::vector<ColorRun>{{1, 0, kRed}, {2, -4, kRed}, {3, 1, kBlue}}
            << blackOnly + QStringLiteral("\\red0\\green0\\blue255;")
            << QStringLiteral("ab<\\cf1 c\\cf0 >d");
    }
    void colorSwitches()
    {
        QFETCH(std::vector<ColorRun>, runs);
        QFETCH(QString, table);
        QFETCH(QString, body);
        const QString rtf = writeText(QStringLiteral("ab<c>d"), runs);
        QVERIFY2(rtf.contains(QStringLiteral("{\\colortbl") + table + u'}'), qPrintable(rtf));
        QCOMPARE(bodyOf(rtf), body + kEnd);
    }

    // What the colouring pass relies on: one colour table group, closed by the first "}" after
    // it, and "<", ">" only where the text has them.
    void colouringContract()
    {
        const QString text = QStringLiteral("<a>{\\colortbl}</a>\u2029<b>;{}&lt;\u00A0😀");
        std::vector<ColorRun> runs;
        for (int i = 0; i < 20; ++i)
            runs.push_back({i, 1, qRgb(i * 10, 255 - i, i)});
        const QString rtf =
            reference::rtf::write(text, runs, qRgb(9, 8, 7), QStringLiteral("Odd<font>;{x}\\"), 9);
        QCOMPARE(rtf.count(QStringLiteral("{\\colortbl")), 1);
        const qsizetype p = rtf.indexOf(QStringLiteral("{\\colortbl"));
        const qsizetype q = rtf.indexOf(u'}', p);
        const QString table = rtf.mid(p, q - p + 1);
        static const QRegularExpression entries(
            QStringLiteral("^\\{\\\\colortbl(\\\\red\\d+\\\\green\\d+\\\\blue\\d+;)+\\}$"));
        QVERIFY2(entries.match(table).hasMatch(), qPrintable(table));
        QVERIFY(table.startsWith(QStringLiteral("{\\colortbl\\red9\\green8\\blue7;")));
        QCOMPARE(table.count(u';'), 21);
        QCOMPARE(rtf.count(u'<'), text.count(u'<'));
        QCOMPARE(rtf.count(u'>'), text.count(u'>'));
    }
};

TAVLEN_TEST_MAIN(TestRtfWriter)
#include "test_rtf_writer.moc"
