#include "about/frmversion.h"
#include "app/coolbar.h"
#include "app/maintoolbar.h"
#include "editorfixture.h"
#include "mainwindowfixture.h"
#include "platform/richtextbox.h"
#include "tagsets/frmedittagset.h"
#include "tagsets/tagsetfolder.h"
#include "testenv.h"
#include "testwindow.h"
#include "typing.h"

#include <QApplication>
#include <QDate>
#include <QPushButton>
#include <QTimer>
#include <functional>

using testsupport::typeText;
using namespace Qt::StringLiterals;
using platform::MsgAnswer;
using tagsets::frmEditTagset;

namespace
{

// Tag sets this test puts into the program's tag set folder; removed after each test.
const QStringList TestNames = {u"zz段落"_s, u"zz日付"_s, u"zz新規"_s};

QString folder()
{
    return tagsets::tagSetFolder();
}

// Runs step on the modal dialog that the next call opens, once it is showing.
void whenModal(std::function<void(QWidget &)> step)
{
    QTimer::singleShot(0, qApp, [step] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            qWarning("no modal dialog");
            return;
        }
        step(*modal);
    });
}

template <class T> T &child(QWidget &parent, const char *name)
{
    T *widget = parent.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return *widget;
}

} // namespace

class TestInsertionPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void buttonsFollowTheChoice();
    void insertion_data();
    void insertion();
    void insertionIsOneUndoStep();
    void dateOfTheInsertion();
    void vanishedTagSet_data();
    void vanishedTagSet();
    void freeEditorRefillsTheList_data();
    void freeEditorRefillsTheList();
    void editButtonOpensTheChosenTagSet();
    void versionDialog();

private:
    testsupport::TestWindow &start();
    testsupport::MainWindowFixture m_f;
    app::CoolBar *m_bar = nullptr;
};

void TestInsertionPanel::init()
{
    cleanup();
    tagtest::writeTagFile(folder(), TestNames.at(0), tagtest::cp932(u"<p><$$#--#$$></p>"_s));
    tagtest::writeTagFile(folder(), TestNames.at(1),
                          tagtest::cp932(u"[<$$#DATE#$$>]<$$#--#$$>\r\n"_s));
}

void TestInsertionPanel::cleanup()
{
    for (const QString &name : TestNames)
        QFile::remove(folder() + u'/' + name + u".tag"_s);
    m_f.window.reset();
    m_f.prompter.shown.clear();
    m_f.prompter.answers.clear();
    m_f.prompter.inputs.clear();
}

testsupport::TestWindow &TestInsertionPanel::start()
{
    testsupport::TestWindow &w = m_f.start();
    m_bar = w.coolBar();
    return w;
}

void TestInsertionPanel::buttonsFollowTheChoice()
{
    start();
    QCOMPARE(m_bar->cboTagSet->currentText(), QString());
    QVERIFY(m_bar->cboTagSet->findText(TestNames.at(0)) > 0);
    QVERIFY(!m_bar->cmdInsTag->isEnabled());
    QVERIFY(!m_bar->cmdEditTmp->isEnabled());
    m_bar->cboTagSet->setCurrentText(TestNames.at(0));
    QVERIFY(m_bar->cmdInsTag->isEnabled());
    QVERIFY(m_bar->cmdEditTmp->isEnabled());
    m_bar->cboTagSet->setCurrentIndex(0);
    QVERIFY(!m_bar->cmdInsTag->isEnabled());
    QVERIFY(!m_bar->cmdEditTmp->isEnabled());
}

void TestInsertionPanel::insertion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::newRow("selection wrapped") << u"x abc y"_s << 2 << 3 << u"x <p>abc</p> y"_s << 12;
    QTest::newRow("no selection") << u"x y"_s << 1 << 0 << u"x<p></p> y"_s << 8;
    QTest::newRow("outside Shift_JIS") << u"x 𠮷😀 y"_s << 2 << 4 << u"x <p>𠮷😀</p> y"_s << 13;
    QTest::newRow("lines in the selection")
        << u"a\r\nb\r\nc"_s << 0 << 3 << u"<p>a\r\nb</p>\r\nc"_s << 10;
}

void TestInsertionPanel::insertion()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    testsupport::TestWindow &w = start();
    w.editor()->setText(text);
    w.sharedState().bolEditing = false;
    w.editor()->setSelStart(selStart);
    w.editor()->setSelLength(selLength);
    m_bar->cboTagSet->setCurrentText(TestNames.at(0));
    m_bar->cmdInsTag->click();
    QCOMPARE(w.editor()->Text(), expected);
    QCOMPARE(w.editor()->SelStart(), caret);
    QCOMPARE(w.editor()->SelLength(), 0);
    QVERIFY(w.sharedState().bolEditing);
    QVERIFY(!w.editor()->colorRuns().empty()); // the markup was coloured again
    QVERIFY(m_f.prompter.shown.isEmpty());
}

void TestInsertionPanel::insertionIsOneUndoStep()
{
    testsupport::TestWindow &w = start();
    w.editor()->setFocus();
    typeText(w.editor(), u"本文"_s);
    m_bar->cboTagSet->setCurrentText(TestNames.at(0));
    m_bar->cmdInsTag->click();
    QCOMPARE(w.editor()->Text(), u"本文<p></p>"_s);
    w.editor()->undo();
    QCOMPARE(w.editor()->Text(), u"本文"_s);
    w.editor()->selectAll();
    typeText(w.editor(), u"abc"_s);
    w.editor()->selectAll();
    m_bar->cmdInsTag->click();
    QCOMPARE(w.editor()->Text(), u"<p>abc</p>"_s);
    w.editor()->undo();
    QCOMPARE(w.editor()->Text(), u"abc"_s);
    // The text put back is coloured as its markup says, not in the tag colour it sat between.
    QCoreApplication::processEvents();
    const std::vector<platform::ColorRun> afterUndo = w.editor()->colorRuns();
    w.DecorateText();
    QVERIFY(afterUndo == w.editor()->colorRuns());
}

// The date is read when inserting, and the line end after the after text is inserted too.
void TestInsertionPanel::dateOfTheInsertion()
{
    testsupport::TestWindow &w = start();
    m_bar->cboTagSet->setCurrentText(TestNames.at(1));
    const QString dayBefore = QDate::currentDate().toString(u"yyyy/MM/dd");
    m_bar->cmdInsTag->click();
    const QString dayAfter = QDate::currentDate().toString(u"yyyy/MM/dd");
    const QString text = w.editor()->Text();
    QVERIFY2(text == u"[%1]\r\n"_s.arg(dayBefore) || text == u"[%1]\r\n"_s.arg(dayAfter),
             qPrintable(text));
}

void TestInsertionPanel::vanishedTagSet_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: the file is removed
    QTest::newRow("deleted") << QByteArray();
    QTest::newRow("bytes that are no characters") << QByteArray("<p>\x85\x40<$$#--#$$></p>");
}

void TestInsertionPanel::vanishedTagSet()
{
    QFETCH(QByteArray, content);
    testsupport::TestWindow &w = start();
    w.editor()->setText(u"keep"_s);
    w.editor()->selectAll();
    m_bar->cboTagSet->setCurrentText(TestNames.at(0));
    if (content.isEmpty())
        QVERIFY(QFile::remove(folder() + u'/' + TestNames.at(0) + u".tag"_s));
    else
        tagtest::writeTagFile(folder(), TestNames.at(0), content);
    m_bar->cmdInsTag->click();
    QCOMPARE(w.editor()->Text(), u"keep"_s);
    QCOMPARE(m_f.prompter.shown.size(), 1);
    const auto &m = m_f.prompter.shown.first();
    QVERIFY2(m.text.contains(u"「%1」"_s.arg(TestNames.at(0))), qPrintable(m.text));
    QCOMPARE(m.title, u"エラー"_s);
    QCOMPARE(m.icon, platform::MsgIcon::Exclamation);
}

void TestInsertionPanel::freeEditorRefillsTheList_data()
{
    QTest::addColumn<bool>("fromToolBar");
    QTest::newRow("menu") << false;
    QTest::newRow("tool bar button") << true;
}

void TestInsertionPanel::freeEditorRefillsTheList()
{
    QFETCH(bool, fromToolBar);
    testsupport::TestWindow &w = start();
    m_bar->cboTagSet->setCurrentText(TestNames.at(0));
    bool ran = false;
    whenModal([&](QWidget &modal) {
        auto *editor = qobject_cast<frmEditTagset *>(&modal);
        QVERIFY(editor);
        ran = true;
        QCOMPARE(editor->parentWidget(), &w);
        QVERIFY(child<QComboBox>(modal, "cboTagSet").isEnabled());
        m_f.prompter.inputs << TestNames.at(2);
        child<QPushButton>(modal, "cmdNew").click();
        child<QPushButton>(modal, "cmdClose").click();
    });
    if (fromToolBar)
        w.toolBar()->Buttons(u"Editor"_s)->trigger();
    else
        w.mainMenu().mnuTSEdit->trigger();
    QVERIFY(ran);
    QVERIFY(m_bar->cboTagSet->findText(TestNames.at(2)) > 0);
    QCOMPARE(m_bar->cboTagSet->currentIndex(), 0);
    QVERIFY(!m_bar->cmdInsTag->isEnabled());
    QVERIFY(!m_bar->cmdEditTmp->isEnabled());
}

void TestInsertionPanel::editButtonOpensTheChosenTagSet()
{
    testsupport::TestWindow &w = start();
    m_bar->cboTagSet->setCurrentText(TestNames.at(0));
    const int chosen = m_bar->cboTagSet->currentIndex();
    bool ran = false;
    whenModal([&](QWidget &modal) {
        ran = true;
        QVERIFY(!child<QComboBox>(modal, "cboTagSet").isEnabled());
        QCOMPARE(child<QComboBox>(modal, "cboTagSet").currentText(), TestNames.at(0));
        auto &before = child<QPlainTextEdit>(modal, "txtBefore");
        QCOMPARE(before.toPlainText(), u"<p>"_s);
        before.setPlainText(u"<p class=\"x\">"_s);
        child<QPushButton>(modal, "cmdSave").click();
        m_f.prompter.answers << MsgAnswer::No;
        child<QPushButton>(modal, "cmdClose").click();
    });
    m_bar->cmdEditTmp->click();
    QVERIFY(ran);
    QCOMPARE(m_bar->cboTagSet->currentIndex(), chosen);
    QVERIFY(m_bar->cmdInsTag->isEnabled());
    m_bar->cmdInsTag->click();
    QCOMPARE(w.editor()->Text(), u"<p class=\"x\"></p>\r\n"_s);
}

void TestInsertionPanel::versionDialog()
{
    testsupport::TestWindow &w = start();
    bool ran = false;
    whenModal([&](QWidget &modal) {
        ran = true;
        QVERIFY(qobject_cast<frmVersion *>(&modal));
        QCOMPARE(modal.parentWidget(), &w);
        modal.close();
    });
    QCOMPARE(w.mainMenu().mnuVersion->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    w.mainMenu().mnuVersion->trigger();
    QVERIFY(ran);
}

TAVLEN_TEST_MAIN(TestInsertionPanel)
#include "test_insertionpanel.moc"
