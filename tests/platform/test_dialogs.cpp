// The real Qt dialogs behind the common-dialog seam, driven as a person would leave them.
#include "platform/commondialog.h"
#include "platform/fontdialog.h"
#include "platform/translations.h"
#include "testenv.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace
{

// Runs what once the modal dialog is up, with the dialog.
void whenShown(std::function<void(QWidget &)> what)
{
    QTimer::singleShot(0, qApp, [what = std::move(what)] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        what(*dialog);
    });
}

QPushButton &button(QWidget &dialog, QDialogButtonBox::StandardButton which)
{
    auto *box = dialog.findChild<QDialogButtonBox *>();
    Q_ASSERT(box);
    return *box->button(which);
}

app::DialogProperties optionsFont()
{
    app::DialogProperties p;
    p.FontName = QStringLiteral("ＭＳ ゴシック");
    p.FontSize = 12;
    p.Flags = 0x12505; // what the options dialog asks for: effects and the size limits
    p.Min = 6;
    p.Max = 48;
    p.Color = 0x0000FF;
    return p;
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(app::installJapaneseQtTranslations(*qApp)); }

    void fontOkWithoutChangeKeepsTheStoredName()
    {
        if (QFontDatabase::hasFamily(QStringLiteral("ＭＳ ゴシック")))
            QSKIP("needs a machine without ＭＳ ゴシック, so that a stand-in is shown");
        app::DialogProperties p = optionsFont();
        QString cancelCaption;
        whenShown([&](QWidget &d) {
            QVERIFY(d.findChild<QPushButton *>(QStringLiteral("fontColour"))->isVisible());
            cancelCaption = button(d, QDialogButtonBox::Cancel).text();
            button(d, QDialogButtonBox::Ok).click();
        });
        QCOMPARE(app::runFontDialog(nullptr, p), app::DialogOutcome::Accepted);
        QCOMPARE(p.FontName, QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(p.FontSize, 12.0);
        QCOMPARE(p.Color, 0x0000FFu);
        QVERIFY2(!cancelCaption.contains(QLatin1String("Cancel")), qPrintable(cancelCaption));
    }

    void fontSizeOutsideTheLimitsCannotBeConfirmed()
    {
        app::DialogProperties p = optionsFont();
        bool tooLarge = true, tooSmall = true, inside = false;
        whenShown([&](QWidget &d) {
            auto *fonts = d.findChild<QFontDialog *>();
            QFont f = fonts->currentFont();
            f.setPointSize(72);
            fonts->setCurrentFont(f);
            tooLarge = button(d, QDialogButtonBox::Ok).isEnabled();
            f.setPointSize(5);
            fonts->setCurrentFont(f);
            tooSmall = button(d, QDialogButtonBox::Ok).isEnabled();
            f.setPointSize(48);
            fonts->setCurrentFont(f);
            inside = button(d, QDialogButtonBox::Ok).isEnabled();
            button(d, QDialogButtonBox::Cancel).click();
        });
        QCOMPARE(app::runFontDialog(nullptr, p), app::DialogOutcome::Cancelled);
        QVERIFY(!tooLarge);
        QVERIFY(!tooSmall);
        QVERIFY(inside);
        QCOMPARE(p.FontSize, 12.0); // Cancel keeps everything
    }
};

TAVLEN_TEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
