#include "testenv.h"

#include "settings/freedesktopregistry.h"
#include "settings/shellregistration.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace settings;
using namespace Qt::StringLiterals;

namespace
{

const QString VerbFile = u"tavlen-text-html-editwithtavlen.desktop"_s;
const QString OpenWithFile = u"tavlen-htm-openwith-tavlen.desktop"_s;

struct Run {
    int code = -1;
    QString out;
};

Run run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

QString appsDir()
{
    return testsupport::home().dataDir() + u"/applications"_s;
}

QString mimeAppsList()
{
    return testsupport::home().configDir() + u"/mimeapps.list"_s;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The desktop ids gio lists for text/html, default line included.
QString gioMime()
{
    return run(u"gio"_s, {u"mime"_s, u"text/html"_s}).out;
}

// The first line of gio's answer: the application a double-click opens HTML files with.
QString gioDefault()
{
    return gioMime().section(u'\n', 0, 0);
}

QString xdgDefault()
{
    return run(u"xdg-mime"_s, {u"query"_s, u"default"_s, u"text/html"_s}).out.trimmed();
}

void validate(const QString &file)
{
    const Run r = run(u"desktop-file-validate"_s, {appsDir() + u'/' + file});
    QVERIFY2(r.code == 0 && r.out.trimmed().isEmpty(), qPrintable(r.out));
}

} // namespace

class TestShellDesktop : public QObject
{
    Q_OBJECT
    QString m_command; // of a program that exists: the desktop ignores entries of missing ones

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *tool : {"gio", "xdg-mime", "desktop-file-validate"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("the desktop tools are not installed");
        }
        QCOMPARE(appsDir(), FreedesktopRegistry().applicationsDir());
        QCOMPARE(mimeAppsList(), FreedesktopRegistry().mimeAppsList());
        // Another program is the user's HTML application; it must stay the default.
        writeFile(appsDir() + u"/other-browser.desktop"_s,
                  "[Desktop Entry]\nType=Application\nName=Other\nExec=true %u\n"
                  "MimeType=text/html;\n");
        writeFile(mimeAppsList(), "[Default Applications]\ntext/html=other-browser.desktop\n");
        m_command = LaunchCommand(QStandardPaths::findExecutable(u"true"_s));
    }

    void fileTypeOfHtml()
    {
        FreedesktopRegistry r;
        writeFile(testsupport::home().path() + u"/page.html"_s, "<html><body>x</body></html>\n");
        const Run q = run(u"xdg-mime"_s, {u"query"_s, u"filetype"_s,
                                          testsupport::home().path() + u"/page.html"_s});
        QCOMPARE(RegReadString(r, u".html"_s, QString()), q.out.trimmed());
        QCOMPARE(RegReadString(r, u".html"_s, QString()), u"text/html"_s);
    }

    void relation()
    {
        FreedesktopRegistry r;
        const QByteArray mimeAppsBefore = bytesOf(mimeAppsList());
        QVERIFY(SetRelation(r, true, m_command));
        const QString path = appsDir() + u'/' + VerbFile;
        validate(VerbFile);
        const QByteArray text = bytesOf(path);
        QVERIFY(text.contains("Name=Tavlenで編集\n"));
        QVERIFY(text.contains("NoDisplay=true\n"));
        QVERIFY(!text.contains("MimeType="));
        QVERIFY(text.contains("Exec=" + m_command.toUtf8() + "\n"));
        QCOMPARE(RegReadString(r, u"text/html\\shell\\EditWithTavlen"_s, QString()),
                 u"&Tavlenで編集"_s);
        QCOMPARE(RegReadString(r, u"text/html\\shell\\EditWithTavlen\\Command"_s, QString()),
                 m_command);
        QString listed = gioMime();
        QVERIFY2(listed.contains(VerbFile), qPrintable(listed));
        QVERIFY2(listed.startsWith(u"Default application for “text/html”: other-browser.desktop"_s),
                 qPrintable(listed));
        QCOMPARE(xdgDefault(), u"other-browser.desktop"_s);

        // Applying again changes nothing, not even the file's time.
        const QDateTime written = QFileInfo(path).lastModified();
        QVERIFY(SetRelation(r, true, m_command));
        QCOMPARE(bytesOf(path), text);
        QCOMPARE(QFileInfo(path).lastModified(), written);

        QVERIFY(SetRelation(r, false, m_command));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(bytesOf(mimeAppsList()), mimeAppsBefore);
        listed = gioMime();
        QVERIFY2(!listed.contains(u"tavlen"_s), qPrintable(listed));
        QVERIFY(SetRelation(r, false, m_command));
    }

    void defaultEditor()
    {
        FreedesktopRegistry r;
        const QByteArray mimeAppsBefore = bytesOf(mimeAppsList());
        QVERIFY(SetDefaultEditor(r, true, m_command));
        validate(OpenWithFile);
        const QByteArray text = bytesOf(appsDir() + u'/' + OpenWithFile);
        QVERIFY(text.contains("[Desktop Action edit]\nName=編集\n"));
        const QByteArray list = bytesOf(mimeAppsList());
        QVERIFY(list.contains("[Added Associations]\ntext/html=other-browser.desktop;" +
                              OpenWithFile.toUtf8() + ";\n"));
        QVERIFY(bytesOf(appsDir() + u'/' + OpenWithFile).contains("NoDisplay=true\n"));
        QVERIFY(list.startsWith("[Default Applications]\ntext/html=other-browser.desktop\n"));
        const QString listed = gioMime();
        QVERIFY2(listed.contains(OpenWithFile), qPrintable(listed));
        QVERIFY2(listed.startsWith(u"Default application for “text/html”: other-browser.desktop"_s),
                 qPrintable(listed));
        QCOMPARE(run(u"xdg-mime"_s, {u"query"_s, u"default"_s, u"text/html"_s}).out.trimmed(),
                 u"other-browser.desktop"_s);
        QCOMPARE(RegReadString(r, u".htm\\OpenWithList\\Tavlen\\shell\\edit\\command"_s, QString()),
                 m_command);

        QVERIFY(SetDefaultEditor(r, true, m_command));
        QCOMPARE(bytesOf(mimeAppsList()), list);

        QVERIFY(SetDefaultEditor(r, false, m_command));
        QVERIFY(!QFileInfo::exists(appsDir() + u'/' + OpenWithFile));
        QCOMPARE(bytesOf(mimeAppsList()), mimeAppsBefore);
        QVERIFY2(!gioMime().contains(u"tavlen"_s), qPrintable(gioMime()));
    }

    void neverTheDefaultOpener_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("browser listed only by its MimeType") << false;
        QTest::newRow("browser chosen as the default") << true;
    }
    void neverTheDefaultOpener()
    {
        QFETCH(bool, chosen);
        // A browser installed on the system; the user's own folders say nothing of HTML.
        const QString system = testsupport::home().path() + u"/system"_s;
        writeFile(system + u"/applications/web-browser.desktop"_s,
                  "[Desktop Entry]\nType=Application\nName=Web\nExec=true %u\n"
                  "MimeType=text/html;\n");
        run(u"update-desktop-database"_s, {system + u"/applications"_s});
        const QString other = appsDir() + u"/other-browser.desktop"_s;
        const QByteArray otherEntry = bytesOf(other);
        const QByteArray userList = bytesOf(mimeAppsList());
        QVERIFY(QFile::remove(other));
        QFile::remove(mimeAppsList());
        run(u"update-desktop-database"_s, {appsDir()});
        if (chosen)
            writeFile(mimeAppsList(), "[Default Applications]\ntext/html=web-browser.desktop\n");
        const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS", (system + u":/usr/share"_s).toUtf8());
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_DATA_DIRS", dataDirs);
            writeFile(other, otherEntry);
            writeFile(mimeAppsList(), userList);
        });
        const QString gioBefore = gioDefault();
        QCOMPARE(gioBefore, u"Default application for “text/html”: web-browser.desktop"_s);
        QCOMPARE(xdgDefault(), u"web-browser.desktop"_s);
        const QByteArray listBefore = bytesOf(mimeAppsList());

        FreedesktopRegistry r;
        QVERIFY(SetRelation(r, true, m_command));
        QVERIFY(SetDefaultEditor(r, true, m_command));
        QCOMPARE(gioDefault(), gioBefore);
        QCOMPARE(xdgDefault(), u"web-browser.desktop"_s);
        const QString listed = gioMime();
        QVERIFY2(listed.contains(VerbFile) && listed.contains(OpenWithFile), qPrintable(listed));

        // Either switch off alone still leaves the browser first; both off leave no trace.
        QVERIFY(SetRelation(r, false, m_command));
        QCOMPARE(gioDefault(), gioBefore);
        QVERIFY(SetRelation(r, true, m_command));
        QVERIFY(SetDefaultEditor(r, false, m_command));
        QCOMPARE(gioDefault(), gioBefore);
        QVERIFY(SetRelation(r, false, m_command));
        QCOMPARE(gioDefault(), gioBefore);
        QCOMPARE(xdgDefault(), u"web-browser.desktop"_s);
        QCOMPARE(bytesOf(mimeAppsList()), listBefore);
    }

    void notOfferedWhenTheDefaultCannotBeLearnt()
    {
        const QByteArray listBefore = bytesOf(mimeAppsList());
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", testsupport::home().path().toUtf8()); // no gio to ask
        FreedesktopRegistry r;
        const bool on = SetDefaultEditor(r, true, m_command);
        qputenv("PATH", path);
        QVERIFY(on);
        QCOMPARE(bytesOf(mimeAppsList()), listBefore);
        QVERIFY(!gioMime().contains(OpenWithFile));
        QVERIFY(SetDefaultEditor(r, false, m_command));
        QVERIFY(!QFileInfo::exists(appsDir() + u'/' + OpenWithFile));
        QCOMPARE(bytesOf(mimeAppsList()), listBefore);
    }

    void folderWithSpacesLaunches()
    {
        const QString folder = testsupport::home().path() + u"/my tools $HOME `x`"_s;
        const QString program = folder + u"/tavlen"_s;
        writeFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n");
        QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        FreedesktopRegistry r;
        QVERIFY(SetRelation(r, true, LaunchCommand(program)));
        validate(VerbFile);
        const QString page = testsupport::home().path() + u"/a page.html"_s;
        writeFile(page, "<p>x</p>\n");
        run(u"gio"_s, {u"launch"_s, appsDir() + u'/' + VerbFile, page});
        QTRY_COMPARE_WITH_TIMEOUT(bytesOf(folder + u"/args.txt"_s), page.toUtf8() + '\n', 10000);
        QVERIFY(SetRelation(r, false, LaunchCommand(program)));
    }

    void unwritablePlacesAreReported()
    {
        const QString blocker = testsupport::home().path() + u"/not-a-folder"_s;
        writeFile(blocker, "x");
        FreedesktopRegistry r(blocker + u"/applications"_s, blocker + u"/mimeapps.list"_s);
        QString reason;
        QVERIFY(!SetRelation(r, true, m_command, &reason));
        QVERIFY(reason.contains(u"書き込めません"_s));
        reason.clear();
        QVERIFY(!SetDefaultEditor(r, true, m_command, &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(SetRelation(r, false, m_command));
        QVERIFY(SetDefaultEditor(r, false, m_command));

        // The desktop entry can be written but mimeapps.list cannot: the entry is reported.
        const QString listDir = testsupport::home().path() + u"/list-is-a-folder"_s;
        QDir().mkpath(listDir);
        FreedesktopRegistry half(appsDir(), listDir);
        reason.clear();
        QVERIFY(!SetDefaultEditor(half, true, m_command, &reason));
        QVERIFY(!reason.isEmpty());
        FreedesktopRegistry whole;
        QVERIFY(SetDefaultEditor(whole, false, m_command));
        QVERIFY(!QFileInfo::exists(appsDir() + u'/' + OpenWithFile));
    }

    void keysOutsideTheDesktopAreRefused()
    {
        FreedesktopRegistry r;
        QString reason;
        QVERIFY(!RegWriteString(r, u".html"_s, QString(), u"x"_s, &reason));
        QVERIFY(!RegWriteString(r, u"Software\\Tavlen"_s, QString(), u"x"_s, &reason));
        QVERIFY(
            !RegWriteString(r, u"text/html\\shell\\EditWithTavlen"_s, u"named"_s, u"x"_s, &reason));
        QCOMPARE(RegReadString(r, u"Software\\Tavlen"_s, QString()), QString());
    }
};

TAVLEN_TEST_MAIN(TestShellDesktop)
#include "test_shelldesktop.moc"
