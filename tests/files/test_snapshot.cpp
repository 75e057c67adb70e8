// The snapshot file of an unsaved document, the keeper that writes it and the search for
// snapshots and preview pages that copies of the program which ended without closing left behind.
#include "files/atomicwrite.h"
#include "files/recoveryfolder.h"
#include "files/scratchfiles.h"
#include "files/snapshot.h"
#include "files/snapshotkeeper.h"
#include "testenv.h"
#include "testfiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using files::Snapshot;

namespace
{

Snapshot sample(const QString &text, const QString &path = u"/tmp/a b/日本.html"_s)
{
    Snapshot s;
    s.text = text;
    s.path = path;
    s.diskFile = {true,
                  1234,
                  1'700'000'000'123'456'789,
                  42,
                  99,
                  1'700'000'001'000'000'007,
                  true,
                  0xFEDC'BA98'7654'3210};
    s.inexactReason = u"変換できないバイトがあります。"_s;
    s.readCode = codec::TextCode::EucJp;
    s.writeCode = codec::TextCode::ShiftJis;
    s.time = QDateTime::fromMSecsSinceEpoch(1'700'000'000'123);
    s.shape = {codec::LineEnds::Lf, true, false};
    return s;
}

std::optional<Snapshot> readSnapshot(const QString &file)
{
    return files::decodeSnapshot(testfiles::contents(file));
}

// Leaves a snapshot as a copy that crashed would: the file, and no live lock.
void leave(const QString &folder, const QString &id, const Snapshot &s)
{
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(
        !files::writeFileAtomically(files::snapshotFileName(folder, id), files::encodeSnapshot(s)));
}

} // namespace

class TestSnapshot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("path");
        QTest::newRow("empty new document") << QString() << QString();
        QTest::newRow("japanese, CR LF") << u"<p>日本語ｶﾅ①</p>\r\n<br>\r\n"_s << u"/x/y.htm"_s;
        const QChar odd[] = {QChar(0xD800), QChar(0), QChar(0xFFFF), QChar(0xDC00), QChar(u'\n')};
        QTest::newRow("lone surrogates, NUL, noncharacter")
            << QString(odd, 5) << u"/x/\n改行 と %25.html"_s;
        QTest::newRow("emoji and a blank line at the end") << u"😀\r\n\r\n"_s << u"/a"_s;
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QString, path);
        const Snapshot s = sample(text, path);
        const auto back = files::decodeSnapshot(files::encodeSnapshot(s));
        QVERIFY(back);
        QCOMPARE(back->text, s.text);
        QCOMPARE(back->path, s.path);
        QVERIFY(*back == s);
    }

    // The editor's raw text, given as it is, is kept as the CR LF text it stands for.
    void theEditorsLineBreaksAreKeptAsCrLf()
    {
        const auto back =
            files::decodeSnapshot(files::encodeSnapshot(sample(u"<p>\u2029日本\u2029"_s)));
        QVERIFY(back);
        QCOMPARE(back->text, u"<p>\r\n日本\r\n"_s);
    }

    // A snapshot left by an earlier version, whose stamp has no change time or hash, is still
    // read (its file is then compared by size and time alone).
    void stampsWithoutAHashAreRead()
    {
        Snapshot s = sample(u"<p>old</p>"_s);
        QByteArray bytes = files::encodeSnapshot(s);
        const qsizetype from = bytes.indexOf("\nstamp=") + 7;
        const qsizetype to = bytes.indexOf('\n', from);
        bytes.replace(from, to - from, "1 1234 1700000000123456789 42 99");
        const auto back = files::decodeSnapshot(bytes);
        QVERIFY(back);
        s.diskFile.changedNs = 0;
        s.diskFile.hashed = false;
        s.diskFile.contentHash = 0;
        QVERIFY(*back == s);
    }

    void foreignOrDamagedFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = files::encodeSnapshot(sample(u"日本"_s));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("other file") << QByteArray("<html>\n\n</html>");
        QTest::newRow("body cut short") << good.chopped(1);
        QTest::newRow("body too long") << good + "xy";
        QTest::newRow("header only") << good.left(good.indexOf("\n\n"));
        QByteArray badStamp = good;
        badStamp.replace("stamp=1 ", "stamp=x ");
        QTest::newRow("bad stamp") << badStamp;
        QByteArray noTime = good;
        noTime.replace("time=", "tune=");
        QTest::newRow("no time") << noTime;
        QByteArray badCode = good;
        badCode.replace("writeCode=0", "writeCode=-1");
        QTest::newRow("bad code") << badCode;
        QByteArray badShape = good;
        badShape.replace("shape=2 1 0", "shape=9 1 0");
        QTest::newRow("bad shape") << badShape;
    }
    // A copy written before the file's shape was kept restores as a new document's shape.
    void withoutShape()
    {
        QByteArray bytes = files::encodeSnapshot(sample(u"a"_s));
        const qsizetype at = bytes.indexOf("shape=");
        QVERIFY(at > 0);
        bytes.remove(at, bytes.indexOf('\n', at) + 1 - at);
        const auto back = files::decodeSnapshot(bytes);
        QVERIFY(back);
        QVERIFY(back->shape == codec::FileShape());
    }
    void foreignOrDamagedFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!files::decodeSnapshot(bytes));
    }

    void keeperCoalescesChangesAndDiscards()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + u"/Tavlen/Recovery"_s;
        int taken = 0;
        bool modified = true;
        files::SnapshotKeeper keeper(folder, [&]() -> std::optional<Snapshot> {
            ++taken;
            if (!modified)
                return std::nullopt;
            return sample(u"version %1"_s.arg(taken));
        });
        QVERIFY(keeper.enabled());
        QCOMPARE(QFile::permissions(folder) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        keeper.setDelays(100, 400);
        for (int k = 0; k < 20; ++k)
            keeper.changed();
        QTRY_VERIFY(QFile::exists(keeper.snapshotFile()));
        QCOMPARE(taken, 1); // twenty changes, one snapshot
        QCOMPARE(readSnapshot(keeper.snapshotFile())->text, u"version 1"_s);

        keeper.changed(); // the document is no longer modified when the time comes
        modified = false;
        QTRY_VERIFY(!QFile::exists(keeper.snapshotFile()));

        modified = true;
        QVERIFY(!keeper.writeNow());
        QCOMPARE(readSnapshot(keeper.snapshotFile())->text, u"version 3"_s);
        keeper.changed();
        keeper.discard(); // a pending change does not bring the file back
        QVERIFY(!QFile::exists(keeper.snapshotFile()));
        QTest::qWait(600);
        QVERIFY(!QFile::exists(keeper.snapshotFile()));
        QCOMPARE(taken, 3);
    }

    void keeperWritesWhileTypingGoesOn()
    {
        // Changes that never pause still get a snapshot, by the longest wait.
        QTemporaryDir dir;
        files::SnapshotKeeper keeper(dir.path(), [] { return std::optional(sample(u"x"_s)); });
        keeper.setDelays(300, 500);
        QElapsedTimer typing;
        typing.start();
        while (!QFile::exists(keeper.snapshotFile()) && typing.elapsed() < 5000) {
            keeper.changed();
            QTest::qWait(20);
        }
        QVERIFY(QFile::exists(keeper.snapshotFile()));
    }

    void keeperReportsAFailedWriteOnce()
    {
        QTemporaryDir dir;
        files::SnapshotKeeper keeper(dir.path(), [] { return std::optional(sample(u"x"_s)); });
        QVERIFY(QDir().mkpath(keeper.snapshotFile())); // a folder where the file should go
        QSignalSpy failed(&keeper, &files::SnapshotKeeper::writeFailed);
        keeper.setDelays(10, 50);
        keeper.changed();
        QTRY_COMPARE(failed.size(), 1);
        keeper.changed();
        QTest::qWait(200);
        QCOMPARE(failed.size(), 1);
        QVERIFY(keeper.writeNow());
        QVERIFY(QDir().rmdir(keeper.snapshotFile()));
    }

    void keeperEndsRemovingItsSnapshotAndLock()
    {
        QTemporaryDir dir;
        QString file;
        {
            files::SnapshotKeeper keeper(dir.path(), [] { return std::optional(sample(u"x"_s)); });
            QVERIFY(!keeper.writeNow());
            file = keeper.snapshotFile();
            QVERIFY(QFile::exists(file));
            QCOMPARE(QDir(dir.path()).entryList({u"*.lock"_s}, QDir::Files).size(), 1);
        }
        QVERIFY(!QFile::exists(file));
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    void onlySnapshotsOfEndedCopiesAreClaimed()
    {
        QTemporaryDir dir;
        const QString folder = dir.path();
        Snapshot older = sample(u"older"_s);
        older.time = older.time.addSecs(-60);
        leave(folder, u"crashed-1"_s, older);
        leave(folder, u"crashed-2"_s, sample(u"newer"_s));
        testfiles::put(files::snapshotFileName(folder, u"damaged"_s), "not a snapshot");
        files::SnapshotKeeper running(folder, [] { return std::optional(sample(u"live"_s)); });
        QVERIFY(!running.writeNow());

        std::vector<files::LeftSnapshot> left = files::claimLeftSnapshots(folder);
        QCOMPARE(left.size(), size_t(2));
        QCOMPARE(left[0].snapshot.text, u"newer"_s);
        QCOMPARE(left[1].snapshot.text, u"older"_s);
        // While this copy holds them, another copy does not offer them again.
        QVERIFY(files::claimLeftSnapshots(folder).empty());
        QVERIFY(left[1].remove());
        QVERIFY(!QFile::exists(left[1].file));
        left.clear();
        QCOMPARE(files::claimLeftSnapshots(folder).size(), size_t(1));
        QVERIFY(QFile::exists(files::snapshotFileName(folder, u"damaged"_s)));
        QVERIFY(QFile::exists(running.snapshotFile()));
    }

    void scratchFilesOfEndedCopiesGoAndNothingElse()
    {
        QTemporaryDir dir;
        const QString records = dir.path() + u"/Recovery"_s;
        const QString site = dir.path() + u"/site"_s;
        QVERIFY(QDir().mkpath(records));
        QVERIFY(QDir().mkpath(site));
        const auto page = [&](int k) { return site + u"/Tlprv2026010100000%1.html"_s.arg(k); };
        // A copy that ends without closing while two of its pages are still loading.
        const pid_t child = ::fork();
        if (child == 0) {
            files::ScratchFiles files(records, u"ended"_s);
            QString reason;
            bool taken = false;
            const bool made = files.create(page(0), "a", &reason, &taken) &&
                              files.create(page(1), "b", &reason, &taken);
            ::_exit(made ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFile::exists(page(0)));
        // The second was replaced by another file of that name (the old one lives on elsewhere).
        QVERIFY(QFile::rename(page(1), site + u"/moved.html"_s));
        testfiles::put(page(1), "someone else's");
        // A file of the same form never recorded, and one recorded but not yet made by its copy.
        testfiles::put(page(2), "mine");
        testfiles::put(page(3), "mine too");
        testfiles::put(records + u"/gone.1.scratch"_s, QFile::encodeName(page(3)));
        // A running copy's page.
        files::SnapshotKeeper running(records, [] { return std::optional<Snapshot>(); });
        QVERIFY(running.enabled());
        files::ScratchFiles live(records, running.id());
        QString reason;
        bool taken = false;
        QVERIFY(live.create(page(4), "c", &reason, &taken));

        QCOMPARE(files::removeRecordedScratchFiles(records), 1);
        QVERIFY(!QFile::exists(page(0)));
        QCOMPARE(testfiles::contents(page(1)), QByteArray("someone else's"));
        QCOMPARE(testfiles::contents(site + u"/moved.html"_s), QByteArray("b"));
        QCOMPARE(testfiles::contents(page(2)), QByteArray("mine"));
        QCOMPARE(testfiles::contents(page(3)), QByteArray("mine too"));
        QCOMPARE(testfiles::contents(page(4)), QByteArray("c"));
        // Only the running copy's record stays, until its page goes.
        QCOMPARE(QDir(records).entryList({u"*.scratch"_s}, QDir::Files).size(), 1);
        QVERIFY(live.remove(page(4)));
        QVERIFY(!QFile::exists(page(4)));
        QVERIFY(QDir(records).entryList({u"*.scratch"_s}, QDir::Files).isEmpty());
    }
};

TAVLEN_TEST_MAIN(TestSnapshot)
#include "test_snapshot.moc"
