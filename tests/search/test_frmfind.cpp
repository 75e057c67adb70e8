#include "mainwindowfixture.h"
#include "platform/richtextbox.h"
#include "search/findcommands.h"
#include "search/frmfind.h"
#include "testenv.h"
#include "testwindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

using testsupport::MainWindowFixture;

namespace
{

void setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

void setClipboardPicture()
{
    auto *picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(picture);
}

search::frmFind *openDialog(testsupport::TestWindow &w, bool replace)
{
    (replace ? w.mainMenu().mnuReplace : w.mainMenu().mnuFind)->trigger();
    return w.findCommands().dialog();
}

// Fills the dialog and presses its action button.
void replaceWith(search::frmFind *d, const QString &word, const QString &replacement)
{
    d->txtWord->setText(word);
    d->txtReplace->setText(replacement);
    QTest::mouseClick(d->cmdGo, Qt::LeftButton);
}

} // namespace

class TestFrmFind : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->clear(); }

    void modesHaveTheirLayoutAndCaptions_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("heightTwips");
        QTest::newRow("find") << false << "検索"
                              << "検索(&F)" << 1935;
        QTest::newRow("replace") << true << "置換"
                                 << "置換(&P)" << 2295;
    }
    void modesHaveTheirLayoutAndCaptions()
    {
        QFETCH(bool, replace);
        QFETCH(QString, caption);
        QFETCH(QString, button);
        QFETCH(int, heightTwips);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        search::frmFind *d = openDialog(w, replace);
        QVERIFY(d);
        QVERIFY(d->isVisible());
        QVERIFY(!d->isModal());
        QCOMPARE(d->parentWidget(), &w);
        QCOMPARE(d->bolSw, replace);
        QCOMPARE(d->windowTitle(), caption);
        QCOMPARE(d->cmdGo->text(), button);
        QVERIFY(d->cmdGo->isDefault());
        QCOMPARE(d->cmdClose->text(), QStringLiteral("閉じる(&C)"));
        QCOMPARE(d->Label1->text(), QStringLiteral("検索する文字列(&S)："));
        QCOMPARE(d->Label2->text(), QStringLiteral("置換後の文字列(&R)："));
        QCOMPARE(d->chkRegExp->text(), QStringLiteral("置換に正規表現を使う(&E)"));
        QCOMPARE(d->chkGlobal->text(), QStringLiteral("グローバル置換(&G)"));
        QCOMPARE(d->chkCase->text(), QStringLiteral("大文字小文字を区別する(&A)"));
        QCOMPARE(d->txtReplace->isVisible(), replace);
        QCOMPARE(d->Label2->isVisible(), replace);
        QCOMPARE(d->fraRegExp->isVisible(), replace);
        QCOMPARE(d->height(), qRound(heightTwips / platform::twipsPerPixelY(d)));
        QCOMPARE(d->width(), qRound(5970 / platform::twipsPerPixelX(d)));
        QVERIFY(!d->chkRegExp->isChecked());
        QVERIFY(d->chkGlobal->isChecked() && !d->chkGlobal->isEnabled());
        QVERIFY(d->chkCase->isChecked() && !d->chkCase->isEnabled());
    }

    void searchWordComesFromTheLastSearchOrTheClipboard_data()
    {
        QTest::addColumn<QString>("strFind");
        QTest::addColumn<QString>("clipboard"); // "<picture>": not text
        QTest::addColumn<QString>("word");
        QTest::newRow("clipboard line") << ""
                                        << "abc\r\n"
                                        << "abc";
        QTest::newRow("clipboard tabs") << ""
                                        << "a\tb"
                                        << "ab";
        QTest::newRow("last search wins") << "xyz"
                                          << "abc"
                                          << "xyz";
        QTest::newRow("picture") << ""
                                 << "<picture>"
                                 << "";
    }
    void searchWordComesFromTheLastSearchOrTheClipboard()
    {
        QFETCH(QString, strFind);
        QFETCH(QString, clipboard);
        QFETCH(QString, word);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.sharedState().strFind = strFind;
        if (clipboard == QLatin1String("<picture>"))
            setClipboardPicture();
        else
            setClipboardText(clipboard);
        QCOMPARE(openDialog(w, false)->txtWord->text(), word);
    }

    void regExpBoxEnablesItsOptionsAndKeepsTheirState()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        search::frmFind *d = openDialog(w, true);
        d->show();
        QTest::mouseClick(d->chkRegExp, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(d->chkRegExp->isChecked());
        QVERIFY(d->chkGlobal->isEnabled() && d->chkCase->isEnabled());
        d->chkGlobal->setChecked(false);
        QTest::mouseClick(d->chkRegExp, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!d->chkGlobal->isEnabled() && !d->chkCase->isEnabled());
        QVERIFY(!d->chkGlobal->isChecked());
        QVERIFY(d->chkCase->isChecked());
    }

    void findSelectsOccurrencesWithoutWrapping()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("Abc abc"));
        w.editor()->setSelStart(0);
        search::frmFind *d = openDialog(w, false);
        d->txtWord->setText(QStringLiteral("abc"));
        const int expected[][2] = {{0, 3}, {4, 3}, {4, 3}};
        for (const auto &sel : expected) {
            QTest::mouseClick(d->cmdGo, Qt::LeftButton);
            QCOMPARE(w.editor()->SelStart(), sel[0]);
            QCOMPARE(w.editor()->SelLength(), sel[1]);
        }
        QCOMPARE(w.sharedState().strFind, QStringLiteral("abc"));
        QCOMPARE(f.prompter.shown.size(), 0);
        QVERIFY(d->isVisible()); // stays open
        // Find next from the main window goes on from the caret.
        w.editor()->setSelStart(0);
        w.mainMenu().mnuFindNext->setEnabled(true);
        w.mainMenu().mnuFindNext->trigger();
        QCOMPARE(w.editor()->SelStart(), 0);
        QCOMPARE(w.editor()->SelLength(), 3);
    }

    void findNextWithoutSearchWordDoesNothing()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("abc"));
        w.editor()->setSelStart(1);
        w.mnuFindNext_Click();
        QCOMPARE(w.editor()->SelStart(), 1);
        QCOMPARE(w.editor()->SelLength(), 0);
        QVERIFY(w.findCommands().dialog() == nullptr);
    }

    void replaceRewritesTheWholeDocument_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("regExp");
        QTest::addColumn<bool>("global");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");
        QTest::newRow("literal") << "aAa" << false << true << true << "a"
                                 << "b"
                                 << "bAb";
        QTest::newRow("literal ignores options") << "aAa" << false << false << false << "a"
                                                 << "b"
                                                 << "bAb";
        QTest::newRow("literal empty word") << "aAa" << false << true << true << ""
                                            << "b"
                                            << "aAa";
        QTest::newRow("regexp global") << "aa b aaa" << true << true << true << "a+"
                                       << "x"
                                       << "x b x";
        QTest::newRow("regexp first") << "aa b aaa" << true << false << true << "a+"
                                      << "x"
                                      << "x b aaa";
        QTest::newRow("regexp case kept") << "ABC abc" << true << true << true << "abc"
                                          << "x"
                                          << "ABC x";
        QTest::newRow("regexp case ignored") << "ABC abc" << true << true << false << "abc"
                                             << "x"
                                             << "x x";
        QTest::newRow("regexp lines") << "<p>\r\n<br>\r\n"
                                      << true << true << true << "<br>\\r\\n"
                                      << ""
                                      << "<p>\r\n";
    }
    void replaceRewritesTheWholeDocument()
    {
        QFETCH(QString, text);
        QFETCH(bool, regExp);
        QFETCH(bool, global);
        QFETCH(bool, matchCase);
        QFETCH(QString, word);
        QFETCH(QString, replacement);
        QFETCH(QString, result);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(text);
        w.sharedState().bolEditing = false;
        w.sharedState().strFind = QStringLiteral("kept");
        w.editor()->setSelStart(1);
        w.editor()->setSelLength(1); // the selection does not limit the replacement
        search::frmFind *d = openDialog(w, true);
        d->chkRegExp->setChecked(regExp);
        d->chkGlobal->setChecked(global);
        d->chkCase->setChecked(matchCase);
        replaceWith(d, word, replacement);
        QCOMPARE(w.editor()->Text(), result);
        QVERIFY(w.sharedState().bolEditing);
        QCOMPARE(w.sharedState().strFind, QStringLiteral("kept"));
        QCOMPARE(f.prompter.shown.size(), 0);
        QVERIFY(d->isVisible());
    }

    void replaceRecoloursAndUndoesInOneStep()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        const QString before = QStringLiteral("<p>日本</p>\r\n<p>語</p>");
        w.editor()->setText(before);
        w.editor()->clearColors();
        search::frmFind *d = openDialog(w, true);
        replaceWith(d, QStringLiteral("p>"), QStringLiteral("div>"));
        QCOMPARE(w.editor()->Text(), QStringLiteral("<div>日本</div>\r\n<div>語</div>"));
        bool tagColoured = false;
        for (const platform::ColorRun &r : w.editor()->colorRuns())
            tagColoured =
                tagColoured || (r.start == 0 && r.length == 5 && r.color == qRgb(0, 0, 128));
        QVERIFY(tagColoured);
        QVERIFY(w.isEnabled());
        w.editor()->undo();
        QCOMPARE(w.editor()->Text(), before);
        QVERIFY(!w.editor()->document()->isUndoAvailable()); // one step took it all back
    }

    void rejectedPatternIsReportedAndChangesNothing()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("(abc)"));
        w.sharedState().bolEditing = false;
        const int undoSteps = w.editor()->document()->availableUndoSteps();
        search::frmFind *d = openDialog(w, true);
        d->chkRegExp->setChecked(true);
        replaceWith(d, QStringLiteral("(abc"), QStringLiteral("x"));
        QCOMPARE(f.prompter.shown.size(), 1);
        const testsupport::ShownMessage &m = f.prompter.shown[0];
        QVERIFY(m.text.startsWith(QStringLiteral("正規表現による置換ができませんでした。\r\n")));
        QVERIFY(m.text.size() >
                QStringLiteral("正規表現による置換ができませんでした。\r\n").size());
        QCOMPARE(m.title, QStringLiteral("エラー"));
        QCOMPARE(m.icon, platform::MsgIcon::Exclamation);
        QCOMPARE(m.buttons, platform::MsgButtons::Ok);
        QCOMPARE(w.editor()->Text(), QStringLiteral("(abc)"));
        QVERIFY(!w.sharedState().bolEditing);
        QCOMPARE(w.editor()->document()->availableUndoSteps(), undoSteps);
    }

    void switchingModesWhileOpenReappliesTheLayout()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        search::frmFind *d = openDialog(w, true);
        d->txtWord->setText(QStringLiteral("typed"));
        const int replaceHeight = d->height();
        QCOMPARE(openDialog(w, false), d); // the same dialog
        QVERIFY(!d->bolSw);
        QCOMPARE(d->windowTitle(), QStringLiteral("検索"));
        QCOMPARE(d->cmdGo->text(), QStringLiteral("検索(&F)"));
        QVERIFY(!d->txtReplace->isVisible());
        QVERIFY(d->height() < replaceHeight);
        QCOMPARE(d->txtWord->text(), QStringLiteral("typed")); // not loaded again
        QCOMPARE(openDialog(w, true), d);
        QCOMPARE(d->windowTitle(), QStringLiteral("置換"));
        QVERIFY(d->txtReplace->isVisible());
        QCOMPARE(d->height(), replaceHeight);
    }

    void closingUnloadsTheDialog_data()
    {
        QTest::addColumn<int>("how"); // 0 close button, 1 Esc, 2 close box
        QTest::newRow("close button") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("close box") << 2;
    }
    void closingUnloadsTheDialog()
    {
        QFETCH(int, how);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.show();
        QPointer<search::frmFind> d = openDialog(w, true);
        d->txtReplace->setText(QStringLiteral("old"));
        d->chkRegExp->setChecked(true);
        if (how == 0)
            QTest::mouseClick(d->cmdClose, Qt::LeftButton);
        else if (how == 1)
            QTest::keyClick(d.data(), Qt::Key_Escape);
        else
            d->close();
        QVERIFY(w.findCommands().dialog() == nullptr);
        QTRY_VERIFY(d.isNull());
        setClipboardText(QStringLiteral("fresh"));
        search::frmFind *again = openDialog(w, false);
        QVERIFY(again);
        QCOMPARE(again->txtWord->text(), QStringLiteral("fresh")); // loaded again
        QVERIFY(again->txtReplace->text().isEmpty());
        QVERIFY(!again->chkRegExp->isChecked());
    }
};

TAVLEN_TEST_MAIN(TestFrmFind)
#include "test_frmfind.moc"
