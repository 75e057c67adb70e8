#include "app/enginestart.h"
#include "app/livemode.h"
#include "app/livepane.h"
#include "app/mainstatusbar.h"
#include "app/maintoolbar.h"
#include "app/preview.h"
#include "app/previewbrowser.h"
#include "mainwindowfixture.h"
#include "platform/programfolder.h"
#include "platform/richtextbox.h"
#include "testenv.h"
#include "testwindow.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QSplitter>

#include <unistd.h>

using namespace Qt::StringLiterals;
using testsupport::MainWindowFixture;

namespace
{

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
    // Every test but one runs with the engine's sandbox off, as root needs it.
    void cleanup() { qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); }

    void theEngineStartsAsRootOnlyWithoutItsSandbox_data()
    {
        QTest::addColumn<bool>("root");
        QTest::addColumn<bool>("sandboxVariable");
        QTest::addColumn<QString>("flags"); // "-" for not set
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("starts");
        const QStringList plain{u"tavlen"_s, u"page.html"_s};
        const QStringList engineArgs{u"tavlen"_s, u"page.html"_s, u"--webEngineArgs"_s,
                                     u"--no-sandbox"_s};
        QTest::newRow("a user") << false << false << u"-"_s << plain << true;
        QTest::newRow("root") << true << false << u"-"_s << plain << false;
        QTest::newRow("root, variable set") << true << true << u"-"_s << plain << true;
        QTest::newRow("root, flags") << true << false << u"--foo --no-sandbox"_s << plain << true;
        QTest::newRow("root, other flags")
            << true << false << u"--no-sandboxes"_s << plain << false;
        QTest::newRow("root, after --") << true << false << u"-- --no-sandbox"_s << plain << false;
        QTest::newRow("root, engine's arguments") << true << false << u"-"_s << engineArgs << true;
        // The engine reads no argument of the program's own, nor any when the flags are set.
        QTest::newRow("root, a program argument")
            << true << false << u"-"_s << QStringList{u"tavlen"_s, u"--no-sandbox"_s} << false;
        QTest::newRow("root, flags override arguments")
            << true << false << u"--foo"_s << engineArgs << false;
    }
    void theEngineStartsAsRootOnlyWithoutItsSandbox()
    {
        QFETCH(bool, root);
        QFETCH(bool, sandboxVariable);
        QFETCH(QString, flags);
        QFETCH(QStringList, arguments);
        QFETCH(bool, starts);
        app::EngineStart start{root, sandboxVariable, std::nullopt, arguments};
        if (flags != u"-"_s)
            start.flags = flags;
        const std::optional<QString> refusal = app::engineStartRefusal(start);
        QCOMPARE(!refusal, starts);
        if (refusal)
            QVERIFY(refusal->contains(u"QTWEBENGINE_DISABLE_SANDBOX=1"_s));
    }

    void engineArgumentsNameNoDocument()
    {
        QCOMPARE(app::documentArguments({u"a"_s, u"b.html"_s}), QStringList({u"a"_s, u"b.html"_s}));
        QCOMPARE(app::documentArguments({u"a.html"_s, u"--WebEngineArgs"_s, u"--no-sandbox"_s}),
                 QStringList({u"a.html"_s}));
    }

    void previewAsRootWithTheSandboxOnIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("only root cannot run the engine's sandbox");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        const QString folder = makeFolder(QStringLiteral("root"));
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.sharedState().strFileFolder = folder;
        w.editor()->setText(QStringLiteral("<p>typed</p>"));
        for (int k = 0; k < 2; ++k) { // the menu item, then the button
            (k == 0 ? w.mainMenu().mnuPreview : w.toolBar()->Buttons(QStringLiteral("Preview")))
                ->trigger();
            QCOMPARE(f.prompter.shown.size(), k + 1);
            QCOMPARE(f.prompter.shown.last().title, QStringLiteral("エラー"));
            QVERIFY(f.prompter.shown.last().text.contains(u"root"_s));
            QVERIFY(!w.mainMenu().mnuPreview->isChecked());
            QVERIFY(!w.toolBar()->Buttons(QStringLiteral("Preview"))->isChecked());
            QVERIFY(!w.editor()->isHidden());
            QVERIFY(w.browser()->isHidden());
            QCOMPARE(w.statusPanels()->Panels(QStringLiteral("Mode"))->text(),
                     QStringLiteral("編集モード"));
            QVERIFY(!w.browser()->view()); // the engine was never loaded
            QCOMPARE(scratchFiles(folder), QStringList());
        }
        QCOMPARE(w.editor()->Text(), QStringLiteral("<p>typed</p>"));
        // The live preview beside the text is refused the same way.
        w.mainMenu().mnuLivePreview->trigger();
        QCOMPARE(f.prompter.shown.size(), 3);
        QCOMPARE(f.prompter.shown.last().title, QStringLiteral("エラー"));
        QVERIFY(!w.mainMenu().mnuLivePreview->isChecked());
        QVERIFY(!w.liveMode().pane()->view());
        QCOMPARE(w.editor()->parentWidget(), w.centralWidget());
        QCOMPARE(f.store.read(u"Settings"_s, u"LivePreview"_s, {}), u"False"_s);
        w.sharedState().bolEditing = false;
    }

    // Side by side, the editor and the page split the editor's place as the settings say; hidden,
    // the editor is back in its place with its text, and the choice is stored either way.
    void livePreviewSplitsTheEditorsPlace()
    {
        MainWindowFixture f;
        f.store.write(u"Settings"_s, u"LivePreviewSplit"_s, u"300"_s);
        testsupport::TestWindow &w = f.start();
        w.show();
        w.editor()->setText(QStringLiteral("<p>typed</p>"));
        const QRect place = w.editor()->geometry();
        w.mainMenu().mnuLivePreview->trigger();
        QVERIFY(w.mainMenu().mnuLivePreview->isChecked());
        QSplitter *splitter = w.liveMode().splitter();
        QCOMPARE(w.editor()->parentWidget(), splitter);
        QCOMPARE(splitter->geometry(), place);
        QVERIFY(w.liveMode().pane()->view());
        const QList<int> sizes = splitter->sizes();
        QVERIFY2(std::abs(sizes[0] * 1000 / (sizes[0] + sizes[1]) - 300) < 30,
                 qPrintable(QStringLiteral("%1 %2").arg(sizes[0]).arg(sizes[1])));
        QCOMPARE(f.store.read(u"Settings"_s, u"LivePreview"_s, {}), u"True"_s);
        w.mainMenu().mnuLivePreview->trigger();
        QCOMPARE(w.editor()->parentWidget(), w.centralWidget());
        QCOMPARE(w.editor()->geometry(), place);
        QVERIFY(w.editor()->isVisible());
        QVERIFY(!w.liveMode().pane()->view());
        QCOMPARE(w.editor()->Text(), QStringLiteral("<p>typed</p>"));
        QCOMPARE(f.store.read(u"Settings"_s, u"LivePreview"_s, {}), u"False"_s);
        w.sharedState().bolEditing = false;
    }

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
        testsupport::TestWindow &w = f.start(page);
        w.resize(700, 500);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int x = int(w.editor()->Text().indexOf(QLatin1String("<p>x")) + 3);
        w.editor()->setSelStart(x);
        w.editor()->setSelLength(1);
        w.editor()->setSelText(QStringLiteral("y"));
        const bool modified = w.sharedState().bolEditing;

        w.mainMenu().mnuPreview->trigger();
        QVERIFY(w.mainMenu().mnuPreview->isChecked());
        QVERIFY(w.toolBar()->Buttons(QStringLiteral("Preview"))->isChecked());
        QVERIFY(w.browser()->isVisible());
        QVERIFY(!w.editor()->isVisible());
        QCOMPARE(w.statusPanels()->Panels(QStringLiteral("Mode"))->text(),
                 QStringLiteral("プレビューモード"));
        QCOMPARE(scratchFiles(folder).size(), 1); // written beside the document

        QVERIFY(w.browser()->view());
        QTRY_VERIFY_WITH_TIMEOUT(showsColour(w.browser()->view(), qRgb(255, 0, 0)), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(scratchFiles(folder).isEmpty(), 10000);
        QVERIFY(QFile::exists(page)); // nothing of the document folder is deleted
        QCOMPARE(f.prompter.shown.size(), 0);

        // The tool bar button brings the editor back, unchanged.
        w.toolBar()->Buttons(QStringLiteral("Preview"))->trigger();
        QVERIFY(!w.mainMenu().mnuPreview->isChecked());
        QVERIFY(w.editor()->isVisible());
        QVERIFY(!w.browser()->isVisible());
        QCOMPARE(w.statusPanels()->Panels(QStringLiteral("Mode"))->text(),
                 QStringLiteral("編集モード"));
        QCOMPARE(w.sharedState().bolEditing, modified);
        QCOMPARE(w.editor()->SelStart(), x + 1);
        QCOMPARE(w.sharedState().strFilePath, page);
        w.sharedState().bolEditing = false;
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
        testsupport::TestWindow &w = f.start();
        w.sharedState().strFileFolder = folder;
        w.editor()->setText(QStringLiteral("<p>preview</p>"));
        w.mainMenu().mnuPreview->trigger();
        for (const QString &path : mine) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("mine"));
        }
        QCOMPARE(scratchFiles(folder).size(), mine.size() + 1);
        // The load finished: only the new file goes.
        w.brwPreview_DocumentComplete(w.browser()->currentUrl());
        QCOMPARE(scratchFiles(folder).size(), mine.size());
        for (const QString &path : mine)
            QVERIFY(QFile::exists(path));
        w.sharedState().bolEditing = false;
    }

    void supersededAndUnfinishedScratchFilesGo()
    {
        const QString folder = makeFolder(QStringLiteral("quick"));
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.sharedState().strFileFolder = folder;
        w.editor()->setText(QStringLiteral("<p>%1</p>").arg(QString(400000, QLatin1Char('x'))));
        w.mainMenu().mnuPreview->trigger(); // on, off and on again before anything has loaded
        const QUrl first = w.browser()->currentUrl();
        w.mainMenu().mnuPreview->trigger();
        w.mainMenu().mnuPreview->trigger();
        const QUrl second = w.browser()->currentUrl();
        QVERIFY(first != second);
        QVERIFY(!QFile::exists(first.toLocalFile()));
        QVERIFY(QFile::exists(second.toLocalFile()));
        w.brwPreview_DocumentComplete(first); // the superseded load ends late
        QVERIFY(QFile::exists(second.toLocalFile()));
        w.brwPreview_DocumentComplete(QUrl::fromLocalFile(folder)); // not a file of the preview
        QVERIFY(QFileInfo(folder).isDir());
        w.sharedState().bolEditing = false;
        f.window.reset(); // the window goes before the page has loaded
        QCOMPARE(scratchFiles(folder), QStringList());
    }

    void scratchFileIsWrittenInTheWriteEncoding()
    {
        const QString folder = makeFolder(QStringLiteral("euc"));
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.appSettings().WriteCode = codec::TextCode::EucJp;
        w.sharedState().strFileFolder = folder;
        w.editor()->setText(QStringLiteral("日本\r\n"));
        w.mainMenu().mnuPreview->trigger();
        const QStringList files = scratchFiles(folder);
        QCOMPARE(files.size(), 1);
        QFile file(folder + QLatin1Char('/') + files.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xc6\xfc\xcb\xdc\n"));
        w.sharedState().bolEditing = false;
    }

    void anUnwritableFolderPreviewsFromTheTemporaryFolder()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.sharedState().strFileFolder =
            QStringLiteral("/proc/self"); // not even root can create files here
        w.editor()->setText(QStringLiteral("<html><head></head><body>x</body></html>"));
        const QStringList before = scratchFiles(QDir::tempPath());
        w.mainMenu().mnuPreview->trigger();
        QCOMPARE(f.prompter.shown.size(), 0);
        QVERIFY(!w.browser()->isHidden());
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
        w.brwPreview_DocumentComplete(w.browser()->currentUrl());
        QVERIFY(!QFile::exists(written));
        w.sharedState().bolEditing = false;
    }

    void previewBeforeAnyDocumentUsesTheProgramFolder()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        QVERIFY(w.sharedState().strFileFolder.isEmpty());
        const QStringList before = scratchFiles(platform::programFolder());
        w.mainMenu().mnuPreview->trigger();
        QCOMPARE(w.sharedState().strFileFolder, platform::programFolder());
        QCOMPARE(scratchFiles(platform::programFolder()).size(), before.size() + 1);
        w.brwPreview_DocumentComplete(w.browser()->currentUrl());
        QCOMPARE(scratchFiles(platform::programFolder()), before);
    }
};

TAVLEN_TEST_MAIN(TestPreview)
#include "test_preview.moc"
