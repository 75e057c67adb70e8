// The program started again with the allocator asking for huge pages hands the environment it
// was given to the programs it starts (the browser engine, the help viewer), not its own setting.
#include "platform/bigbuffers.h"
#include "testenv.h"

#include <QTest>
#include <cstdlib>

class TestBigBuffers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void restartedProgramPutsTheEnvironmentBack_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("during");
        QTest::addColumn<QByteArray>("expected"); // "-" for unset
        QTest::newRow("unset") << QByteArray("0") << QByteArray("glibc.malloc.hugetlb=1")
                               << QByteArray("-");
        QTest::newRow("the user's own")
            << QByteArray("1:glibc.malloc.arena_max=2")
            << QByteArray("glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1")
            << QByteArray("glibc.malloc.arena_max=2");
        QTest::newRow("set but empty")
            << QByteArray("1:") << QByteArray("glibc.malloc.hugetlb=1") << QByteArray("");
    }
    void restartedProgramPutsTheEnvironmentBack()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, during);
        QFETCH(QByteArray, expected);
        setenv("TAVLEN_TUNABLES_BEFORE", before.constData(), 1);
        setenv("GLIBC_TUNABLES", during.constData(), 1);
        char program[] = "tavlen";
        char *argv[] = {program, nullptr};
        platform::restartWithHugePages(argv); // the restarted program: no second restart
        QVERIFY(!std::getenv("TAVLEN_TUNABLES_BEFORE"));
        const char *now = std::getenv("GLIBC_TUNABLES");
        if (expected == "-")
            QVERIFY(!now);
        else
            QCOMPARE(QByteArray(now), expected);
    }
};

TAVLEN_TEST_MAIN(TestBigBuffers)
#include "test_bigbuffers.moc"
