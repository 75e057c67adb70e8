#include "app/coolbar.h"
#include "app/mainstatusbar.h"
#include "app/maintoolbar.h"
#include "app/previewbrowser.h"
#include "platform/richtextbox.h"
#include "mainwindowfixture.h"
#include "markup/decoratetext.h"
#include "testenv.h"
#include "typing.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

using testsupport::typeText;
using testsupport::MainWindowFixture;

namespace {
QString panel(app::frmMain &w, const char *key)
{
    return w.stbMain->Panels(QLatin1String(key))->text();
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstStartShowsTheDesignedWindow()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        QCOMPARE(w.windowTitle(), QStringLiteral("新規ファイル - たぶれん"));
        QCOMPARE(f.store.value(QStringLiteral("UpdateInfo"), QStringLiteral("CurrentVersion")),
                 QStringLiteral("1.00.0000"));
        QVERIFY(!f.store.value(QStringLiteral("UpdateInfo"), QStringLiteral("ApplicationPath"))
                     .isEmpty());
        QVERIFY(!w.state.bolEditing);
        QVERIFY(!w.isMaximized());
        QVERIFY(w.brwPreview->isHidden());
        QVERIFY(w.brwPreview->view() == nullptr); // the browser engine waits for a preview
        QVERIFY(w.menu.mnuToolbar->isChecked());
        QVERIFY(w.menu.mnuStatbar->isChecked());
        QVERIFY(!w.menu.mnuSaveFile->isEnabled());
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
        QTest::newRow("new") << "mnuNewFile" << "新規作成(&N)..." << "Ctrl+N";
        QTest::newRow("open") << "mnuOpenFile" << "開く(&O)..." << "Ctrl+O";
        QTest::newRow("save") << "mnuSaveFile" << "上書き保存(&S)" << "Ctrl+S";
        QTest::newRow("saveas") << "mnuSaveAs" << "名前を付けて保存(&E)..." << "Ctrl+Shift+S";
        QTest::newRow("print") << "mnuPrint" << "印刷(&P)..." << "Ctrl+P";
        QTest::newRow("printer") << "mnuPrinterConfig" << "ﾌﾟﾘﾝﾀの設定(&C)" << "";
        QTest::newRow("quit") << "mnuQuit" << "終了(&Q)" << "Ctrl+Q";
        QTest::newRow("cut") << "mnuCut" << "切り取り(&X)" << "";
        QTest::newRow("copy") << "mnuCopy" << "コピー" << "";
        QTest::newRow("paste") << "mnuPaste" << "貼り付け(&V)" << "";
        QTest::newRow("find") << "mnuFind" << "検索(&E)..." << "Ctrl+F";
        QTest::newRow("findnext") << "mnuFindNext" << "次を検索(&N)" << "F3";
        QTest::newRow("replace") << "mnuReplace" << "置換(&L)..." << "Ctrl+L";
        QTest::newRow("toolbar") << "mnuToolbar" << "ﾂｰﾙﾊﾞｰ(&T)" << "";
        QTest::newRow("statbar") << "mnuStatbar" << "ｽﾃｰﾀｽﾊﾞｰ(&S)" << "";
        QTest::newRow("preview") << "mnuPreview" << "ﾌﾟﾚﾋﾞｭｰ(&W)" << "Ctrl+W";
        QTest::newRow("decorate") << "mnuDecorate" << "色分け実行(&C)" << "Ctrl+G";
        QTest::newRow("tsedit") << "mnuTSEdit" << "ﾀｸﾞｾｯﾄｴﾃﾞｨﾀ(&T)..." << "Ctrl+T";
        QTest::newRow("option") << "mnuOption" << "ｵﾌﾟｼｮﾝ(&O)..." << "Ctrl+M";
        QTest::newRow("help") << "mnuHelp" << "ﾍﾙﾌﾟを開く(&H)..." << "F1";
        QTest::newRow("authweb") << "mnuAuthWeb" << "作者ﾎｰﾑﾍﾟｰｼﾞを開く(&K)..." << "Ctrl+K";
        QTest::newRow("version") << "mnuVersion" << "ﾊﾞｰｼﾞｮﾝ情報(&R)..." << "Ctrl+R";
    }
    void menuTreeHasItsCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        MainWindowFixture f;
        app::frmMain &w = f.start();
        QAction *action = w.findChild<QAction *>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), shortcut);
    }

    void toolBarHasThirteenKeyedButtonsAndStatusBarNinePanels()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        const QStringList keys{"New",  "Open",    "Save",     "Print",  "Cut",
                               "Copy", "Paste",   "Find",     "Preview", "Decorate",
                               "Editor", "Option", "Help"};
        QCOMPARE(w.tlbMain->keys(), keys);
        for (const QString &key : keys)
            QVERIFY(!w.tlbMain->Buttons(key)->icon().isNull());
        QVERIFY(w.tlbMain->Buttons(QStringLiteral("Preview"))->isCheckable());
        QCOMPARE(w.tlbMain->Buttons(QStringLiteral("Find"))->toolTip(), QStringLiteral("検索"));
        QVERIFY(w.tlbMain->Buttons(QStringLiteral("Nope")) == nullptr);
        QCOMPARE(w.stbMain->keys(),
                 QStringList({"Mode", "ReadCode", "WriteCode", "Size", "Message", "Num", "Caps",
                              "Scrl", "Ins"}));
        QCOMPARE(w.stbMain->Panels(QStringLiteral("Size"))->toolTip(),
                 QStringLiteral("現在のファイルサイズ"));
        QCOMPARE(w.clbMain->Label1->text(), QStringLiteral("タグセット(&S)："));
        QVERIFY(!w.clbMain->cmdInsTag->isEnabled());
        QVERIFY(!w.clbMain->cmdEditTmp->isEnabled());
        // Buttons run their menu items' handlers: Help goes to the shell.
        w.tlbMain->Buttons(QStringLiteral("Help"))->trigger();
        QCOMPARE(f.shell.opened.size(), 1);
        QVERIFY(f.shell.opened[0].endsWith(QLatin1String("/Tavlen.chm")));
    }

    void editingSetsTheFlagAndTheSizePanel()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.show();
        w.rtbMain->setFocus();
        typeText(w.rtbMain, QStringLiteral("日本"));
        QVERIFY(w.state.bolEditing);
        QCOMPARE(panel(w, "Size"), QStringLiteral("4 Bytes"));
        w.rtbMain->setSelText(QStringLiteral("\r\n"));
        QCOMPARE(panel(w, "Size"), QStringLiteral("6 Bytes"));
        w.rtbMain->setText(QString(1234, QLatin1Char('a')));
        QCOMPARE(panel(w, "Size"), QStringLiteral("1,234 Bytes"));
    }

    void selectionEnablesCutAndCopyUnlessBusy()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.rtbMain->setText(QStringLiteral("abc"));
        w.rtbMain->setSelStart(0);
        w.rtbMain->setSelLength(1);
        QVERIFY(w.menu.mnuCut->isEnabled());
        QVERIFY(w.menu.mnuCopy->isEnabled());
        QVERIFY(w.tlbMain->Buttons(QStringLiteral("Cut"))->isEnabled());
        QVERIFY(w.tlbMain->Buttons(QStringLiteral("Copy"))->isEnabled());
        w.state.bolBusy = true;
        w.rtbMain->setSelLength(0);
        QVERIFY(w.menu.mnuCut->isEnabled());
        w.state.bolBusy = false;
        w.rtbMain->setSelStart(1);
        QVERIFY(!w.menu.mnuCut->isEnabled());
        QVERIFY(!w.menu.mnuCopy->isEnabled());
        QVERIFY(!w.tlbMain->Buttons(QStringLiteral("Cut"))->isEnabled());
        QVERIFY(!w.tlbMain->Buttons(QStringLiteral("Copy"))->isEnabled());
        QVERIFY(w.tlbMain->Buttons(QStringLiteral("Paste"))->isEnabled());
    }

    void clipboardCommands()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.rtbMain->setText(QStringLiteral("hello world"));
        w.rtbMain->setSelStart(0);
        w.rtbMain->setSelLength(6);
        w.mnuCut_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello "));
        QCOMPARE(w.rtbMain->Text(), QStringLiteral("world"));
        w.rtbMain->setSelStart(5);
        w.mnuPaste_Click();
        QCOMPARE(w.rtbMain->Text(), QStringLiteral("worldhello "));
        w.mnhEdit_Click();
        QVERIFY(w.menu.mnuPaste->isEnabled());
        QVERIFY(!w.menu.mnuFindNext->isEnabled());
        // A picture on the clipboard: refused with a message, text untouched.
        auto *picture = new QMimeData;
        picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
        QGuiApplication::clipboard()->setMimeData(picture);
        w.mnuPaste_Click();
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].text,
                 QStringLiteral("クリップボードにあるデータの形式が、テキストではありません。"));
        QCOMPARE(f.prompter.shown[0].title, QStringLiteral("エラー"));
        QCOMPARE(w.rtbMain->Text(), QStringLiteral("worldhello "));
        w.mnhEdit_Click();
        QVERIFY(!w.menu.mnuPaste->isEnabled());
    }

    void togglesMoveTheEditor()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect before = w.rtbMain->geometry();
        w.menu.mnuToolbar->trigger();
        QVERIFY(!w.menu.mnuToolbar->isChecked());
        QVERIFY(w.clbMain->isHidden());
        QCOMPARE(w.rtbMain->geometry().top(), before.top() - 60);
        QCOMPARE(w.rtbMain->geometry().height(), before.height() + 60);
        w.menu.mnuToolbar->trigger();
        QCOMPARE(w.rtbMain->geometry(), before);
        w.menu.mnuStatbar->trigger();
        QVERIFY(w.stbMain->isHidden());
        QCOMPARE(w.rtbMain->geometry().height(), before.height() + 19);
        w.menu.mnuStatbar->trigger();
        QCOMPARE(w.rtbMain->geometry(), before);
    }

    void resizingKeepsTheMinimumAndMovesTheEditor()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QSize designed = w.size();
        const QRect editor = w.rtbMain->geometry();
        w.resize(designed.width() + 100, designed.height() + 50);
        QTRY_COMPARE(w.rtbMain->width(), editor.width() + 100);
        QCOMPARE(w.rtbMain->height(), editor.height() + 50);
        QCOMPARE(w.clbMain->width(), editor.width() + 100);
        w.resize(100, 50);
        QTRY_COMPARE(w.size(), QSize(400, 160));
    }

    void closingWritesThePlacementAndAsksAboutChanges()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.rtbMain->setText(QStringLiteral("changed"));
        f.prompter.answers = {app::MsgAnswer::Cancel};
        QVERIFY(!w.close());
        QCOMPARE(f.prompter.shown.size(), 1);
        QCOMPARE(f.prompter.shown[0].title, QStringLiteral("確認"));
        QVERIFY(!f.store.contains(QStringLiteral("Window"), QStringLiteral("Maximized")));
        f.prompter.answers = {app::MsgAnswer::No};
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
        QTest::newRow("numbers") << "1500" << "9000" << 100 << 600;
        QTest::newRow("zero left") << "0" << "9000" << 0 << 600;
        QTest::newRow("not numbers") << "abc" << "wide" << -1 << -1;
        QTest::newRow("off screen") << "9000000" << "9000" << -1 << 600;
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
        app::frmMain &w = f.start();
        QCOMPARE(w.pos().x(), expectedX < 0 ? designedPos.x() : expectedX);
        QCOMPARE(w.width(), expectedWidth < 0 ? designedSize.width() : expectedWidth);
    }

    void maximizedIgnoresTheNumbers()
    {
        MainWindowFixture f;
        f.store.write(QStringLiteral("Window"), QStringLiteral("Maximized"), QStringLiteral("True"));
        f.store.write(QStringLiteral("Window"), QStringLiteral("Width"), QStringLiteral("7000"));
        app::frmMain &w = f.start();
        QVERIFY(w.windowState() & Qt::WindowMaximized);
    }

    void decorateColoursWithoutMakingAnEdit()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.rtbMain->setText(QStringLiteral("<p>hello</p>"));
        w.state.bolEditing = false;
        w.rtbMain->setSelStart(4);
        w.rtbMain->setSelLength(3);
        const int undoSteps = w.rtbMain->document()->availableUndoSteps();
        w.menu.mnuDecorate->trigger();
        const QRgb tag = qRgb(0, 0, 128);
        bool tagColoured = false;
        for (const app::rtf::ColorRun &r : w.rtbMain->colorRuns())
            tagColoured = tagColoured || (r.start == 0 && r.length == 3 && r.color == tag);
        QVERIFY(tagColoured);
        QVERIFY(!w.state.bolEditing);
        QCOMPARE(w.rtbMain->document()->availableUndoSteps(), undoSteps);
        QCOMPARE(w.rtbMain->SelStart(), 4);
        QCOMPARE(w.rtbMain->SelLength(), 3);
        QVERIFY(w.isEnabled());
        QVERIFY(panel(w, "Message").isEmpty());
        QVERIFY(w.close()); // nothing to ask about
        QCOMPARE(f.prompter.shown.size(), 0);
    }

    void decorateWhileBusyDoesNothing()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.rtbMain->setText(QStringLiteral("<p>x</p>"));
        w.state.bolBusy = true;
        w.DecorateText();
        QVERIFY(w.rtbMain->colorRuns().empty());
        QVERIFY(w.state.bolBusy);
    }

    void aFailingEngineLeavesTheWindowUsable()
    {
        MainWindowFixture f;
        app::frmMain &w = f.start();
        w.rtbMain->setText(QStringLiteral("<p>x</p>"));
        w.DecorateText();
        QVERIFY(!w.rtbMain->colorRuns().empty());
        w.setColorizer([](const QString &, const markup::MarkupColours &) {
            return std::variant<QString, markup::RegExpError>(
                markup::RegExpError{QStringLiteral("match limit exceeded")});
        });
        w.DecorateText();
        QCOMPARE(w.rtbMain->Text(), QStringLiteral("<p>x</p>"));
        QVERIFY(w.rtbMain->colorRuns().empty());
        QVERIFY(w.isEnabled());
        QVERIFY(!w.state.bolBusy);
        // The reason stays in the Message panel; a temporary status text would hide every panel.
        QVERIFY(panel(w, "Message").contains(QLatin1String("match limit exceeded")));
        QVERIFY(w.stbMain->currentMessage().isEmpty());
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
        app::frmMain &w = f.start(commandLine);
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(w.state.strFileFolder, folder);
        QCOMPARE(w.AppSettings.RecentFiles[0], path);
        QCOMPARE(w.rtbMain->Text(), QStringLiteral("<p>x</p>"));
        QVERIFY(!w.rtbMain->colorRuns().empty()); // opened documents are coloured
        QCOMPARE(w.windowTitle(), path + QStringLiteral(" - たぶれん"));
        QCOMPARE(w.state.strFilePath, path);
        QVERIFY(!w.state.bolEditing);
        QVERIFY(w.menu.mnuSaveFile->isEnabled());
    }
};

TAVLEN_TEST_MAIN(TestFrmMain)
#include "test_frmmain.moc"
