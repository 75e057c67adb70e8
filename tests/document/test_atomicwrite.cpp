// Replacing a file: the new bytes or the old file, never a damaged one, with faults injected
// (a full filesystem, a read-only folder, a missing folder, a folder in the file's place).
#include "testenv.h"
#include "testfiles.h"

#include "document/atomicwrite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/mount.h>

using namespace Qt::StringLiterals;

namespace
{

using testfiles::contents;
using testfiles::put;

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A small tmpfs mounted on a temporary folder for the life of the object (tests run as root).
class SmallFilesystem
{
public:
    explicit SmallFilesystem(const char *size)
    {
        const QByteArray options = QByteArray("size=") + size;
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                            options.constData()) == 0;
    }
    ~SmallFilesystem()
    {
        if (m_mounted)
            ::umount(QFile::encodeName(m_dir.path()).constData());
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    // Fills the filesystem to the last byte.
    void fill()
    {
        QFile filler(path() + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        const QByteArray one(1, 'x');
        while (filler.write(one) == 1 && filler.flush()) {
        }
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

class TestAtomicWrite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replacesWithExactlyTheNewBytes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << QByteArray("<p>abc</p>");
        QTest::newRow("shorter over longer") << QByteArray(5000, 'a') << QByteArray("xy");
        QTest::newRow("empty over text") << QByteArray("text") << QByteArray();
        QTest::newRow("zero bytes") << QByteArray("old") << QByteArray("a\0\0b", 4);
    }
    void replacesWithExactlyTheNewBytes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.path() + u"/page.html"_s;
        if (!before.isEmpty())
            put(path, before);
        QCOMPARE(document::writeFileAtomically(path, after), std::nullopt);
        QCOMPARE(contents(path), after);
        QCOMPARE(entries(dir.path()), QStringList{u"page.html"_s});
    }

    void keepsPermissions()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/page.html"_s;
        put(path, "old");
        const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, permissions));
        const QFileDevice::Permissions before = QFile::permissions(path);
        QCOMPARE(document::writeFileAtomically(path, "new"), std::nullopt);
        QCOMPARE(QFile::permissions(path), before);
        QCOMPARE(contents(path), QByteArray("new"));
    }

    void writesThroughSymbolicLink()
    {
        QTemporaryDir dir;
        const QString target = dir.path() + u"/real.html"_s;
        const QString link = dir.path() + u"/link.html"_s;
        put(target, "old");
        QVERIFY(QFile::link(target, link));
        QCOMPARE(document::writeFileAtomically(link, "new"), std::nullopt);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(target), QByteArray("new"));
    }

    void failuresLeaveNothingBehind_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing folder") << u"/missing/page.html"_s;
        QTest::newRow("a folder in the way") << u"/folder"_s;
    }
    void failuresLeaveNothingBehind()
    {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
        const auto failure = document::writeFileAtomically(dir.path() + relative, "x");
        QVERIFY(failure.has_value());
        QVERIFY(!failure->isEmpty());
        QCOMPARE(entries(dir.path()), QStringList{u"folder"_s});
        QVERIFY(entries(dir.path() + u"/folder"_s).isEmpty());
    }

    // A full disk: the old file stays byte for byte, for a large and for a tiny new content.
    void fullFilesystemKeepsTheOldFile_data()
    {
        QTest::addColumn<qsizetype>("newSize");
        QTest::newRow("larger than the disk") << qsizetype(512 * 1024);
        QTest::newRow("a few bytes") << qsizetype(10);
    }
    void fullFilesystemKeepsTheOldFile()
    {
        QFETCH(qsizetype, newSize);
        SmallFilesystem fs("256k");
        if (!fs.mounted())
            QSKIP("cannot mount a tmpfs here (needs root)");
        const QString path = fs.path() + u"/page.html"_s;
        const QByteArray old(3000, 'o');
        put(path, old);
        fs.fill();
        const auto failure = document::writeFileAtomically(path, QByteArray(newSize, 'n'));
        QVERIFY(failure.has_value());
        QCOMPARE(contents(path), old);
        QCOMPARE(entries(fs.path()), (QStringList{u"filler"_s, u"page.html"_s}));
    }

    void readOnlyFolderKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u"/page.html"_s;
        put(path, "old");
        const QByteArray folder = QFile::encodeName(dir.path());
        if (::mount(folder.constData(), folder.constData(), nullptr, MS_BIND, nullptr) != 0)
            QSKIP("cannot bind-mount here (needs root)");
        const bool readOnly = ::mount(nullptr, folder.constData(), nullptr,
                                      MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        const auto failure = document::writeFileAtomically(path, "new");
        ::umount(folder.constData());
        if (!readOnly)
            QSKIP("cannot remount read-only here");
        QVERIFY(failure.has_value());
        QCOMPARE(contents(path), QByteArray("old"));
        QCOMPARE(entries(dir.path()), QStringList{u"page.html"_s});
    }
};

TAVLEN_TEST_MAIN(TestAtomicWrite)
#include "test_atomicwrite.moc"
