#include "platform/fontdialog.h"

#include "platform/bgrcolor.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace app
{

namespace
{

QFont initialFont(const DialogProperties &p)
{
    QFont f(p.FontName);
    if (p.FontSize > 0)
        f.setPointSizeF(p.FontSize);
    f.setBold(p.FontBold);
    f.setItalic(p.FontItalic);
    f.setStrikeOut(p.FontStrikethru);
    f.setUnderline(p.FontUnderline);
    return f;
}

void showSwatch(QPushButton &button, const QColor &colour)
{
    QPixmap swatch(16, 16);
    swatch.fill(colour);
    button.setIcon(QIcon(swatch));
}

} // namespace

DialogOutcome runFontDialog(QWidget *owner, DialogProperties &p)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(p.DialogTitle.isEmpty() ? QStringLiteral("フォント") : p.DialogTitle);
    auto *layout = new QVBoxLayout(&dialog);
    auto *fonts = new QFontDialog(&dialog);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setCurrentFont(initialFont(p));
    const QString shownFamily = fonts->currentFont().family();
    layout->addWidget(fonts);

    auto *row = new QHBoxLayout;
    QColor colour = colorFromBgr(p.Color);
    auto *colourButton = new QPushButton(QStringLiteral("文字色(&C)..."), &dialog);
    colourButton->setObjectName(QStringLiteral("fontColour"));
    showSwatch(*colourButton, colour);
    colourButton->setVisible(p.Flags & dlgflags::FontEffects);
    row->addWidget(colourButton);
    const bool limited = (p.Flags & dlgflags::FontLimitSize) && p.Max > 0;
    auto *range = new QLabel(
        limited ? QStringLiteral("サイズは %1～%2 ポイントから選べます。").arg(p.Min).arg(p.Max)
                : QString(),
        &dialog);
    row->addWidget(range, 1);
    layout->addLayout(row);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
        const QColor chosen = QColorDialog::getColor(colour, &dialog);
        if (chosen.isValid()) {
            colour = chosen;
            showSwatch(*colourButton, colour);
        }
    });
    // A size outside the limits cannot be confirmed: OK waits for one inside them.
    const auto checkSize = [&, limited](const QFont &font) {
        const double size = font.pointSizeF();
        ok->setEnabled(!limited || (size >= p.Min && size <= p.Max));
    };
    QObject::connect(fonts, &QFontDialog::currentFontChanged, &dialog, checkSize);
    checkSize(fonts->currentFont());

    if (dialog.exec() != QDialog::Accepted)
        return DialogOutcome::Cancelled;
    const QFont chosen = fonts->currentFont();
    if (chosen.family() != shownFamily)
        p.FontName = chosen.family();
    p.FontSize = chosen.pointSizeF();
    p.FontBold = chosen.bold();
    p.FontItalic = chosen.italic();
    p.FontStrikethru = chosen.strikeOut();
    p.FontUnderline = chosen.underline();
    if (p.Flags & dlgflags::FontEffects)
        p.Color = bgrFromColor(colour);
    return DialogOutcome::Accepted;
}

DialogOutcome runPrinterSetup(QWidget *owner, QPrinter &printer)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("プリンタの設定"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("プリンタ(&N)："), &dialog);
    auto *printers = new QComboBox(&dialog);
    printers->setObjectName(QStringLiteral("printerName"));
    label->setBuddy(printers);
    const QStringList names = QPrinterInfo::availablePrinterNames();
    printers->addItems(names);
    printers->setCurrentIndex(std::max<qsizetype>(0, names.indexOf(printer.printerName())));
    if (names.isEmpty()) {
        printers->addItem(QStringLiteral("(プリンタがありません)"));
        printers->setEnabled(false);
    }
    row->addWidget(label);
    row->addWidget(printers, 1);
    layout->addLayout(row);
    auto *paper = new QPushButton(QStringLiteral("用紙の設定(&P)..."), &dialog);
    // Enter presses OK, even when the paper button has the focus (no printer to choose).
    paper->setAutoDefault(false);
    layout->addWidget(paper);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // The paper is set on a copy of the chosen printer, so Cancel keeps everything as it was.
    QPrinter candidate;
    candidate.setPageLayout(printer.pageLayout());
    QObject::connect(paper, &QPushButton::clicked, &dialog, [&] {
        if (!names.isEmpty())
            candidate.setPrinterName(printers->currentText());
        QPageSetupDialog setup(&candidate, &dialog);
        setup.exec();
    });
    if (dialog.exec() != QDialog::Accepted)
        return DialogOutcome::Cancelled;
    if (!names.isEmpty())
        printer.setPrinterName(printers->currentText());
    printer.setPageLayout(candidate.pageLayout());
    return DialogOutcome::Accepted;
}

} // namespace app
