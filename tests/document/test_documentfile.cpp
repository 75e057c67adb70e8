// The bytes of document files and the editor's text: reading in both modes, line breaks, what a
// round trip would change, writing in both encodings, and the positions named in messages.
#include "testenv.h"

#include "document/documentfile.h"
#include "document/documentpath.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using document::LineEnds;

Q_DECLARE_METATYPE(document::LineEnds)

class TestDocumentFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("readCode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<LineEnds>("lineEnds");
        QTest::addColumn<QString>("problem"); // a piece of the one problem reported, or empty

        QTest::newRow("empty, Shift_JIS")
            << QByteArray() << 0 << QString() << LineEnds::None << QString();
        QTest::newRow("empty, converter")
            << QByteArray() << 1 << QString() << LineEnds::None << QString();
        QTest::newRow("Shift_JIS CR LF") << QByteArray("<p>\x93\xFA\x96\x7B</p>\r\n") << 0
                                         << u"<p>日本</p>\r\n"_s << LineEnds::CrLf << QString();
        QTest::newRow("Shift_JIS LF becomes CR LF")
            << QByteArray("a\nb\n") << 0 << u"a\r\nb\r\n"_s << LineEnds::Lf << QString();
        QTest::newRow("EUC-JP LF becomes CR LF")
            << QByteArray("<p>\xC6\xFC\xCB\xDC</p>\n\xA4\xA2\n") << 1 << u"<p>日本</p>\r\nあ\r\n"_s
            << LineEnds::Lf << QString();
        QTest::newRow("EUC-JP CR LF stays one line break")
            << QByteArray("\xC6\xFC\r\n\xCB\xDC\r\n") << 1 << u"日\r\n本\r\n"_s << LineEnds::CrLf
            << QString();
        QTest::newRow("converter passes Shift_JIS") << QByteArray("\x93\xFA\x96\x7B\r\n") << 1
                                                    << u"日本\r\n"_s << LineEnds::CrLf << QString();
        QTest::newRow("zero bytes kept, Shift_JIS")
            << QByteArray("a\0\0b\r\n", 6) << 0 << u"a\0\0b\r\n"_s << LineEnds::CrLf << QString();
        QTest::newRow("zero bytes kept, converter")
            << QByteArray("a\0b\n", 4) << 1 << u"a\0b\r\n"_s << LineEnds::Lf << QString();
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << 0 << u"a\r\nb\r\n"_s << LineEnds::Cr
                                 << u"CR 2 個"_s;
        QTest::newRow("mixed line breaks")
            << QByteArray("a\r\nb\nc\rd") << 0 << u"a\r\nb\r\nc\r\nd"_s << LineEnds::Mixed
            << u"CR LF 1 個、LF 1 個、CR 1 個"_s;
        QTest::newRow("invalid Shift_JIS on line 2")
            << QByteArray("a\r\n\x80z\r\n") << 0 << u"a\r\n\uFFFDz\r\n"_s << LineEnds::CrLf
            << u"2 行目に、Shift_JIS として読めない"_s;
        QTest::newRow("cut lead byte at the end")
            << QByteArray("a\n\n\x93") << 0 << u"a\r\n\r\n\uFFFD"_s << LineEnds::Lf << u"3 行目"_s;
        QTest::newRow("NEC-selected IBM code is written back as IBM")
            << QByteArray("x\r\n\xED\x40\r\n") << 0 << u"x\r\n纊\r\n"_s << LineEnds::CrLf
            << u"2 行目に、保存すると別のバイト"_s;
        QTest::newRow("EUC-JP unconvertible on line 2")
            << QByteArray("<p>\n\xC6\xFC\xC6\xFC\xC6\xFC\xFF\n") << 1 << u"<p>\r\n日日日〓\r\n"_s
            << LineEnds::Lf << u"2 行目に、EUC-JP として読めないか"_s;
        QTest::newRow("UTF-8 is converted and said")
            << QByteArray("<p>\xE6\x97\xA5</p>\n") << 1 << u"<p>日</p>\r\n"_s << LineEnds::Lf
            << u"UTF-8 で書かれた"_s;
        QTest::newRow("binary bytes")
            << QByteArray("\xFF\xFE\x00\x01\x80", 5) << 0 << u"\uFFFD\uFFFD\0\x01\uFFFD"_s
            << LineEnds::None << u"1 行目"_s;
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, readCode);
        QFETCH(QString, text);
        QFETCH(LineEnds, lineEnds);
        QFETCH(QString, problem);
        const document::LoadedText loaded = document::textFromBytes(bytes, readCode);
        QCOMPARE(loaded.text, text);
        QCOMPARE(loaded.lineEnds, lineEnds);
        if (problem.isEmpty()) {
            QVERIFY2(loaded.problems.isEmpty(), qPrintable(loaded.problems.join(u'\n')));
        } else {
            QCOMPARE(loaded.problems.size(), 1);
            QVERIFY2(loaded.problems.first().contains(problem),
                     qPrintable(loaded.problems.first()));
        }
    }

    void writing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("writeCode");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("firstUnmappable");

        QTest::newRow("empty, EUC-JP") << QString() << 1 << QByteArray() << qsizetype(-1);
        QTest::newRow("Shift_JIS keeps CR LF")
            << u"日本\r\n"_s << 0 << QByteArray("\x93\xFA\x96\x7B\r\n") << qsizetype(-1);
        QTest::newRow("EUC-JP turns CR LF into LF")
            << u"日本\r\nｱ①\r\n"_s << 1 << QByteArray("\xC6\xFC\xCB\xDC\n\x8E\xB1\xAD\xA1\n")
            << qsizetype(-1);
        QTest::newRow("EUC-JP keeps a lone CR")
            << u"a\rb"_s << 1 << QByteArray("a\rb") << qsizetype(-1);
        QTest::newRow("zero byte does not end the file")
            << u"a\0b\r\nc"_s << 1 << QByteArray("a\0b\nc", 5) << qsizetype(-1);
        QTest::newRow("unmappable, Shift_JIS")
            << u"ab\r\ncafé"_s << 0 << QByteArray("ab\r\ncaf&#xE9;") << qsizetype(7);
        QTest::newRow("unmappable pair, EUC-JP")
            << u"x\U0001F600"_s << 1 << QByteArray("x&#x1F600;") << qsizetype(1);
    }
    void writing()
    {
        QFETCH(QString, text);
        QFETCH(int, writeCode);
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, firstUnmappable);
        const document::EncodedText encoded = document::bytesFromText(text, writeCode);
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(encoded.firstUnmappable, firstUnmappable);
        QVERIFY(!encoded.converterFailed);
    }

    // Every reading of a file written from a text gives the text back, in both encodings.
    void writtenTextReadsBack_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("Shift_JIS") << 0;
        QTest::newRow("EUC-JP") << 1;
    }
    void writtenTextReadsBack()
    {
        QFETCH(int, code);
        const QString text = u"<html>\r\n<p>日本語 ｶﾀｶﾅ ①Ⅱ㈱ 髙 纊 ～\r\n</p>\r\n"_s;
        const document::EncodedText encoded = document::bytesFromText(text, code);
        const document::LoadedText loaded = document::textFromBytes(encoded.bytes, code);
        QCOMPARE(loaded.text, text);
        QVERIFY2(loaded.problems.isEmpty(), qPrintable(loaded.problems.join(u'\n')));
    }

    void positions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<qsizetype>("line");
        QTest::addColumn<qsizetype>("column");
        QTest::newRow("start") << u"abc"_s << qsizetype(0) << qsizetype(1) << qsizetype(1);
        QTest::newRow("after CR LF")
            << u"ab\r\ncd"_s << qsizetype(5) << qsizetype(2) << qsizetype(2);
        QTest::newRow("LF and lone CR")
            << u"a\rb\nc"_s << qsizetype(4) << qsizetype(3) << qsizetype(1);
        QTest::newRow("pair counts once")
            << u"a\U0001F600b"_s << qsizetype(3) << qsizetype(1) << qsizetype(3);
    }
    void positions()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, index);
        QFETCH(qsizetype, line);
        QFETCH(qsizetype, column);
        const document::TextPosition at = document::positionOf(text, index);
        QCOMPARE(at.line, line);
        QCOMPARE(at.column, column);
    }

    void absolutePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("absolute");
        QTest::newRow("name") << u"page.html"_s << u"/w"_s << u"/w/page.html"_s;
        QTest::newRow("current is the root") << u"page.html"_s << u"/"_s << u"/page.html"_s;
        QTest::newRow("backslash is a character") << u"a\\b.html"_s << u"/w"_s << u"/w/a\\b.html"_s;
        QTest::newRow("dots and doubled slashes")
            << u"./a//./b.html"_s << u"/w/"_s << u"/w/a/b.html"_s;
        QTest::newRow("shell characters")
            << u"$x `y` \"q\"\nz.html"_s << u"/w"_s << u"/w/$x `y` \"q\"\nz.html"_s;
        QTest::newRow("absolute stays as given") << u"/a/./b.html"_s << u"/w"_s << u"/a/./b.html"_s;
        QTest::newRow("no current folder") << u"page.html"_s << QString() << u"page.html"_s;
        QTest::newRow("empty") << QString() << u"/w"_s << QString();
        QTest::newRow("up from a missing folder")
            << u"x/../p.html"_s << u"/nowhere"_s << u"/nowhere/p.html"_s;
        // "link/.." is where the link points to, one folder up, as the system opens it.
        const QString home = testsupport::home().path();
        QDir().mkpath(home + u"/far/inner"_s);
        QDir().mkpath(home + u"/near"_s);
        QFile::link(home + u"/far/inner"_s, home + u"/near/link"_s);
        QTest::newRow("up through a link")
            << u"link/../p.html"_s << home + u"/near"_s << home + u"/far/p.html"_s;
    }
    void absolutePaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, current);
        QFETCH(QString, absolute);
        QCOMPARE(document::absoluteDocumentPath(path, current), absolute);
    }

    void folders_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("backslash in the name") << u"/a/b\\c.html"_s << u"/a"_s;
        QTest::newRow("backslash in the folder") << u"/a\\b/c.html"_s << u"/a\\b"_s;
        QTest::newRow("root") << u"/p.html"_s << u"/"_s;
        QTest::newRow("no folder") << u"p.html"_s << QString();
    }
    void folders()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(document::folderOfPath(path), folder);
    }

    void lineOfByte()
    {
        const QByteArray bytes("a\r\nb\rc\nd");
        QCOMPARE(document::lineOfByte(bytes, 0), 1);
        QCOMPARE(document::lineOfByte(bytes, 3), 2);
        QCOMPARE(document::lineOfByte(bytes, 5), 3);
        QCOMPARE(document::lineOfByte(bytes, 7), 4);
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << testsupport::home().path() + u"/missing.html"_s;
        QTest::newRow("folder") << testsupport::home().path();
        QTest::newRow("endless device") << u"/dev/zero"_s;
    }
    void unreadableFiles()
    {
        QFETCH(QString, path);
        const auto read = document::readDocumentFile(path, 0);
        QVERIFY(std::holds_alternative<document::FileFailure>(read));
        QVERIFY(!std::get<document::FileFailure>(read).reason.isEmpty());
    }
};

TAVLEN_TEST_MAIN(TestDocumentFile)
#include "test_documentfile.moc"
