// Unsaved work on the main window: the snapshot while typing and before preview and printing, the
// offer to restore at start, its removal on save and close, a recovery folder that cannot be
// used, and a file changed or deleted behind the editor's back.
#include "app/maintoolbar.h"
#include "document/documentcontroller.h"
#include "files/atomicwrite.h"
#include "files/recoveryfolder.h"
#include "files/snapshotkeeper.h"
#include "mainwindowfixture.h"
#include "platform/richtextbox.h"
#include "testenv.h"
#include "testfiles.h"
#include "testwindow.h"

#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

#include <utime.h>

using namespace Qt::StringLiterals;
using platform::MsgAnswer;
using testfiles::contents;
using testfiles::put;
using testsupport::MainWindowFixture;

namespace
{

QString folder()
{
    return files::recoveryFolder();
}

QStringList snapshotsOnDisk()
{
    return QDir(folder()).entryList({u"*.snapshot"_s}, QDir::Files);
}

void leave(const files::Snapshot &s)
{
    QVERIFY(QDir().mkpath(folder()));
    QVERIFY(!files::writeFileAtomically(files::snapshotFileName(folder(), u"crashed"_s),
                                        files::encodeSnapshot(s)));
}

files::Snapshot unsaved(const QString &text, const QString &path)
{
    files::Snapshot s;
    s.text = text;
    s.path = path;
    s.diskFile = files::stampOf(path);
    s.time = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    return s;
}

// Sets the file's modification time back by a minute, so a rewrite is surely seen as one.
void ageFile(const QString &path)
{
    const time_t old = time(nullptr) - 60;
    const utimbuf times{old, old};
    QCOMPARE(::utime(QFile::encodeName(path).constData(), &times), 0);
}

} // namespace

class TestRecoveryWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QDir(folder()).removeRecursively(); }

    void typingKeepsASnapshotThatSaveRemoves()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/doc.html"_s;
        put(path, "<p>old</p>\r\n");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start(path);
        w.recovery().setDelays(20, 100);
        w.editor()->setSelText(u"日本\r\n"_s);
        QTRY_COMPARE(snapshotsOnDisk().size(), 1);
        const auto kept = files::decodeSnapshot(contents(w.recovery().snapshotFile()));
        QVERIFY(kept);
        QCOMPARE(kept->text, w.editor()->Text());
        QCOMPARE(kept->path, path);
        QVERIFY(kept->diskFile == files::stampOf(path, contents(path)));

        w.mnuSaveFile_Click();
        QVERIFY(!w.sharedState().bolEditing);
        QVERIFY(snapshotsOnDisk().isEmpty());
    }

    void aSnapshotIsWrittenBeforePreviewAndPrinting_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::newRow("preview") << true;
        QTest::newRow("print") << false;
    }
    void aSnapshotIsWrittenBeforePreviewAndPrinting()
    {
        QFETCH(bool, preview);
        QTemporaryDir dir;
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.sharedState().strFileFolder = dir.path();
        w.recovery().setDelays(600000, 600000); // typing has not paused long enough yet
        w.editor()->setSelText(u"打ったばかり"_s);
        QVERIFY(snapshotsOnDisk().isEmpty());
        if (preview) {
            w.mainMenu().mnuPreview->trigger();
        } else {
            bool keptBeforeTheDialog = false;
            f.dialogs.steps << [&](platform::DialogProperties &) {
                keptBeforeTheDialog = snapshotsOnDisk().size() == 1;
                return platform::DialogOutcome::Cancelled;
            };
            w.mnuPrint_Click();
            QVERIFY(keptBeforeTheDialog);
        }
        QCOMPARE(snapshotsOnDisk().size(), 1);
        const auto kept = files::decodeSnapshot(contents(w.recovery().snapshotFile()));
        QVERIFY(kept);
        QCOMPARE(kept->text, u"打ったばかり"_s);
        w.sharedState().bolEditing = false;
    }

    void aRecoveryFolderThatCannotBeMadeIsNamedAtStart()
    {
        const QByteArray data = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", "/proc/self/nowhere"); // not even root makes a folder here
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        qputenv("XDG_DATA_HOME", data);
        QVERIFY(!w.recovery().enabled());
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].title, u"警告"_s);
        QVERIFY2(f.prompter.shown[0].text.contains(u"/proc/self/nowhere/Tavlen/Recovery"_s),
                 qPrintable(f.prompter.shown[0].text));
        w.editor()->setSelText(u"x"_s); // once: typing brings no more messages
        QCOMPARE(f.prompter.shown.size(), 1);
        w.sharedState().bolEditing = false;
    }

    void aNormalCloseRemovesTheSnapshot()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(u"新しい文書"_s);
        QVERIFY(!w.recovery().writeNow());
        QCOMPARE(snapshotsOnDisk().size(), 1);
        f.prompter.answers << MsgAnswer::Cancel;
        QVERIFY(!w.close()); // cancelled: the snapshot stays
        QCOMPARE(snapshotsOnDisk().size(), 1);
        f.prompter.answers << MsgAnswer::No;
        QVERIFY(w.close());
        QVERIFY(snapshotsOnDisk().isEmpty());
    }

    void startOffersWhatACrashLeft_data()
    {
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<bool>("relative");
        QTest::newRow("document bound to a file") << true << false;
        QTest::newRow("new document") << false << false;
        // Which folder it meant cannot be known, not even when the current one holds that name.
        QTest::newRow("path without its folder") << true << true;
    }
    void startOffersWhatACrashLeft()
    {
        QFETCH(bool, withFile);
        QFETCH(bool, relative);
        QTemporaryDir dir;
        const QString file = dir.path() + u"/ページ 1.html"_s;
        if (withFile)
            put(file, "<p>saved</p>\r\n");
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        leave(unsaved(u"<p>未保存</p>\r\n"_s,
                      withFile ? (relative ? u"ページ 1.html"_s : file) : QString()));
        const QString path = withFile && !relative ? file : QString();
        withFile = !path.isEmpty();

        MainWindowFixture f;
        f.prompter.answers << MsgAnswer::Yes;
        testsupport::TestWindow &w = f.start();
        QCOMPARE(f.prompter.shown.size(), 1);
        const QString question = f.prompter.shown[0].text;
        QVERIFY2(question.contains(withFile ? path : u"新規ファイル"_s), qPrintable(question));
        QVERIFY2(question.contains(u"2024/05/06 07:08:09"_s), qPrintable(question));
        QCOMPARE(f.prompter.shown[0].buttons, platform::MsgButtons::YesNoCancel);

        QCOMPARE(w.editor()->Text(), u"<p>未保存</p>\r\n"_s);
        QVERIFY(w.sharedState().bolEditing);
        QCOMPARE(w.sharedState().strFilePath, path);
        QCOMPARE(w.windowTitle(), (withFile ? path : u"新規ファイル"_s) + u" - たぶれん"_s);
        QCOMPARE(w.mainMenu().mnuSaveFile->isEnabled(), withFile);
        // The restored text now lives under this copy's snapshot; the old one is gone.
        QCOMPARE(snapshotsOnDisk(), QStringList{QFileInfo(w.recovery().snapshotFile()).fileName()});
        if (withFile) {
            w.mnuSaveFile_Click(); // the file is as it was when the snapshot was taken: no question
            QCOMPARE(f.prompter.shown.size(), 1);
            QCOMPARE(contents(path), QByteArray("<p>\x96\xA2\x95\xDB\x91\xB6</p>\r\n"));
        }
        if (relative)
            QCOMPARE(contents(file), QByteArray("<p>saved</p>\r\n"));
        QVERIFY(QDir::setCurrent(before));
    }

    void declinedOrPostponedOffers()
    {
        leave(unsaved(u"捨てる"_s, QString()));
        {
            MainWindowFixture f;
            f.prompter.answers << MsgAnswer::Cancel;
            testsupport::TestWindow &w = f.start();
            QCOMPARE(f.prompter.shown.size(), 1);
            QVERIFY(w.editor()->Text().isEmpty());
            QVERIFY(!w.sharedState().bolEditing);
        }
        QCOMPARE(snapshotsOnDisk().size(), 1); // Cancel: offered again next time
        {
            MainWindowFixture f;
            f.prompter.answers << MsgAnswer::No;
            testsupport::TestWindow &w = f.start();
            QCOMPARE(f.prompter.shown.size(), 1);
            QVERIFY(w.editor()->Text().isEmpty());
        }
        QVERIFY(snapshotsOnDisk().isEmpty());
        MainWindowFixture f;
        f.start();
        QVERIFY(f.prompter.shown.isEmpty());
    }

    void aSecondRunningCopyIsNotOffered()
    {
        MainWindowFixture first;
        testsupport::TestWindow &w = first.start();
        w.editor()->setText(u"編集中"_s);
        QVERIFY(!w.recovery().writeNow());
        MainWindowFixture second;
        second.start();
        QVERIFY(second.prompter.shown.isEmpty());
        w.sharedState().bolEditing = false;
    }

    void saveNoticesTheFileChangedOrDeleted_data()
    {
        QTest::addColumn<bool>("deleteIt");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("sameSizeOldTime"); // rewritten, then its time stamp put back
        QTest::newRow("changed, overwrite") << false << MsgAnswer::Yes << false;
        QTest::newRow("changed, keep theirs") << false << MsgAnswer::No << false;
        QTest::newRow("deleted, write again") << true << MsgAnswer::Yes << false;
        QTest::newRow("deleted, leave it") << true << MsgAnswer::No << false;
        QTest::newRow("same size, old time, keep theirs") << false << MsgAnswer::No << true;
        QTest::newRow("same size, old time, overwrite") << false << MsgAnswer::Yes << true;
    }
    void saveNoticesTheFileChangedOrDeleted()
    {
        QFETCH(bool, deleteIt);
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, sameSizeOldTime);
        QTemporaryDir dir;
        const QString path = dir.path() + u"/doc.html"_s;
        put(path, "<p>old</p>\r\n");
        ageFile(path);
        struct stat opened {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &opened), 0);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start(path);
        w.editor()->setText(u"<p>mine</p>\r\n"_s);
        if (deleteIt) {
            QVERIFY(QFile::remove(path));
        } else if (sameSizeOldTime) {
            put(path, "<p>new</p>\r\n");
            const timespec times[2] = {opened.st_atim, opened.st_mtim};
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        } else {
            put(path, "<p>theirs</p>\r\n");
        }

        f.prompter.answers << answer;
        w.mnuSaveFile_Click();
        QCOMPARE(f.prompter.shown.size(), 1);
        QVERIFY2(f.prompter.shown[0].text.contains(deleteIt ? u"削除"_s : u"書き換え"_s),
                 qPrintable(f.prompter.shown[0].text));
        QVERIFY(f.prompter.shown[0].text.contains(path));
        if (answer == MsgAnswer::Yes) {
            QCOMPARE(contents(path), QByteArray("<p>mine</p>\r\n"));
            QVERIFY(!w.sharedState().bolEditing);
            w.editor()->setSelText(u"x"_s);
            w.mnuSaveFile_Click(); // our own save is no outside change
            QCOMPARE(f.prompter.shown.size(), 1);
        } else {
            QCOMPARE(contents(path), deleteIt          ? QByteArray("<unreadable>")
                                     : sameSizeOldTime ? QByteArray("<p>new</p>\r\n")
                                                       : QByteArray("<p>theirs</p>\r\n"));
            QVERIFY(w.sharedState().bolEditing);
        }
        w.sharedState().bolEditing = false;
    }

    // New permissions move the change time but not the content: saving asks nothing.
    void newPermissionsAreNoChange()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/doc.html"_s;
        put(path, "<p>old</p>\r\n");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start(path);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        w.editor()->setText(u"<p>mine</p>\r\n"_s);
        w.mnuSaveFile_Click();
        QCOMPARE(f.prompter.shown.size(), 0);
        QCOMPARE(contents(path), QByteArray("<p>mine</p>\r\n"));
    }

    // The same bytes written again (as when a save in place that was cut short put the old
    // bytes back) are no change of another program: saving asks nothing.
    void sameBytesWrittenAgainAreNoChange()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/doc.html"_s;
        put(path, "<p>old</p>\r\n");
        ageFile(path);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start(path);
        put(path, "<p>old</p>\r\n");
        w.editor()->setText(u"<p>mine</p>\r\n"_s);
        w.mnuSaveFile_Click();
        QCOMPARE(f.prompter.shown.size(), 0);
        QCOMPARE(contents(path), QByteArray("<p>mine</p>\r\n"));
    }

    // Another running copy keeps unsaved changes to the file: opening it says so, and the user
    // may go on or leave it.
    void openingAFileAnotherCopyIsEditing_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("open anyway") << MsgAnswer::Yes;
        QTest::newRow("leave it") << MsgAnswer::No;
    }
    void openingAFileAnotherCopyIsEditing()
    {
        QFETCH(MsgAnswer, answer);
        QTemporaryDir dir;
        const QString path = dir.path() + u"/doc.html"_s;
        put(path, "<p>old</p>\r\n");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        // The other copy: a live process whose lock the snapshot's lock file names.
        QProcess other;
        other.start(u"sleep"_s, {u"60"_s});
        QVERIFY(other.waitForStarted());
        put(files::lockFileName(folder(), u"other"_s),
            QByteArray::number(other.processId()) + "\nsleep\n" +
                QSysInfo::machineHostName().toUtf8() + '\n');
        QVERIFY(!files::writeFileAtomically(
            files::snapshotFileName(folder(), u"other"_s),
            files::encodeSnapshot(unsaved(u"<p>theirs</p>"_s, dir.path() + u"/./doc.html"_s))));

        f.prompter.answers << answer;
        QCOMPARE(w.documents().OpenDocument(path), answer == MsgAnswer::Yes);
        other.kill();
        other.waitForFinished();
        QCOMPARE(f.prompter.shown.size(), 1);
        QVERIFY2(f.prompter.shown[0].text.contains(u"ほかに起動しているたぶれん"_s),
                 qPrintable(f.prompter.shown[0].text));
        QCOMPARE(w.sharedState().strFilePath, answer == MsgAnswer::Yes ? path : QString());
    }

    void aFileReplacedByRenameIsAChange()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/doc.html"_s;
        put(path, "<p>old</p>\r\n");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start(path);
        // Another editor's atomic save: same size, a new file under the same name.
        put(dir.path() + u"/other"_s, "<p>new</p>\r\n");
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::rename(dir.path() + u"/other"_s, path));
        w.editor()->setText(u"<p>mine</p>\r\n"_s);
        f.prompter.answers = {MsgAnswer::Yes, MsgAnswer::No};
        QVERIFY(w.ConfirmSave()); // wants to save, declines the overwrite: the command stops
        QCOMPARE(f.prompter.shown.size(), 2);
        QCOMPARE(contents(path), QByteArray("<p>new</p>\r\n"));
        w.sharedState().bolEditing = false;
    }
};

TAVLEN_TEST_MAIN(TestRecoveryWindow)
#include "test_recoverywindow.moc"
