#include "livepreview/linemarks.h"
#include "livepreview/livepage.h"
#include "livepreview/marknumbers.h"
#include "livepreview/servedpath.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <memory>
#include <sys/stat.h>

using livepreview::LivePage;

class TestLivePage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void servedFile_data();
    void servedFile();
    void serve();
    void lineMarks_data();
    void lineMarks();
    void markNumbersFollowEdits_data();
    void markNumbersFollowEdits();
};

void TestLivePage::servedFile_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("file"); // empty: nothing is served
    const QString site = QStringLiteral("/home/u/site");
    QTest::newRow("file in the folder") << site << "/style.css"
                                        << "/home/u/site/style.css";
    QTest::newRow("file in a sub-folder") << site << "/img/a b.png"
                                          << "/home/u/site/img/a b.png";
    QTest::newRow("doubled slashes") << site << "//img//a.png"
                                     << "/home/u/site/img/a.png";
    QTest::newRow("root with a slash") << "/home/u/site/"
                                       << "/a.css"
                                       << "/home/u/site/a.css";
    QTest::newRow("root is /") << "/"
                               << "/etc/hosts"
                               << "/etc/hosts";
    QTest::newRow("up and out") << site << "/../secret.txt"
                                << "";
    QTest::newRow("up inside and out") << site << "/img/../../secret.txt"
                                       << "";
    QTest::newRow("up inside only") << site << "/img/../a.css"
                                    << "";
    QTest::newRow("dot") << site << "/./a.css"
                         << "";
    QTest::newRow("the folder itself") << site << "/"
                                       << "";
    QTest::newRow("not absolute") << site << "a.css"
                                  << "";
    QTest::newRow("zero character")
        << site << QStringLiteral("/a.css%1.png").arg(QChar(u'\0')) << "";
    QTest::newRow("no folder (never saved)") << ""
                                             << "/a.css"
                                             << "";
}

void TestLivePage::servedFile()
{
    QFETCH(QString, root);
    QFETCH(QString, path);
    QFETCH(QString, file);
    const std::optional<QString> served = livepreview::servedFile(root, path);
    QCOMPARE(served.value_or(QString()), file);
}

// The page comes from memory in its encoding; files of the folder come from disk; what is not a
// regular file of the folder's tree is never opened (a pipe would hold up the window).
void TestLivePage::serve()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString site = dir.filePath(QStringLiteral("site"));
    QVERIFY(QDir().mkpath(site + QStringLiteral("/css")));
    QFile css(site + QStringLiteral("/css/a.css"));
    QVERIFY(css.open(QIODevice::WriteOnly));
    css.write("p { color: red }");
    css.close();
    QFile secret(dir.filePath(QStringLiteral("secret.txt")));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("secret");
    secret.close();
    QCOMPARE(::mkfifo(QFile::encodeName(site + QStringLiteral("/pipe.css")).constData(), 0600), 0);

    LivePage page;
    const QByteArray bytes("<p>\x82\xa0</p>");
    page.setPage(site, QStringLiteral("index.html"), bytes, "Shift_JIS");
    QCOMPARE(page.url().scheme(), QStringLiteral("tavlen-live"));
    QCOMPARE(page.url().path(), QStringLiteral("/index.html"));

    const QVariantMap own = page.serve(QStringLiteral("/index.html"));
    QCOMPARE(own.value(QStringLiteral("mime")).toByteArray(),
             QByteArray("text/html; charset=Shift_JIS"));
    QCOMPARE(own.value(QStringLiteral("data")).toByteArray(), bytes);

    const QVariantMap linked = page.serve(QStringLiteral("/css/a.css"));
    QCOMPARE(linked.value(QStringLiteral("mime")).toByteArray(), QByteArray("text/css"));
    std::unique_ptr<QIODevice> device(
        qobject_cast<QIODevice *>(linked.value(QStringLiteral("device")).value<QObject *>()));
    QVERIFY(device);
    QCOMPARE(device->readAll(), QByteArray("p { color: red }"));

    for (const char *refused : {"/../secret.txt", "/pipe.css", "/css", "/missing.css"})
        QVERIFY2(page.serve(QLatin1String(refused)).isEmpty(), refused);

    // A document never saved: its page only.
    page.setPage(QString(), QString(), bytes, "UTF-8");
    QVERIFY(page.serve(QStringLiteral("/css/a.css")).isEmpty());
    QCOMPARE(page.serve(page.url().path()).value(QStringLiteral("data")).toByteArray(), bytes);
}

void TestLivePage::lineMarks_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("marked");
    QTest::newRow("one per line, CR LF") << "<p>a</p><p>b</p>\r\n<div\r\nclass=x>c</div>"
                                         << "<p data-tavlen-line=\"1\">a</p><p>b</p>\r\n<div "
                                            "data-tavlen-line=\"2\"\r\nclass=x>c</div>";
    QTest::newRow("LF and lone CR") << "a\n<b>\r<i>"
                                    << "a\n<b data-tavlen-line=\"2\">\r<i data-tavlen-line=\"3\">";
    QTest::newRow("comments, scripts and styles stay")
        << "<!-- <p>\n --><script>if (a<b) x = '<p>';\n</script>\n<style>\n</style><p>"
        << "<!-- <p>\n --><script data-tavlen-line=\"2\">if (a<b) x = '<p>';\n</script>\n"
           "<style data-tavlen-line=\"4\">\n</style><p data-tavlen-line=\"5\">";
    QTest::newRow("a quoted > does not end the tag")
        << "<a title=\"x>\n<p>\">t</a>\n<p>"
        << "<a data-tavlen-line=\"1\" title=\"x>\n<p>\">t</a>\n<p data-tavlen-line=\"3\">";
    QTest::newRow("self-closing, end tags, text with <")
        << "<br/>\n</p>1 < 2\n<!DOCTYPE html>"
        << "<br data-tavlen-line=\"1\"/>\n</p>1 < 2\n<!DOCTYPE html>";
    QTest::newRow("unclosed script") << "<script>\n<p>"
                                     << "<script data-tavlen-line=\"1\">\n<p>";
}

void TestLivePage::lineMarks()
{
    QFETCH(QString, html);
    QFETCH(QString, marked);
    QCOMPARE(livepreview::withLineMarks(html), marked);
}

void TestLivePage::markNumbersFollowEdits_data()
{
    QTest::addColumn<QStringList>("texts"); // one version after the other
    QTest::addColumn<QList<int>>("numbers");
    QTest::newRow("the first text's lines") << QStringList{"x\r\ny\rz\n"} << QList<int>{1, 2, 3, 4};
    QTest::newRow("a line inserted: the lines after keep theirs")
        << QStringList{"1\r\n2\r\n3\r\n4", "1\r\n2\r\nnew\r\n3\r\n4"} << QList<int>{1, 2, 3, 3, 4};
    QTest::newRow("lines deleted") << QStringList{"a\nb\nc\nd", "a\nd"} << QList<int>{1, 4};
    QTest::newRow("typed within a line")
        << QStringList{"a\nb\nc", "a\nbX\nc"} << QList<int>{1, 2, 3};
    QTest::newRow("a line split between CR and LF")
        << QStringList{"a\r\nb", "a\rX\nb"} << QList<int>{1, 1, 2};
    QTest::newRow("edits one after another")
        << QStringList{"a\nb\nc", "a\nb\nX\nc", "a\nc2"} << QList<int>{1, 3};
}

void TestLivePage::markNumbersFollowEdits()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, numbers);
    livepreview::MarkNumbers marks;
    for (const QString &text : texts)
        marks.follow(text);
    QCOMPARE(QList<int>(marks.numbers().begin(), marks.numbers().end()), numbers);
    QCOMPARE(marks.numberOf(int(numbers.size()) + 5), numbers.last()); // past the end: the last
    // The marks carry the numbers.
    QVERIFY(livepreview::withLineMarks(texts.last() + "<p>", &marks.numbers())
                .endsWith(QStringLiteral("<p data-tavlen-line=\"%1\">").arg(numbers.last())));
}

TAVLEN_TEST_MAIN(TestLivePage)
#include "test_livepage.moc"
