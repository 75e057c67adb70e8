// The real Qt dialogs behind the common-dialog seam, driven as a person would leave them.
#include "platform/commondialog.h"
#include "platform/fontdialog.h"
#include "platform/translations.h"
#include "testenv.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileIconProvider>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QListView>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
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

platform::DialogProperties optionsFont()
{
    platform::DialogProperties p;
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
    void initTestCase() { QVERIFY(platform::installJapaneseQtTranslations(*qApp)); }

    void fontOkWithoutChangeKeepsTheStoredName()
    {
        if (QFontDatabase::hasFamily(QStringLiteral("ＭＳ ゴシック")))
            QSKIP("needs a machine without ＭＳ ゴシック, so that a stand-in is shown");
        platform::DialogProperties p = optionsFont();
        QString cancelCaption;
        whenShown([&](QWidget &d) {
            QVERIFY(d.findChild<QPushButton *>(QStringLiteral("fontColour"))->isVisible());
            cancelCaption = button(d, QDialogButtonBox::Cancel).text();
            button(d, QDialogButtonBox::Ok).click();
        });
        QCOMPARE(platform::runFontDialog(nullptr, p), platform::DialogOutcome::Accepted);
        QCOMPARE(p.FontName, QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(p.FontSize, 12.0);
        QCOMPARE(p.Color, 0x0000FFu);
        QVERIFY2(!cancelCaption.contains(QLatin1String("Cancel")), qPrintable(cancelCaption));
    }

    // Enter is OK and Escape Cancel, typed wherever the focus is in the chooser; a half-point
    // size the dialog opened with comes back as it was.
    void fontDialogKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("inList"); // typed in the family list, else in the family box
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Enter") << int(Qt::Key_Return) << false << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false << true;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false << false;
        QTest::newRow("Enter in the list") << int(Qt::Key_Return) << true << true;
        QTest::newRow("Escape in the list") << int(Qt::Key_Escape) << true << false;
    }
    void fontDialogKeys()
    {
        QFETCH(int, key);
        QFETCH(bool, inList);
        QFETCH(bool, accepted);
        platform::DialogProperties p = optionsFont();
        p.FontSize = 10.5;
        bool chooserKept = false;
        whenShown([&](QWidget &d) {
            auto *fonts = d.findChild<QFontDialog *>();
            const QList<QLineEdit *> edits = fonts->findChildren<QLineEdit *>();
            const QList<QListView *> lists = fonts->findChildren<QListView *>();
            QVERIFY(!edits.isEmpty() && !lists.isEmpty());
            QWidget *target = inList ? static_cast<QWidget *>(lists.first()) : edits.first();
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            target->setFocus();
            QTest::keyClick(target, Qt::Key(key));
            chooserKept = !fonts->isHidden();
            if (d.isVisible()) // the keys did not end the dialog: leave it the wrong way
                button(d, accepted ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok).click();
        });
        const platform::DialogOutcome outcome = platform::runFontDialog(nullptr, p);
        QVERIFY(chooserKept);
        QCOMPARE(outcome,
                 accepted ? platform::DialogOutcome::Accepted : platform::DialogOutcome::Cancelled);
        QCOMPARE(p.FontSize, 10.5);
    }

    // The style list and box of the font dialog name the styles in Japanese.
    void fontStylesInJapanese()
    {
        platform::DialogProperties p = optionsFont();
        if (!QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans")))
            QSKIP("needs DejaVu Sans, a family with Book, Bold and Oblique styles");
        p.FontName = QStringLiteral("DejaVu Sans");
        p.FontBold = true;
        QStringList shown;
        QFont inChooser;
        whenShown([&](QWidget &d) {
            auto *fonts = d.findChild<QFontDialog *>();
            const QList<QListView *> lists = fonts->findChildren<QListView *>();
            QCOMPARE(lists.size(), 3);
            const QAbstractItemModel *styles = lists[1]->model();
            auto *delegate = qobject_cast<QStyledItemDelegate *>(lists[1]->itemDelegate());
            QVERIFY(delegate);
            for (int row = 0; row < styles->rowCount(); ++row)
                shown << delegate->displayText(styles->index(row, 0).data(), QLocale());
            for (const QLineEdit *box : fonts->findChildren<QLineEdit *>())
                shown << box->text();
            inChooser = fonts->currentFont();
            button(d, QDialogButtonBox::Ok).click();
        });
        QCOMPARE(platform::runFontDialog(nullptr, p), platform::DialogOutcome::Accepted);
        // The Japanese names leave the chosen style as the chooser has it.
        QCOMPARE(p.FontBold, inChooser.bold());
        QCOMPARE(p.FontItalic, inChooser.italic());
        for (const QString &text : shown)
            for (const char *english : {"Regular", "Bold", "Italic", "Oblique", "Book"})
                QVERIFY2(!text.contains(QLatin1String(english)), qPrintable(shown.join(u'|')));
    }

    // Texts of the file and print dialogs that Qt's Japanese catalogue lacks.
    void dialogTextsInJapanese()
    {
        QCOMPARE(QFileIconProvider().type(QFileInfo(QDir::tempPath())),
                 QStringLiteral("フォルダー"));
        QPrinter printer;
        QPrintDialog dialog(&printer);
        const auto *pages = dialog.findChild<QRadioButton *>(QStringLiteral("pagesRadioButton"));
        QVERIFY(pages);
        QVERIFY2(!pages->text().contains(QLatin1String("Pages")), qPrintable(pages->text()));
    }

    void fontSizeOutsideTheLimitsCannotBeConfirmed()
    {
        platform::DialogProperties p = optionsFont();
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
        QCOMPARE(platform::runFontDialog(nullptr, p), platform::DialogOutcome::Cancelled);
        QVERIFY(!tooLarge);
        QVERIFY(!tooSmall);
        QVERIFY(inside);
        QCOMPARE(p.FontSize, 12.0); // Cancel keeps everything
    }
};

TAVLEN_TEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
