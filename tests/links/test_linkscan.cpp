#include "links/pagelinks.h"
#include "links/textpositions.h"
#include "testenv.h"

// What a page's links are, and where: the addresses a browser would load, and the line and
// column a finding names.
class TestLinkScan : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void addressesAsABrowserSeesThem_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("addresses"); // joined with " | "
        QTest::newRow("srcset commas and descriptors")
            << "<img srcset=\"a,b.png 1x, c.png 2x,d.png,  e.png (x, y) 3x\">"
            << "a,b.png | c.png | d.png | e.png";
        QTest::newRow("css import forms and upper case")
            << "<style>@import \"one.css\"; @import url(two.css); p{background:URL( 'three.png' )}"
               " /* url(no.png) */ q::after{content:\"url(no2.png)\"}</style>"
            << "one.css | two.css | three.png";
        QTest::newRow("unquoted, script, comment")
            << "<a href=x.html>x</a><!-- <a href=\"c.html\"> --><script>'<img src=s.png>'</script>"
               "<textarea><a href=\"t.html\"></textarea>"
            << "x.html";
        QTest::newRow("character references")
            << "<a href=\"a.html?x=1&amp;y=2\">a</a><table background=\" b&#46;png \">"
            << "a.html?x=1&y=2 | b.png";
    }
    void addressesAsABrowserSeesThem()
    {
        QFETCH(QString, page);
        QFETCH(QString, addresses);
        QStringList urls;
        for (const links::LinkRef &link : links::scanPage(page.toUtf8()).links)
            urls.append(link.url);
        QCOMPARE(urls.join(QStringLiteral(" | ")), addresses);
    }

    void placeOfTheLastAddress_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::newRow("CR LF, kanji") << "<p>\r\n日本語 <a href=\"x\">" << 2 << 14;
        QTest::newRow("lone CR") << "<p>\r\r<a href='x'>" << 3 << 10;
        QTest::newRow("surrogate pair is one character") << "𠮷𠮷<img src=x>" << 1 << 12;
        QTest::newRow("srcset candidate") << "<img\nsrcset=\"a 1x,  b 2x\">" << 2 << 16;
        QTest::newRow("style attribute")
            << "<div style=\"color:red;\n background:url(bg.png)\">" << 2 << 17;
    }
    void placeOfTheLastAddress()
    {
        QFETCH(QString, page);
        QFETCH(int, line);
        QFETCH(int, column);
        const QByteArray utf8 = page.toUtf8();
        const links::LinkRefs refs = links::scanPage(utf8).links;
        QVERIFY(!refs.empty());
        links::Utf8Positions positions(utf8);
        const links::TextPlace place = positions.at(refs.back().offset);
        QCOMPARE(place.line, line);
        QCOMPARE(place.column, column);
        // The editor finds the same place again from line and column.
        QCOMPARE(links::indexAt(page, line, column), place.utf16Index);
        QCOMPARE(page.mid(place.utf16Index, refs.back().url.size()), refs.back().url);
    }
};

TAVLEN_TEST_MAIN(TestLinkScan)
#include "test_linkscan.moc"
