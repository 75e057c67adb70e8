#include "app/coolbar.h"
#include "app/mainstatusbar.h"
#include "app/maintoolbar.h"
#include "app/placement.h"
#include "app/previewbrowser.h"
#include "mainwindowfixture.h"
#include "markup/decoratetext.h"
#include "platform/richtextbox.h"
#include "testenv.h"
#include "testwindow.h"
#include "typing.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>

using testsupport::MainWindowFixture;
using testsupport::typeText;

namespace
{
QString panel(testsupport::TestWindow &w, const char *key)
{
    return w.statusPanels()->Panels(QLatin1String(key))->text();
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstStartShowsTheDesignedWindow()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        QCOMPARE(w.windowTitle(), QStringLiteral("新規ファイル - たぶれん"));
        QCOMPARE(f.store.value(QStringLiteral("UpdateInfo"), QStringLiteral("CurrentVersion")),
                 QStringLiteral("1.00.0000"));
        QVERIFY(!f.store.value(QStringLiteral("UpdateInfo"), QStringLiteral("ApplicationPath"))
                     .isEmpty());
        QVERIFY(!w.sharedState().bolEditing);
        QVERIFY(!w.isMaximized());
        QVERIFY(w.browser()->isHidden());
        QVERIFY(w.browser()->view() == nullptr); // the browser engine waits for a preview
        QVERIFY(w.mainMenu().mnuToolbar->isChecked());
        QVERIFY(w.mainMenu().mnuStatbar->isChecked());
        QVERIFY(!w.mainMenu().mnuSaveFile->isEnabled());
        QCOMPARE(w.layoutBase().editor.Top, 975.f);
        QCOMPARE(panel(w, "Mode"), QStringLiteral("編集モード"));
        QCOMPARE(panel(w, "ReadCode"), QStringLiteral("SJIS"));
        QCOMPARE(panel(w, "WriteCode"), QStringLiteral("SJIS"));
        QCOMPARE(panel(w, "Size"), QStringLiteral("0 Bytes"));
        QCOMPARE(f.prompter.shown.size(), 0);
    }

    void menuTreeHasItsCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("new") << "mnuNewFile"
                             << "新規作成(&N)..."
                             << "Ctrl+N";
        QTest::newRow("open") << "mnuOpenFile"
                              << "開く(&O)..."
                              << "Ctrl+O";
        QTest::newRow("save") << "mnuSaveFile"
                              << "上書き保存(&S)"
                              << "Ctrl+S";
        QTest::newRow("saveas") << "mnuSaveAs"
                                << "名前を付けて保存(&E)..."
                                << "Ctrl+Shift+S";
        QTest::newRow("print") << "mnuPrint"
                               << "印刷(&P)..."
                               << "Ctrl+P";
        QTest::newRow("printer") << "mnuPrinterConfig"
                                 << "ﾌﾟﾘﾝﾀの設定(&C)"
                                 << "";
        QTest::newRow("quit") << "mnuQuit"
                              << "終了(&Q)"
                              << "Ctrl+Q";
        QTest::newRow("cut") << "mnuCut"
                             << "切り取り(&X)"
                             << "";
        QTest::newRow("copy") << "mnuCopy"
                              << "コピー"
                              << "";
        QTest::newRow("paste") << "mnuPaste"
                               << "貼り付け(&V)"
                               << "";
        QTest::newRow("find") << "mnuFind"
                              << "検索(&E)..."
                              << "Ctrl+F";
        QTest::newRow("findnext") << "mnuFindNext"
                                  << "次を検索(&N)"
                                  << "F3";
        QTest::newRow("replace") << "mnuReplace"
                                 << "置換(&L)..."
                                 << "Ctrl+L";
        QTest::newRow("toolbar") << "mnuToolbar"
                                 << "ﾂｰﾙﾊﾞｰ(&T)"
                                 << "";
        QTest::newRow("statbar") << "mnuStatbar"
                                 << "ｽﾃｰﾀｽﾊﾞｰ(&S)"
                                 << "";
        QTest::newRow("preview") << "mnuPreview"
                                 << "ﾌﾟﾚﾋﾞｭｰ(&W)"
                                 << "Ctrl+W";
        QTest::newRow("decorate") << "mnuDecorate"
                                  << "色分け実行(&C)"
                                  << "Ctrl+G";
        QTest::newRow("tsedit") << "mnuTSEdit"
                                << "ﾀｸﾞｾｯﾄｴﾃﾞｨﾀ(&T)..."
                                << "Ctrl+T";
        QTest::newRow("option") << "mnuOption"
                                << "ｵﾌﾟｼｮﾝ(&O)..."
                                << "Ctrl+M";
        QTest::newRow("help") << "mnuHelp"
                              << "ﾍﾙﾌﾟを開く(&H)..."
                              << "F1";
        QTest::newRow("authweb") << "mnuAuthWeb"
                                 << "作者ﾎｰﾑﾍﾟｰｼﾞを開く(&K)..."
                                 << "Ctrl+K";
        QTest::newRow("version") << "mnuVersion"
                                 << "ﾊﾞｰｼﾞｮﾝ情報(&R)..."
                                 << "Ctrl+R";
    }
    void menuTreeHasItsCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        QAction *action = w.findChild<QAction *>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), shortcut);
    }

    void toolBarHasThirteenKeyedButtonsAndStatusBarNinePanels()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        const QStringList keys{"New",  "Open",    "Save",     "Print",  "Cut",    "Copy", "Paste",
                               "Find", "Preview", "Decorate", "Editor", "Option", "Help"};
        QCOMPARE(w.toolBar()->keys(), keys);
        for (const QString &key : keys)
            QVERIFY(!w.toolBar()->Buttons(key)->icon().isNull());
        QVERIFY(w.toolBar()->Buttons(QStringLiteral("Preview"))->isCheckable());
        QCOMPARE(w.toolBar()->Buttons(QStringLiteral("Find"))->toolTip(), QStringLiteral("検索"));
        QVERIFY(w.toolBar()->Buttons(QStringLiteral("Nope")) == nullptr);
        QCOMPARE(w.statusPanels()->keys(), QStringList({"Mode", "ReadCode", "WriteCode", "Size",
                                                        "Message", "Num", "Caps", "Scrl", "Ins"}));
        QCOMPARE(w.statusPanels()->Panels(QStringLiteral("Size"))->toolTip(),
                 QStringLiteral("現在のファイルサイズ"));
        QCOMPARE(w.coolBar()->Label1->text(), QStringLiteral("タグセット(&S)："));
        QVERIFY(!w.coolBar()->cmdInsTag->isEnabled());
        QVERIFY(!w.coolBar()->cmdEditTmp->isEnabled());
        // Buttons run their menu items' handlers: Help goes to the shell.
        w.toolBar()->Buttons(QStringLiteral("Help"))->trigger();
        QCOMPARE(f.shell.opened.size(), 1);
        QVERIFY(f.shell.opened[0].endsWith(QLatin1String("/Tavlen.chm")));
    }

    void editingSetsTheFlagAndTheSizePanel()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        w.editor()->setFocus();
        typeText(w.editor(), QStringLiteral("日本"));
        QVERIFY(w.sharedState().bolEditing);
        QCOMPARE(panel(w, "Size"), QStringLiteral("4 Bytes"));
        w.editor()->setSelText(QStringLiteral("\r\n"));
        QCOMPARE(panel(w, "Size"), QStringLiteral("6 Bytes"));
        w.editor()->setText(QString(1234, QLatin1Char('a')));
        QCOMPARE(panel(w, "Size"), QStringLiteral("1,234 Bytes"));
    }

    void selectionEnablesCutAndCopyUnlessBusy()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("abc"));
        w.editor()->setSelStart(0);
        w.editor()->setSelLength(1);
        QVERIFY(w.mainMenu().mnuCut->isEnabled());
        QVERIFY(w.mainMenu().mnuCopy->isEnabled());
        QVERIFY(w.toolBar()->Buttons(QStringLiteral("Cut"))->isEnabled());
        QVERIFY(w.toolBar()->Buttons(QStringLiteral("Copy"))->isEnabled());
        w.sharedState().bolBusy = true;
        w.editor()->setSelLength(0);
        QVERIFY(w.mainMenu().mnuCut->isEnabled());
        w.sharedState().bolBusy = false;
        w.editor()->setSelStart(1);
        QVERIFY(!w.mainMenu().mnuCut->isEnabled());
        QVERIFY(!w.mainMenu().mnuCopy->isEnabled());
        QVERIFY(!w.toolBar()->Buttons(QStringLiteral("Cut"))->isEnabled());
        QVERIFY(!w.toolBar()->Buttons(QStringLiteral("Copy"))->isEnabled());
        QVERIFY(w.toolBar()->Buttons(QStringLiteral("Paste"))->isEnabled());
    }

    void clipboardCommands()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("hello world"));
        w.editor()->setSelStart(0);
        w.editor()->setSelLength(6);
        w.mnuCut_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello "));
        QCOMPARE(w.editor()->Text(), QStringLiteral("world"));
        w.editor()->setSelStart(5);
        w.mnuPaste_Click();
        QCOMPARE(w.editor()->Text(), QStringLiteral("worldhello "));
        w.mnhEdit_Click();
        QVERIFY(w.mainMenu().mnuPaste->isEnabled());
        QVERIFY(!w.mainMenu().mnuFindNext->isEnabled());
        // A picture on the clipboard: refused with a message, text untouched.
        auto *picture = new QMimeData;
        picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(picture);
        w.mnuPaste_Click();
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].text,
                 QStringLiteral("クリップボードにあるデータの形式が、テキストではありません。"));
        QCOMPARE(f.prompter.shown[0].title, QStringLiteral("エラー"));
        QCOMPARE(w.editor()->Text(), QStringLiteral("worldhello "));
        w.mnhEdit_Click();
        QVERIFY(!w.mainMenu().mnuPaste->isEnabled());
    }

    void togglesMoveTheEditor()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect before = w.editor()->geometry();
        w.mainMenu().mnuToolbar->trigger();
        QVERIFY(!w.mainMenu().mnuToolbar->isChecked());
        QVERIFY(w.coolBar()->isHidden());
        QCOMPARE(w.editor()->geometry().top(), before.top() - 60);
        QCOMPARE(w.editor()->geometry().height(), before.height() + 60);
        w.mainMenu().mnuToolbar->trigger();
        QCOMPARE(w.editor()->geometry(), before);
        w.mainMenu().mnuStatbar->trigger();
        QVERIFY(w.statusPanels()->isHidden());
        QCOMPARE(w.editor()->geometry().height(), before.height() + 19);
        w.mainMenu().mnuStatbar->trigger();
        QCOMPARE(w.editor()->geometry(), before);
    }

    void resizingKeepsTheMinimumAndMovesTheEditor()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QSize designed = w.size();
        const QRect editor = w.editor()->geometry();
        w.resize(designed.width() + 100, designed.height() + 50);
        QTRY_COMPARE(w.editor()->width(), editor.width() + 100);
        QCOMPARE(w.editor()->height(), editor.height() + 50);
        QCOMPARE(w.coolBar()->width(), editor.width() + 100);
        w.resize(100, 50);
        QTRY_COMPARE(w.size(), QSize(400, 160));
    }

    void closingWritesThePlacementAndAsksAboutChanges()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.editor()->setText(QStringLiteral("changed"));
        f.prompter.answers = {platform::MsgAnswer::Cancel};
        QVERIFY(!w.close());
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].title, QStringLiteral("確認"));
        QVERIFY(!f.store.contains(QStringLiteral("Window"), QStringLiteral("Maximized")));
        f.prompter.answers = {platform::MsgAnswer::No};
        QVERIFY(w.close());
        QCOMPARE(f.store.value(QStringLiteral("Window"), QStringLiteral("Maximized")),
                 QStringLiteral("False"));
        QCOMPARE(f.store.value(QStringLiteral("Window"), QStringLiteral("Width")),
                 QString::number(w.width() * 15));
        QCOMPARE(f.store.value(QStringLiteral("Window"), QStringLiteral("Height")),
                 QString::number(w.height() * 15));
    }

    void storedPlacementIsAppliedAndBadValuesIgnored_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("width");
        QTest::addColumn<int>("expectedX");
        QTest::addColumn<int>("expectedWidth");
        QTest::newRow("numbers") << "1500"
                                 << "9000" << 100 << 600;
        QTest::newRow("zero left") << "0"
                                   << "9000" << 0 << 600;
        QTest::newRow("not numbers") << "abc"
                                     << "wide" << -1 << -1;
        QTest::newRow("off screen") << "9000000"
                                    << "9000" << -1 << 600;
    }
    void storedPlacementIsAppliedAndBadValuesIgnored()
    {
        QFETCH(QString, left);
        QFETCH(QString, width);
        QFETCH(int, expectedX);
        QFETCH(int, expectedWidth);
        MainWindowFixture designed;
        const QSize designedSize = designed.start().size();
        const QPoint designedPos = designed.window->pos();
        MainWindowFixture f;
        f.store.write(QStringLiteral("Window"), QStringLiteral("Left"), left);
        f.store.write(QStringLiteral("Window"), QStringLiteral("Top"), QStringLiteral("750"));
        f.store.write(QStringLiteral("Window"), QStringLiteral("Width"), width);
        testsupport::TestWindow &w = f.start();
        QCOMPARE(w.pos().x(), expectedX < 0 ? designedPos.x() : expectedX);
        QCOMPARE(w.width(), expectedWidth < 0 ? designedSize.width() : expectedWidth);
    }

    // A window last closed on a bigger monitor: moved and shrunk onto the screen it is opened on.
    void placementIsFittedOntoTheScreen_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("fitted");
        const QSize minimum(408, 196);
        const QRect laptop(0, 0, 1280, 900);
        QTest::newRow("fits") << QRect(100, 50, 800, 600) << laptop << QRect(100, 50, 800, 600);
        QTest::newRow("bigger than the screen")
            << QRect(200, 100, 3000, 1600) << laptop << QRect(0, 0, 1280, 900);
        QTest::newRow("too wide only")
            << QRect(300, 100, 2000, 500) << laptop << QRect(0, 100, 1280, 500);
        QTest::newRow("off the right and bottom edges")
            << QRect(1000, 700, 800, 600) << laptop << QRect(480, 300, 800, 600);
        QTest::newRow("above and left of the screen")
            << QRect(-50, -20, 800, 600) << laptop << QRect(0, 0, 800, 600);
        QTest::newRow("second monitor with a panel")
            << QRect(1900, 0, 3000, 1600) << QRect(1920, 30, 1024, 738)
            << QRect(1920, 30, 1024, 738);
        QTest::newRow("screen smaller than the minimum")
            << QRect(10, 10, 3000, 1600) << QRect(0, 0, 320, 180) << QRect(QPoint(0, 0), minimum);
    }
    void placementIsFittedOntoTheScreen()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, available);
        QFETCH(QRect, fitted);
        QCOMPARE(app::fitWithin(frame, available, QSize(408, 196)), fitted);
    }

    void storedOversizeOpensWithinTheScreen()
    {
        MainWindowFixture f;
        f.store.write(QStringLiteral("Window"), QStringLiteral("Left"), QStringLiteral("3000"));
        f.store.write(QStringLiteral("Window"), QStringLiteral("Top"), QStringLiteral("1500"));
        f.store.write(QStringLiteral("Window"), QStringLiteral("Width"), QStringLiteral("45000"));
        f.store.write(QStringLiteral("Window"), QStringLiteral("Height"), QStringLiteral("24000"));
        testsupport::TestWindow &w = f.start();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(QRect(w.pos(), w.size())), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                           .arg(w.pos().x())
                                                                           .arg(w.pos().y())
                                                                           .arg(w.width())
                                                                           .arg(w.height())));
        // Closing stores the fitted size, not the one that did not fit.
        QVERIFY(w.close());
        QVERIFY(f.store.value(QStringLiteral("Window"), QStringLiteral("Width")).toInt() <=
                screen.width() * 15);
    }

    void maximizedIgnoresTheNumbers()
    {
        MainWindowFixture f;
        f.store.write(QStringLiteral("Window"), QStringLiteral("Maximized"),
                      QStringLiteral("True"));
        f.store.write(QStringLiteral("Window"), QStringLiteral("Width"), QStringLiteral("7000"));
        testsupport::TestWindow &w = f.start();
        QVERIFY(w.windowState() & Qt::WindowMaximized);
    }

    void decorateColoursWithoutMakingAnEdit()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("<p>hello</p>"));
        w.sharedState().bolEditing = false;
        w.editor()->setSelStart(4);
        w.editor()->setSelLength(3);
        const int undoSteps = w.editor()->document()->availableUndoSteps();
        w.mainMenu().mnuDecorate->trigger();
        const QRgb tag = qRgb(0, 0, 128);
        bool tagColoured = false;
        for (const platform::ColorRun &r : w.editor()->colorRuns())
            tagColoured = tagColoured || (r.start == 0 && r.length == 3 && r.color == tag);
        QVERIFY(tagColoured);
        QVERIFY(!w.sharedState().bolEditing);
        QCOMPARE(w.editor()->document()->availableUndoSteps(), undoSteps);
        QCOMPARE(w.editor()->SelStart(), 4);
        QCOMPARE(w.editor()->SelLength(), 3);
        QVERIFY(w.isEnabled());
        QVERIFY(panel(w, "Message").isEmpty());
        QVERIFY(w.close()); // nothing to ask about
        QCOMPARE(f.prompter.shown.size(), 0);
    }

    void decorateWhileBusyDoesNothing()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("<p>x</p>"));
        w.sharedState().bolBusy = true;
        w.DecorateText();
        QVERIFY(w.editor()->colorRuns().empty());
        QVERIFY(w.sharedState().bolBusy);
    }

    void colouringLeavesTheWindowUsable()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("<p>x</p>"));
        w.DecorateText();
        QCOMPARE(w.editor()->Text(), QStringLiteral("<p>x</p>"));
        QVERIFY(!w.editor()->colorRuns().empty());
        QVERIFY(w.isEnabled());
        QVERIFY(!w.sharedState().bolBusy);
        QVERIFY(panel(w, "Message").isEmpty());
        QVERIFY(w.statusPanels()->currentMessage().isEmpty()); // every panel stays in sight
    }

    void commandLineOpensTheDocument_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("full path") << testsupport::home().path() + QStringLiteral("/site/a b.html");
        // Relative to the folder the program was started in.
        QTest::newRow("name only") << QStringLiteral("a b.html");
        QTest::newRow("dot and doubled slashes") << QStringLiteral(".//a b.html");
        QTest::newRow("up and down again") << QStringLiteral("../site/a b.html");
    }
    void commandLineOpensTheDocument()
    {
        QFETCH(QString, commandLine);
        const QString folder = testsupport::home().path() + QStringLiteral("/site");
        const QString path = folder + QStringLiteral("/a b.html");
        QVERIFY(QDir().mkpath(folder));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<p>x</p>");
        file.close();
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start(commandLine);
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(w.sharedState().strFileFolder, folder);
        QCOMPARE(w.appSettings().RecentFiles[0], path);
        QCOMPARE(w.editor()->Text(), QStringLiteral("<p>x</p>"));
        QVERIFY(!w.editor()->colorRuns().empty()); // opened documents are coloured
        QCOMPARE(w.windowTitle(), path + QStringLiteral(" - たぶれん"));
        QCOMPARE(w.sharedState().strFilePath, path);
        QVERIFY(!w.sharedState().bolEditing);
        QVERIFY(w.mainMenu().mnuSaveFile->isEnabled());
    }
};

TAVLEN_TEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"
