// Every writing operation (save, save as, preview scratch file, tag set, settings) under every
// fault made real: the original stays byte for byte, no temporary file is left, the edit is still
// unsaved in memory, and exactly one Japanese message names the cause. And a kill between writing
// and renaming: the original stays, and the next start removes what the killed save left.
#include "faultsetup.h"
#include "testenv.h"

#include "codec/cp932.h"
#include "files/leftovers.h"
#include "settings/inisettingsstore.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using faults::Fault;
using faults::FaultScene;
using faults::linesStartingWith;

namespace
{

enum class Operation { Save, SaveAs, Preview, TagSet, Settings };

const QByteArray Page = "<html><head><title>original</title></head><body>\r\n</body></html>\r\n";

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The files an operation works on, in the scene, and the driver's arguments for it.
struct Setup {
    QMap<QString, QByteArray> originals; // name in the place → bytes
    QString target;                      // the file the operation replaces; empty: a new file
    QStringList arguments;
};

Setup prepare(Operation op, const FaultScene &scene)
{
    Setup s;
    const QString place = scene.place();
    const QString page = place + u"/page.html"_s;
    switch (op) {
    case Operation::Save:
        s.originals[u"page.html"_s] = Page;
        s.target = page;
        s.arguments = {u"save"_s, page};
        break;
    case Operation::SaveAs:
        s.originals[u"page.html"_s] = Page;
        s.originals[u"other.html"_s] = "<p>another page</p>\r\n";
        s.target = place + u"/other.html"_s;
        s.arguments = {u"saveas"_s, page, s.target};
        break;
    case Operation::Preview:
        s.originals[u"page.html"_s] = Page;
        s.arguments = {u"preview"_s, page};
        break;
    case Operation::TagSet:
        s.originals[u"a.tag"_s] = codec::encodeCp932(u"<b><$$#--#$$></b>\r\n"_s).bytes;
        s.target = place + u"/a.tag"_s;
        s.arguments = {u"tagset"_s, place, u"a"_s};
        break;
    case Operation::Settings:
        // Long enough that the rewritten file passes the small file-size limit.
        s.originals[u"Tavlen.conf"_s] = "[Keep]\nText=" + QByteArray(1100, 'k') + "\n";
        s.target = place + u"/Tavlen.conf"_s;
        put(scene.healthy() + u"/page.html"_s, Page);
        s.arguments = {u"settings"_s, s.target, scene.healthy() + u"/page.html"_s};
        break;
    }
    for (auto it = s.originals.cbegin(); it != s.originals.cend(); ++it)
        put(place + u'/' + it.key(), it.value());
    return s;
}

const char *opName(Operation op)
{
    static const char *const names[] = {"save", "save as", "preview", "tag set", "settings"};
    return names[int(op)];
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failedWriteLosesNothing_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<Operation>("op");
        QTest::addColumn<QString>("cause");
        const struct {
            const char *name;
            Fault fault;
            QString cause;
        } faultRows[] = {
            {"full disk", Fault::FullDisk, u"空き容量"_s},
            {"file-size limit", Fault::FileSizeLimit, u"大きすぎ"_s},
            {"read-only mount", Fault::ReadOnlyMount, u"読み取り専用"_s},
            {"chattr +i", Fault::Unchangeable, u"保護"_s},
            {"other user", Fault::OtherUser, u"権限"_s},
            {"read-only file", Fault::ReadOnlyFile, u"権限"_s},
            {"write fails", Fault::FailingWrite, u"空き容量"_s},
            {"fsync fails", Fault::FailingFsync, u"入出力"_s},
            {"rename fails", Fault::FailingRename, u"入出力"_s},
            {"create fails", Fault::FailingCreate, u"開いているファイル"_s},
        };
        for (const auto &row : faultRows) {
            for (Operation op : {Operation::Save, Operation::SaveAs, Operation::Preview,
                                 Operation::TagSet, Operation::Settings}) {
                // The scratch file is a new file written without fsync or rename, so those
                // faults and a read-only old file do not concern it.
                if (op == Operation::Preview &&
                    (row.fault == Fault::FailingFsync || row.fault == Fault::FailingRename ||
                     row.fault == Fault::ReadOnlyFile))
                    continue;
                QTest::addRow("%s, %s", row.name, opName(op)) << row.fault << op << row.cause;
            }
        }
    }
    void failedWriteLosesNothing()
    {
        QFETCH(Fault, fault);
        QFETCH(Operation, op);
        QFETCH(QString, cause);
        FaultScene scene;
        const Setup setup = prepare(op, scene);
        QString skip;
        if (!scene.arm(fault, setup.target, &skip))
            QSKIP(qPrintable(skip));
        const FaultScene::Run run = scene.runDriver(setup.arguments);
        const QStringList entries = scene.entries();

        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.output));
        for (auto it = setup.originals.cbegin(); it != setup.originals.cend(); ++it)
            QCOMPARE(contents(scene.place() + u'/' + it.key()), it.value());
        QCOMPARE(entries, QStringList(setup.originals.keys()));
        const QStringList messages = linesStartingWith(run.output, u"message="_s);
        QVERIFY2(messages.size() == 1, qPrintable(run.output));
        QVERIFY2(messages.first().contains(cause), qPrintable(messages.first()));
        qInfo("shown: %s", qPrintable(messages.first()));
        if (op != Operation::Settings)
            QCOMPARE(linesStartingWith(run.output, u"modified="_s), QStringList{u"1"_s});
    }

    // The temporary file is renamed over the original while its writer still holds it open and
    // locked: at no moment is it an unlocked temporary file that another copy's start-up would
    // remove. A writer killed as it closes a file still named as temporary says otherwise.
    void temporaryFileIsRenamedBeforeItIsClosed_data() { killBeforeRenameKeepsTheOriginal_data(); }
    void temporaryFileIsRenamedBeforeItIsClosed()
    {
        QFETCH(Operation, op);
        FaultScene scene;
        const Setup setup = prepare(op, scene);
        QString skip;
        QVERIFY(scene.arm(Fault::KillAtTemporaryClose, setup.target, &skip));
        const FaultScene::Run run = scene.runDriver(setup.arguments);
        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.output));
        QCOMPARE(scene.entries(), QStringList(setup.originals.keys()));
        QVERIFY(contents(setup.target) !=
                setup.originals.value(QFileInfo(setup.target).fileName()));
    }

    // Killed between writing the temporary file and renaming it over the original.
    void killBeforeRenameKeepsTheOriginal_data()
    {
        QTest::addColumn<Operation>("op");
        QTest::newRow("save") << Operation::Save;
        QTest::newRow("save as") << Operation::SaveAs;
        QTest::newRow("tag set") << Operation::TagSet;
        QTest::newRow("settings") << Operation::Settings;
    }
    void killBeforeRenameKeepsTheOriginal()
    {
        QFETCH(Operation, op);
        FaultScene scene;
        const Setup setup = prepare(op, scene);
        QString skip;
        QVERIFY(scene.arm(Fault::KillAtRename, setup.target, &skip));
        const FaultScene::Run run = scene.runDriver(setup.arguments);
        QVERIFY2(run.crashed, qPrintable(run.output));
        for (auto it = setup.originals.cbegin(); it != setup.originals.cend(); ++it)
            QCOMPARE(contents(scene.place() + u'/' + it.key()), it.value());
        QStringList left = scene.entries();
        for (const QString &name : setup.originals.keys())
            left.removeOne(name);
        QCOMPARE(left.size(), 1);
        QVERIFY2(files::isWriteLeftoverName(left.first()), qPrintable(left.first()));
        QVERIFY(left.first().startsWith(QFileInfo(setup.target).fileName()));

        // The next start cleans the recent file's folder and the settings file's folder. The tag
        // set folder is cleaned by the same procedure (its start-up wiring is covered by
        // test_leftovers, as the driver keeps its own tag sets elsewhere).
        if (op == Operation::TagSet) {
            QCOMPARE(files::removeWriteLeftovers({scene.place()}), 1);
        } else if (op == Operation::Settings) {
            const settings::IniSettingsStore reopened(setup.target); // as the next start does
        } else {
            FaultScene restart;
            const FaultScene::Run start =
                restart.runDriver({u"start"_s, scene.place() + u"/page.html"_s});
            QVERIFY2(!start.crashed && start.exitCode == 0, qPrintable(start.output));
        }
        QCOMPARE(scene.entries(), QStringList(setup.originals.keys()));
        for (auto it = setup.originals.cbegin(); it != setup.originals.cend(); ++it)
            QCOMPARE(contents(scene.place() + u'/' + it.key()), it.value());
    }
};

TAVLEN_TEST_MAIN(TestFaults)
#include "test_faults.moc"
