#include "testenv.h"

#include "settings/appsettings.h"
#include "settings/inisettingsstore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>

#include <memory>
#include <sys/stat.h>

using namespace settings;
using namespace Qt::StringLiterals;

namespace
{

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(contents), contents.size());
}

// A path no store of this process has opened yet, so a store on it parses the file afresh
// rather than sharing what QSettings keeps in memory for a file already in use.
QString freshPath()
{
    static int counter = 0;
    return testsupport::home().path() + u"/files/%1/Tavlen.conf"_s.arg(++counter);
}

// The file at `path` copied to a fresh path, to be read back as a later run would.
QString copyOf(const QString &path)
{
    const QString copy = freshPath();
    QDir().mkpath(QFileInfo(copy).absolutePath());
    if (!QFile::copy(path, copy))
        return QString();
    return copy;
}

ino_t inodeOf(const QString &path)
{
    struct stat info {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

class TestIniSettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultFileIsInTheConfigHome();
    void settingsRoundTripThroughTheFile();
    void textsSurviveTheFile_data();
    void textsSurviveTheFile();
    void handEditedFileIsRead();
    void overlongTextsReadAsAbsent();
    void fileIsReplacedWholeOnFlush();
    void failedFlushIsReportedAndRetried_data();
    void failedFlushIsReportedAndRetried();
    void malformedFileIsRewrittenWhole();
    void fullDiskIsReportedAndRepaired();
};

void TestIniSettingsStore::defaultFileIsInTheConfigHome()
{
    const QString expected = testsupport::home().configDir() + u"/Tavlen/Tavlen.conf"_s;
    QCOMPARE(IniSettingsStore::defaultFilePath(), expected);
    QVERIFY(!QFile::exists(expected));

    IniSettingsStore store;
    QCOMPARE(store.filePath(), expected);
    QCOMPARE(store.read(u"Settings"_s, u"FontSize"_s, u"11"_s), u"11"_s);
    store.write(u"Window"_s, u"Left"_s, u"1200"_s);
    QString reason;
    QVERIFY2(store.flush(&reason), qPrintable(reason));
    QVERIFY(reason.isEmpty());
    QCOMPARE(fileContents(expected), QByteArray("[Window]\nLeft=1200\n"));
}

void TestIniSettingsStore::settingsRoundTripThroughTheFile()
{
    const QString path = freshPath();
    AppSettings s;
    s.Font = {u"ＭＳ 明朝"_s, 10.5, true, true, false, true};
    s.FontColor = 0x80000005;
    s.BgColor = 0x00FFEE;
    s.ReadCode = codec::TextCode::EucJp;
    s.RecentFiles[0] = u"/home/u/日本語 フォルダ/index.html"_s;
    s.RecentFiles[1] = u"/tmp/a;b=c#d, e.htm"_s;
    {
        IniSettingsStore store(path);
        SaveSettings(store, s);
        QVERIFY(store.flush());
    }
    const QByteArray file = fileContents(path);
    QVERIFY(file.startsWith("[RecentFiles]\n") || file.startsWith("[Settings]\n"));
    QVERIFY(file.contains("\n[Settings]\n") || file.contains("\n[RecentFiles]\n"));
    QVERIFY(file.contains("FontSize=10.5\n"));
    QVERIFY(file.contains("File10=\n"));
    QVERIFY(!file.contains("General"));

    IniSettingsStore later(copyOf(path));
    AppSettings back;
    back.RecentFiles.fill(u"stale"_s);
    LoadSettings(later, back);
    QCOMPARE(back, s);
}

void TestIniSettingsStore::textsSurviveTheFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("default font") << u"ＭＳ ゴシック"_s;
    QTest::newRow("path with spaces") << u"/home/user/My Pages/index 2.html"_s;
    QTest::newRow("semicolon") << u"a;b"_s;
    QTest::newRow("equals") << u"a=b"_s;
    QTest::newRow("hash") << u"#not a comment"_s;
    QTest::newRow("comma") << u"/pages/a,b.html"_s;
    QTest::newRow("comma and space") << u"one, two"_s;
    QTest::newRow("leading and trailing spaces") << u"  padded  "_s;
    QTest::newRow("only spaces") << u"   "_s;
    QTest::newRow("backslashes") << u"C:\\Web\\x\\\\y\\"_s;
    QTest::newRow("quotes") << u"\"quoted\" and 'single'"_s;
    QTest::newRow("at sign") << u"@Variant(1)"_s;
    QTest::newRow("section look-alike") << u"[Settings]"_s;
    QTest::newRow("percent") << u"%41%"_s;
    QTest::newRow("control characters") << u"line1\nline2\ttab\r"_s;
    QTest::newRow("line separator and NBSP") << u"a\u2028b\u00A0c"_s;
    QTest::newRow("outside the BMP") << u"\U0002000B𠀋 emoji \U0001F600"_s;
    QTest::newRow("full-width space") << u"\u3000全角\u3000"_s;
}

void TestIniSettingsStore::textsSurviveTheFile()
{
    QFETCH(QString, text);
    const QString path = freshPath();
    {
        IniSettingsStore store(path);
        store.write(u"RecentFiles"_s, u"File01"_s, text);
        QCOMPARE(store.read(u"RecentFiles"_s, u"File01"_s, u"default"_s), text);
        QVERIFY(store.flush());
    }
    IniSettingsStore later(copyOf(path));
    QCOMPARE(later.read(u"RecentFiles"_s, u"File01"_s, u"default"_s), text);
}

void TestIniSettingsStore::handEditedFileIsRead()
{
    const QString path = freshPath();
    writeFile(path, "; edited by hand\n"
                    "[Settings]\n"
                    "FontName = IPAexゴシック\n"
                    "FontSize=abc\n"
                    "BgColor=@Rect(1 2 3 4)\n"
                    "[RecentFiles]\n"
                    "File01=/pages/a, b.html\n"
                    "File02=\n");
    IniSettingsStore store(path);
    QCOMPARE(store.read(u"Settings"_s, u"FontName"_s, QString()), u"IPAexゴシック"_s);
    QCOMPARE(store.read(u"RecentFiles"_s, u"File01"_s, QString()), u"/pages/a, b.html"_s);
    QCOMPARE(store.read(u"RecentFiles"_s, u"File02"_s, u"default"_s), QString());
    QCOMPARE(store.read(u"RecentFiles"_s, u"File03"_s, u"default"_s), u"default"_s);
    AppSettings s;
    LoadSettings(store, s);
    QCOMPARE(s.Font.Name, u"IPAexゴシック"_s);
    QCOMPARE(s.Font.Size, 11.0);
    QCOMPARE(s.BgColor, 0xFFFFFFu);
}

// 5 MB font names and recent files were never written by the program: the defaults stand.
void TestIniSettingsStore::overlongTextsReadAsAbsent()
{
    const QString path = freshPath();
    const QByteArray huge(5 * 1024 * 1024, 'x');
    writeFile(path, "[Settings]\nFontName=" + huge + "\n[RecentFiles]\nFile01=/" + huge +
                        "\nFile02=/pages/" + QByteArray(4000, 'p') + ".html\n");
    IniSettingsStore store(path);
    AppSettings s;
    LoadSettings(store, s);
    QCOMPARE(s.Font.Name, AppSettings().Font.Name);
    QCOMPARE(s.RecentFiles[0], QString());
    QCOMPARE(s.RecentFiles[1].size(), 4012); // the longest path there can be still counts
}

void TestIniSettingsStore::fileIsReplacedWholeOnFlush()
{
    const QString path = freshPath();
    IniSettingsStore store(path);
    SaveSettings(store, AppSettings{});
    QVERIFY(store.flush());
    const ino_t before = inodeOf(path);
    QVERIFY(before != 0);

    store.write(u"Settings"_s, u"FontSize"_s, u"12"_s);
    QVERIFY(store.flush());
    // A new file was written beside the old one and renamed over it.
    QVERIFY(inodeOf(path) != before);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files),
             QStringList{u"Tavlen.conf"_s});
}

void TestIniSettingsStore::failedFlushIsReportedAndRetried_data()
{
    QTest::addColumn<bool>("fileIsAFolder");
    QTest::newRow("the file is a folder") << true;
    QTest::newRow("the folder is a file") << false;
}

void TestIniSettingsStore::failedFlushIsReportedAndRetried()
{
    QFETCH(bool, fileIsAFolder);
    const QString path = freshPath();
    const QString blocker = fileIsAFolder ? path : QFileInfo(path).absolutePath();
    if (fileIsAFolder)
        QVERIFY(QDir().mkpath(blocker));
    else
        writeFile(blocker, "");

    IniSettingsStore store(path);
    store.write(u"Settings"_s, u"FontSize"_s, u"12"_s);
    QString reason;
    QVERIFY(!store.flush(&reason));
    QVERIFY2(reason.contains(path), qPrintable(reason));
    store.write(u"Settings"_s, u"FontName"_s, u"x"_s);
    QVERIFY(!store.flush());

    // Once the obstacle is gone, the next flush succeeds and carries every earlier write.
    if (fileIsAFolder)
        QVERIFY(QDir().rmdir(blocker));
    else
        QVERIFY(QFile::remove(blocker));
    reason.clear();
    QVERIFY2(store.flush(&reason), qPrintable(reason));
    QCOMPARE(fileContents(path), QByteArray("[Settings]\nFontName=x\nFontSize=12\n"));
    QVERIFY(store.flush());
}

void TestIniSettingsStore::malformedFileIsRewrittenWhole()
{
    const QString path = freshPath();
    writeFile(path, "stray line\n[Settings\nFontSize=12\n[RecentFiles]\nFile01=/a.html\n");
    IniSettingsStore store(path);
    store.write(u"Settings"_s, u"FontName"_s, u"x"_s);
    QString reason;
    QVERIFY2(store.flush(&reason), qPrintable(reason));

    IniSettingsStore later(copyOf(path));
    QCOMPARE(later.read(u"Settings"_s, u"FontName"_s, QString()), u"x"_s);
    QCOMPARE(later.read(u"RecentFiles"_s, u"File01"_s, QString()), u"/a.html"_s);
}

void TestIniSettingsStore::fullDiskIsReportedAndRepaired()
{
    const QString disk = testsupport::home().path() + u"/small-disk"_s;
    QVERIFY(QDir().mkpath(disk));
    const auto run = [](const QStringList &arguments) {
        QProcess process;
        process.start(u"mount"_s, arguments);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    };
    if (!run({u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=16k"_s, u"tmpfs"_s, disk}))
        QSKIP("mounting a small tmpfs needs root");
    const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {disk}); });

    const QString path = disk + u"/Tavlen.conf"_s;
    IniSettingsStore store(path);
    store.write(u"Window"_s, u"Left"_s, u"1200"_s);
    QVERIFY(store.flush());

    const QString big(20000, QLatin1Char('x'));
    store.write(u"RecentFiles"_s, u"File01"_s, big);
    QString reason;
    QVERIFY(!store.flush(&reason));
    QVERIFY2(reason.contains(path), qPrintable(reason));

    // With room again, the next flush writes the whole file, keys lost from the short one too.
    QVERIFY(run({u"-o"_s, u"remount,size=128k"_s, disk}));
    reason.clear();
    QVERIFY2(store.flush(&reason), qPrintable(reason));
    IniSettingsStore later(copyOf(path));
    QCOMPARE(later.read(u"Window"_s, u"Left"_s, QString()), u"1200"_s);
    QCOMPARE(later.read(u"RecentFiles"_s, u"File01"_s, QString()), big);
}

TAVLEN_TEST_MAIN(TestIniSettingsStore)
#include "test_inisettingsstore.moc"
