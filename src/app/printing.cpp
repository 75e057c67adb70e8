#include "app/printing.h"

#include "platform/commondialog.h"
#include "platform/richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

namespace app
{

std::optional<QString> printPlainText(QPrinter &printer, const QString &text, const QFont &font)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain += QLatin1Char('\n');

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&printer); // measure in the printer's resolution
    doc.setDefaultFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    doc.setDocumentMargin(0); // the printer's page margins are the margins
    doc.setPlainText(plain);

    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("プリンタを使えませんでした。");
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    doc.setPageSize(page); // lays the text out in pages; a line never straddles two
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage())
            return QStringLiteral("印刷を続けられませんでした。");
        painter.save();
        const QRectF area(0, i * page.height(), page.width(), page.height());
        painter.translate(0, -area.top());
        doc.drawContents(&painter, area);
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return QStringLiteral("印刷を終えられませんでした。");
    return std::nullopt;
}

DocumentPrinter::DocumentPrinter(CommonDialog &cdlPrint, RichTextBox &editor)
    : m_dialog(cdlPrint), m_editor(editor)
{
}

DocumentPrinter::~DocumentPrinter() = default;

QPrinter &DocumentPrinter::printer()
{
    if (!m_printer) // looking up the printers may take a moment: not at start-up
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

std::optional<QString> DocumentPrinter::print()
{
    m_dialog.props.Flags = dlgflags::UseDevModeCopies | dlgflags::NoSelection;
    if (m_dialog.ShowPrinter(printer()) == DialogOutcome::Cancelled)
        return std::nullopt;
    return printPlainText(printer(), m_editor.Text(), m_editor.font());
}

void DocumentPrinter::setup()
{
    m_dialog.props.Flags = dlgflags::PrintSetup;
    m_dialog.ShowPrinter(printer());
}

} // namespace app
