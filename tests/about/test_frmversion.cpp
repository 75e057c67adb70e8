#include "about/frmversion.h"
#include "about/keybuffer.h"
#include "fakes.h"
#include "testenv.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSvgRenderer>

namespace
{

const QString hiddenMessage = QStringLiteral("ｷﾀ━━━(ﾟ∀ﾟ)━━━ !!!");
const QString hiddenTitle = QStringLiteral("あ・・・見つかった");

// Releases one key at the control that has the focus, as the keyboard would. (QTest::keyRelease
// would release the modifier keys as well.)
void release(QWidget &dialog, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
    QKeyEvent event(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &event);
}

void typeTrigger(QWidget &dialog, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    release(dialog, Qt::Key_7, modifiers);
    release(dialog, Qt::Key_Q, modifiers);
    release(dialog, Qt::Key_X, modifiers);
}

} // namespace

class TestFrmVersion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void layoutAndLabel();
    void picture();
    void hiddenMessageContent();
    void trigger_data();
    void trigger();
    void keyAtEitherReceiverCountsOnce();
    void repetition();
    void secondOpening();
    void enterClosesEscapeDoesNot();
    void centredOnOwner();

private:
    QWidget m_owner;
    about::KeyBuffer m_keys;
};

void TestFrmVersion::init()
{
    // The key buffer lives as long as its owner: each test starts with a fresh one.
    m_keys = about::KeyBuffer();
}

void TestFrmVersion::layoutAndLabel()
{
    testsupport::ScriptedPrompter prompter;
    frmVersion dialog(prompter, m_keys, &m_owner);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("バージョン情報"));
    QCOMPARE(dialog.logicalDpiX(), 96);
    QCOMPARE(dialog.size(), QSize(252, 168));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));

    auto *labVer = dialog.findChild<QLabel *>(QStringLiteral("labVer"));
    QVERIFY(labVer);
    QCOMPARE(labVer->text(), QStringLiteral("Ver. 1.00"));
    QCOMPARE(labVer->geometry(), QRect(11, 88, 161, 28));
    QCOMPARE(labVer->alignment(), Qt::AlignCenter);
    QVERIFY(!labVer->autoFillBackground());
    QCOMPARE(labVer->palette().color(QPalette::WindowText), QColor(128, 0, 128));
    QCOMPARE(labVer->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(labVer->font().pointSizeF(), 20.25);
    QVERIFY(labVer->font().bold());

    auto *cmdOK = dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QVERIFY(cmdOK);
    QCOMPARE(cmdOK->text(), QStringLiteral("&OK"));
    QCOMPARE(cmdOK->geometry(), QRect(183, 92, 59, 25));
    QVERIFY(cmdOK->isDefault());
    QCOMPARE(cmdOK->palette().color(QPalette::Button), QColor(128, 128, 255));
    QCOMPARE(cmdOK->font().pointSizeF(), 11.25);
    QVERIFY(cmdOK->font().bold());
}

void TestFrmVersion::picture()
{
    QSvgRenderer picture(QStringLiteral(":/about/background.svg"));
    QVERIFY(picture.isValid());
    QCOMPARE(picture.defaultSize(), QSize(252, 168));

    // The picture covers the whole client area: no pixel is left in the plain window colour.
    testsupport::ScriptedPrompter prompter;
    frmVersion dialog(prompter, m_keys, &m_owner);
    const QImage shot = dialog.grab().toImage();
    QCOMPARE(shot.size(), QSize(252, 168));
    const QColor window = dialog.palette().color(QPalette::Window);
    for (const QPoint corner : {QPoint(0, 0), QPoint(251, 0), QPoint(0, 167), QPoint(251, 167)})
        QVERIFY(shot.pixelColor(corner) != window);

    // Its words are Japanese: no English word is written on it (the name HTML aside).
    QFile source(QStringLiteral(":/about/background.svg"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(source.readAll());
    static const QRegularExpression text(QStringLiteral("<text[^>]*>([^<]*)</text>"));
    for (auto it = text.globalMatch(svg); it.hasNext();) {
        const QString words = it.next().captured(1);
        QVERIFY2(!words.contains(QRegularExpression(QStringLiteral("[a-z]"))), qPrintable(words));
    }
}

void TestFrmVersion::hiddenMessageContent()
{
    testsupport::ScriptedPrompter prompter;
    frmVersion dialog(prompter, m_keys, &m_owner);
    dialog.show();
    typeTrigger(dialog);
    QCOMPARE(prompter.shown.size(), 1);
    const testsupport::ShownMessage &shown = prompter.shown.first();
    QCOMPARE(shown.text, hiddenMessage);
    QCOMPARE(shown.text.size(), 17);
    QCOMPARE(shown.title, hiddenTitle);
    QCOMPARE(shown.title.size(), 9);
    QCOMPARE(shown.icon, platform::MsgIcon::Information);
    QCOMPARE(shown.buttons, platform::MsgButtons::Ok);
    QVERIFY(dialog.isVisible());
}

void TestFrmVersion::trigger_data()
{
    using Step = std::pair<int, int>; // key, modifiers
    QTest::addColumn<QList<Step>>("keys");
    QTest::addColumn<int>("messages");
    const int none = Qt::NoModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("plain") << QList<Step>{{Qt::Key_7, none}, {Qt::Key_Q, none}, {Qt::Key_X, none}}
                           << 1;
    QTest::newRow("shift held throughout")
        << QList<Step>{{Qt::Key_7, shift}, {Qt::Key_Q, shift}, {Qt::Key_X, shift}} << 1;
    QTest::newRow("shift released between") << QList<Step>{{Qt::Key_7, shift},
                                                           {Qt::Key_Shift, none},
                                                           {Qt::Key_Q, none},
                                                           {Qt::Key_X, none}}
                                            << 0;
    QTest::newRow("other key between")
        << QList<Step>{{Qt::Key_7, none}, {Qt::Key_A, none}, {Qt::Key_Q, none}, {Qt::Key_X, none}}
        << 0;
    QTest::newRow("keypad digit") << QList<Step>{{Qt::Key_7, Qt::KeypadModifier},
                                                 {Qt::Key_Q, none},
                                                 {Qt::Key_X, none}}
                                  << 0;
    QTest::newRow("wrong order") << QList<Step>{{Qt::Key_Q, none},
                                                {Qt::Key_7, none},
                                                {Qt::Key_X, none}}
                                 << 0;
    QTest::newRow("prefix keys do not matter")
        << QList<Step>{{Qt::Key_A, none}, {Qt::Key_7, none}, {Qt::Key_Q, none}, {Qt::Key_X, none}}
        << 1;
}

void TestFrmVersion::trigger()
{
    using Step = std::pair<int, int>;
    QFETCH(QList<Step>, keys);
    QFETCH(int, messages);
    testsupport::ScriptedPrompter prompter;
    frmVersion dialog(prompter, m_keys, &m_owner);
    dialog.show();
    for (const Step &step : keys)
        release(dialog, Qt::Key(step.first), Qt::KeyboardModifiers(step.second));
    QCOMPARE(prompter.shown.size(), messages);
}

void TestFrmVersion::keyAtEitherReceiverCountsOnce()
{
    testsupport::ScriptedPrompter prompter;
    frmVersion dialog(prompter, m_keys, &m_owner);
    dialog.show();
    auto *cmdOK = dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"));
    // A release the button ignores travels on to the dialog; counting it twice would give
    // "77qqxx" and no message.
    QVERIFY(cmdOK);
    QTest::keyRelease(cmdOK, Qt::Key_7);
    QTest::keyRelease(cmdOK, Qt::Key_Q);
    QTest::keyRelease(cmdOK, Qt::Key_X);
    QCOMPARE(prompter.shown.size(), 1);
    QTest::keyRelease(&dialog, Qt::Key_7);
    QTest::keyRelease(&dialog, Qt::Key_Q);
    QTest::keyRelease(&dialog, Qt::Key_X);
    QCOMPARE(prompter.shown.size(), 2);
    // Auto-repeat sends no real releases.
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(cmdOK, &repeated);
    QCOMPARE(prompter.shown.size(), 2);
}

void TestFrmVersion::repetition()
{
    testsupport::ScriptedPrompter prompter;
    frmVersion dialog(prompter, m_keys, &m_owner);
    dialog.show();
    typeTrigger(dialog);
    typeTrigger(dialog);
    QCOMPARE(prompter.shown.size(), 2);
    QCOMPARE(prompter.shown.at(1).text, hiddenMessage);
}

void TestFrmVersion::secondOpening()
{
    testsupport::ScriptedPrompter prompter;
    {
        frmVersion first(prompter, m_keys, &m_owner);
        first.show();
        typeTrigger(first);
        release(first, Qt::Key_7);
        release(first, Qt::Key_Q);
        first.accept();
    }
    // The key buffer outlives the dialog: one more key completes the sequence.
    frmVersion second(prompter, m_keys, &m_owner);
    second.show();
    release(second, Qt::Key_X);
    QCOMPARE(prompter.shown.size(), 2);
    QCOMPARE(prompter.shown.at(1).text, hiddenMessage);
    QCOMPARE(prompter.shown.at(1).title, hiddenTitle);
}

void TestFrmVersion::enterClosesEscapeDoesNot()
{
    testsupport::ScriptedPrompter prompter;
    frmVersion dialog(prompter, m_keys, &m_owner);
    dialog.open();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    frmVersion again(prompter, m_keys, &m_owner);
    again.open();
    QTest::keyClick(again.focusWidget() ? again.focusWidget() : &again, Qt::Key_Enter,
                    Qt::KeypadModifier);
    QVERIFY(!again.isVisible());
}

void TestFrmVersion::centredOnOwner()
{
    QWidget owner;
    owner.setGeometry(100, 80, 500, 400);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    testsupport::ScriptedPrompter prompter;
    frmVersion dialog(prompter, m_keys, &owner);
    dialog.show();
    const QPoint offset = dialog.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 4,
             qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
}

TAVLEN_TEST_MAIN(TestFrmVersion)
#include "test_frmversion.moc"
