#include "app/mainstatusbar.h"
#include "app/maintoolbar.h"
#include "app/preview.h"
#include "app/programfolder.h"
#include "app/previewbrowser.h"
#include "app/richtextbox.h"
#include "mainwindowfixture.h"
#include "testenv.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>

using testsupport::MainWindowFixture;

namespace {

QStringList scratchFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("Tlprv*.html")}, QDir::Files);
}

QString makeFolder(const QString &name)
{
    const QString folder = testsupport::home().path() + QLatin1Char('/') + name;
    QDir().mkpath(folder);
    return folder;
}

// Whether the browser shows a pixel of the given colour somewhere.
bool showsColour(QWidget *view, QRgb colour)
{
    const QImage image = view->grab().toImage();
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void scratchFileNameHasTheTimeStamp()
    {
        const QDateTime when(QDate(2026, 12, 6), QTime(15, 30, 45));
        QCOMPARE(app::scratchFileName(when), QStringLiteral("Tlprv20261206153045.html"));
    }

    void previewShowsThePageAndRemovesTheScratchFile()
    {
        const QString folder = makeFolder(QStringLiteral("site"));
        const QString page = folder + QStringLiteral("/index.html");
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body style=\"background:#ff0000\"><p>x</p></body></html>");
        file.close();

        MainWindowFixture f;
        app::frmMain &w = f.start(page);
        w.resize(700, 500);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int x = int(w.rtbMain->Text().indexOf(QLatin1String("<p>x")) + 3);
        w.rtbMain->setSelStart(x);
        w.rtbMain->setSelLength(1);
        w.rtbMain->setSelText(QStringLiteral("y"));
        const bool modified = w.state.bolEditing;

        w.menu.mnuPreview->trigger();
        QVERIFY(w.menu.mnuPreview->isChecked());
        QVERIFY(w.tlbMain->Buttons(QStringLiteral("Preview"))->isChecked());
        QVERIFY(w.brwPreview->isVisible());
        QVERIFY(!w.rtbMain->isVisible());
        QCOMPARE(w.stbMain->Panels(QStringLiteral("Mode"))->text(),
                 QStringLiteral("プレビューモード"));
        QCOMPARE(scratchFiles(folder).size(), 1); // written beside the document

        QVERIFY(w.brwPreview->view());
        QTRY_VERIFY_WITH_TIMEOUT(showsColour(w.brwPreview->view(), qRgb(255, 0, 0)), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(scratchFiles(folder).isEmpty(), 10000);
        QVERIFY(QFile::exists(page)); // nothing of the document folder is deleted
        QCOMPARE(f.prompter.shown.size(), 0);

        // The tool bar button brings the editor back, unchanged.
        w.tlbMain->Buttons(QStringLiteral("Preview"))->trigger();
        QVERIFY(!w.menu.mnuPreview->isChecked());
        QVERIFY(w.rtbMain->isVisible());
        QVERIFY(!w.brwPreview->isVisible());
        QCOMPARE(w.stbMain->Panels(QStringLiteral("Mode"))->text(), QStringLiteral("編集モード"));
        QCOMPARE(w.state.bolEditing, modified);
        QCOMPARE(w.rtbMain->SelStart(), x + 1);
        QCOMPARE(w.state.strFilePath, page);
        w.state.bolEditing = false;
    }

    void previewNeverOverwritesAFileItDidNotCreate()
    {
        const QString folder = makeFolder(QStringLiteral("taken"));
        // Files with the names the next few seconds would give already exist.
        const QDateTime now = QDateTime::currentDateTime();
        QStringList mine;
        for (int s = 0; s < 4; ++s) {
            const QString path = folder + QLatin1Char('/') + app::scratchFileName(now.addSecs(s));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("mine");
            mine << path;
        }
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.state.strFileFolder = folder;
        w.rtbMain->setText(QStringLiteral("<p>preview</p>"));
        w.menu.mnuPreview->trigger();
        for (const QString &path : mine) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("mine"));
        }
        QCOMPARE(scratchFiles(folder).size(), mine.size() + 1);
        w.brwPreview_DocumentComplete(); // the load finished: only the new file goes
        QCOMPARE(scratchFiles(folder).size(), mine.size());
        for (const QString &path : mine)
            QVERIFY(QFile::exists(path));
        w.state.bolEditing = false;
    }

    void scratchFileIsWrittenInTheWriteEncoding()
    {
        const QString folder = makeFolder(QStringLiteral("euc"));
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.AppSettings.WriteCode = 1;
        w.state.strFileFolder = folder;
        w.rtbMain->setText(QStringLiteral("日本\r\n"));
        w.menu.mnuPreview->trigger();
        const QStringList files = scratchFiles(folder);
        QCOMPARE(files.size(), 1);
        QFile file(folder + QLatin1Char('/') + files.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xc6\xfc\xcb\xdc\n"));
        w.state.bolEditing = false;
    }

    void anUnwritableFolderPreviewsFromTheTemporaryFolder()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.state.strFileFolder = QStringLiteral("/proc/self"); // not even root can create files here
        w.rtbMain->setText(QStringLiteral("<html><head></head><body>x</body></html>"));
        const QStringList before = scratchFiles(QDir::tempPath());
        w.menu.mnuPreview->trigger();
        QCOMPARE(f.prompter.shown.size(), 0);
        QVERIFY(!w.brwPreview->isHidden());
        const QStringList during = scratchFiles(QDir::tempPath());
        QCOMPARE(during.size(), before.size() + 1);
        QString written;
        for (const QString &name : during)
            if (!before.contains(name))
                written = QDir::tempPath() + QLatin1Char('/') + name;
        QFile file(written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<head><base href=\"file:///proc/self/\">"));
        file.close();
        w.brwPreview_DocumentComplete();
        QVERIFY(!QFile::exists(written));
        w.state.bolEditing = false;
    }

    void previewBeforeAnyDocumentUsesTheProgramFolder()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        QVERIFY(w.state.strFileFolder.isEmpty());
        const QStringList before = scratchFiles(app::programFolder());
        w.menu.mnuPreview->trigger();
        QCOMPARE(w.state.strFileFolder, app::programFolder());
        QCOMPARE(scratchFiles(app::programFolder()).size(), before.size() + 1);
        w.brwPreview_DocumentComplete();
        QCOMPARE(scratchFiles(app::programFolder()), before);
    }
};

TAVLEN_TEST_MAIN(TestPreview)
#include "test_preview.moc"
