#pragma once

#include "platform/colorrun.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <functional>
#include <vector>

class QMimeData;
class QTextBlock;

namespace platform
{

// The editor control: plain text edited in a QPlainTextEdit, with the operations the rest of the
// program uses (Text, the selection, Find) and the Change, SelChange
// and OLEDragDrop notifications. Colour lives in a run list beside the text and is painted only
// into the blocks on screen, so it never enters the undo history and never changes the text.
class RichTextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);

    // The whole content, line breaks as CR LF. Setting it replaces everything and fires Change.
    QString Text() const;
    void setText(const QString &text);

    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    // The selected text with CR LF line breaks; setting replaces the selection (or inserts at the
    // caret) and leaves the caret after the inserted text.
    QString SelText() const;
    void setSelText(const QString &text);
    // The same as one undo step of its own, never merged with the typing before it.
    void setSelTextAsOwnStep(const QString &text);
    // The selected text as it goes to the clipboard, by menu or by key: LF line breaks.
    QString clipboardText() const;

    // The editor shows one font for the whole text; these set that font's attributes.
    void setSelFontName(const QString &name);
    void setSelFontSize(double points);
    void setSelBold(bool on);
    void setSelItalic(bool on);
    void setSelUnderline(bool on);
    void setSelStrikeThru(bool on);
    void setBackColor(quint32 bgr);
    // The colour of text that no colour run covers: typed text and the uncoloured long lines.
    void setForeColor(quint32 bgr);

    // A stretch of the text to replace: from and to count a line break as one character; text
    // may hold CR LF, CR or LF line breaks.
    struct Stretch {
        int from = 0;
        int to = 0;
        QString text;
    };
    // Replaces the stretches (in order, not overlapping, cut to the text) as one edit: one undo
    // brings the old text back, Change fires once, and only the replaced characters are touched.
    // Colours move as they would with each stretch replaced on its own. The caret is left where it
    // lands.
    void replaceStretches(const std::vector<Stretch> &stretches);

    // Case-insensitive search from start to the end; selects the first occurrence, if any.
    void Find(const QString &text, int start);

    // The raw text (U+2029 between lines) and its CP932 byte count (line breaks count two),
    // both kept up to date on every change.
    const QString &rawText() const { return m_shadow; }
    qint64 byteCount() const { return m_byteCount; }
    const std::vector<ColorRun> &colorRuns() const { return m_runs; }
    void clearColors();
    // Colours the text with these runs (sorted, not overlapping).
    void setColorRuns(std::vector<ColorRun> runs);
    QRgb defaultTextColor() const;
    const QFont &textFont() const { return m_font; }
    // Grows with every change of the document (QTextDocument::revision).
    int revision() const;
    // Marks painted with the colours of each line on screen (underlines, faint boxes), never part
    // of the text: given a line, adds its format ranges (starts counted within the line).
    using LineMarks = std::function<void(const QTextBlock &, QList<QTextLayout::FormatRange> &)>;
    void setLineMarks(LineMarks marks);

    // A big text is shown at once: its first lines go into the document straight away and the
    // rest follows in slices between events, so the window can be painted and typed in while the
    // remainder is added. Text and the byte count always cover the whole text. Typing
    // and moving the caret near it go on during the fill; whatever needs the whole document
    // (a far jump, selecting everything, finding, replacing, the scroll bar) finishes it first,
    // and so may anyone who works on document() directly. The fill itself never becomes an undo
    // step; the edits made during it become one when it ends.
    void finishFill();
    bool isFilling() const { return m_unfilled > 0; }

    // The line (from 0) that holds the character at position.
    int lineOf(int position) const;

Q_SIGNALS:
    void Change();
    // After Change, when an undo or a redo changed the text: the text it put back has no colour
    // until the markup is coloured again.
    void UndoRedo();
    void SelChange();
    void OLEDragDrop(const QMimeData *data);
    // Every change of the document as it happens (characters at position removed and added,
    // in the document's count), the fill's slices included.
    void Edited(int position, int removed, int added);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void replaceAll(const QString &text);
    // Wraps the view's lines (on) or shows each on one row (off).
    void wrapLongLines(bool on);
    void startFill(const QString &text);
    void fillSlice();
    void appendUnfilled(qsizetype atMost);
    void endFill();
    void showFilledSize();
    // Whether the view shows the document's last line.
    bool endIsOnScreen() const;
    void makeFillEditsUndoable();
    void onContentsChange(int position, int removed, int added);
    void onSelectionMoved();
    void applyVisibleColors();
    // Colours the lines from the one holding from up to the one holding to (at most a screenful).
    void colourEditedBlocks(qsizetype from, qsizetype to);
    void applyBlockColors(const QTextBlock &block);
    // Makes the lines too long for colours, from the one holding from up to to, ready for layout.
    void formatLongLines(qsizetype from, qsizetype to);
    void applyFont();
    QString selectedRawText() const;

    // A big text's short lines are held several to a block, joined by line separators (U+2028),
    // which the layout breaks at as at a block's end: Qt's per-block cost is what makes filling
    // a big text slow and big. Every position stays as it is; the raw text has a paragraph
    // separator there, as for any line break. Only a text without a line separator of its own is
    // packed, so the document's line separators are all line breaks.
    QString packLines(QStringView raw, std::vector<int> &blockLines);
    // Tells the document how many lines each block from the one holding position holds, so the
    // scroll bar counts them before they are laid out.
    void setPackedLineCounts(int position, const std::vector<int> &blockLines);
    // The document's text as the raw text holds it.
    QString documentText() const;
    QChar documentCharacter(int position) const;
    // Before the user's own line separator comes in: the document is filled again with a block
    // for every line. Its undo steps go, since they would put back line separators.
    void unpackFor(QStringView incoming);
    // Word moves and deletions stop at a line's end, as they do at a block's.
    bool moveByWordWithinLine(const QKeyEvent &event);
    void forgetLineCount() const;

    QString m_shadow;
    LineMarks m_lineMarks;
    qint64 m_byteCount = 0;
    std::vector<ColorRun> m_runs;
    QFont m_font;
    bool m_replacingAll = false;
    bool m_packed = false;
    // The document's last block while a packed text is filled: its lines and characters.
    int m_packLines = 1;
    qsizetype m_packChars = 0;
    // A position and the number of line breaks before it, kept for the next lineOf.
    mutable qsizetype m_countedTo = 0;
    mutable int m_countedLines = 0;
    // When and where the last double click was, to tell a triple click.
    QElapsedTimer m_doubleClick;
    QPoint m_doubleClickAt;
    // Characters at the end of m_shadow not yet in the document, and the timer that adds them.
    qsizetype m_unfilled = 0;
    QTimer m_fillTimer;
    // Whether the scroll bar has not been told the document's size since a slice, and when it was.
    bool m_sizeUnshown = false;
    QElapsedTimer m_sizeShown;
    // The edits made while the document was being filled (it has no undo history then), in
    // order, positions in the text as it was before each.
    struct FillEdit {
        qsizetype position = 0;
        QString removed;
        QString added;
    };
    std::vector<FillEdit> m_fillEdits;
    int m_lastAnchor = 0;
    int m_lastPosition = 0;
    bool m_replacingStretches = false;
    // The undo steps there were at the last change, and whether an edit recorded a new step since:
    // a change that moved the steps without recording one is an undo or a redo.
    int m_undoSteps = 0;
    bool m_stepRecorded = false;
};

} // namespace platform
