// The document commands on a real main window with scripted dialogs and prompts: New, Open,
// Save, Save As, ConfirmSave, the recent files, drops, and what happens when a file cannot be
// read or written or would not be written back the same.
#include "app/maintoolbar.h"
#include "document/documentcontroller.h"
#include "files/snapshotkeeper.h"
#include "mainwindowfixture.h"
#include "platform/richtextbox.h"
#include "reference/richtextrtf.h"
#include "testenv.h"
#include "testfiles.h"
#include "testwindow.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrl>

#include <unistd.h>

using namespace Qt::StringLiterals;
using platform::MsgAnswer;
using testsupport::MainWindowFixture;
using testsupport::ScriptedDialogs;

namespace
{

using testfiles::contents;
using testfiles::put;

bool saveEnabled(testsupport::TestWindow &w)
{
    const bool menu = w.mainMenu().mnuSaveFile->isEnabled();
    const bool button = w.toolBar()->Buttons(u"Save"_s)->isEnabled();
    return menu && button;
}

// A window with one modified document bound to a file.
struct Edited {
    MainWindowFixture f;
    QTemporaryDir dir;
    QString path = dir.path() + u"/doc.html"_s;
    testsupport::TestWindow *w = nullptr;

    Edited()
    {
        put(path, "<p>old</p>\r\n");
        w = &f.start(path);
        w->editor()->setText(u"<p>new</p>\r\n"_s);
        f.prompter.shown.clear();
    }
};

} // namespace

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openSetsTheDocumentState()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/a/b.htm"_s;
        QVERIFY(QDir(dir.path()).mkdir(u"a"_s));
        put(path, "<p>\x93\xFA\x96\x7B</p>\r\n");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        f.dialogs.steps << ScriptedDialogs::choose(path);
        w.mnuOpenFile_Click();
        QCOMPARE(f.dialogs.calls.first().seen.DialogTitle, u"ファイルを開く"_s);
        QCOMPARE(f.dialogs.calls.first().seen.Flags, 0x281004u);
        QCOMPARE(w.editor()->Text(), u"<p>日本</p>\r\n"_s);
        QCOMPARE(w.windowTitle(), path + u" - たぶれん"_s);
        QCOMPARE(w.sharedState().strFilePath, path);
        QCOMPARE(w.sharedState().strFileFolder, dir.path() + u"/a"_s);
        QVERIFY(!w.sharedState().bolEditing);
        QVERIFY(!w.sharedState().bolBusy);
        QVERIFY(saveEnabled(w));
        QCOMPARE(w.appSettings().RecentFiles[0], path);
        QCOMPARE(f.store.value(u"RecentFiles"_s, u"File01"_s), path);
        QVERIFY(f.store.flushCount() > 0);
        QCOMPARE(w.mainMenu().mnuRList[0]->text(), path);
        QVERIFY(w.mainMenu().mnuRList[0]->isEnabled());
        QVERIFY(f.prompter.shown.isEmpty());
    }

    void newFile_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QList<MsgAnswer>>("answers");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::newRow("unmodified asks nothing")
            << false << QList<MsgAnswer>{} << true << QByteArray("<p>old</p>\r\n");
        QTest::newRow("Cancel keeps the text")
            << true << QList<MsgAnswer>{MsgAnswer::Cancel} << false << QByteArray("<p>old</p>\r\n");
        QTest::newRow("No discards")
            << true << QList<MsgAnswer>{MsgAnswer::No} << true << QByteArray("<p>old</p>\r\n");
        QTest::newRow("Yes saves to the path")
            << true << QList<MsgAnswer>{MsgAnswer::Yes} << true << QByteArray("<p>new</p>\r\n");
    }
    void newFile()
    {
        QFETCH(bool, modified);
        QFETCH(QList<MsgAnswer>, answers);
        QFETCH(bool, cleared);
        QFETCH(QByteArray, fileAfter);
        Edited e;
        testsupport::TestWindow &w = *e.w;
        if (!modified) {
            w.sharedState().bolEditing = false;
        }
        e.f.prompter.answers = answers;
        w.fileDialog().props.FileName = u"x.html"_s;
        w.mnuNewFile_Click();
        QCOMPARE(e.f.prompter.shown.size(), modified ? 1 : 0);
        if (modified)
            QCOMPARE(e.f.prompter.shown.first().buttons, platform::MsgButtons::YesNoCancel);
        QCOMPARE(contents(e.path), fileAfter);
        if (cleared) {
            QCOMPARE(w.editor()->Text(), QString());
            QCOMPARE(w.windowTitle(), u"新規ファイル - たぶれん"_s);
            QVERIFY(w.sharedState().strFilePath.isEmpty());
            QCOMPARE(w.sharedState().strFileFolder, e.dir.path()); // the document folder stays
            QVERIFY(!w.sharedState().bolEditing);
            QVERIFY(!saveEnabled(w));
            QVERIFY(w.fileDialog().props.FileName.isEmpty());
        } else {
            QCOMPARE(w.editor()->Text(), u"<p>new</p>\r\n"_s);
            QCOMPARE(w.sharedState().strFilePath, e.path);
            QVERIFY(w.sharedState().bolEditing);
        }
    }

    void openOrder_data()
    {
        QTest::addColumn<bool>("dialogCancelled");
        QTest::addColumn<int>("questions");
        QTest::newRow("dialog cancelled: no question") << true << 0;
        QTest::newRow("question cancelled: document kept") << false << 1;
    }
    void openOrder()
    {
        QFETCH(bool, dialogCancelled);
        QFETCH(int, questions);
        Edited e;
        const QString other = e.dir.path() + u"/other.html"_s;
        put(other, "other");
        e.f.dialogs.steps << (dialogCancelled ? ScriptedDialogs::cancel()
                                              : ScriptedDialogs::choose(other));
        if (questions > 0)
            e.f.prompter.answers << MsgAnswer::Cancel;
        e.w->mnuOpenFile_Click();
        QCOMPARE(e.f.prompter.shown.size(), questions);
        QCOMPARE(e.w->sharedState().strFilePath, e.path);
        QCOMPARE(e.w->editor()->Text(), u"<p>new</p>\r\n"_s);
        QVERIFY(e.w->sharedState().bolEditing);
    }

    void saveWithPathWritesAndClearsModified()
    {
        Edited e;
        e.w->toolBar()->Buttons(u"Save"_s)->trigger();
        QCOMPARE(contents(e.path), QByteArray("<p>new</p>\r\n"));
        QVERIFY(!e.w->sharedState().bolEditing);
        QVERIFY(e.f.prompter.shown.isEmpty());
    }

    void saveNewDocument_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("saved");
        QTest::newRow("No does nothing") << MsgAnswer::No << false;
        QTest::newRow("Yes saves as") << MsgAnswer::Yes << true;
    }
    void saveNewDocument()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        const QString path = dir.path() + u"/new.html"_s;
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(u"abc"_s);
        f.prompter.answers << answer;
        if (saved)
            f.dialogs.steps << ScriptedDialogs::choose(path);
        w.mnuSaveFile_Click();
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown.first().text,
                 u"このドキュメントはまだファイルに保存されていません。\r\n"
                 u"ファイルを作成して保存しますか？"_s);
        QCOMPARE(QFile::exists(path), saved);
        QCOMPARE(w.sharedState().bolEditing, !saved);
        QCOMPARE(saveEnabled(w), saved);
        if (saved) {
            QCOMPARE(f.dialogs.calls.first().seen.DialogTitle, u"ファイルに保存"_s);
            QCOMPARE(f.dialogs.calls.first().seen.Flags, 0x280006u);
            QCOMPARE(w.windowTitle(), path + u" - たぶれん"_s);
            QCOMPARE(w.sharedState().strFilePath, path);
            QCOMPARE(w.appSettings().RecentFiles[0], path);
            QVERIFY(w.sharedState().strFileFolder.isEmpty()); // Save As leaves the document folder
        }
    }

    void recentListKeepsCaseAndDropsTheOldest()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        document::DocumentController &docs = w.documents();
        for (int i = 1; i <= 10; ++i)
            docs.AddRecentFile(u"/p/%1.html"_s.arg(i));
        docs.AddRecentFile(u"/p/3.html"_s);
        QCOMPARE(w.appSettings().RecentFiles[0], u"/p/10.html"_s);
        QCOMPARE(w.appSettings().RecentFiles[7], u"/p/3.html"_s);
        docs.AddRecentFile(u"/p/11.html"_s);
        QCOMPARE(w.appSettings().RecentFiles[0], u"/p/11.html"_s);
        QCOMPARE(w.appSettings().RecentFiles[9], u"/p/2.html"_s);
        QCOMPARE(f.store.value(u"RecentFiles"_s, u"File10"_s), u"/p/2.html"_s);
        QCOMPARE(w.mainMenu().mnuRList[9]->text(), u"/p/2.html"_s);
        // Names differing only in case are two files; a path without its folder is not listed.
        docs.AddRecentFile(u"/P/3.HTML"_s);
        QCOMPARE(w.appSettings().RecentFiles[0], u"/P/3.HTML"_s);
        QCOMPARE(w.appSettings().RecentFiles[9], u"/p/3.html"_s);
        docs.AddRecentFile(u"3.html"_s);
        QCOMPARE(w.appSettings().RecentFiles[0], u"/P/3.HTML"_s);
    }

    void filesDifferingInCaseOpenEachFromTheRecentList()
    {
        QTemporaryDir dir;
        const QString upper = dir.path() + u"/Index.html"_s;
        const QString lower = dir.path() + u"/index.html"_s;
        put(upper, "upper");
        put(lower, "lower");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start(upper);
        w.OpenDocument(lower);
        QCOMPARE(w.appSettings().RecentFiles[0], lower);
        QCOMPARE(w.appSettings().RecentFiles[1], upper);
        w.mnuRList_Click(1);
        QCOMPARE(w.editor()->Text(), u"upper"_s);
        QCOMPARE(w.sharedState().strFilePath, upper);
    }

    void aRecentEntryWithoutItsFolderIsNotGuessed()
    {
        QTemporaryDir dir;
        put(dir.path() + u"/page.html"_s, "here");
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        MainWindowFixture f;
        f.store.write(u"RecentFiles"_s, u"File01"_s, u"page.html"_s);
        testsupport::TestWindow &w = f.start();
        w.mnuRList_Click(0);
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown.first().title, u"エラー"_s);
        QVERIFY(w.editor()->Text().isEmpty());
        QVERIFY(w.sharedState().strFilePath.isEmpty());
    }

    void flushFailureIsReportedOnce()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        f.store.setFlushFailure(u"ディスクがいっぱいです"_s);
        w.documents().AddRecentFile(u"/a.html"_s);
        w.documents().AddRecentFile(u"/b.html"_s);
        QCOMPARE(f.prompter.shown.size(), 1);
        QVERIFY(f.prompter.shown.first().text.contains(u"ディスクがいっぱいです"_s));
    }

    void recentEntryOpensAndAVanishedOneChangesNothing()
    {
        Edited e;
        testsupport::TestWindow &w = *e.w;
        const QString other = e.dir.path() + u"/other.html"_s;
        put(other, "<b>other</b>");
        w.documents().AddRecentFile(other);
        w.sharedState().bolEditing = false;
        w.mainMenu().mnuRList[0]->trigger();
        QCOMPARE(w.sharedState().strFilePath, other);
        QCOMPARE(w.editor()->Text(), u"<b>other</b>"_s);

        QVERIFY(QFile::remove(other));
        w.editor()->setText(u"edited"_s);
        e.f.prompter.answers << MsgAnswer::No;
        w.mnuRList_Click(0);
        QCOMPARE(e.f.prompter.shown.size(), 2);
        QCOMPARE(e.f.prompter.shown.last().title, u"エラー"_s);
        QVERIFY(e.f.prompter.shown.last().text.contains(other));
        QCOMPARE(w.editor()->Text(), u"edited"_s);
        QCOMPARE(w.sharedState().strFilePath, other);
        QCOMPARE(w.windowTitle(), other + u" - たぶれん"_s);
        QVERIFY(w.sharedState().bolEditing);
        QVERIFY(!w.sharedState().bolBusy);
    }

    void drop_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("opens");
        QTest::newRow("INDEX.HTM opens") << QStringList{u"INDEX.HTM"_s} << true;
        QTest::newRow("x.shtml opens") << QStringList{u"x.shtml"_s} << true;
        QTest::newRow(".txt refused") << QStringList{u"a.txt"_s} << false;
        QTest::newRow("no extension refused") << QStringList{u"html"_s} << false;
        QTest::newRow("only the first counts") << QStringList{u"a.txt"_s, u"b.html"_s} << false;
    }
    void drop()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        QList<QUrl> urls;
        for (const QString &name : files) {
            put(dir.path() + u'/' + name, "dropped");
            urls << QUrl::fromLocalFile(dir.path() + u'/' + name);
        }
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        QMimeData data;
        data.setUrls(urls);
        w.rtbMain_OLEDragDrop(&data);
        // The drop returns first; its messages and questions come after.
        QVERIFY(f.prompter.shown.isEmpty());
        QVERIFY(w.sharedState().strFilePath.isEmpty());
        QCoreApplication::processEvents();
        if (opens) {
            QCOMPARE(w.sharedState().strFilePath, urls.first().toLocalFile());
            QCOMPARE(w.editor()->Text(), u"dropped"_s);
            QVERIFY(f.prompter.shown.isEmpty());
        } else {
            QCOMPARE(f.prompter.shown.size(), 1);
            QCOMPARE(f.prompter.shown.first().text, u"HTMLファイル以外を開くことはできません。"_s);
            QCOMPARE(f.prompter.shown.first().title, u"エラー"_s);
            QCOMPARE(f.prompter.shown.first().icon, platform::MsgIcon::Exclamation);
            QVERIFY(w.sharedState().strFilePath.isEmpty());
        }
    }

    void droppedTextGoesToTheCaret()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(u"abcd"_s);
        w.editor()->setSelStart(2);
        QMimeData data;
        data.setText(u"日本"_s);
        w.rtbMain_OLEDragDrop(&data);
        QCOMPARE(w.editor()->Text(), u"ab日本cd"_s);
    }

    // EUC-JP both ways: LF in the file, CR LF in the editor, the same bytes after saving.
    void eucJpFileRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/euc.html"_s;
        const QByteArray euc("<p>\xC6\xFC\xCB\xDC\x8E\xB1\xAD\xA1</p>\n<br>\n");
        put(path, euc);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.appSettings().ReadCode = codec::TextCode::EucJp;
        w.appSettings().WriteCode = codec::TextCode::EucJp;
        w.OpenDocument(path);
        QCOMPARE(w.editor()->Text(), u"<p>日本ｱ①</p>\r\n<br>\r\n"_s);
        w.mnuSaveFile_Click();
        QCOMPARE(contents(path), euc);
        QVERIFY(f.prompter.shown.isEmpty());
    }

    // An unedited page saves as the same bytes: Shift_JIS with LF, UTF-8 with a byte order mark
    // and characters outside Shift_JIS; an edit changes only its own bytes.
    void pagesSaveByteForByte_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("edited"); // after typing "x" at the start
        QTest::newRow("Shift_JIS, LF")
            << 0 << QByteArray("<p>\x93\xFA</p>\n<br>\n") << QByteArray("x<p>\x93\xFA</p>\n<br>\n");
        QTest::newRow("EUC-JP, CR LF, NEC and IBM rows")
            << 1 << QByteArray("<p>\xC6\xFC\xAD\xA1\xF9\xA1\xFC\xF1</p>\r\n")
            << QByteArray("x<p>\xC6\xFC\xAD\xA1\xF9\xA1\xFC\xF1</p>\r\n");
        QTest::newRow("UTF-8, mark, LF")
            << 2 << QByteArray("\xEF\xBB\xBF<p>\xF0\xA0\xAE\xB7\xF0\x9F\x98\x80\xE3\x88\xB1</p>\n")
            << QByteArray("\xEF\xBB\xBFx<p>\xF0\xA0\xAE\xB7\xF0\x9F\x98\x80\xE3\x88\xB1</p>\n");
    }
    void pagesSaveByteForByte()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, edited);
        QTemporaryDir dir;
        const QString path = dir.path() + u"/page.html"_s;
        put(path, page);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.appSettings().ReadCode = codec::textCodeOf(code);
        w.appSettings().WriteCode = codec::textCodeOf(code);
        w.OpenDocument(path);
        w.mnuSaveFile_Click();
        QCOMPARE(contents(path), page);
        w.editor()->setSelStart(0);
        w.editor()->setSelText(u"x"_s);
        w.mnuSaveFile_Click();
        QCOMPARE(contents(path), edited);
        QVERIFY(f.prompter.shown.isEmpty());
    }

    // Any bytes opened and saved unedited come back the same, or the open names what would not:
    // random files of line breaks, the bytes that start multi-byte characters in each encoding,
    // the characters the editor keeps only as line breaks, byte order marks and stray bytes.
    void anyUneditedFileSavesTheSameOrWarns_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("Shift_JIS") << 0;
        QTest::newRow("EUC-JP") << 1;
        QTest::newRow("UTF-8") << 2;
    }
    void anyUneditedFileSavesTheSameOrWarns()
    {
        QFETCH(int, code);
        // Mostly what the encoding read holds, now and then something it does not.
        static const QList<QByteArray> kCommon = {"\r", "\n", "\r\n", "\r\n", "<p>", "a"};
        static const QList<QByteArray> kValid[] = {
            {"\x93\xFA", "\xB1", "\x87\x40", "\xFA\x5C", "\x81\x60"},
            {"\xA4\xA2", "\x8E\xB1", "\xF9\xA1", "\xAD\xA1", "\xFC\xF1"},
            {"\xE6\x97\xA5", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xEF\xB7\x90", "\xEF\xB7\x91",
             "\xF0\x9F\x98\x80"},
        };
        static const QList<QByteArray> kWild = {
            "\x8E",     "\x8F",         "\x8F\xD4\xE3",     "\x8F\xF3\xF3",
            "\xED\x40", "\xEF\xBB\xBF", QByteArray(1, '\0')};
        const QList<QByteArray> pieces = kCommon + kValid[code];
        QRandomGenerator random(20261207u + uint(code));
        QTemporaryDir dir;
        const QString path = dir.path() + u"/random.html"_s;
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.appSettings().ReadCode = codec::textCodeOf(code);
        w.appSettings().WriteCode = codec::textCodeOf(code);
        int exact = 0;
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes;
            if (random.bounded(8) == 0)
                bytes += "\xEF\xBB\xBF";
            for (int k = random.bounded(1, 9); k > 0; --k) {
                const int pick = random.bounded(16);
                bytes += pick == 0   ? QByteArray(1, char(random.bounded(0x80, 0x100)))
                         : pick == 1 ? kWild[random.bounded(kWild.size())]
                                     : pieces[random.bounded(pieces.size())];
            }
            put(path, bytes);
            f.prompter.shown.clear();
            w.OpenDocument(path);
            if (!f.prompter.shown.isEmpty())
                continue; // named at open; the first save asks
            ++exact;
            w.mnuSaveFile_Click();
            QVERIFY2(f.prompter.shown.isEmpty(), qPrintable(f.prompter.shown.value(0).text));
            QVERIFY2(contents(path) == bytes,
                     qPrintable(QString::fromLatin1(bytes.toHex(' ')) + u" saved as "_s +
                                QString::fromLatin1(contents(path).toHex(' '))));
        }
        qInfo("%d of 300 files opened without a warning", exact);
        QCOMPARE(f.prompter.unexpected, 0);
    }

    // A declared charset that is not the one written is asked about before the file is touched.
    void declarationQuestion_data()
    {
        QTest::addColumn<int>("writeCode");
        QTest::addColumn<QString>("page");
        QTest::addColumn<MsgAnswer>("answer"); // Ok: no question expected
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::addColumn<QString>("textAfter");
        const QString sjis = u"<meta charset=\"x-sjis\">\r\n<p>日</p>\r\n"_s;
        QTest::newRow("Yes rewrites the declaration")
            << 2 << sjis << MsgAnswer::Yes
            << QByteArray("<meta charset=\"UTF-8\">\r\n<p>\xE6\x97\xA5</p>\r\n")
            << u"<meta charset=\"UTF-8\">\r\n<p>日</p>\r\n"_s;
        QTest::newRow("No keeps it")
            << 2 << sjis << MsgAnswer::No
            << QByteArray("<meta charset=\"x-sjis\">\r\n<p>\xE6\x97\xA5</p>\r\n") << sjis;
        QTest::newRow("Cancel writes nothing")
            << 2 << sjis << MsgAnswer::Cancel << QByteArray("<p>old</p>\r\n") << sjis;
        QTest::newRow("same encoding, other label")
            << 0 << sjis << MsgAnswer::Ok
            << QByteArray("<meta charset=\"x-sjis\">\r\n<p>\x93\xFA</p>\r\n") << sjis;
        QTest::newRow("content type, EUC-JP written")
            << 1 << u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"_s
            << MsgAnswer::Yes
            << QByteArray(
                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">")
            << u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">"_s;
    }
    void declarationQuestion()
    {
        QFETCH(int, writeCode);
        QFETCH(QString, page);
        QFETCH(MsgAnswer, answer);
        QFETCH(QByteArray, fileAfter);
        QFETCH(QString, textAfter);
        Edited e;
        e.w->appSettings().WriteCode = codec::textCodeOf(writeCode);
        e.w->editor()->setText(page);
        if (answer != MsgAnswer::Ok)
            e.f.prompter.answers << answer;
        e.w->mnuSaveFile_Click();
        QCOMPARE(e.f.prompter.unexpected, 0);
        QCOMPARE(e.f.prompter.shown.size(), answer == MsgAnswer::Ok ? 0 : 1);
        if (answer != MsgAnswer::Ok)
            QCOMPARE(e.f.prompter.shown.first().title, u"確認"_s);
        QCOMPARE(contents(e.path), fileAfter);
        QCOMPARE(e.w->editor()->Text(), textAfter);
        QCOMPARE(e.w->sharedState().bolEditing, answer == MsgAnswer::Cancel);
        if (answer == MsgAnswer::Yes) { // one undo step brings the old declaration back
            e.w->editor()->undo();
            QCOMPARE(e.w->editor()->Text(), page);
        }
    }

    void unmappableCharactersAreAskedAbout_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::newRow("No writes nothing") << MsgAnswer::No << QByteArray("<p>old</p>\r\n");
        QTest::newRow("Yes writes references")
            << MsgAnswer::Yes << QByteArray("<p>\r\ncaf&#xE9; &#x1F600;</p>");
    }
    void unmappableCharactersAreAskedAbout()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(QByteArray, fileAfter);
        Edited e;
        e.w->editor()->setText(u"<p>\r\ncafé 😀</p>"_s);
        e.f.prompter.answers << answer;
        e.w->mnuSaveFile_Click();
        QCOMPARE(e.f.prompter.shown.size(), 1);
        QVERIFY2(e.f.prompter.shown.first().text.contains(u"2 行 4 列目の「é」（U+00E9）"_s),
                 qPrintable(e.f.prompter.shown.first().text));
        QCOMPARE(contents(e.path), fileAfter);
        QCOMPARE(e.w->sharedState().bolEditing, answer != MsgAnswer::Yes);
    }

    // A minified page: the offer to break its long line gives the length with thousands
    // separators, and No opens the page as it is.
    void minifiedPageOfferGroupsTheLength()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/min.html"_s;
        const QByteArray page = QByteArray("<p class=a id=b>x</p>").repeated(1200);
        put(path, page);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        f.prompter.answers << MsgAnswer::No;
        w.OpenDocument(path);
        QCOMPARE(f.prompter.shown.size(), 1);
        QVERIFY2(f.prompter.shown.first().text.contains(u"1 行目は 25,200 文字"_s),
                 qPrintable(f.prompter.shown.first().text));
        QCOMPARE(w.editor()->Text(), QString::fromLatin1(page));
    }

    // A file with a duplicate NEC/IBM code: a warning at open, a question at the first save.
    void inexactFileWarnsAndAsksBeforeOverwriting()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/dup.html"_s;
        const QByteArray original("<p>\r\n\xED\x40</p>\r\n");
        put(path, original);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.OpenDocument(path);
        QCOMPARE(f.prompter.shown.size(), 1);
        QVERIFY(f.prompter.shown.first().text.contains(u"2 行目"_s));
        QCOMPARE(w.sharedState().strFilePath, path);

        f.prompter.answers << MsgAnswer::No;
        w.mnuSaveFile_Click();
        QCOMPARE(f.prompter.shown.size(), 2);
        QCOMPARE(contents(path), original);
        f.prompter.answers << MsgAnswer::Yes;
        w.mnuSaveFile_Click();
        QCOMPARE(contents(path), QByteArray("<p>\r\n\xFA\x5C</p>\r\n"));
        w.mnuSaveFile_Click(); // asked once only
        QCOMPARE(f.prompter.shown.size(), 3);
        QCOMPARE(f.prompter.unexpected, 0);
    }

    // Yes to "save changes?" and then Cancel in the file dialog stops the command as Cancel does.
    void yesThenCancelledSaveAsStopsTheCommand_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"new", "open", "recent", "drop", "quit"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }
    void yesThenCancelledSaveAsStopsTheCommand()
    {
        QFETCH(QString, command);
        QTemporaryDir dir;
        const QString other = dir.path() + u"/other.html"_s;
        put(other, "other");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(u"unsaved"_s);
        w.appSettings().RecentFiles[0] = other;
        f.prompter.answers << MsgAnswer::Yes;
        if (command == u"open"_s)
            f.dialogs.steps << ScriptedDialogs::choose(other);
        f.dialogs.steps << ScriptedDialogs::cancel();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(other)});
        if (command == u"new"_s) {
            w.mnuNewFile_Click();
        } else if (command == u"open"_s) {
            w.mnuOpenFile_Click();
        } else if (command == u"recent"_s) {
            w.mnuRList_Click(0);
        } else if (command == u"drop"_s) {
            w.rtbMain_OLEDragDrop(&data);
            QCoreApplication::processEvents();
        } else {
            QVERIFY(!w.close());
        }
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(w.editor()->Text(), u"unsaved"_s);
        QVERIFY(w.sharedState().strFilePath.isEmpty());
        QCOMPARE(w.windowTitle(), u"新規ファイル - たぶれん"_s);
        QVERIFY(w.sharedState().bolEditing);
        w.sharedState().bolEditing = false;
    }

    // A save made through "save changes?" counts even when the file then cannot be opened.
    void saveInTheQuestionStandsWhenTheOpenFails()
    {
        Edited e;
        testsupport::TestWindow &w = *e.w;
        w.appSettings().RecentFiles[0] = e.dir.path() + u"/gone.html"_s;
        e.f.prompter.answers << MsgAnswer::Yes;
        w.mnuRList_Click(0);
        QCOMPARE(contents(e.path), QByteArray("<p>new</p>\r\n"));
        QCOMPARE(e.f.prompter.shown.size(), 2);
        QCOMPARE(e.f.prompter.shown.last().title, u"エラー"_s);
        QCOMPARE(w.sharedState().strFilePath, e.path);
        QCOMPARE(w.windowTitle(), e.path + u" - たぶれん"_s);
        QVERIFY(!w.sharedState().bolEditing);
        QVERIFY(!QFile::exists(w.recovery().snapshotFile()));
    }

    // Root may write a file whose permissions say read-only: saving over it asks first.
    void readOnlyFileAsksBeforeRootWrites_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("No writes nothing") << MsgAnswer::No;
        QTest::newRow("Yes writes") << MsgAnswer::Yes;
    }
    void readOnlyFileAsksBeforeRootWrites()
    {
        QFETCH(MsgAnswer, answer);
        if (::geteuid() != 0)
            QSKIP("only root may write a read-only file");
        Edited e;
        QVERIFY(
            QFile::setPermissions(e.path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        e.f.prompter.answers << answer;
        e.w->mnuSaveFile_Click();
        QCOMPARE(e.f.prompter.shown.size(), 1);
        const testsupport::ShownMessage &asked = e.f.prompter.shown.first();
        QCOMPARE(asked.title, u"確認"_s);
        QVERIFY2(asked.text.contains(u"読み取り専用"_s) && asked.text.contains(e.path),
                 qPrintable(asked.text));
        const bool yes = answer == MsgAnswer::Yes;
        QCOMPARE(contents(e.path), yes ? QByteArray("<p>new</p>\r\n") : "<p>old</p>\r\n");
        QCOMPARE(e.w->sharedState().bolEditing, !yes);
        QCOMPARE(QFileInfo(e.path).permissions() & 0x7077, QFileDevice::Permissions(0x4044));
        e.w->sharedState().bolEditing = false;
    }

    void failedSaveKeepsTheDocumentModified()
    {
        Edited e;
        testsupport::TestWindow &w = *e.w;
        e.f.dialogs.steps << ScriptedDialogs::choose(e.dir.path() + u"/missing/x.html"_s);
        w.mnuSaveAs_Click();
        QCOMPARE(e.f.prompter.shown.size(), 1);
        QCOMPARE(e.f.prompter.shown.first().title, u"エラー"_s);
        QCOMPARE(w.sharedState().strFilePath, e.path);
        QCOMPARE(w.windowTitle(), e.path + u" - たぶれん"_s);
        QVERIFY(w.sharedState().bolEditing);

        // Yes to "save changes?" with a save that fails stops the command.
        e.f.prompter.answers << MsgAnswer::Yes;
        e.f.dialogs.steps << ScriptedDialogs::choose(e.dir.path() + u"/missing/y.html"_s);
        w.sharedState().strFilePath.clear();
        w.mnuNewFile_Click();
        QCOMPARE(w.editor()->Text(), u"<p>new</p>\r\n"_s);
        QVERIFY(w.sharedState().bolEditing);
        QCOMPARE(e.f.prompter.shown.size(), 3);
    }

    // The editor's own file calls refuse what they cannot carry over exactly and say where.
    void editorFileCallsReportProblems()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/e.html"_s;
        put(path, "a\r\n\x93\xFA\x80\r\n");
        platform::RichTextBox box;
        QString reason;
        QVERIFY(!reference::loadFile(box, path, &reason));
        QVERIFY2(reason.contains(u"2 行目"_s), qPrintable(reason));
        QVERIFY(box.Text().isEmpty());

        box.setText(u"ab\r\nc☃"_s);
        QVERIFY(!reference::saveFile(box, path, &reason));
        QVERIFY2(reason.contains(u"2 行 2 列目"_s), qPrintable(reason));
        QCOMPARE(contents(path), QByteArray("a\r\n\x93\xFA\x80\r\n"));

        box.setText(u"日本\r\n"_s);
        QVERIFY(reference::saveFile(box, path, &reason));
        QCOMPARE(contents(path), QByteArray("\x93\xFA\x96\x7B\r\n"));
        QVERIFY(reference::loadFile(box, path, &reason));
        QCOMPARE(box.Text(), u"日本\r\n"_s);
    }
};

TAVLEN_TEST_MAIN(TestDocumentCommands)
#include "test_documentcommands.moc"
