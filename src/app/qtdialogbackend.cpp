#include "app/commondialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace app {

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

namespace {

DialogOutcome runFileDialog(QWidget *owner, DialogProperties &p, bool save)
{
    QFileDialog dialog(owner, p.DialogTitle);
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

QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 toBgr(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
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
    if (p.Flags & dlgflags::PrintSetup) {
        QPageSetupDialog dialog(&printer, owner);
        return dialog.exec() == QDialog::Accepted ? DialogOutcome::Accepted
                                                  : DialogOutcome::Cancelled;
    }
    QPrintDialog dialog(&printer, owner);
    if (p.Flags & dlgflags::NoSelection)
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted ? DialogOutcome::Accepted : DialogOutcome::Cancelled;
}

DialogOutcome QtDialogBackend::showFont(QWidget *owner, DialogProperties &p)
{
    QFont initial(p.FontName);
    if (p.FontSize > 0)
        initial.setPointSizeF(p.FontSize);
    initial.setBold(p.FontBold);
    initial.setItalic(p.FontItalic);
    initial.setStrikeOut(p.FontStrikethru);
    initial.setUnderline(p.FontUnderline);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, owner);
    if (!ok)
        return DialogOutcome::Cancelled;
    p.FontName = chosen.family();
    double size = chosen.pointSizeF();
    if (p.Flags & dlgflags::FontLimitSize && p.Max > 0)
        size = qBound(double(p.Min), size, double(p.Max));
    p.FontSize = size;
    p.FontBold = chosen.bold();
    p.FontItalic = chosen.italic();
    p.FontStrikethru = chosen.strikeOut();
    p.FontUnderline = chosen.underline();
    return DialogOutcome::Accepted;
}

DialogOutcome QtDialogBackend::showColor(QWidget *owner, DialogProperties &p)
{
    const QColor chosen = QColorDialog::getColor(
        (p.Flags & dlgflags::ColorRgbInit) ? fromBgr(p.Color) : QColor(Qt::black), owner);
    if (!chosen.isValid())
        return DialogOutcome::Cancelled;
    p.Color = toBgr(chosen);
    return DialogOutcome::Accepted;
}

} // namespace app
