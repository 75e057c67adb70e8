// The start-up clean-up of temporary files that a save killed before its rename left behind.
#include "mainwindowfixture.h"
#include "testenv.h"

#include "files/atomicwrite.h"
#include "files/leftovers.h"
#include "tagsets/tagsetfolder.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace
{

void put(const QString &path, const QByteArray &bytes = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

class TestLeftovers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recognisesOnlyTheWritersNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("leftover");
        QTest::newRow("writer's form") << u"page.html.tavlen-1a2b3c.tmp"_s << true;
        QTest::newRow("one character") << u"a.tag.tavlen-0.tmp"_s << true;
        QTest::newRow("seven characters") << u"Tavlen.conf.tavlen-zzzzzzz.tmp"_s << true;
        QTest::newRow("eight characters") << u"page.html.tavlen-12345678.tmp"_s << false;
        QTest::newRow("upper case") << u"page.html.tavlen-1A2B.tmp"_s << false;
        QTest::newRow("no random part") << u"page.html.tavlen-.tmp"_s << false;
        QTest::newRow("no file name before") << u".tavlen-abc.tmp"_s << false;
        QTest::newRow("other program") << u"page.html.tmp"_s << false;
        QTest::newRow("other suffix") << u"page.html.tavlen-abc.temp"_s << false;
        QTest::newRow("something after") << u"page.html.tavlen-abc.tmp.html"_s << false;
        QTest::newRow("Japanese name") << u"ページ.html.tavlen-k9.tmp"_s << true;
    }
    void recognisesOnlyTheWritersNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, leftover);
        QCOMPARE(files::isWriteLeftoverName(name), leftover);
    }

    // The writer's temporary file really has the form the clean-up looks for: a kill at the
    // rename is simulated by a folder where the rename cannot happen (a folder in the way).
    void removesOnlyAbandonedFilesOfTheWriter()
    {
        QTemporaryDir dir;
        const QString d = dir.path();
        put(d + u"/page.html"_s);
        put(d + u"/page.html.tavlen-abc.tmp"_s); // abandoned: removed
        put(d + u"/page.html.tmp"_s);            // someone else's
        put(d + u"/live.html.tavlen-def.tmp"_s); // a writer still holds it
        QVERIFY(QFile::link(d + u"/page.html"_s, d + u"/link.html.tavlen-x.tmp"_s));
        QVERIFY(QDir(d).mkdir(u"sub.tavlen-q.tmp"_s)); // a folder of that form
        QVERIFY(QDir(d).mkdir(u"below"_s));
        put(d + u"/below/page.html.tavlen-abc.tmp"_s); // below: not looked at
        const int live = ::open(QFile::encodeName(d + u"/live.html.tavlen-def.tmp"_s).constData(),
                                O_WRONLY | O_CLOEXEC);
        QVERIFY(live >= 0);
        QCOMPARE(::flock(live, LOCK_EX | LOCK_NB), 0);

        QCOMPARE(files::removeWriteLeftovers({d, d + u"/."_s, QString()}), 1);
        ::close(live);
        QCOMPARE(entries(d), (QStringList{u"below"_s, u"link.html.tavlen-x.tmp"_s,
                                          u"live.html.tavlen-def.tmp"_s, u"page.html"_s,
                                          u"page.html.tmp"_s, u"sub.tavlen-q.tmp"_s}));
        QCOMPARE(entries(d + u"/below"_s), QStringList{u"page.html.tavlen-abc.tmp"_s});
        QVERIFY(QFileInfo(d + u"/page.html"_s).isFile());
    }

    // Start-up looks beside the recent files and in the tag set folder.
    void startUpCleansRecentAndTagSetFolders()
    {
        QTemporaryDir dir;
        const QString recent = dir.path() + u"/page.html"_s;
        put(recent);
        const QString nearRecent = recent + u".tavlen-r1.tmp"_s;
        const QString nearTagSets = tagsets::tagSetFolder() + u"/a.tag.tavlen-t1.tmp"_s;
        put(nearRecent);
        put(nearTagSets);
        testsupport::MainWindowFixture f;
        f.store.write(u"RecentFiles"_s, u"File03"_s, recent);
        f.start();
        QVERIFY(!QFileInfo::exists(nearRecent));
        QVERIFY(!QFileInfo::exists(nearTagSets));
        QVERIFY(QFileInfo::exists(recent));
    }
};

TAVLEN_TEST_MAIN(TestLeftovers)
#include "test_leftovers.moc"
