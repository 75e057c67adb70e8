#include "platform/fontdialog.h"

#include "platform/bgrcolor.h"

#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace platform
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

// Enter and Escape typed anywhere in the embedded chooser answer the whole dialog: the chooser,
// a dialog itself, would otherwise close only itself (its lists even before the key reaches
// it) and leave the dialog empty. The keys are taken as they arrive, before the chooser's parts.
class DialogKeys : public QObject
{
public:
    DialogKeys(QDialog &dialog, QWidget &chooser, QPushButton &ok)
        : QObject(&dialog), m_dialog(dialog), m_chooser(chooser), m_ok(ok)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
            !m_chooser.isAncestorOf(static_cast<QWidget *>(watched)))
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Cancel)) {
            m_dialog.reject();
            return true;
        }
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (m_ok.isEnabled())
                m_ok.click();
            return true;
        }
        return false;
    }

private:
    QDialog &m_dialog;
    QWidget &m_chooser;
    QPushButton &m_ok;
};

// A font's style name in Japanese, word by word ("Bold Italic" → "太字 斜体"); a word without a
// Japanese name stays as it is.
QString japaneseStyleName(const QString &style)
{
    static const QHash<QString, QString> words = {
        {QStringLiteral("regular"), QStringLiteral("標準")},
        {QStringLiteral("normal"), QStringLiteral("標準")},
        {QStringLiteral("book"), QStringLiteral("標準")},
        {QStringLiteral("roman"), QStringLiteral("標準")},
        {QStringLiteral("bold"), QStringLiteral("太字")},
        {QStringLiteral("italic"), QStringLiteral("斜体")},
        {QStringLiteral("oblique"), QStringLiteral("斜体")},
        {QStringLiteral("thin"), QStringLiteral("極細")},
        {QStringLiteral("extralight"), QStringLiteral("極細")},
        {QStringLiteral("ultralight"), QStringLiteral("極細")},
        {QStringLiteral("light"), QStringLiteral("細字")},
        {QStringLiteral("medium"), QStringLiteral("中字")},
        {QStringLiteral("semibold"), QStringLiteral("やや太字")},
        {QStringLiteral("demibold"), QStringLiteral("やや太字")},
        {QStringLiteral("demi"), QStringLiteral("やや太字")},
        {QStringLiteral("extrabold"), QStringLiteral("極太")},
        {QStringLiteral("ultrabold"), QStringLiteral("極太")},
        {QStringLiteral("heavy"), QStringLiteral("極太")},
        {QStringLiteral("black"), QStringLiteral("極太")},
        {QStringLiteral("condensed"), QStringLiteral("長体")},
    };
    QStringList parts = style.split(u' ', Qt::SkipEmptyParts);
    for (QString &part : parts)
        part = words.value(part.toLower().remove(u'-'), part);
    const QString normal = QStringLiteral("標準");
    if (parts.size() > 1)
        parts.removeAll(normal); // "Regular Italic" is simply 斜体
    return parts.join(u' ');
}

// The chooser's style list and style box show the Japanese names; the chooser itself keeps
// working with the font's own names.
class StyleNames : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant &value, const QLocale &locale) const override
    {
        return japaneseStyleName(QStyledItemDelegate::displayText(value, locale));
    }
};

void showJapaneseStyleNames(QFontDialog &fonts)
{
    // The chooser's lists are family, style and size, and so are the first three of its boxes.
    const QList<QListView *> lists = fonts.findChildren<QListView *>();
    const QList<QLineEdit *> boxes = fonts.findChildren<QLineEdit *>();
    if (lists.size() != 3 || boxes.size() < 3)
        return;
    lists[1]->setItemDelegate(new StyleNames(lists[1]));
    QLineEdit *box = boxes[1];
    const auto translate = [box] {
        const QString japanese = japaneseStyleName(box->text());
        if (japanese != box->text())
            box->setText(japanese);
    };
    QObject::connect(box, &QLineEdit::textChanged, box, translate);
    translate();
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
    showJapaneseStyleNames(*fonts);
    fonts->setCurrentFont(initialFont(p));
    const QString shownFamily = fonts->currentFont().family();
    // The chooser knows whole sizes only: a size left as it was keeps its half point (10.5).
    const double shownSize = fonts->currentFont().pointSizeF();
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
    ok->setDefault(true);
    colourButton->setAutoDefault(false);
    new DialogKeys(dialog, *fonts, *ok);
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
    if (chosen.pointSizeF() != shownSize)
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

} // namespace platform
