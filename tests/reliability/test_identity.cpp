// Saving as another user in a shared folder, an interrupted save in place, special files where
// the settings are kept, and a tag set folder that cannot be listed: each run by the program in a
// child process (the fault driver) on the real file system.
#include "faultsetup.h"
#include "mainwindowfixture.h"
#include "testenv.h"
#include "testfiles.h"

#include "files/originalcopy.h"
#include "files/recoveryfolder.h"
#include "platform/richtextbox.h"
#include "tagsets/tagsetfile.h"
#include "tagsets/tagsetfolder.h"
#include "testwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using faults::Fault;
using faults::FaultScene;
using faults::linesStartingWith;
using testfiles::contents;
using testfiles::put;

namespace
{

constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;

const QByteArray Page = "<html><body><p>the page</p></body></html>\r\n";

} // namespace

class TestIdentity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QDir(files::recoveryFolder()).removeRecursively(); }

    // The user may write the page but not the folder (a shared site folder), or may write both
    // but cannot give a new file the page's owner: the page is written in place and stays the
    // same file, with its owner.
    void sharedPageIsSavedInPlace_data()
    {
        QTest::addColumn<bool>("folderWritable");
        QTest::newRow("folder not writable") << false;
        QTest::newRow("owner not reproducible") << true;
    }
    void sharedPageIsSavedInPlace()
    {
        QFETCH(bool, folderWritable);
        FaultScene scene;
        const QString page = scene.place() + u"/page.html"_s;
        put(page, Page);
        QString skip;
        if (!scene.arm(folderWritable ? Fault::OtherUser : Fault::SharedFolder, page, &skip))
            QSKIP(qPrintable(skip));
        if (folderWritable) { // root's page, writable by the group nobody is in
            QCOMPARE(::chown(QFile::encodeName(scene.place()).constData(), Nobody, NoGroup), 0);
            QCOMPARE(::chown(QFile::encodeName(page).constData(), 0, NoGroup), 0);
            QCOMPARE(::chmod(QFile::encodeName(page).constData(), 0664), 0);
        }
        struct stat before {
        };
        QCOMPARE(::stat(QFile::encodeName(page).constData(), &before), 0);
        const FaultScene::Run run = scene.runDriver({u"save"_s, page});
        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.output));
        QCOMPARE(linesStartingWith(run.output, u"messages="_s), QStringList{u"0"_s});
        QCOMPARE(linesStartingWith(run.output, u"modified="_s), QStringList{u"0"_s});
        QVERIFY(contents(page).startsWith(Page));
        QVERIFY(contents(page).size() > Page.size());
        struct stat after {
        };
        QCOMPARE(::stat(QFile::encodeName(page).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(scene.entries(), QStringList{u"page.html"_s});
        QCOMPARE(QDir(scene.childHome() + u"/.local/share/Tavlen/Recovery"_s)
                     .entryList({u"*.original"_s}, QDir::Files),
                 QStringList());
    }

    // Killed in the middle of writing a file of two names in place: the copy of the old bytes
    // stays, the next start offers it, and Yes puts the old bytes back under both names. A start
    // on that file shows it as put back, and saving it asks nothing about other programs.
    void interruptedSaveInPlaceIsOfferedBack_data()
    {
        QTest::addColumn<bool>("opened");
        QTest::newRow("no file") << false;
        QTest::newRow("the file on the command line") << true;
    }
    void interruptedSaveInPlaceIsOfferedBack()
    {
        QFETCH(bool, opened);
        FaultScene scene;
        const QString page = scene.place() + u"/page.html"_s;
        const QString second = scene.place() + u"/second.html"_s;
        put(page, Page);
        QCOMPARE(::link(QFile::encodeName(page).constData(), QFile::encodeName(second).constData()),
                 0);
        QString skip;
        QVERIFY(scene.arm(Fault::KillInPlace, page, &skip));
        const FaultScene::Run run = scene.runDriver({u"save"_s, page});
        QVERIFY2(run.crashed, qPrintable(run.output));
        QVERIFY(contents(page) != Page); // cut short after the new bytes went in
        const QString childRecovery = scene.childHome() + u"/.local/share/Tavlen/Recovery"_s;
        const QStringList copies = QDir(childRecovery).entryList({u"*.original"_s}, QDir::Files);
        QCOMPARE(copies.size(), 1);

        // The next start (here with the test's own recovery folder) offers it back.
        QVERIFY(QDir().mkpath(files::recoveryFolder()));
        QVERIFY(QFile::copy(childRecovery + u'/' + copies.first(),
                            files::recoveryFolder() + u'/' + copies.first()));
        testsupport::MainWindowFixture f;
        f.prompter.answers << platform::MsgAnswer::Yes;
        testsupport::TestWindow &w = f.start(opened ? page : QString());
        QVERIFY(!f.prompter.shown.isEmpty());
        const QString offer = f.prompter.shown.last().text;
        QVERIFY2(offer.contains(u"途中で終わりました"_s) && offer.contains(page),
                 qPrintable(offer));
        QCOMPARE(contents(page), Page);
        QCOMPARE(contents(second), Page);
        QCOMPARE(QDir(files::recoveryFolder()).entryList({u"*.original"_s}, QDir::Files),
                 QStringList());
        if (!opened)
            return;
        QCOMPARE(w.editor()->Text(), QString::fromLatin1(Page));
        QVERIFY(!w.sharedState().bolEditing);
        const qsizetype asked = f.prompter.shown.size();
        w.editor()->setSelText(u"x"_s);
        w.mainMenu().mnuSaveFile->trigger();
        QCOMPARE(f.prompter.shown.size(), asked);
        QCOMPARE(contents(page), "x" + Page);
    }

    // A settings file that is a pipe: the program starts on defaults with one message, no hang,
    // and leaves the pipe as it is.
    void settingsPipeNeverBlocks()
    {
        FaultScene scene;
        const QString conf = scene.place() + u"/Tavlen.conf"_s;
        QCOMPARE(::mkfifo(QFile::encodeName(conf).constData(), 0600), 0);
        const QString page = scene.healthy() + u"/page.html"_s;
        put(page, Page);
        const FaultScene::Run run = scene.runDriver({u"settings"_s, conf, page});
        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.output));
        const QStringList messages = linesStartingWith(run.output, u"message="_s);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(u"通常のファイルではない"_s), qPrintable(messages[0]));
        struct stat info {
        };
        QCOMPARE(::stat(QFile::encodeName(conf).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    }

    // A tag set folder the user may write into but not list: filling the list says so, and
    // saving a tag set (the user's own file) puts nothing there.
    void unlistableTagSetFolderGetsNothing()
    {
        if (::geteuid() != 0)
            QSKIP("changing to another user needs root");
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ExeOther));
        const QString folder = dir.path() + u"/TagSets"_s;
        QVERIFY(QDir().mkdir(folder));
        const QByteArray tagSet = "<b><$$#--#$$></b>\r\n";
        const QString file = folder + u"/a.tag"_s;
        put(file, tagSet);
        QCOMPARE(::chown(QFile::encodeName(file).constData(), Nobody, NoGroup), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0733), 0);

        const pid_t child = ::fork();
        if (child == 0) {
            const gid_t groups[] = {NoGroup};
            if (::setgroups(1, groups) != 0 || ::setgid(NoGroup) != 0 || ::setuid(Nobody) != 0)
                ::_exit(97);
            const bool told = tagsets::tagSetFolderProblem(folder).contains(u"読み取れません"_s);
            const auto written = tagsets::WriteTagSet(folder, u"a"_s, u"<i>"_s, u"</i>"_s);
            const auto *error = std::get_if<tagsets::TagSetError>(&written);
            const bool refused = error && error->reason.contains(u"読み取れません"_s);
            const auto created = tagsets::WriteTagSet(folder, u"new"_s, u"<i>"_s, u"</i>"_s);
            ::_exit(told && refused && std::holds_alternative<tagsets::TagSetError>(created) ? 0
                                                                                             : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(contents(file), tagSet);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"a.tag"_s});
    }
};

TAVLEN_TEST_MAIN(TestIdentity)
#include "test_identity.moc"
