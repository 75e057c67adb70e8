#pragma once

#include <QString>
#include <memory>
#include <optional>

class QFont;
class QPrinter;

namespace platform
{
class CommonDialog;
class RichTextBox;
} // namespace platform

namespace app
{

// Prints text (CR LF line breaks) as plain text, followed by a line end, in one print job: the
// markup as written, no colours, lines wider than the page wrapped, pages broken between lines.
// Only the pages fromPage to toPage (counted from 1) are printed; 0 and 0 print them all. Returns
// the reason when the printer cannot be used.
std::optional<QString> printPlainText(QPrinter &printer, const QString &text, const QFont &font,
                                      int fromPage = 0, int toPage = 0);
// How many pages printPlainText gives the text on the printer's paper.
int printedPageCount(QPrinter &printer, const QString &text, const QFont &font);

// Print and printer setup of the main window, on one printer kept for the whole run so that the
// choices made in either dialog are used by later printing.
class DocumentPrinter
{
public:
    // The dialog component and the editor belong to the main window and outlive this object.
    DocumentPrinter(platform::CommonDialog &cdlPrint, platform::RichTextBox &editor);
    ~DocumentPrinter();
    DocumentPrinter(const DocumentPrinter &) = delete;
    DocumentPrinter &operator=(const DocumentPrinter &) = delete;

    // Asks for the printer and the pages (the dialog offers those the text has), then prints
    // them. Cancel prints nothing; the result is the reason of a failure, if any.
    std::optional<QString> print();
    // Shows the printer setup dialog.
    void setup();

    // The printer, set up on first use.
    QPrinter &printer();

private:
    platform::CommonDialog &m_dialog;
    platform::RichTextBox &m_editor;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace app
