#include "app/mainstatusbar.h"
#include "app/printing.h"
#include "mainwindowfixture.h"
#include "platform/richtextbox.h"
#include "testenv.h"
#include "testwindow.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

using testsupport::MainWindowFixture;
using testsupport::ScriptedDialogs;

namespace
{

// The printer writes a PDF file instead of going to a print queue.
QString printToPdf(testsupport::TestWindow &w, const QString &name)
{
    const QString path = testsupport::home().path() + QLatin1Char('/') + name;
    QFile::remove(path);
    QPrinter &printer = w.printing().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return path;
}

// "line 0000 行", "line 0001 行", …: text long enough for several pages.
QStringList numberedLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("line %1 行").arg(i, 4, 10, QLatin1Char('0'));
    return lines;
}

// The text of a PDF as pdftotext reads it, NFKC-normalised (it gives 日 as U+2F47) and with its
// wave dash taken back to the full-width tilde the page holds.
QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed>");
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    text.replace(QChar(0x301C), QChar(0xFF5E));
    return text.normalized(QString::NormalizationForm_KC);
}

int pdfPages(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    if (!p.waitForFinished(30000))
        return -1;
    for (const QString &line :
         QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void printsTheWholeTextLiterally()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        const QStringList lines{QStringLiteral("<html lang=\"ja\">"),
                                QStringLiteral("<p class=\"x\">日本語の～テキスト</p>"),
                                QStringLiteral("<!-- comment & more -->"),
                                QStringLiteral("</html>")};
        w.editor()->setText(lines.join(QStringLiteral("\r\n")));
        w.editor()->setSelStart(3);
        w.editor()->setSelLength(4); // the selection does not limit printing
        w.DecorateText();
        const QString pdf = printToPdf(w, QStringLiteral("literal.pdf"));
        f.dialogs.steps = {ScriptedDialogs::accept()};
        w.mainMenu().mnuPrint->trigger();
        QCOMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls[0].kind, ScriptedDialogs::Kind::Printer);
        QCOMPARE(f.dialogs.calls[0].seen.Flags, 0x40004u);
        QVERIFY(QFile::exists(pdf));
        const QStringList printed = pdfText(pdf).split(QLatin1Char('\n'));
        for (const QString &line : lines)
            QVERIFY2(printed.contains(line.normalized(QString::NormalizationForm_KC)),
                     qPrintable(line + QStringLiteral(" in ") + printed.join(QLatin1Char('|'))));
        QVERIFY(w.statusPanels()->currentMessage().isEmpty());
        QCOMPARE(f.prompter.shown.size(), 0);
    }

    void longTextGoesOnOverPagesWithoutLosingLines()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        const QStringList lines = numberedLines(300);
        w.editor()->setText(lines.join(QStringLiteral("\r\n")));
        const QString pdf = printToPdf(w, QStringLiteral("long.pdf"));
        f.dialogs.steps = {ScriptedDialogs::accept()};
        w.tlbMain_ButtonClick(QStringLiteral("Print"));
        QVERIFY(pdfPages(pdf) > 1);
        const QString printed = pdfText(pdf);
        for (const QString &line : lines)
            QCOMPARE(printed.count(line.normalized(QString::NormalizationForm_KC)), 1);
    }

    void pageRangePrintsThosePages()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        const QStringList lines = numberedLines(300);
        w.editor()->setText(lines.join(QStringLiteral("\r\n")));
        const QString all = printToPdf(w, QStringLiteral("all.pdf"));
        f.dialogs.steps = {ScriptedDialogs::accept()};
        w.mnuPrint_Click();
        const int pages = pdfPages(all);
        QVERIFY(pages > 3);
        // The dialog is offered the pages the text has, and prints those chosen there.
        QCOMPARE(f.dialogs.calls[0].seen.Min, 1);
        QCOMPARE(f.dialogs.calls[0].seen.Max, pages);
        const QString some = printToPdf(w, QStringLiteral("some.pdf"));
        f.dialogs.steps = {[](platform::DialogProperties &p) {
            p.FromPage = 2;
            p.ToPage = 3;
            return platform::DialogOutcome::Accepted;
        }};
        w.mnuPrint_Click();
        QCOMPARE(pdfPages(some), 2);
        // pdftotext ends each page with a form feed.
        const QStringList allPages = pdfText(all).split(QChar(0x0C));
        const QStringList somePages = pdfText(some).split(QChar(0x0C));
        QCOMPARE(somePages.mid(0, 2), allPages.mid(1, 2));
    }

    // With no printer to choose, the paper button has the focus; Enter still means OK.
    void enterInPrinterSetupPressesOk()
    {
        platform::QtDialogBackend backend;
        platform::DialogProperties p;
        p.Flags = platform::dlgflags::PrintSetup;
        QPrinter printer;
        int otherDialogs = 0;
        QDialog *setup = nullptr;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!modal)
                return;
            if (!setup) {
                setup = modal;
                for (QPushButton *button : modal->findChildren<QPushButton *>())
                    if (button->text().startsWith(QStringLiteral("用紙の設定")))
                        button->setFocus();
                // Queued: a dialog it opens runs while this timer goes on polling.
                QWidget *focus = modal->focusWidget();
                QMetaObject::invokeMethod(
                    focus, [focus] { QTest::keyClick(focus, Qt::Key_Return); },
                    Qt::QueuedConnection);
            } else if (modal != setup) { // the paper dialog opened instead
                ++otherDialogs;
                modal->reject();
            } else if (otherDialogs > 0) {
                modal->reject();
            }
        });
        poll.start(20);
        const platform::DialogOutcome outcome = backend.showPrinter(nullptr, p, printer);
        QCOMPARE(otherDialogs, 0);
        QCOMPARE(outcome, platform::DialogOutcome::Accepted);
    }

    void emptyDocumentPrintsOneEmptyLine()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        const QString pdf = printToPdf(w, QStringLiteral("empty.pdf"));
        f.dialogs.steps = {ScriptedDialogs::accept()};
        w.mnuPrint_Click();
        QCOMPARE(pdfPages(pdf), 1);
        QVERIFY(pdfText(pdf).trimmed().isEmpty());
    }

    void cancelledDialogsPrintNothing_data()
    {
        QTest::addColumn<bool>("setup");
        QTest::addColumn<quint32>("flags");
        QTest::newRow("print") << false << 0x40004u;
        QTest::newRow("printer setup") << true << 0x40u;
    }
    void cancelledDialogsPrintNothing()
    {
        QFETCH(bool, setup);
        QFETCH(quint32, flags);
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("<p>x</p>"));
        const QString pdf = printToPdf(w, QStringLiteral("cancelled.pdf"));
        f.dialogs.steps = {ScriptedDialogs::cancel()};
        (setup ? w.mainMenu().mnuPrinterConfig : w.mainMenu().mnuPrint)->trigger();
        QCOMPARE(f.dialogs.calls.size(), 1);
        QCOMPARE(f.dialogs.calls[0].seen.Flags, flags);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(f.prompter.shown.size(), 0);
        QVERIFY(w.statusPanels()->currentMessage().isEmpty());
        QCOMPARE(w.editor()->Text(), QStringLiteral("<p>x</p>"));
    }

    void printerSetupPrintsNothing()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("x"));
        const QString pdf = printToPdf(w, QStringLiteral("setup.pdf"));
        f.dialogs.steps = {ScriptedDialogs::accept()};
        w.mnuPrinterConfig_Click();
        QVERIFY(!QFile::exists(pdf));
    }

    void unusablePrinterIsNotedAndChangesNothing()
    {
        MainWindowFixture f;
        testsupport::TestWindow &w = f.start();
        w.editor()->setText(QStringLiteral("<p>x</p>"));
        w.sharedState().bolEditing = false;
        QPrinter &printer = w.printing().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(testsupport::home().path() +
                                  QStringLiteral("/no/such/dir/x.pdf"));
        f.dialogs.steps = {ScriptedDialogs::accept()};
        w.mnuPrint_Click();
        QVERIFY(w.statusPanels()
                    ->Panels(QStringLiteral("Message"))
                    ->text()
                    .startsWith(QStringLiteral("印刷できませんでした")));
        QVERIFY(w.statusPanels()->currentMessage().isEmpty()); // the panels stay in sight
        QCOMPARE(f.prompter.shown.size(), 0);
        QCOMPARE(w.editor()->Text(), QStringLiteral("<p>x</p>"));
        QVERIFY(!w.sharedState().bolEditing);
    }
};

TAVLEN_TEST_MAIN(TestPrinting)
#include "test_printing.moc"
