// The bytes of document files and the editor's text: reading in both modes, line breaks, what a
// round trip would change, writing in both encodings, and the positions named in messages.
#include "testenv.h"

#include "codec/filetext.h"
#include "files/documentpath.h"
#include "files/readdocument.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using codec::LineEnds;

Q_DECLARE_METATYPE(codec::LineEnds)

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
        QTest::newRow("EUC-JP three-byte form of an IBM kanji is written as two bytes")
            << QByteArray("x\n\x8F\xD4\xE3\n") << 1 << u"x\r\n纊\r\n"_s << LineEnds::Lf
            << u"2 行目に、保存すると別のバイト"_s;
        QTest::newRow("UTF-8 paragraph separator")
            << QByteArray("a\n\n\xE2\x80\xA9") << 2 << u"a\r\n\r\n\u2029"_s << LineEnds::Lf
            << u"3 行目に、編集画面では改行になる文字（U+2029）"_s;
        QTest::newRow("UTF-8 noncharacter U+FDD0")
            << QByteArray("\xEF\xB7\x90") << 2 << u"\uFDD0"_s << LineEnds::None << u"U+FDD0"_s;
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
        const codec::LoadedText loaded = codec::textFromBytes(bytes, codec::textCodeOf(readCode));
        QCOMPARE(loaded.text, text);
        QCOMPARE(loaded.shape.lineEnds, lineEnds);
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
        QTest::newRow("user-defined character, EUC-JP")
            << u"a\uE000\uE757"_s << 1 << QByteArray("a&#xE000;&#xE757;") << qsizetype(1);
        QTest::newRow("unmappable pair, EUC-JP")
            << u"x\U0001F600"_s << 1 << QByteArray("x&#x1F600;") << qsizetype(1);
        QTest::newRow("UTF-8 holds every character")
            << u"𠮷\U0001F600\r\n"_s << 2 << QByteArray("\xF0\xA0\xAE\xB7\xF0\x9F\x98\x80\n")
            << qsizetype(-1);
        QTest::newRow("UTF-8 lone surrogate") << u"a\r\nb"_s + QChar(0xD800) + u"c"_s << 2
                                              << QByteArray("a\nb&#xFFFD;c") << qsizetype(4);
        QTest::newRow("CR before a line break, EUC-JP")
            << u"ab\r\r\ncd\r"_s << 1 << QByteArray("ab\r\ncd\r") << qsizetype(-1);
        QTest::newRow("pairs across slices, UTF-8")
            << u"a\U0001F600\U0001F600b\r\n"_s << 2
            << QByteArray("a\xF0\x9F\x98\x80\xF0\x9F\x98\x80"
                          "b\n")
            << qsizetype(-1);
        QTest::newRow("UTF-8 lone surrogate at the end")
            << u"ab"_s + QChar(0xDBFF) << 2 << QByteArray("ab&#xFFFD;") << qsizetype(2);
    }
    void writing()
    {
        QFETCH(QString, text);
        QFETCH(int, writeCode);
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, firstUnmappable);
        const codec::EncodedText encoded = codec::bytesFromText(text, codec::textCodeOf(writeCode));
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(encoded.firstUnmappable, firstUnmappable);
        QVERIFY(!encoded.converterFailed);
        // The editor's lines, a few characters at a time, give the same bytes.
        QString lines = text;
        lines.replace(u"\r\n"_s, QString(QChar(0x2029)));
        for (const qsizetype slice : {2, 3, 1 << 20}) {
            const codec::EncodedText sliced =
                codec::bytesFromLines(lines, codec::textCodeOf(writeCode), {}, slice);
            QCOMPARE(sliced.bytes, bytes);
            QCOMPARE(sliced.firstUnmappable, firstUnmappable);
        }
    }

    // Reading as UTF-8: the byte order mark, malformed input, and an encoding that looks wrong.
    void readingUtf8_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("byteOrderMark");
        QTest::addColumn<QString>("problem"); // a piece of the one problem reported, or empty
        QTest::addColumn<QString>("note");    // a piece of the encoding note, or empty

        QTest::newRow("empty file") << QByteArray() << QString() << false << QString() << QString();
        QTest::newRow("lone byte order mark")
            << QByteArray("\xEF\xBB\xBF") << QString() << true << QString() << QString();
        QTest::newRow("second byte order mark is text")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                          "a")
            << u"\uFEFFa"_s << true << QString() << QString();
        QTest::newRow("outside Shift_JIS")
            << QByteArray("\xF0\xA0\xAE\xB7\xF0\x9F\x98\x80\xE3\x88\xB1\n") << u"𠮷😀㈱\r\n"_s
            << false << QString() << QString();
        QTest::newRow("zero bytes")
            << QByteArray("a\0\0b", 4) << u"a\0\0b"_s << false << QString() << QString();
        QTest::newRow("overlong form on line 2")
            << QByteArray("a\n\xC0\x80z") << u"a\r\n\uFFFDz"_s << false
            << u"2 行目に、UTF-8 として読めない"_s << QString();
        QTest::newRow("encoded surrogate")
            << QByteArray("\xED\xA0\x80x") << u"\uFFFDx"_s << false << u"1 行目"_s << QString();
        QTest::newRow("truncated at the end, after a mark")
            << QByteArray("\xEF\xBB\xBF"
                          "a\r\n\xE6\x97")
            << u"a\r\n\uFFFD"_s << true << u"2 行目"_s << QString();
        QTest::newRow("past U+10FFFF")
            << QByteArray("\xF4\x90\x80\x80") << u"\uFFFD"_s << false << u"1 行目"_s << QString();
        QTest::newRow("Shift_JIS file is named") << QByteArray("<p>\x93\xFA\x96\x7B\x8C\xEA</p>")
                                                 << u"<p>\uFFFD\uFFFD{\uFFFD\uFFFD</p>"_s << false
                                                 << u"1 行目"_s << u"Shift_JIS で書かれている"_s;
        QTest::newRow("EUC-JP file is named")
            << QByteArray("\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xCA\xB8\xBB\xFA")
            << u"\uFFFD\uFFFD\uFFFD\u0738\uFFFD\uFFFD\u02B8\uFFFD\uFFFD"_s << false << u"1 行目"_s
            << u"「読込文字コード」を「EUC」"_s;
    }
    void readingUtf8()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, byteOrderMark);
        QFETCH(QString, problem);
        QFETCH(QString, note);
        const codec::LoadedText loaded = codec::textFromBytes(bytes, codec::TextCode::Utf8);
        QCOMPARE(loaded.text, text);
        QCOMPARE(loaded.shape.byteOrderMark, byteOrderMark);
        QCOMPARE(loaded.problems.size(), problem.isEmpty() ? 0 : 1);
        if (!problem.isEmpty())
            QVERIFY2(loaded.problems.first().contains(problem),
                     qPrintable(loaded.problems.first()));
        QVERIFY2(note.isEmpty() ? loaded.encodingNote.isEmpty()
                                : loaded.encodingNote.contains(note),
                 qPrintable(loaded.encodingNote));
    }

    // The encoding found is named when it is not the one the setting reads.
    void encodingNotes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("readCode");
        QTest::addColumn<QString>("note"); // a piece of the note, or empty for none
        const QByteArray utf8("<p>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</p>\n");
        const QByteArray euc("<p>\xC6\xFC\xCB\xDC\xB8\xEC</p>\n");
        const QByteArray sjis("<p>\x93\xFA\x96\x7B\x8C\xEA</p>\n");
        QTest::newRow("UTF-8 as Shift_JIS") << utf8 << 0 << u"UTF-8 で書かれている"_s;
        QTest::newRow("UTF-8 through the converter") << utf8 << 1 << u"を「UTF-8」に"_s;
        QTest::newRow("EUC-JP as Shift_JIS") << euc << 0 << u"EUC-JP で書かれている"_s;
        QTest::newRow("Shift_JIS through the converter") << sjis << 1 << u"を「SJIS」に"_s;
        QTest::newRow("Shift_JIS as Shift_JIS") << sjis << 0 << QString();
        QTest::newRow("EUC-JP through the converter") << euc << 1 << QString();
        QTest::newRow("UTF-8 as UTF-8") << utf8 << 2 << QString();
        QTest::newRow("ASCII as UTF-8") << QByteArray("<p>a</p>") << 2 << QString();
        QTest::newRow("ASCII through the converter") << QByteArray("<p>a</p>") << 1 << QString();
    }
    void encodingNotes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, readCode);
        QFETCH(QString, note);
        const QString found = codec::textFromBytes(bytes, codec::textCodeOf(readCode)).encodingNote;
        QVERIFY2(note.isEmpty() ? found.isEmpty() : found.contains(note), qPrintable(found));
    }

    // Saving a file that was read and not edited gives its bytes back: the line breaks it had
    // when they were all of one kind, its byte order mark, characters outside Shift_JIS.
    void unchangedFileSavesTheSame_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code"); // read and write
        QTest::newRow("Shift_JIS with LF") << QByteArray("<p>\x93\xFA</p>\n\n<br>\n") << 0;
        QTest::newRow("Shift_JIS with CR LF") << QByteArray("<p>\x93\xFA</p>\r\n") << 0;
        QTest::newRow("Shift_JIS with LF through the converter")
            << QByteArray("\x93\xFA\x96\x7B\x8C\xEA\n") << 1;
        QTest::newRow("UTF-8 with LF")
            << QByteArray("<p>\xF0\xA0\xAE\xB7</p>\n<p>\xE3\x88\xB1\n") << 2;
        QTest::newRow("UTF-8 with CR LF") << QByteArray("a\r\n\xF0\x9F\x98\x80\r\n") << 2;
        QTest::newRow("UTF-8 with a mark") << QByteArray("\xEF\xBB\xBF<p>\xE6\x97\xA5\n") << 2;
        QTest::newRow("lone mark") << QByteArray("\xEF\xBB\xBF") << 2;
        QTest::newRow("two marks") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF\n") << 2;
        QTest::newRow("UTF-8 with zero bytes") << QByteArray("a\0\n\0", 4) << 2;
        QTest::newRow("UTF-8 one line") << QByteArray("\xE6\x97\xA5") << 2;
    }
    void unchangedFileSavesTheSame()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        const codec::LoadedText loaded = codec::textFromBytes(bytes, codec::textCodeOf(code));
        QVERIFY2(loaded.problems.isEmpty(), qPrintable(loaded.problems.join(u'\n')));
        const codec::EncodedText encoded = codec::bytesFromText(
            loaded.text, codec::textCodeOf(code == 1 ? 0 : code), loaded.shape);
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(encoded.firstUnmappable, qsizetype(-1));
    }

    // Line breaks and marks a save chooses for each kind of file and encoding written.
    void writingShapes_data()
    {
        QTest::addColumn<QByteArray>("read"); // the file as read with readCode
        QTest::addColumn<int>("readCode");
        QTest::addColumn<int>("writeCode");
        QTest::addColumn<QByteArray>("written"); // of the text "a\r\nb\r\n" read from it
        const QByteArray lf("a\nb\n"), crLf("a\r\nb\r\n"), mixed("a\r\nb\n");
        QTest::newRow("new document, Shift_JIS") << QByteArray() << -1 << 0 << crLf;
        QTest::newRow("new document, EUC-JP") << QByteArray() << -1 << 1 << lf;
        QTest::newRow("new document, UTF-8") << QByteArray() << -1 << 2 << lf;
        QTest::newRow("LF file as EUC-JP") << lf << 0 << 1 << lf;
        QTest::newRow("CR LF file as EUC-JP") << crLf << 0 << 1 << crLf;
        QTest::newRow("mixed file as EUC-JP") << mixed << 0 << 1 << lf;
        QTest::newRow("CR LF file as UTF-8") << crLf << 0 << 2 << crLf;
        QTest::newRow("mixed file as UTF-8") << mixed << 0 << 2 << lf;
        QTest::newRow("mixed file as Shift_JIS") << mixed << 0 << 0 << crLf;
        QTest::newRow("EUC-JP LF file as Shift_JIS")
            << QByteArray("\xC6\xFC\xCB\xDC\xB8\xEC\n") << 1 << 0 << crLf;
        QTest::newRow("UTF-8 LF file as Shift_JIS")
            << QByteArray("\xE6\x97\xA5\n") << 2 << 0 << crLf;
        QTest::newRow("ASCII LF file read as UTF-8, as Shift_JIS") << lf << 2 << 0 << lf;
        QTest::newRow("marked file as Shift_JIS") << QByteArray("\xEF\xBB\xBF"
                                                                "a\r\n")
                                                  << 2 << 0 << crLf;
        QTest::newRow("marked file as UTF-8") << QByteArray("\xEF\xBB\xBF"
                                                            "a\n")
                                              << 2 << 2
                                              << QByteArray("\xEF\xBB\xBF"
                                                            "a\nb\n");
    }
    void writingShapes()
    {
        QFETCH(QByteArray, read);
        QFETCH(int, readCode);
        QFETCH(int, writeCode);
        QFETCH(QByteArray, written);
        const codec::FileShape shape =
            readCode < 0 ? codec::FileShape()
                         : codec::textFromBytes(read, codec::textCodeOf(readCode)).shape;
        QCOMPARE(codec::bytesFromText(u"a\r\nb\r\n"_s, codec::textCodeOf(writeCode), shape).bytes,
                 written);
        QCOMPARE(codec::bytesFromLines(u"a\u2029b\u2029"_s, codec::textCodeOf(writeCode), shape, 2)
                     .bytes,
                 written);
    }

    // Every reading of a file written from a text gives the text back, in both encodings.
    void writtenTextReadsBack_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("Shift_JIS") << 0;
        QTest::newRow("EUC-JP") << 1;
        QTest::newRow("UTF-8") << 2;
    }
    void writtenTextReadsBack()
    {
        QFETCH(int, code);
        const QString text = u"<html>\r\n<p>日本語 ｶﾀｶﾅ ①Ⅱ㈱ 髙 纊 ～\r\n</p>\r\n"_s;
        const codec::EncodedText encoded = codec::bytesFromText(text, codec::textCodeOf(code));
        const codec::LoadedText loaded =
            codec::textFromBytes(encoded.bytes, codec::textCodeOf(code));
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
        const codec::TextPosition at = codec::positionOf(text, index);
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
        QCOMPARE(files::absoluteDocumentPath(path, current), absolute);
    }

    void commandLineArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("ignored");
        QTest::newRow("none") << QStringList() << QString() << QStringList();
        QTest::newRow("one with spaces")
            << QStringList{u"a b.html"_s} << u"/w/a b.html"_s << QStringList();
        QTest::newRow("file URL") << QStringList{u"file:///t/a%20b%E6%97%A5.html"_s}
                                  << u"/t/a b日.html"_s << QStringList();
        QTest::newRow("file URL on localhost")
            << QStringList{u"FILE://localhost/t/x.html"_s} << u"/t/x.html"_s << QStringList();
        QTest::newRow("two files: the second is ignored")
            << QStringList{u"a.html"_s, u"/t/b.html"_s} << u"/w/a.html"_s
            << QStringList{u"/t/b.html"_s};
        // An unquoted path with spaces still opens when only the whole names a file.
        const QString home = testsupport::home().path();
        QFile spaced(home + u"/my page.html"_s);
        QVERIFY(spaced.open(QIODevice::WriteOnly));
        QTest::newRow("unquoted spaces") << QStringList{home + u"/my"_s, u"page.html"_s}
                                         << home + u"/my page.html"_s << QStringList();
    }
    void commandLineArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, path);
        QFETCH(QStringList, ignored);
        const files::DocumentArguments got = files::documentArguments(arguments, u"/w"_s);
        QCOMPARE(got.path, path);
        QCOMPARE(got.ignored, ignored);
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
        QCOMPARE(files::folderOfPath(path), folder);
    }

    void lineOfByte()
    {
        const QByteArray bytes("a\r\nb\rc\nd");
        QCOMPARE(codec::lineOfByte(bytes, 0), 1);
        QCOMPARE(codec::lineOfByte(bytes, 3), 2);
        QCOMPARE(codec::lineOfByte(bytes, 5), 3);
        QCOMPARE(codec::lineOfByte(bytes, 7), 4);
    }

    // Every way a file cannot be opened has its reason in Japanese, and nothing waits on a pipe.
    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reasonPart");
        const QString home = testsupport::home().path();
        const QByteArray native = QFile::encodeName(home);
        QTest::newRow("missing") << home + u"/missing.html"_s << u"見つかりません"_s;
        QTest::newRow("folder") << home << u"フォルダー"_s;
        QTest::newRow("endless device") << u"/dev/zero"_s << u"通常のファイル"_s;
        ::mkfifo(native + "/pipe.html", 0600);
        QTest::newRow("pipe without a writer") << home + u"/pipe.html"_s << u"通常のファイル"_s;
        QFile::link(home + u"/loop-b.html"_s, home + u"/loop-a.html"_s);
        QFile::link(home + u"/loop-a.html"_s, home + u"/loop-b.html"_s);
        QTest::newRow("link loop") << home + u"/loop-a.html"_s << u"循環"_s;
        QTest::newRow("name too long") << home + u'/' + QString(300, u'n') << u"長すぎ"_s;
        QTest::newRow("below a file") << u"/dev/null/page.html"_s << u"フォルダーでない"_s;
        // A name that is not UTF-8 cannot be spelled in the program's text: it says why.
        const QByteArray badName = native + "/bad\xff.html";
        ::close(::open(badName.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        QTest::newRow("name not UTF-8") << QFile::decodeName(badName) << u"UTF-8"_s;
    }
    void unreadableFiles()
    {
        QFETCH(QString, path);
        QFETCH(QString, reasonPart);
        const auto read = files::readDocumentFile(path, codec::TextCode::ShiftJis);
        QVERIFY(std::holds_alternative<files::FileFailure>(read));
        const QString reason = std::get<files::FileFailure>(read).reason;
        QVERIFY2(reason.contains(reasonPart), qPrintable(reason));
    }
    void cleanupTestCase()
    {
        // The folder's own clean-up cannot spell this name.
        ::unlink((QFile::encodeName(testsupport::home().path()) + "/bad\xff.html").constData());
    }
};

TAVLEN_TEST_MAIN(TestDocumentFile)
#include "test_filetext.moc"
