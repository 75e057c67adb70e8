#include "testenv.h"

#include "fakes.h"
#include "settings/appsettings.h"
#include "settings/frmoption.h"
#include "settings/inisettingsstore.h"
#include "settings/memorysettingsstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace settings;
using namespace Qt::StringLiterals;
using testsupport::ScriptedDialogs;

namespace
{

ScriptedDialogs::Step chooseFont(const QString &name, double size, bool bold, quint32 color)
{
    return [=](platform::DialogProperties &p) {
        p.FontName = name;
        p.FontSize = size;
        p.FontBold = bold;
        p.Color = color;
        return platform::DialogOutcome::Accepted;
    };
}

ScriptedDialogs::Step chooseColor(quint32 color)
{
    return [=](platform::DialogProperties &p) {
        p.Color = color;
        return platform::DialogOutcome::Accepted;
    };
}

struct Harness {
    testsupport::ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    MemorySettingsStore store;
};

} // namespace

class TestFrmOption : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fillsFromTheSettings()
    {
        Harness h;
        AppSettings s;
        s.FontColor = 0x0000FF;
        s.Relation = true;
        s.ShowFullWidthSpace = false;
        frmOption d(s, h.store, h.prompter, h.dialogs, nullptr);
        QCOMPARE(d.windowTitle(), u"たぶれんオプション"_s);
        QCOMPARE(d.SSTab1->currentIndex(), 0);
        QCOMPARE(d.SSTab1->count(), 3);
        QCOMPARE(d.labFontName->text(), u"ＭＳ ゴシック （11ﾎﾟｲﾝﾄ）"_s);
        QCOMPARE(d.labFontName->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(d.chkRelation->isChecked());
        QVERIFY(!d.chkDefaultEditor->isChecked());
        QVERIFY(!d.chkShowFullWidthSpace->isChecked());
        QVERIFY(d.chkCompleteEndTags->isChecked());
        QCOMPARE(d.buttonColor(0), 0xFFFFFFu);
        QCOMPARE(d.buttonColor(1), 0x800000u);
        QCOMPARE(d.buttonColor(2), 0x8000u);
        QVERIFY(d.cmdOK->isDefault());
    }

    void codes_data()
    {
        QTest::addColumn<int>("read");
        QTest::addColumn<int>("write");
        QTest::addColumn<int>("readChosen"); // the option button checked, and the code OK stores
        QTest::addColumn<int>("writeChosen");
        QTest::newRow("defaults") << 0 << 0 << 0 << 0;
        QTest::newRow("EUC read") << 1 << 0 << 1 << 0;
        QTest::newRow("EUC write") << 0 << 1 << 0 << 1;
        QTest::newRow("other values are EUC") << 7 << -1 << 1 << 1;
        QTest::newRow("UTF-8 read") << 2 << 0 << 2 << 0;
        QTest::newRow("UTF-8 write") << 1 << 2 << 1 << 2;
    }
    void codes()
    {
        QFETCH(int, read);
        QFETCH(int, write);
        QFETCH(int, readChosen);
        QFETCH(int, writeChosen);
        Harness h;
        AppSettings s;
        s.ReadCode = codec::textCodeOf(read);
        s.WriteCode = codec::textCodeOf(write);
        frmOption d(s, h.store, h.prompter, h.dialogs, nullptr);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(d.optRead[size_t(i)]->isChecked(), i == readChosen);
            QCOMPARE(d.optWrite[size_t(i)]->isChecked(), i == writeChosen);
        }
        d.cmdOK->click();
        QCOMPARE(d.settings().ReadCode, codec::textCodeOf(readChosen));
        QCOMPARE(d.settings().WriteCode, codec::textCodeOf(writeChosen));
    }

    // Each code's button shows its whole caption inside its frame, and Tab visits them in
    // the order they are shown.
    void codeButtonsFitAndFollowTheTabOrder()
    {
        Harness h;
        frmOption d(AppSettings(), h.store, h.prompter, h.dialogs, nullptr);
        for (const auto *row : {&d.optRead, &d.optWrite}) {
            for (size_t i = 0; i < 3; ++i) {
                const QRadioButton *o = (*row)[i];
                QVERIFY2(o->width() >= o->sizeHint().width(), qPrintable(o->objectName()));
                QVERIFY(o->geometry().right() < o->parentWidget()->width());
                if (i > 0)
                    QVERIFY(o->x() >= (*row)[i - 1]->geometry().right());
            }
        }
        QWidget *expected[] = {d.optRead[0],  d.optRead[1],  d.optRead[2], d.optWrite[0],
                               d.optWrite[1], d.optWrite[2], d.cmdOK};
        for (size_t i = 1; i < std::size(expected); ++i)
            QCOMPARE(expected[i - 1]->nextInFocusChain(), expected[i]);
    }

    void fontDialog()
    {
        Harness h;
        AppSettings s;
        frmOption d(s, h.store, h.prompter, h.dialogs, nullptr);
        h.dialogs.steps = {ScriptedDialogs::cancel(),
                           chooseFont(u"IPAゴシック"_s, 10.5, true, 0x00FF00)};
        d.cmdBrwFont->click();
        QCOMPARE(d.labFontName->text(), u"ＭＳ ゴシック （11ﾎﾟｲﾝﾄ）"_s);
        QCOMPARE(d.fntDialog, s.Font);
        d.cmdBrwFont->click();
        QCOMPARE(h.dialogs.calls.size(), 2);
        const platform::DialogProperties &seen = h.dialogs.calls[0].seen;
        QCOMPARE(seen.Flags, 0x12505u);
        QCOMPARE(seen.Min, 6);
        QCOMPARE(seen.Max, 48);
        QCOMPARE(seen.FontName, u"ＭＳ ゴシック"_s);
        QCOMPARE(seen.FontSize, 11.0);
        QCOMPARE(d.labFontName->text(), u"IPAゴシック （10.5ﾎﾟｲﾝﾄ）"_s);
        QCOMPARE(d.fontColor(), 0x00FF00u);
        d.cmdOK->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.settings().Font.Name, u"IPAゴシック"_s);
        QCOMPARE(d.settings().Font.Size, 10.5);
        QVERIFY(d.settings().Font.Bold);
        QCOMPARE(d.settings().FontColor, 0x00FF00u);
        QCOMPARE(h.store.value(u"Settings"_s, u"FontSize"_s), u"10.5"_s);
        QCOMPARE(h.store.value(u"Settings"_s, u"FontColor"_s), u"65280"_s);
    }

    void colourButtons()
    {
        Harness h;
        AppSettings s;
        frmOption d(s, h.store, h.prompter, h.dialogs, nullptr);
        h.dialogs.steps = {ScriptedDialogs::cancel(), chooseColor(0x123456)};
        d.cmdColors[1]->click();
        QCOMPARE(d.buttonColor(1), 0x800000u);
        d.cmdColors[0]->click();
        QCOMPARE(h.dialogs.calls[1].seen.Color, 0xFFFFFFu);
        QCOMPARE(h.dialogs.calls[1].seen.Flags, 1u);
        QCOMPARE(d.buttonColor(0), 0x123456u);
        d.chkDefaultEditor->click();
        d.optWrite[1]->click();
        d.cmdOK->click();
        QCOMPARE(d.settings().BgColor, 0x123456u);
        QCOMPARE(d.settings().TagColor, 0x800000u);
        QVERIFY(d.settings().DefaultEditor);
        QCOMPARE(d.settings().WriteCode, codec::TextCode::EucJp);
    }

    // Each colour button shows exactly its colour, as the window is drawn.
    void colourButtonsShowExactlyTheirColour()
    {
        Harness h;
        AppSettings s;
        s.BgColor = 0x0000FF;      // red
        s.TagColor = 0x800000;     // dark blue
        s.CommentColor = 0x008000; // green
        frmOption d(s, h.store, h.prompter, h.dialogs, nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QColor expected[] = {QColor(255, 0, 0), QColor(0, 0, 128), QColor(0, 128, 0)};
        const QImage window = d.grab().toImage();
        for (int i = 0; i < 3; ++i) {
            const QPushButton *b = d.cmdColors[size_t(i)];
            const QPoint middle = b->mapTo(&d, b->rect().center()) * d.devicePixelRatio();
            QCOMPARE(window.pixelColor(middle).name(), expected[i].name());
        }
    }

    // The focus starts on the font button; a code's access key moves to the chosen code of
    // its row and leaves the choice alone.
    void keyboardFocus()
    {
        Harness h;
        AppSettings s;
        s.ReadCode = codec::TextCode::EucJp;
        s.WriteCode = codec::TextCode::Utf8;
        frmOption d(s, h.store, h.prompter, h.dialogs, nullptr);
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), d.cmdBrwFont);
        d.SSTab1->setCurrentIndex(2);
        const struct {
            Qt::Key key;
            QRadioButton *chosen;
        } rows[] = {{Qt::Key_R, d.optRead[1]}, {Qt::Key_W, d.optWrite[2]}};
        for (const auto &row : rows) {
            QTest::keyClick(&d, row.key, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget(), row.chosen);
            QTRY_VERIFY(!row.chosen->isDown());
        }
        d.cmdOK->click();
        QCOMPARE(d.settings().ReadCode, codec::TextCode::EucJp);
        QCOMPARE(d.settings().WriteCode, codec::TextCode::Utf8);
    }

    // Captions show their whole text, access key underlines included; a font name too long
    // for its label ends in "…" and the size still shows.
    void captionsAreWhole()
    {
        Harness h;
        AppSettings s;
        s.Font.Name = u"とても長い名前のフォント Extra Condensed Semi Bold Italic Display"_s;
        s.Font.Size = 10.5;
        frmOption d(s, h.store, h.prompter, h.dialogs, nullptr);
        for (QLabel *l : {d.Label1, d.Label2, d.Label4, d.Label5, d.Label3, d.Label6}) {
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->objectName()));
            QVERIFY2(l->height() >= l->sizeHint().height(), qPrintable(l->objectName()));
        }
        const QString shown = d.labFontName->text();
        QVERIFY2(shown.endsWith(u"… （10.5ﾎﾟｲﾝﾄ）"_s), qPrintable(shown));
        QVERIFY(d.labFontName->fontMetrics().horizontalAdvance(shown) <=
                d.labFontName->contentsRect().width());
    }

    void okWithoutChangeRewritesEverything()
    {
        Harness h;
        AppSettings s;
        s.RecentFiles[0] = u"/a.html"_s;
        frmOption d(s, h.store, h.prompter, h.dialogs, nullptr);
        d.cmdOK->click();
        QCOMPARE(d.settings(), s);
        QCOMPARE(h.store.writes().size(), 16 + 10);
        QCOMPARE(h.store.flushCount(), 1);
        QVERIFY(h.prompter.shown.isEmpty());
    }

    void okReportsAStoreThatCannotBeWritten()
    {
        Harness h;
        h.store.setFlushFailure(u"ディスクがいっぱいです"_s);
        frmOption d(AppSettings{}, h.store, h.prompter, h.dialogs, nullptr);
        d.cmdOK->click();
        QCOMPARE(h.prompter.shown.size(), 1);
        QCOMPARE(h.prompter.shown[0].title, u"エラー"_s);
        QVERIFY(h.prompter.shown[0].text.contains(u"ディスクがいっぱいです"_s));
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void cancelAndCloseBoxLeaveTheStoreAlone_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelAndCloseBoxLeaveTheStoreAlone()
    {
        QFETCH(bool, closeBox);
        const QString path = testsupport::home().path() + u"/cancel.conf"_s;
        QFile::remove(path);
        AppSettings s;
        s.Font.Size = 10.5;
        {
            IniSettingsStore store(path);
            SaveSettings(store, s);
            QVERIFY(store.flush());
        }
        QFile before(path);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        {
            IniSettingsStore store(path);
            Harness h;
            frmOption d(s, store, h.prompter, h.dialogs, nullptr);
            h.dialogs.steps = {chooseFont(u"x"_s, 20, true, 0xFF), chooseColor(0)};
            d.cmdBrwFont->click();
            d.cmdColors[2]->click();
            d.chkRelation->click();
            d.show();
            if (closeBox)
                d.close();
            else
                d.cmdCancel->click();
            QCOMPARE(d.result(), int(QDialog::Rejected));
            QCOMPARE(d.settings(), s);
            QVERIFY(store.flush());
        }
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
    }
};

TAVLEN_TEST_MAIN(TestFrmOption)
#include "test_frmoption.moc"
