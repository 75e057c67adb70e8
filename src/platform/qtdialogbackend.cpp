#include "platform/bgrcolor.h"
#include "platform/commondialog.h"
#include "platform/fontdialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

namespace platform
{

QString qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

namespace
{

DialogOutcome runFileDialog(QWidget *owner, DialogProperties &p, bool save)
{
    QFileDialog dialog(owner, p.DialogTitle);
    // The description already lists the patterns; Qt would show them a second time.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(qtNameFilters(p.Filter));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!(p.Flags & dlgflags::OverwritePrompt))
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((p.Flags & dlgflags::FileMustExist) ? QFileDialog::ExistingFile
                                                               : QFileDialog::AnyFile);
    }
    if (!p.FileName.isEmpty())
        dialog.selectFile(p.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return DialogOutcome::Cancelled;
    p.FileName = dialog.selectedFiles().constFirst();
    return DialogOutcome::Accepted;
}

} // namespace

DialogOutcome QtDialogBackend::showOpen(QWidget *owner, DialogProperties &p)
{
    return runFileDialog(owner, p, false);
}

DialogOutcome QtDialogBackend::showSave(QWidget *owner, DialogProperties &p)
{
    return runFileDialog(owner, p, true);
}

DialogOutcome QtDialogBackend::showPrinter(QWidget *owner, DialogProperties &p, QPrinter &printer)
{
    if (p.Flags & dlgflags::PrintSetup)
        return runPrinterSetup(owner, printer);
    QPrintDialog dialog(&printer, owner);
    if (p.Flags & dlgflags::NoSelection)
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    // The page range offers the pages the text has; the dialog leaves the chosen ones on the
    // printer.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, p.Max > 0);
    if (p.Max > 0) {
        dialog.setMinMax(std::max(1, p.Min), p.Max);
        printer.setPrintRange(QPrinter::AllPages);
        printer.setFromTo(std::max(1, p.Min), p.Max);
    }
    if (dialog.exec() != QDialog::Accepted)
        return DialogOutcome::Cancelled;
    const bool range = printer.printRange() == QPrinter::PageRange;
    p.FromPage = range ? printer.fromPage() : 0;
    p.ToPage = range ? printer.toPage() : 0;
    return DialogOutcome::Accepted;
}

DialogOutcome QtDialogBackend::showFont(QWidget *owner, DialogProperties &p)
{
    return runFontDialog(owner, p);
}

DialogOutcome QtDialogBackend::showColor(QWidget *owner, DialogProperties &p)
{
    const QColor chosen = QColorDialog::getColor(
        (p.Flags & dlgflags::ColorRgbInit) ? colorFromBgr(p.Color) : QColor(Qt::black), owner);
    if (!chosen.isValid())
        return DialogOutcome::Cancelled;
    p.Color = bgrFromColor(chosen);
    return DialogOutcome::Accepted;
}

} // namespace platform
