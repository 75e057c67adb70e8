#include "check/checkjob.h"
#include "check/endtagcompletion.h"
#include "check/markupwalk.h"
#include "check/pagecheck.h"
#include "codec/filetext.h"
#include "testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

class TestPageCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void checkedFile_data();
    void checkedFile();
    void unreadableFile();
    void slips_data();
    void slips();
    void completion_data();
    void completion();
};

namespace
{

const char *const Head = "<!DOCTYPE html>\r\n<html><head><title>題</title></head><body>\r\n";

// What the command-line check prints for a file, and its exit code.
std::pair<QStringList, int> runCheck(const QString &path)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    const int code = check::runCheckHtml(path, out, err);
    QByteArray printed;
    std::rewind(out);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;)
        printed.append(buffer, qsizetype(n));
    std::fclose(out);
    std::fclose(err);
    QStringList lines = QString::fromUtf8(printed).split(u'\n', Qt::SkipEmptyParts);
    return {lines, code};
}

} // namespace

void TestPageCheck::checkedFile_data()
{
    QTest::addColumn<QString>("body");
    // "LINE:COLUMN: words the message holds", one per finding; empty for a clean page.
    QTest::addColumn<QStringList>("expected");
    const QStringList none;
    QTest::newRow("clean, modern attributes")
        << QStringLiteral("<p>全角　空白は本文なら正しい</p>\r\n<img loading=\"lazy\" "
                          "srcset=\"a.png 2x\" data-note=\"注\" src=\"a.png\" alt=\"絵　\">\r\n")
        << none;
    QTest::newRow("full-width space in a tag")
        << QStringLiteral("<p>画像</p>\r\nあい<img　src=\"a.png\" alt=\"\">\r\n")
        << QStringList{QStringLiteral("4:7:全角の空白"),
                       QStringLiteral("5:1:</body> の前に、閉じられていない要素があります")};
    QTest::newRow("full-width equals and quote")
        << QStringLiteral("<p class＝\"a\">あ</p>\r\n<a href=＂b.html＂>い</a>\r\n")
        << QStringList{QStringLiteral("3:9:「＝」"), QStringLiteral("3:10:属性名に使えない文字"),
                       QStringLiteral("3:12:属性名に使えない文字"), QStringLiteral("4:9:「＂」"),
                       QStringLiteral("4:16:「＂」")};
    QTest::newRow("stray end tag")
        << QStringLiteral("<p>あいう</span></p>\r\n")
        << QStringList{QStringLiteral("3:7:</span> に対応する開始タグがありません")};
    QTest::newRow("unclosed element")
        << QStringLiteral("<div><span>漢字</div>\r\n")
        << QStringList{QStringLiteral("3:14:閉じられていない要素 <span>")};
    QTest::newRow("duplicate attribute")
        << QStringLiteral("<p>\r\n　<span class=\"a\" class=\"b\">か</span></p>\r\n")
        << QStringList{QStringLiteral("4:18:属性「class」が一つのタグに二度")};
    QTest::newRow("unknown character reference")
        << QStringLiteral("<p>あ&nosuch;い</p>\r\n")
        << QStringList{QStringLiteral("3:5:知られていない文字参照")};
}

void TestPageCheck::checkedFile()
{
    QFETCH(QString, body);
    QFETCH(QStringList, expected);
    const QString text = QString::fromUtf8(Head) + body + QStringLiteral("</body></html>\r\n");
    QTemporaryDir dir;
    for (const auto &[writeCode, name] :
         {std::pair{codec::TextCode::ShiftJis, "Shift_JIS"},
          std::pair{codec::TextCode::EucJp, "EUC-JP"}, std::pair{codec::TextCode::Utf8, "UTF-8"}}) {
        const QString path = dir.filePath(QLatin1String(name) + QStringLiteral(".html"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(codec::bytesFromText(text, writeCode).bytes);
        file.close();
        const auto [lines, code] = runCheck(path);
        QCOMPARE(code, expected.isEmpty() ? 0 : 1);
        QVERIFY2(lines.size() == expected.size(), qPrintable(lines.join(u'\n')));
        for (qsizetype k = 0; k < lines.size(); ++k) {
            const QString at = expected[k].section(u':', 0, 1);
            const QString words = expected[k].section(u':', 2);
            QVERIFY2(lines[k].startsWith(path + u':' + at + QStringLiteral(": ")) &&
                         lines[k].contains(words),
                     qPrintable(QLatin1String(name) + QStringLiteral(": ") + lines[k]));
        }
    }
}

void TestPageCheck::unreadableFile()
{
    QTemporaryDir dir;
    const auto [lines, code] = runCheck(dir.filePath(QStringLiteral("absent.html")));
    QCOMPARE(code, 2);
    QVERIFY(lines.isEmpty());
}

void TestPageCheck::slips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("at"); // indexes of the slips

    QTest::newRow("text content") << QStringLiteral("あ　い＜b＞＝＂＇／") << QList<int>{};
    QTest::newRow("after the tag name") << QStringLiteral("<img　src=\"a\">") << QList<int>{4};
    QTest::newRow("between attributes")
        << QStringLiteral("<img src=\"a\"　alt=\"\">") << QList<int>{12};
    QTest::newRow("around equals") << QStringLiteral("<a href＝'x'>") << QList<int>{7};
    QTest::newRow("full-width quotes")
        << QStringLiteral("<a href=＇x＇ id=a>") << QList<int>{8, 10};
    QTest::newRow("tag end") << QStringLiteral("<p＞あ　") << QList<int>{2};
    QTest::newRow("end tag") << QStringLiteral("<p>a<／p>") << QList<int>{5};
    QTest::newRow("attribute values")
        << QStringLiteral("<p title=\"＜　＞＝\" class='＂／'>") << QList<int>{};
    QTest::newRow("comment") << QStringLiteral("<!-- <p　class=a> -->") << QList<int>{};
    QTest::newRow("script and style")
        << QStringLiteral("<script>if (a <b　&& c) x=\"<p　>\";</script>"
                          "<style>p　{}</style><b　id=x>")
        << QList<int>{62};
}

void TestPageCheck::slips()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, at);
    QList<int> found;
    for (const check::Slip &s : check::walkMarkup(text, 0, text.size(), 0).slips)
        found.append(int(s.index));
    QCOMPARE(found, at);
}

void TestPageCheck::completion_data()
{
    QTest::addColumn<QString>("text");      // the caret at its end
    QTest::addColumn<QString>("completed"); // empty: nothing is added

    QTest::newRow("list item") << QStringLiteral("<ul><li>あ</") << QStringLiteral("li>");
    QTest::newRow("then the list") << QStringLiteral("<ul><li>あ</li></") << QStringLiteral("ul>");
    QTest::newRow("void elements skipped")
        << QStringLiteral("<p>あ<br><img src=a.png><input>い</") << QStringLiteral("p>");
    QTest::newRow("items closed by the next")
        << QStringLiteral("<ul><li>a<li>b</ul><p>c<p>d</") << QStringLiteral("p>");
    QTest::newRow("table cells") << QStringLiteral("<table><tr><td>a<td>b</td></tr><tr><th>c</")
                                 << QStringLiteral("th>");
    QTest::newRow("after a script")
        << QStringLiteral("<div><script>document.write('<b>')</script></")
        << QStringLiteral("div>");
    QTest::newRow("in a comment") << QStringLiteral("<div><!-- </") << QString();
    QTest::newRow("in a script") << QStringLiteral("<script>x = '</") << QString();
    QTest::newRow("in a style") << QStringLiteral("<style>p { } </") << QString();
    QTest::newRow("in an attribute value") << QStringLiteral("<div title=\"</") << QString();
    QTest::newRow("nothing open") << QStringLiteral("<p>a</p></") << QString();
}

void TestPageCheck::completion()
{
    QFETCH(QString, text);
    QFETCH(QString, completed);
    QCOMPARE(check::endTagCompletion(text, text.size()).value_or(QString()), completed);
}

TAVLEN_TEST_MAIN(TestPageCheck)
#include "test_pagecheck.moc"
