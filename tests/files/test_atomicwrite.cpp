// Replacing a file: the new bytes or the old file, never a damaged one, with faults injected
// (a full filesystem, a read-only folder, a missing folder, a folder in the file's place); the
// file stays the file the user had (owner, mode, ACL, attributes, links, long names).
#include "testenv.h"
#include "testfiles.h"

#include "files/atomicwrite.h"
#include "files/leftovers.h"
#include "files/recoveryfolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/stat.h>

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

// A command's standard output; empty with the test failed when it did not run cleanly.
QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QByteArray("failed: ") + process.readAllStandardError();
    return process.readAllStandardOutput();
}

// Everything about a file that a save must keep: owner, group, mode, ACL, user attributes, links.
QByteArray identity(const QString &path)
{
    struct stat info {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return "missing";
    return QByteArray::number(info.st_uid) + ' ' + QByteArray::number(info.st_gid) + ' ' +
           QByteArray::number(info.st_mode, 8) + " links " + QByteArray::number(info.st_nlink) +
           '\n' + run(u"getfacl"_s, {u"-c"_s, path}) +
           run(u"getfattr"_s, {u"-d"_s, u"--absolute-names"_s, path});
}

quint64 inodeOf(const QString &path)
{
    struct stat info {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QStringList copiesLeft()
{
    return QDir(files::recoveryFolder()).entryList({u"*.original"_s}, QDir::Files);
}

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
        QCOMPARE(files::writeFileAtomically(path, after), std::nullopt);
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
        QCOMPARE(files::writeFileAtomically(path, "new"), std::nullopt);
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
        QCOMPARE(files::writeFileAtomically(link, "new"), std::nullopt);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(target), QByteArray("new"));
    }

    // Which way the file is replaced depends on what the new file could carry; either way the
    // user's file keeps its ACL, attributes, owner, mode and links.
    void keepsTheFilesIdentity_data()
    {
        QTest::addColumn<bool>("secondLink");
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("ACL and attribute: renamed") << false << false << false;
        QTest::newRow("another user's file: renamed") << false << true << false;
        QTest::newRow("second hard link: in place") << true << false << true;
        QTest::newRow("link and another owner: in place") << true << true << true;
    }
    void keepsTheFilesIdentity()
    {
        QFETCH(bool, secondLink);
        QFETCH(bool, otherOwner);
        QFETCH(bool, inPlace);
        QTemporaryDir dir;
        const QString path = dir.path() + u"/page.html"_s;
        const QString other = dir.path() + u"/other name.html"_s;
        put(path, QByteArray(3000, 'o'));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        if (!run(u"setfacl"_s, {u"-m"_s, u"u:daemon:rw"_s, path}).isEmpty() ||
            !run(u"setfattr"_s, {u"-n"_s, u"user.comment"_s, u"-v"_s, u"kept"_s, path}).isEmpty())
            QSKIP("no ACLs or user attributes on this filesystem (needs acl and attr)");
        if (otherOwner && ::chown(QFile::encodeName(path).constData(), 1, 1) != 0)
            QSKIP("giving the file to another user needs root");
        if (secondLink)
            QCOMPARE(
                ::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()),
                0);
        const QByteArray before = identity(path);
        QVERIFY2(before.contains("user:daemon:rw-\n") && before.contains("mask::rw-\n"),
                 before.constData());
        QVERIFY2(before.contains("user.comment=\"kept\""), before.constData());
        const quint64 inode = inodeOf(path);

        QCOMPARE(files::writeFileAtomically(path, "new"), std::nullopt);
        QCOMPARE(contents(path), QByteArray("new"));
        QCOMPARE(identity(path), before);
        QCOMPARE(inodeOf(path) == inode, inPlace);
        if (secondLink)
            QCOMPARE(contents(other), QByteArray("new"));
        QCOMPARE(entries(dir.path()).size(), secondLink ? 2 : 1);
        QCOMPARE(copiesLeft(), QStringList());
    }

    // However long the file's name, the temporary name fits the system's limit, reads back as
    // text, and is one the start-up clean-up recognises.
    void temporaryNamesFit_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("short") << u"page.html"_s;
        QTest::newRow("236 bytes") << QString(231, u'a') + u".html"_s;
        QTest::newRow("237 bytes") << QString(232, u'a') + u".html"_s;
        QTest::newRow("255 bytes") << QString(250, u'a') + u".html"_s;
        QTest::newRow("255 bytes of Japanese") << QString(85, u'頁');
        QTest::newRow("254 bytes of two-byte letters") << QString(127, u'é');
        QTest::newRow("one four-byte letter at the cut")
            << QString(236, u'a') + QString::fromUcs4(U"😀") + QString(15, u'b');
    }
    void temporaryNamesFit()
    {
        QFETCH(QString, fileName);
        const QByteArray name = QFile::encodeName(fileName);
        const QByteArray temporary = files::temporaryFileName(name, "zzzzzzz", 255);
        QVERIFY2(temporary.size() <= 255, temporary.constData());
        const QString back = QFile::decodeName(temporary);
        QVERIFY(!back.contains(QChar::ReplacementCharacter));
        QVERIFY(files::isWriteLeftoverName(back));
        const QString kept = back.left(back.indexOf(u".tavlen-zzzzzzz.tmp"_s));
        QVERIFY(!kept.isEmpty());
        QVERIFY(fileName.startsWith(kept));
    }

    // A file whose name has the longest length the system allows can be saved again and again.
    void longestNameIsSaved()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/' + QString(85, u'頁');
        QCOMPARE(QFile::encodeName(path).size() - QFile::encodeName(dir.path()).size() - 1, 255);
        put(path, "old");
        QCOMPARE(files::writeFileAtomically(path, "new"), std::nullopt);
        QCOMPARE(files::writeFileAtomically(path, "newer"), std::nullopt);
        QCOMPARE(contents(path), QByteArray("newer"));
        QCOMPARE(entries(dir.path()).size(), 1);
    }

    void writesThroughAChainOfLinks()
    {
        QTemporaryDir dir;
        const QString target = dir.path() + u"/real.html"_s;
        put(target, "old");
        QVERIFY(QFile::link(target, dir.path() + u"/one.html"_s));
        QVERIFY(QFile::link(dir.path() + u"/one.html"_s, dir.path() + u"/two.html"_s));
        QCOMPARE(files::writeFileAtomically(dir.path() + u"/two.html"_s, "new"), std::nullopt);
        QVERIFY(QFileInfo(dir.path() + u"/one.html"_s).isSymLink());
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
        const auto failure = files::writeFileAtomically(dir.path() + relative, "x");
        QVERIFY(failure.has_value());
        QVERIFY(!failure->isEmpty());
        QCOMPARE(entries(dir.path()), QStringList{u"folder"_s});
        QVERIFY(entries(dir.path() + u"/folder"_s).isEmpty());
    }

    // A full disk: the old file stays byte for byte, for a large and for a tiny new content.
    // With a second hard link the file is written in place: the room for the longer text is
    // claimed before a byte changes, and the copy of the old bytes goes again.
    void fullFilesystemKeepsTheOldFile_data()
    {
        QTest::addColumn<qsizetype>("newSize");
        QTest::addColumn<bool>("secondLink");
        QTest::newRow("larger than the disk") << qsizetype(512 * 1024) << false;
        QTest::newRow("a few bytes") << qsizetype(10) << false;
        QTest::newRow("larger, a second hard link") << qsizetype(512 * 1024) << true;
    }
    void fullFilesystemKeepsTheOldFile()
    {
        QFETCH(qsizetype, newSize);
        QFETCH(bool, secondLink);
        SmallFilesystem fs("256k");
        if (!fs.mounted())
            QSKIP("cannot mount a tmpfs here (needs root)");
        const QString path = fs.path() + u"/page.html"_s;
        const QString second = fs.path() + u"/second.html"_s;
        const QByteArray old(3000, 'o');
        put(path, old);
        if (secondLink)
            QCOMPARE(
                ::link(QFile::encodeName(path).constData(), QFile::encodeName(second).constData()),
                0);
        fs.fill();
        const auto failure = files::writeFileAtomically(path, QByteArray(newSize, 'n'));
        QVERIFY(failure.has_value());
        QVERIFY2(failure->contains(u"空き容量"_s), qPrintable(*failure));
        QCOMPARE(contents(path), old);
        QStringList expected{u"filler"_s, u"page.html"_s};
        if (secondLink) {
            QCOMPARE(contents(second), old);
            expected << u"second.html"_s;
        }
        QCOMPARE(entries(fs.path()), expected);
        QCOMPARE(copiesLeft(), QStringList());
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
        const auto failure = files::writeFileAtomically(path, "new");
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
