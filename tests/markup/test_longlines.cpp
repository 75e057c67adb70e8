// Line breaks put into the long lines of a minified page: only where they cannot change how the
// page renders.
#include "testenv.h"

#include "markup/longlines.h"

using namespace Qt::Literals::StringLiterals;

class TestLongLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void breaksOnlyBetweenAttributes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // Every line over 10 characters gets a break at every allowed place.
        QTest::newRow("attributes") << u"<a href=\"x\" class=\"y\" id=z>text</a>"_s
                                    << u"<a\r\n href=\"x\"\r\n class=\"y\"\r\n id=z>text</a>"_s;
        QTest::newRow("quoted values keep their spaces")
            << u"<img alt=\"a b c\" title='d e'  src=x>"_s
            << u"<img\r\n alt=\"a b c\"\r\n title='d e'\r\n  src=x>"_s;
        QTest::newRow("white space around =")
            << u"<a b= \"x y\" c=d>"_s << u"<a\r\n b=\r\n \"x y\"\r\n c=d>"_s;
        QTest::newRow("apostrophe in an unquoted value")
            << u"<img alt=don't src=x> it's"_s << u"<img\r\n alt=don't\r\n src=x> it's"_s;
        QTest::newRow("text white space stays")
            << u"<pre>a b  c</pre> x y <i>z</i>"_s << u"<pre>a b  c</pre> x y <i>z</i>"_s;
        QTest::newRow("comment stays")
            << u"<!-- <a b=c> d --><i>x</i>"_s << u"<!-- <a b=c> d --><i>x</i>"_s;
        QTest::newRow("script content stays")
            << u"<script type=x>if (a <b c) d</SCRIPT ><b c=d>"_s
            << u"<script\r\n type=x>if (a <b c) d</SCRIPT\r\n ><b\r\n c=d>"_s;
        QTest::newRow("script: an escaped block holding a script element stays")
            << u"<script>a<!-- <script>x</script><b c=d> --></script><i e=f>"_s
            << u"<script>a<!-- <script>x</script><b c=d> --></script><i\r\n e=f>"_s;
        QTest::newRow("script: a string holding </scripts> stays")
            << u"<script>s=\"</scripts><b c=d>\"</script><i e=f>"_s
            << u"<script>s=\"</scripts><b c=d>\"</script><i\r\n e=f>"_s;
        QTest::newRow("script: an escaped block ends at </script>")
            << u"<script><!-- x </script><b c=d>"_s << u"<script><!-- x </script><b\r\n c=d>"_s;
        QTest::newRow("style, textarea and plaintext content stays")
            << u"<style>a{}</styles><b c=d></style><textarea><b c=d></textarea/><i e=f>"
               u"<plaintext><b c=d></plaintext><i e=f>"_s
            << u"<style>a{}</styles><b c=d></style><textarea><b c=d></textarea/><i\r\n e=f>"
               u"<plaintext><b c=d></plaintext><i e=f>"_s;
        QTest::newRow("declaration stays")
            << u"<!DOCTYPE html PUBLIC \"x\">"_s << u"<!DOCTYPE html PUBLIC \"x\">"_s;
        QTest::newRow("no second break")
            << u"<a\r\n b=c>x</a><a \r\n b=c>"_s << u"<a\r\n b=c>x</a><a \r\n b=c>"_s;
        QTest::newRow("short lines stay") << u"<a b=c>\r\n<d e=f>"_s << u"<a b=c>\r\n<d e=f>"_s;
        QTest::newRow("unclosed quote") << u"<a b=\"c d e f g"_s << u"<a\r\n b=\"c d e f g"_s;
    }
    void breaksOnlyBetweenAttributes()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(markup::breakLongLines(text, 10, 1), expected);
    }

    void breaksComeAfterTheTargetLength()
    {
        const QString text = u"<a b=c d=e f=g h=i j=k>x"_s;
        QCOMPARE(markup::breakLongLines(text, 10, 8), u"<a b=c d=e\r\n f=g h=i\r\n j=k>x"_s);
    }

    void longestLineCountsEveryLineEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<qsizetype>("number");
        QTest::newRow("CR LF, LF, CR") << u"a\r\nbbb\ncc\rdddd"_s << qsizetype(4) << qsizetype(4);
        QTest::newRow("last line without end")
            << u"ab\r\n\r\nabc"_s << qsizetype(3) << qsizetype(3);
        QTest::newRow("empty") << QString() << qsizetype(0) << qsizetype(0);
    }
    void longestLineCountsEveryLineEnd()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, length);
        QFETCH(qsizetype, number);
        const markup::LongestLine longest = markup::longestLine(text);
        QCOMPARE(longest.length, length);
        QCOMPARE(longest.number, number);
    }
};

TAVLEN_TEST_MAIN(TestLongLines)
#include "test_longlines.moc"
