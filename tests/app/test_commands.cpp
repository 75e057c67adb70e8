#include "app/coolbar.h"
#include "app/keystates.h"
#include "app/mainstatusbar.h"
#include "app/maintoolbar.h"
#include "mainwindowfixture.h"
#include "platform/richtextbox.h"
#include "search/findcommands.h"
#include "search/frmfind.h"
#include "testenv.h"
#include "testwindow.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <map>
#include <memory>

using testsupport::MainWindowFixture;

namespace
{

// Closes any modal dialog a command opens, so that a command can be driven without a person.
class ModalCloser : public QObject
{
public:
    ModalCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

// Counts how often each menu command ran.
struct MenuSpies {
    std::map<QString, std::unique_ptr<QSignalSpy>> spies;
    explicit MenuSpies(testsupport::TestWindow &w)
    {
        for (QAction *a : w.findChildren<QAction *>())
            if (a->objectName().startsWith(QLatin1String("mnu")))
                spies[a->objectName()] = std::make_unique<QSignalSpy>(a, &QAction::triggered);
    }
    QStringList fired() const
    {
        QStringList names;
        for (const auto &[name, spy] : spies)
            for (qsizetype i = 0; i < spy->count(); ++i)
                names << name;
        return names;
    }
};

bool lit(testsupport::TestWindow &w, const char *key)
{
    return w.statusPanels()->Panels(QLatin1String(key))->isEnabled();
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("clip")); }

    void toolBarButtonsRunTheirMenuCommands_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("strFind");
        QTest::addColumn<QString>("command");
        QTest::newRow("New") << "New"
                             << ""
                             << "mnuNewFile";
        QTest::newRow("Open") << "Open"
                              << ""
                              << "mnuOpenFile";
        QTest::newRow("Save") << "Save"
                              << ""
                              << "mnuSaveFile";
        QTest::newRow("Print") << "Print"
                               << ""
                               << "mnuPrint";
        QTest::newRow("Cut") << "Cut"
                             << ""
                             << "mnuCut";
        QTest::newRow("Copy") << "Copy"
                              << ""
                              << "mnuCopy";
        QTest::newRow("Paste") << "Paste"
                               << ""
                               << "mnuPaste";
        QTest::newRow("Find, nothing searched") << "Find"
                                                << ""
                                                << "mnuFind";
        QTest::newRow("Find after a search") << "Find"
                                             << "b"
                                             << "mnuFindNext";
        QTest::newRow("Preview") << "Preview"
                                 << ""
                                 << "mnuPreview";
        QTest::newRow("Decorate") << "Decorate"
                                  << ""
                                  << "mnuDecorate";
        QTest::newRow("Editor") << "Editor"
                                << ""
                                << "mnuTSEdit";
        QTest::newRow("Option") << "Option"
                                << ""
                                << "mnuOption";
        QTest::newRow("Help") << "Help"
                              << ""
                              << "mnuHelp";
    }
    void toolBarButtonsRunTheirMenuCommands()
    {
        QFETCH(QString, key);
        QFETCH(QString, strFind);
        QFETCH(QString, command);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.sharedState().strFind = strFind;
        ModalCloser closer;
        MenuSpies spies(w);
        QAction *button = w.toolBar()->Buttons(key);
        QVERIFY(button);
        button->setEnabled(true); // Save, Cut and Copy wait for a file or a selection
        // Only which command runs matters here: a dialog or question it opens is cancelled.
        f.dialogs.steps = {testsupport::ScriptedDialogs::cancel()};
        f.prompter.answers = {platform::MsgAnswer::Cancel};
        button->trigger();
        QCOMPARE(spies.fired(), QStringList{command});
        f.dialogs.steps.clear();
        f.prompter.answers.clear();
    }

    void unknownKeyDoesNothing()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        MenuSpies spies(w);
        w.tlbMain_ButtonClick(QStringLiteral("SaveAs"));
        w.tlbMain_ButtonClick(QStringLiteral("new"));
        QVERIFY(spies.fired().isEmpty());
    }

    void pasteButtonWorksWhileTheMenuItemWaits()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        QVERIFY(!w.mainMenu().mnuPaste->isEnabled());
        w.toolBar()->Buttons(QStringLiteral("Paste"))->trigger();
        QCOMPARE(w.editor()->Text(), QStringLiteral("clip"));
    }

    void findButtonOpensTheDialogOrFindsNext()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("ab ab"));
        w.editor()->setSelStart(0);
        QAction *find = w.toolBar()->Buttons(QStringLiteral("Find"));
        find->trigger();
        search::frmFind *d = w.findCommands().dialog();
        QVERIFY(d && d->isVisible());
        QVERIFY(!d->bolSw);
        d->txtWord->setText(QStringLiteral("AB"));
        d->cmdGo->click();
        QCOMPARE(w.editor()->SelStart(), 0);
        // Its key works at once, without the Edit menu being opened first.
        QVERIFY(w.mainMenu().mnuFindNext->isEnabled());
        d->cmdClose->click();
        QVERIFY(w.findCommands().dialog() == nullptr);
        find->trigger(); // now it finds the next one directly
        QVERIFY(w.findCommands().dialog() == nullptr);
        QCOMPARE(w.editor()->SelStart(), 3);
        QCOMPARE(w.editor()->SelLength(), 2);
    }

    void previewButtonSetsTheMenuCheck()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        QAction *preview = w.toolBar()->Buttons(QStringLiteral("Preview"));
        preview->trigger();
        QVERIFY(w.mainMenu().mnuPreview->isChecked());
        preview->trigger();
        QVERIFY(!w.mainMenu().mnuPreview->isChecked());
    }

    void editMenuEnablesPasteAndFindNext_data()
    {
        QTest::addColumn<bool>("clipboardText");
        QTest::addColumn<QString>("strFind");
        QTest::newRow("text, no search") << true << "";
        QTest::newRow("picture, search") << false << "x";
    }
    void editMenuEnablesPasteAndFindNext()
    {
        QFETCH(bool, clipboardText);
        QFETCH(QString, strFind);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        if (!clipboardText) {
            auto *picture = new QMimeData;
            picture->setImageData(QImage(2, 2, QImage::Format_RGB32));
            QGuiApplication::clipboard()->setMimeData(picture);
        }
        w.sharedState().strFind = strFind;
        Q_EMIT w.mainMenu().mnhEdit->aboutToShow();
        QCOMPARE(w.mainMenu().mnuPaste->isEnabled(), clipboardText);
        QCOMPARE(w.mainMenu().mnuFindNext->isEnabled(), !strFind.isEmpty());
    }

    void cutAndCopyWithoutSelectionLeaveEmptyText()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("abc"));
        w.editor()->setSelStart(1);
        w.mnuCopy_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        w.mnuCut_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        QCOMPARE(w.editor()->Text(), QStringLiteral("abc"));
    }

    // The menu's Cut and Copy and the keys Ctrl+X and Ctrl+C put the same text on the
    // clipboard: LF line breaks, a no-break space kept.
    void menuAndKeysPutTheSameTextOnTheClipboard_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("copy") << false;
        QTest::newRow("cut") << true;
    }
    void menuAndKeysPutTheSameTextOnTheClipboard()
    {
        QFETCH(bool, cut);
        const QString text = QStringLiteral("a\u00A0b\r\nc\r\nd");
        const QString expected = QStringLiteral("a\u00A0b\nc");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        platform::RichTextBox &box = *w.editor();
        const auto select = [&box, &text] {
            box.setText(text);
            box.setSelStart(0);
            box.setSelLength(5);
        };
        select();
        cut ? w.mnuCut_Click() : w.mnuCopy_Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        select();
        box.setFocus();
        QTest::keyClick(&box, cut ? Qt::Key_X : Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), expected);
        QCOMPARE(box.Text(), cut ? QStringLiteral("\r\nd") : text);
    }

    // At the designed window size every panel of the status bar lies inside it, each wide
    // enough for its text, and the Message panel has room for its longest message.
    void designedSizeShowsEveryPanelAndCaption()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto *bar = w.findChild<app::MainStatusBar *>();
        QVERIFY(bar);
        QCOMPARE(bar->keys().size(), 9);
        for (const QString &key : bar->keys()) {
            const QLabel *panel = bar->Panels(key);
            QVERIFY2(panel->isVisible(), qPrintable(key));
            const int right = panel->mapTo(&w, QPoint(panel->width() - 1, 0)).x();
            QVERIFY2(right < w.width(),
                     qPrintable(key + QStringLiteral(" ends at ") + QString::number(right) +
                                QStringLiteral(" in ") + QString::number(w.width())));
            QVERIFY2(panel->width() >= panel->minimumSizeHint().width(), qPrintable(key));
        }
        // The tag set caption shows whole, its colon too, before the list.
        const app::CoolBar *coolBar = w.findChild<app::CoolBar *>();
        QVERIFY(coolBar);
        QVERIFY(coolBar->Label1->width() >= coolBar->Label1->sizeHint().width());
        QVERIFY(coolBar->Label1->geometry().right() < coolBar->cboTagSet->x());
        const QLabel *message = bar->Panels(QStringLiteral("Message"));
        QVERIFY2(message->contentsRect().width() >= message->fontMetrics().horizontalAdvance(
                                                        QStringLiteral("設定の反映処理中...")),
                 qPrintable(QString::number(message->width())));
    }

    void authorsPageGoesToTheShell()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.mainMenu().mnuAuthWeb->trigger();
        // Built without an address of its own, the command opens the help page's about section.
        QCOMPARE(f.shell.opened.size(), 1);
        const QUrl opened(f.shell.opened.first());
        QCOMPARE(opened.scheme(), QStringLiteral("file"));
        QVERIFY2(opened.path().endsWith(QLatin1String("/share/tavlen/help/index.html")),
                 qPrintable(opened.toString()));
        QCOMPARE(opened.fragment(), QStringLiteral("about"));
        QCOMPARE(f.prompter.shown.size(), 0);
    }

    void insertKeySwitchesOverwriteAndTheInsPanel()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.editor()->setText(QStringLiteral("abc"));
        w.editor()->setSelStart(0);
        QVERIFY(!lit(w, "Ins"));
        QTest::keyClick(w.editor(), Qt::Key_Insert);
        QVERIFY(w.editor()->overwriteMode());
        QVERIFY(lit(w, "Ins"));
        QTest::keyClicks(w.editor(), QStringLiteral("xy"));
        QCOMPARE(w.editor()->Text(), QStringLiteral("xyc"));
        QTest::keyClick(w.editor(), Qt::Key_Insert);
        QVERIFY(!w.editor()->overwriteMode());
        QVERIFY(!lit(w, "Ins"));
        QTest::keyClicks(w.editor(), QStringLiteral("z"));
        QCOMPARE(w.editor()->Text(), QStringLiteral("xyzc"));
        // Shift+Insert pastes and leaves the mode alone.
        QTest::keyClick(w.editor(), Qt::Key_Insert, Qt::ShiftModifier);
        QVERIFY(!w.editor()->overwriteMode());
        QCOMPARE(w.editor()->Text(), QStringLiteral("xyzclipc"));
    }

    void desktopIndicatorsAreRead()
    {
        // Runs on an X11 display (xvfb-run with QT_QPA_PLATFORM=xcb) where xdotool can press keys.
        const std::optional<app::LockStates> before = app::desktopLockStates();
        if (!before)
            QSKIP("the desktop reports no lock-key indicators");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
        const auto press = [] {
            QProcess::execute(QStringLiteral("xdotool"),
                              {QStringLiteral("key"), QStringLiteral("Caps_Lock")});
        };
        press();
        QTRY_COMPARE(app::desktopLockStates()->caps, !before->caps);
        QCOMPARE(app::desktopLockStates()->num, before->num);
        press();
        QTRY_COMPARE(app::desktopLockStates()->caps, before->caps);
    }

    void lockKeysLightTheirPanels_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("panel");
        QTest::newRow("num") << int(Qt::Key_NumLock) << "Num";
        QTest::newRow("caps") << int(Qt::Key_CapsLock) << "Caps";
        QTest::newRow("scroll") << int(Qt::Key_ScrollLock) << "Scrl";
    }
    void lockKeysLightTheirPanels()
    {
        // Without indicators from the desktop (offscreen) the panels follow the keys pressed.
        QFETCH(int, key);
        QFETCH(QString, panel);
        if (app::desktopLockStates())
            QSKIP("the desktop reports the lock keys itself");
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QByteArray name = panel.toLatin1();
        const bool before = lit(w, name.constData());
        QTest::keyClick(w.windowHandle(), Qt::Key(key));
        QCOMPARE(lit(w, name.constData()), !before);
        QTest::keyClick(w.windowHandle(), Qt::Key(key));
        QCOMPARE(lit(w, name.constData()), before);
    }
};

TAVLEN_TEST_MAIN(TestCommands)
#include "test_commands.moc"
