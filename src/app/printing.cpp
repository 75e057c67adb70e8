#include "app/printing.h"

#include "platform/commondialog.h"
#include "platform/richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>

namespace app
{

namespace
{

// The text laid out in pages of the printer's paper, in the printer's resolution; the result is
// the size of one page.
QSizeF layOutPages(QTextDocument &doc, QPrinter &printer, const QString &text, const QFont &font)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain += QLatin1Char('\n');
    doc.documentLayout()->setPaintDevice(&printer); // measure in the printer's resolution
    doc.setDefaultFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    doc.setDocumentMargin(0); // the printer's page margins are the margins
    doc.setPlainText(plain);
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    doc.setPageSize(page); // lays the text out in pages; a line never straddles two
    return page;
}

} // namespace

int printedPageCount(QPrinter &printer, const QString &text, const QFont &font)
{
    QTextDocument doc;
    layOutPages(doc, printer, text, font);
    return doc.pageCount();
}

std::optional<QString> printPlainText(QPrinter &printer, const QString &text, const QFont &font,
                                      int fromPage, int toPage)
{
    QTextDocument doc;
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("プリンタを使えませんでした。");
    const QSizeF page = layOutPages(doc, printer, text, font);
    const int pages = doc.pageCount();
    const int first = fromPage > 0 ? std::min(fromPage, pages) : 1;
    const int last = toPage > 0 ? std::clamp(toPage, first, pages) : pages;
    for (int i = first - 1; i < last; ++i) {
        if (i > first - 1 && !printer.newPage())
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

DocumentPrinter::DocumentPrinter(platform::CommonDialog &cdlPrint, platform::RichTextBox &editor)
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
    m_dialog.props.Flags = platform::dlgflags::UseDevModeCopies | platform::dlgflags::NoSelection;
    const QString text = m_editor.Text();
    m_dialog.props.Min = 1;
    m_dialog.props.Max = printedPageCount(printer(), text, m_editor.font());
    m_dialog.props.FromPage = 0;
    m_dialog.props.ToPage = 0;
    if (m_dialog.ShowPrinter(printer()) == platform::DialogOutcome::Cancelled)
        return std::nullopt;
    // The paper may have changed in the dialog: the text is laid out again on it.
    return printPlainText(printer(), text, m_editor.font(), m_dialog.props.FromPage,
                          m_dialog.props.ToPage);
}

void DocumentPrinter::setup()
{
    m_dialog.props.Flags = platform::dlgflags::PrintSetup;
    m_dialog.ShowPrinter(printer());
}

} // namespace app
