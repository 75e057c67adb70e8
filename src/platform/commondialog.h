#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace platform
{

// Flag bits of the file, print and font dialogs that change what the dialogs do here.
namespace dlgflags
{
inline constexpr quint32 OverwritePrompt = 0x2;  // save: ask before replacing a file
inline constexpr quint32 HideReadOnly = 0x4;     // file: no read-only check box
inline constexpr quint32 FileMustExist = 0x1000; // open: only existing files
inline constexpr quint32 PrintSetup = 0x40;      // printer: the page/printer setup dialog
inline constexpr quint32 NoSelection = 0x4;      // printer: no "selection only" choice
inline constexpr quint32 UseDevModeCopies = 0x40000;
inline constexpr quint32 ColorRgbInit = 0x1;     // colour: start from Color
inline constexpr quint32 FontLimitSize = 0x2000; // font: sizes between Min and Max
inline constexpr quint32 FontEffects = 0x100;    // font: colour, strike-through, underline
// Bits the program sets for the design's sake that change nothing here.
inline constexpr quint32 Explorer = 0x80000;       // file: the explorer-style dialog
inline constexpr quint32 LongNames = 0x200000;     // file: long file names
inline constexpr quint32 FontScreenFonts = 0x1;    // font: the screen's fonts
inline constexpr quint32 FontShowHelp = 0x4;       // font: a Help button
inline constexpr quint32 FontAnsiOnly = 0x400;     // font: fonts of the ANSI character set
inline constexpr quint32 FontForceExist = 0x10000; // font: only fonts that exist
} // namespace dlgflags

// Whether a common dialog was confirmed or cancelled: cancelling is its own outcome, never an
// empty result.
enum class DialogOutcome { Accepted, Cancelled };

// The properties a common dialog is given before it opens and read after it closes.
struct DialogProperties {
    QString DialogTitle;
    QString Filter; // "description|patterns|description|patterns..."
    quint32 Flags = 0;
    QString FileName;
    quint32 Color = 0; // 0x00BBGGRR
    QString FontName;
    double FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontStrikethru = false;
    bool FontUnderline = false;
    int Min = 0; // font: the smallest size; print: the first page there is
    int Max = 0; // font: the biggest size; print: the last page there is
    // Print: the pages to print, set before the dialog opens and read after it closes; 0 and 0
    // print every page.
    int FromPage = 0;
    int ToPage = 0;
};

// What actually shows a dialog: the real Qt dialogs in the program, a script in tests.
class DialogBackend
{
public:
    virtual ~DialogBackend() = default;
    virtual DialogOutcome showOpen(QWidget *owner, DialogProperties &p) = 0;
    virtual DialogOutcome showSave(QWidget *owner, DialogProperties &p) = 0;
    // Print (or, with the setup flag, printer setup) for the given printer.
    virtual DialogOutcome showPrinter(QWidget *owner, DialogProperties &p, QPrinter &printer) = 0;
    virtual DialogOutcome showFont(QWidget *owner, DialogProperties &p) = 0;
    virtual DialogOutcome showColor(QWidget *owner, DialogProperties &p) = 0;
};

// One common-dialog component (cdlFile, cdlPrint, cdlFandC): properties kept between uses, and
// the Show... calls that return Cancelled as a distinct outcome.
class CommonDialog
{
public:
    // The backend and the owner outlive the component.
    CommonDialog(DialogBackend &backend, QWidget *owner) : m_backend(backend), m_owner(owner) {}

    DialogProperties props;

    DialogOutcome ShowOpen() { return m_backend.showOpen(m_owner, props); }
    DialogOutcome ShowSave() { return m_backend.showSave(m_owner, props); }
    DialogOutcome ShowPrinter(QPrinter &printer)
    {
        return m_backend.showPrinter(m_owner, props, printer);
    }
    DialogOutcome ShowFont() { return m_backend.showFont(m_owner, props); }
    DialogOutcome ShowColor() { return m_backend.showColor(m_owner, props); }

private:
    DialogBackend &m_backend;
    QWidget *m_owner;
};

// Turns "HTMLﾌｧｲﾙ(*.htm;*.html)|*.htm;*.html" into Qt's "HTMLﾌｧｲﾙ(*.htm;*.html) (*.htm *.html)".
QString qtNameFilters(const QString &filter);

// The real dialogs: QFileDialog, QPrintDialog/QPageSetupDialog, QFontDialog, QColorDialog.
class QtDialogBackend final : public DialogBackend
{
public:
    DialogOutcome showOpen(QWidget *owner, DialogProperties &p) override;
    DialogOutcome showSave(QWidget *owner, DialogProperties &p) override;
    DialogOutcome showPrinter(QWidget *owner, DialogProperties &p, QPrinter &printer) override;
    DialogOutcome showFont(QWidget *owner, DialogProperties &p) override;
    DialogOutcome showColor(QWidget *owner, DialogProperties &p) override;
};

} // namespace platform
