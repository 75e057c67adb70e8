#include "editorfixture.h"
#include "tagsets/editorlayout.h"
#include "tagsets/frmedittagset.h"
#include "tagsets/tagsetname.h"
#include "testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using platform::MsgAnswer;
using tagsets::EditMode;
using tagsets::frmEditTagset;
using tagtest::choose;

Q_DECLARE_METATYPE(platform::MsgAnswer)

namespace
{

const QString SaveQuestion = u"このタグセットは変更されています。\r\n変更を保存しますか？"_s;

// One editor over a fresh tag set folder holding "a" and "b".
struct Editor {
    QTemporaryDir dir;
    tagtest::RecordingPrompter prompter;
    QWidget owner;
    std::unique_ptr<frmEditTagset> dialog;

    Editor()
    {
        tagtest::writeTagFile(dir.path(), u"a"_s, tagtest::cp932(u"<a>\r\n<$$#--#$$></a>\r\n"_s));
        tagtest::writeTagFile(dir.path(), u"b"_s, tagtest::cp932(u"<b><$$#--#$$></b>\r\n"_s));
    }
    frmEditTagset &open(EditMode mode = EditMode::Free, const QString &target = QString())
    {
        dialog = std::make_unique<frmEditTagset>(prompter, &owner, dir.path());
        dialog->intMode = mode;
        dialog->strTarget = target;
        dialog->show();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog.get()))
            qWarning("the editor did not become active");
        return *dialog;
    }
    template <class T> T &control(const char *name)
    {
        T *widget = dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return *widget;
    }
    QComboBox &tagSets() { return control<QComboBox>("cboTagSet"); }
    QComboBox &vars() { return control<QComboBox>("cboVar"); }
    QPlainTextEdit &before() { return control<QPlainTextEdit>("txtBefore"); }
    QPlainTextEdit &after() { return control<QPlainTextEdit>("txtAfter"); }
    QPushButton &button(const char *name) { return control<QPushButton>(name); }
    QByteArray file(const QString &name) { return tagtest::readTagFile(dir.path(), name); }
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const auto &m : prompter.script.shown)
            texts << m.text;
        return texts;
    }
};

QString crlfText(const QPlainTextEdit &box)
{
    return box.toPlainText().replace(u'\n', u"\r\n"_s);
}

} // namespace

class TestFrmEditTagset : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutArithmetic_data();
    void layoutArithmetic();
    void resizing();
    void freeModeOpens();
    void lockedModeOpens();
    void lockedModeOnAVanishedTagSet_data();
    void lockedModeOnAVanishedTagSet();
    void saveQuestion_data();
    void saveQuestion();
    void chooseEmptyEntryAfterEditing();
    void nothingLoadedNothingAsked();
    void failedSaveKeepsTheEdits();
    void unreadableTagSetIsNotLoaded();
    void invalidBytesOpenToBeMended_data();
    void invalidBytesOpenToBeMended();
    void saveKeepsTheChangedMark();
    void roundTripDoesNotGrow_data();
    void roundTripDoesNotGrow();
    void placeholders();
    void newTagSetRefused_data();
    void newTagSetRefused();
    void newTagSetCopiesTheBoxes();
    void newTagSetWithUnsavedChangesAsksTwice();
    void escapeDoesNothing();
    void forbiddenCharacterOrder_data();
    void forbiddenCharacterOrder();
};

void TestFrmEditTagset::layoutArithmetic_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("boxWidth");
    QTest::addColumn<float>("boxHeight");
    QTest::addColumn<float>("centreTop");
    QTest::addColumn<float>("afterTop");
    QTest::addColumn<float>("buttonsTop");
    QTest::addColumn<float>("closeLeft");
    QTest::newRow("design") << 7005.f << 6075.f << 6465.f << 1845.f << 2640.f << 2955.f << 5640.f
                            << 5760.f;
    QTest::newRow("600 taller") << 7005.f << 6675.f << 6465.f << 2145.f << 2940.f << 3255.f
                                << 6240.f << 5760.f;
    QTest::newRow("odd height not rounded")
        << 7005.f << 6076.f << 6465.f << 1845.5f << 2640.5f << 2955.5f << 5641.f << 5760.f;
    QTest::newRow("1000 wider") << 8005.f << 6075.f << 7465.f << 1845.f << 2640.f << 2955.f
                                << 5640.f << 6760.f;
}

void TestFrmEditTagset::layoutArithmetic()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(float, boxWidth);
    QFETCH(float, boxHeight);
    QFETCH(float, centreTop);
    QFETCH(float, afterTop);
    QFETCH(float, buttonsTop);
    QFETCH(float, closeLeft);
    const tagsets::EditorLayout l = tagsets::layoutEditor(width, height);
    QCOMPARE(l.txtBefore.Width, boxWidth);
    QCOMPARE(l.txtBefore.Height, boxHeight);
    QCOMPARE(l.txtAfter.Width, l.txtBefore.Width);
    QCOMPARE(l.txtAfter.Height, l.txtBefore.Height);
    QCOMPARE(l.labCenter.Width, l.txtBefore.Width);
    QCOMPARE(l.labCenter.Top, centreTop);
    QCOMPARE(l.txtAfter.Top, afterTop);
    QCOMPARE(l.cmdNew.Top, buttonsTop);
    QCOMPARE(l.cmdSave.Top, l.cmdNew.Top);
    QCOMPARE(l.cmdClose.Top, l.cmdNew.Top);
    QCOMPARE(l.cmdClose.Left, closeLeft);
    QCOMPARE(l.cmdNew.Left - l.cmdClose.Left, 3210.f - 5760.f);
    QCOMPARE(l.fraCont.Width, 6810 + width - 7005);
    QCOMPARE(l.fraCont.Height, 4995 + height - 6075);
    QCOMPARE(l.txtBefore.Top, 810.f); // the top row keeps its place
}

void TestFrmEditTagset::resizing()
{
    Editor e;
    frmEditTagset &d = e.open();
    QCOMPARE(d.logicalDpiY(), 96); // 15 twips a pixel
    const QSize design(467, 405);
    QCOMPARE(d.size(), design);
    const QRect box = e.before().geometry();
    const QRect afterBox = e.after().geometry();
    const QRect centre = e.control<QLabel>("labCenter").geometry();
    const QRect newButton = e.button("cmdNew").geometry();

    d.resize(300, 200);
    QCOMPARE(d.size(), design);

    d.resize(design.width(), design.height() + 40); // 600 twips taller
    QCOMPARE(e.before().height(), box.height() + 20);
    QCOMPARE(e.after().height(), box.height() + 20);
    QCOMPARE(e.control<QLabel>("labCenter").y(), centre.y() + 20);
    QCOMPARE(e.after().y(), afterBox.y() + 20);
    QCOMPARE(e.button("cmdNew").geometry(), newButton.translated(0, 40));
    QCOMPARE(e.button("cmdClose").y(), newButton.y() + 40);

    // After a resize the placeholders go to the before box, even when the after box had them.
    e.after().setFocus();
    QTest::mouseClick(&e.after(), Qt::LeftButton);
    d.resize(design.width() + 10, design.height() + 40);
    choose(e.vars(), u"現在の時刻"_s);
    e.button("cmdIns").click();
    QCOMPARE(e.before().toPlainText(), u"<$$#TIME#$$>"_s);
    QCOMPARE(e.after().toPlainText(), QString());
}

void TestFrmEditTagset::freeModeOpens()
{
    Editor e;
    frmEditTagset &d = e.open();
    QCOMPARE(d.windowTitle(), u"タグセットエディタ"_s);
    QCOMPARE(tagtest::entries(e.tagSets()), (QStringList{QString(), u"a"_s, u"b"_s}));
    QCOMPARE(e.tagSets().currentIndex(), 0);
    QCOMPARE(tagtest::entries(e.vars()),
             (QStringList{QString(), u"文字コード"_s, u"たぶれんのバージョン"_s, u"今日の日付"_s,
                          u"現在の時刻"_s}));
    QVERIFY(e.tagSets().isEnabled());
    QVERIFY(e.button("cmdNew").isEnabled());
    QVERIFY(!e.button("cmdSave").isEnabled());
    QVERIFY(!e.button("cmdIns").isEnabled());
    QVERIFY(e.before().toPlainText().isEmpty());
    QCOMPARE(e.control<QGroupBox>("fraCont").title(), u"内容(&E)"_s);
    for (const char *name : {"cmdNew", "cmdSave", "cmdClose", "cmdIns"}) {
        QVERIFY(!e.button(name).isDefault());
        QVERIFY(!e.button(name).autoDefault());
    }
    QVERIFY(!d.fellBackToFreeMode());
}

void TestFrmEditTagset::lockedModeOpens()
{
    Editor e;
    frmEditTagset &d = e.open(EditMode::OneTagSet, u"a"_s);
    QCOMPARE(e.tagSets().currentText(), u"a"_s);
    QCOMPARE(crlfText(e.before()), u"<a>\r\n"_s);
    QCOMPARE(crlfText(e.after()), u"</a>\r\n"_s);
    QVERIFY(!e.tagSets().isEnabled());
    QVERIFY(!e.button("cmdNew").isEnabled());
    QVERIFY(e.button("cmdSave").isEnabled());
    QVERIFY(e.prompter.script.shown.isEmpty());
    QVERIFY(!d.fellBackToFreeMode());

    // Loading is no change: closing asks nothing.
    e.button("cmdClose").click();
    QVERIFY(e.prompter.script.shown.isEmpty());
    QVERIFY(!d.isVisible());
}

void TestFrmEditTagset::lockedModeOnAVanishedTagSet_data()
{
    QTest::addColumn<qint64>("size"); // 0: the file is removed
    QTest::addColumn<QString>("reason");
    QTest::newRow("deleted") << qint64(0) << u"ファイルが見つかりません"_s;
    QTest::newRow("too large") << qint64(64 * 1024 * 1024 + 1) << u"大きすぎます"_s;
}

void TestFrmEditTagset::lockedModeOnAVanishedTagSet()
{
    QFETCH(qint64, size);
    QFETCH(QString, reason);
    Editor e;
    if (size == 0)
        QVERIFY(QFile::remove(e.dir.path() + u"/a.tag"_s));
    else
        QVERIFY(QFile::resize(e.dir.path() + u"/a.tag"_s, size)); // sparse: nothing is written
    frmEditTagset &d = e.open(EditMode::OneTagSet, u"a"_s);
    QVERIFY(d.fellBackToFreeMode());
    QCOMPARE(e.prompter.script.shown.size(), 1);
    const auto &m = e.prompter.script.shown.first();
    QVERIFY2(m.text.contains(u"「a」"_s) && m.text.contains(reason), qPrintable(m.text));
    QCOMPARE(m.title, u"エラー"_s);
    QCOMPARE(e.tagSets().currentIndex(), 0);
    QVERIFY(e.tagSets().isEnabled());
    QVERIFY(e.button("cmdNew").isEnabled());
    QVERIFY(!e.button("cmdSave").isEnabled());
    QVERIFY(e.before().toPlainText().isEmpty());
}

void TestFrmEditTagset::saveQuestion_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("closing");  // else choosing b
    QTest::addColumn<bool>("closeBox"); // the window's close box (Alt+F4), else 閉じる
    QTest::newRow("choose, yes") << MsgAnswer::Yes << false << false;
    QTest::newRow("choose, no") << MsgAnswer::No << false << false;
    QTest::newRow("close, yes") << MsgAnswer::Yes << true << false;
    QTest::newRow("close, no") << MsgAnswer::No << true << false;
    QTest::newRow("close box, yes") << MsgAnswer::Yes << true << true;
    QTest::newRow("close box, no") << MsgAnswer::No << true << true;
}

void TestFrmEditTagset::saveQuestion()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, closing);
    QFETCH(bool, closeBox);
    Editor e;
    frmEditTagset &d = e.open();
    choose(e.tagSets(), u"a"_s);
    const QByteArray original = e.file(u"a"_s);
    QTest::keyClicks(&e.before(), "X");
    e.prompter.script.answers << answer;
    if (closeBox)
        d.close();
    else if (closing)
        e.button("cmdClose").click();
    else
        choose(e.tagSets(), u"b"_s);

    QCOMPARE(e.prompter.script.shown.size(), 1);
    const auto &m = e.prompter.script.shown.first();
    QCOMPARE(m.text, SaveQuestion);
    QCOMPARE(m.title, u"確認"_s);
    QCOMPARE(m.icon, platform::MsgIcon::Question);
    QCOMPARE(m.buttons, platform::MsgButtons::YesNo);
    QCOMPARE(e.file(u"a"_s),
             answer == MsgAnswer::Yes ? tagtest::cp932(u"X<a>\r\n<$$#--#$$></a>\r\n"_s) : original);
    QCOMPARE(d.isVisible(), !closing);
    if (!closing) {
        QCOMPARE(e.before().toPlainText(), u"<b>"_s);
        // b is freshly loaded: closing now asks nothing.
        e.button("cmdClose").click();
        QCOMPARE(e.prompter.script.shown.size(), 1);
    }
}

void TestFrmEditTagset::chooseEmptyEntryAfterEditing()
{
    Editor e;
    e.open();
    choose(e.tagSets(), u"a"_s);
    QTest::keyClicks(&e.after(), "Y");
    e.prompter.script.answers << MsgAnswer::No;
    choose(e.tagSets(), QString());
    QCOMPARE(e.shownTexts(), QStringList{SaveQuestion});
    QVERIFY(!e.button("cmdSave").isEnabled());
    QCOMPARE(crlfText(e.after()), u"Y</a>\r\n"_s);
    // a is still the tag set in the boxes, still changed: closing asks again and Yes saves it.
    e.prompter.script.answers << MsgAnswer::Yes;
    e.button("cmdClose").click();
    QCOMPARE(e.shownTexts(), (QStringList{SaveQuestion, SaveQuestion}));
    QCOMPARE(e.file(u"a"_s), tagtest::cp932(u"<a>\r\n<$$#--#$$>Y</a>\r\n"_s));
}

void TestFrmEditTagset::nothingLoadedNothingAsked()
{
    Editor e;
    frmEditTagset &d = e.open();
    QTest::keyClicks(&e.before(), "free");
    e.button("cmdClose").click();
    QVERIFY(e.prompter.script.shown.isEmpty());
    QVERIFY(!d.isVisible());
}

// Saving fails (a character code page 932 cannot hold): the choice is not carried out, so the
// edits are neither lost nor marked saved.
void TestFrmEditTagset::failedSaveKeepsTheEdits()
{
    Editor e;
    frmEditTagset &d = e.open();
    choose(e.tagSets(), u"a"_s);
    const QByteArray original = e.file(u"a"_s);
    e.before().insertPlainText(u"😀"_s);
    e.prompter.script.answers << MsgAnswer::Yes;
    choose(e.tagSets(), u"b"_s);
    QCOMPARE(e.prompter.script.shown.size(), 2);
    const auto &refusal = e.prompter.script.shown.at(1);
    QCOMPARE(refusal.title, u"エラー"_s);
    QVERIFY2(refusal.text.contains(u"「a」"_s), qPrintable(refusal.text));
    QCOMPARE(e.file(u"a"_s), original);
    QCOMPARE(e.tagSets().currentText(), u"a"_s);
    QVERIFY(e.before().toPlainText().startsWith(u"😀"_s));

    e.prompter.script.answers << MsgAnswer::Yes;
    e.button("cmdClose").click(); // still asks, fails again, stays open
    QCOMPARE(e.prompter.script.shown.size(), 4);
    QVERIFY(d.isVisible());
    e.prompter.script.answers << MsgAnswer::No;
    e.button("cmdClose").click();
    QVERIFY(!d.isVisible());
}

void TestFrmEditTagset::unreadableTagSetIsNotLoaded()
{
    Editor e;
    e.open();
    choose(e.tagSets(), u"a"_s);
    const QString b = e.dir.path() + u"/b.tag"_s;
    QVERIFY(QFile::remove(b));
    QVERIFY(QDir().mkdir(b)); // no longer a file that can be read
    choose(e.tagSets(), u"b"_s);
    QCOMPARE(e.prompter.script.shown.size(), 1);
    QVERIFY(e.prompter.script.shown.first().text.contains(u"「b」"_s));
    QCOMPARE(e.tagSets().currentText(), u"a"_s);
    QCOMPARE(crlfText(e.before()), u"<a>\r\n"_s);
    // Saving now writes a, never the unreadable b.
    e.button("cmdSave").click();
    QVERIFY(QFileInfo(b).isDir());
}

void TestFrmEditTagset::invalidBytesOpenToBeMended_data()
{
    QTest::addColumn<qint16>("mode");
    QTest::newRow("chosen from the list") << qint16(2);
    QTest::newRow("opened for that tag set") << qint16(1);
}

void TestFrmEditTagset::invalidBytesOpenToBeMended()
{
    QFETCH(qint16, mode);
    Editor e;
    const QByteArray bad("<p>\r\n\x85\x40<$$#--#$$></p>\r\n");
    tagtest::writeTagFile(e.dir.path(), u"b"_s, bad);
    e.open(EditMode(mode), u"b"_s);
    if (mode == 2)
        choose(e.tagSets(), u"b"_s);
    QCOMPARE(e.prompter.script.shown.size(), 1);
    const auto &warning = e.prompter.script.shown.first();
    QCOMPARE(warning.title, u"警告"_s);
    QVERIFY2(warning.text.contains(u"「b」"_s) && warning.text.contains(u"2 行目"_s),
             qPrintable(warning.text));
    QCOMPARE(e.tagSets().currentText(), u"b"_s);
    QCOMPARE(crlfText(e.before()), u"<p>\r\n\uFFFD"_s);
    QVERIFY(e.button("cmdSave").isEnabled());
    e.button("cmdSave").click(); // not mended yet: refused, the file as it was
    QCOMPARE(e.prompter.script.shown.size(), 2);
    QCOMPARE(e.file(u"b"_s), bad);
    e.before().setPlainText(u"<p>\nok"_s);
    e.button("cmdSave").click();
    QCOMPARE(e.file(u"b"_s), QByteArray("<p>\r\nok<$$#--#$$></p>\r\n"));
}

void TestFrmEditTagset::saveKeepsTheChangedMark()
{
    Editor e;
    e.open(EditMode::OneTagSet, u"b"_s);
    QTest::keyClicks(&e.after(), "Z");
    e.button("cmdSave").click();
    QCOMPARE(e.file(u"b"_s), tagtest::cp932(u"<b><$$#--#$$>Z</b>\r\n"_s));
    QVERIFY(e.prompter.script.shown.isEmpty());
    e.prompter.script.answers << MsgAnswer::No;
    e.button("cmdClose").click();
    QCOMPARE(e.shownTexts(), QStringList{SaveQuestion});
}

void TestFrmEditTagset::roundTripDoesNotGrow_data()
{
    QTest::addColumn<QString>("typedAfter");
    QTest::addColumn<QByteArray>("fileAfter");
    QTest::addColumn<QString>("reloadedAfter");
    QTest::newRow("ends with a line end") << u"</p>\n"_s << QByteArray("</p>\r\n") << u"</p>\r\n"_s;
    QTest::newRow("ends with two")
        << u"</p>\n\n"_s << QByteArray("</p>\r\n\r\n") << u"</p>\r\n\r\n"_s;
    QTest::newRow("no line end: the file adds one")
        << u"</p>"_s << QByteArray("</p>\r\n") << u"</p>\r\n"_s;
    QTest::newRow("empty") << QString() << QByteArray("\r\n") << u"\r\n"_s;
}

void TestFrmEditTagset::roundTripDoesNotGrow()
{
    QFETCH(QString, typedAfter);
    QFETCH(QByteArray, fileAfter);
    QFETCH(QString, reloadedAfter);
    Editor e;
    e.open(EditMode::OneTagSet, u"a"_s);
    e.after().setPlainText(typedAfter);
    for (int round = 0; round < 3; ++round) {
        e.button("cmdSave").click();
        QCOMPARE(e.file(u"a"_s), "<a>\r\n<$$#--#$$>" + fileAfter);
        if (round == 0) // only typed text counts as a change; a reopened tag set closes quietly
            e.prompter.script.answers << MsgAnswer::No;
        e.button("cmdClose").click();
        e.open(EditMode::OneTagSet, u"a"_s);
        QCOMPARE(crlfText(e.after()), reloadedAfter);
        QCOMPARE(crlfText(e.before()), u"<a>\r\n"_s);
    }
}

void TestFrmEditTagset::placeholders()
{
    Editor e;
    e.open(EditMode::OneTagSet, u"b"_s);
    QVERIFY(!e.button("cmdIns").isEnabled());
    choose(e.vars(), u"今日の日付"_s);
    QVERIFY(e.button("cmdIns").isEnabled());

    // The after box last had the focus; its caret (at the start) decides the place.
    QTest::mouseClick(&e.after(), Qt::LeftButton);
    QTextCursor caret = e.after().textCursor();
    caret.setPosition(0);
    e.after().setTextCursor(caret);
    e.button("cmdIns").setFocus();
    e.button("cmdIns").click();
    QCOMPARE(crlfText(e.after()), u"<$$#DATE#$$></b>\r\n"_s);
    QCOMPARE(e.before().toPlainText(), u"<b>"_s);

    choose(e.vars(), u"文字コード"_s);
    e.button("cmdIns").click();
    QCOMPARE(crlfText(e.after()), u"<$$#DATE#$$><$$#CHARSET#$$></b>\r\n"_s);

    choose(e.vars(), QString());
    QVERIFY(!e.button("cmdIns").isEnabled());

    // Inserting marked the tag set changed.
    e.prompter.script.answers << MsgAnswer::Yes;
    e.button("cmdClose").click();
    QCOMPARE(e.file(u"b"_s), tagtest::cp932(u"<b><$$#--#$$><$$#DATE#$$><$$#CHARSET#$$></b>\r\n"_s));
}

void TestFrmEditTagset::newTagSetRefused_data()
{
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message"); // empty: nothing is said
    QTest::newRow("cancel") << true << QString() << QString();
    QTest::newRow("blank") << false << QString() << QString();
    QTest::newRow("spaces") << false << u"   "_s << QString();
    QTest::newRow("slash") << false << u"a/b"_s
                           << u"ファイル名に使用できない文字『/』が含まれています"_s;
    QTest::newRow("bar before backslash")
        << false << u"x|y\\z"_s << u"ファイル名に使用できない文字『\\』が含まれています"_s;
    QTest::newRow("quote") << false << u"say \"hi\""_s
                           << u"ファイル名に使用できない文字『\"』が含まれています"_s;
    QTest::newRow("tab") << false << u"a\tb"_s << u"制御文字"_s;
    QTest::newRow("dot") << false << u"."_s << u"「.」"_s;
    QTest::newRow("dot dot") << false << u".."_s << u"「.」"_s;
    QTest::newRow("too long") << false << QString(100, u'長') << u"長すぎ"_s;
    QTest::newRow("lone surrogate") << false << u"a"_s + QChar(0xD800) << u"壊れた文字"_s;
}

void TestFrmEditTagset::newTagSetRefused()
{
    QFETCH(bool, cancelled);
    QFETCH(QString, answer);
    QFETCH(QString, message);
    Editor e;
    e.open();
    const QStringList before = QDir(e.dir.path()).entryList(QDir::Files | QDir::Hidden);
    e.prompter.script.inputs << (cancelled ? std::nullopt : std::optional<QString>(answer));
    e.button("cmdNew").click();
    QCOMPARE(e.prompter.script.prompts,
             QStringList{u"新規に作成するタグセットの名前を入力してください。"_s});
    QCOMPARE(e.prompter.inputTitles, QStringList{u"タグセット名の設定"_s});
    QCOMPARE(e.prompter.inputDefaults, QStringList{u"nnn New Tagset"_s});
    if (message.isEmpty()) {
        QVERIFY(e.prompter.script.shown.isEmpty());
    } else {
        QCOMPARE(e.prompter.script.shown.size(), 1);
        const auto &m = e.prompter.script.shown.first();
        QVERIFY2(m.text.contains(message), qPrintable(m.text));
        QCOMPARE(m.title, u"エラー"_s);
        QCOMPARE(m.icon, platform::MsgIcon::Exclamation);
        QCOMPARE(m.buttons, platform::MsgButtons::Ok);
    }
    QCOMPARE(QDir(e.dir.path()).entryList(QDir::Files | QDir::Hidden), before);
    QCOMPARE(e.tagSets().count(), 3);
}

void TestFrmEditTagset::newTagSetCopiesTheBoxes()
{
    Editor e;
    e.open();
    QTest::keyClicks(&e.before(), "<em>");
    QTest::keyClicks(&e.after(), "</em>");
    e.prompter.script.inputs << u" 強調 "_s; // spaces kept
    e.button("cmdNew").click();
    QVERIFY(e.prompter.script.shown.isEmpty());
    QCOMPARE(e.file(u" 強調 "_s), tagtest::cp932(u"<em><$$#--#$$></em>\r\n"_s));
    QCOMPARE(tagtest::entries(e.tagSets()), (QStringList{QString(), u" 強調 "_s, u"a"_s, u"b"_s}));
    QCOMPARE(e.tagSets().currentText(), u" 強調 "_s);
    QVERIFY(e.button("cmdSave").isEnabled());
    QCOMPARE(crlfText(e.after()), u"</em>\r\n"_s);
    // Freshly created: closing asks nothing.
    e.button("cmdClose").click();
    QVERIFY(e.prompter.script.shown.isEmpty());

    // An existing tag set of that name is replaced without a question.
    e.open(EditMode::OneTagSet, u"a"_s);
    e.dialog->close();
    e.open();
    choose(e.tagSets(), u"b"_s);
    e.prompter.script.inputs << u"a"_s;
    e.button("cmdNew").click();
    QVERIFY(e.prompter.script.shown.isEmpty());
    QCOMPARE(e.file(u"a"_s), e.file(u"b"_s));
}

void TestFrmEditTagset::newTagSetWithUnsavedChangesAsksTwice()
{
    Editor e;
    e.open();
    choose(e.tagSets(), u"a"_s);
    QTest::keyClicks(&e.before(), "1");
    e.prompter.script.answers << MsgAnswer::No << MsgAnswer::Yes;
    e.prompter.script.inputs << u"c"_s;
    e.button("cmdNew").click();
    QCOMPARE(e.shownTexts(), (QStringList{SaveQuestion, SaveQuestion}));
    QCOMPARE(e.file(u"c"_s), tagtest::cp932(u"1<a>\r\n<$$#--#$$></a>\r\n"_s));
    QCOMPARE(e.file(u"a"_s), e.file(u"c"_s)); // the second Yes saved a
    QCOMPARE(e.tagSets().currentText(), u"c"_s);
    e.button("cmdClose").click();
    QCOMPARE(e.prompter.script.shown.size(), 2);
}

void TestFrmEditTagset::escapeDoesNothing()
{
    Editor e;
    frmEditTagset &d = e.open();
    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(d.isVisible());
    QTest::keyClicks(&e.before(), "a");
    QTest::keyClick(&e.before(), Qt::Key_Return);
    QTest::keyClicks(&e.before(), "b");
    // Shift+Enter is an ordinary line break too, never a U+2028 the file cannot hold.
    QTest::keyClick(&e.before(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&e.before(), "c");
    QCOMPARE(crlfText(e.before()), u"a\r\nb\r\nc"_s);
    QVERIFY(d.isVisible());
    // Enter in the combo box presses nothing; Enter on the focused close button closes.
    QTest::keyClick(&e.tagSets(), Qt::Key_Return);
    QVERIFY(d.isVisible());
    e.button("cmdClose").setFocus();
    QTest::keyClick(&e.button("cmdClose"), Qt::Key_Return);
    QVERIFY(!d.isVisible());
}

void TestFrmEditTagset::forbiddenCharacterOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("first");
    const QString order = u"\\/:;,*?\"<>|"_s;
    for (qsizetype i = 0; i < order.size(); ++i) {
        // Each character together with all that come after it in the list, in reverse.
        QString name = u"n"_s;
        for (qsizetype j = order.size() - 1; j >= i; --j)
            name += order.at(j);
        QTest::addRow("%d", int(i)) << name << QString(order.at(i));
    }
    QTest::newRow("none") << u"ページ 1.x"_s << QString();
}

void TestFrmEditTagset::forbiddenCharacterOrder()
{
    QFETCH(QString, name);
    QFETCH(QString, first);
    const std::optional<QChar> found = tagsets::firstForbiddenCharacter(name);
    QCOMPARE(found ? QString(*found) : QString(), first);
    if (first.isEmpty())
        QVERIFY(!tagsets::unusableNameReason(name));
}

TAVLEN_TEST_MAIN(TestFrmEditTagset)
#include "test_frmedittagset.moc"
