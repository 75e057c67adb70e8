// Filling a big text into the editor in the background: the first lines at once, the rest in
// slices between events.
#include "platform/rawform.h"
#include "platform/richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>

namespace platform
{

namespace
{

constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t LineSeparator = 0x2028;

// Lines put into the document before the window is shown: several screens' worth.
constexpr int ShownAtOnceLines = 2000;
// Characters added at a time, and how long one slice may keep the events waiting.
constexpr qsizetype SliceChars = 64 * 1024;
constexpr qint64 SliceMs = 8;
// How often the scroll bar is told the size of the document while it is filled.
constexpr qint64 SizeShownMs = 100;

// Where the first `lines` lines of a raw text end (before their last separator), or its size.
qsizetype endOfLines(QStringView raw, int lines)
{
    qsizetype at = -1;
    for (int n = 0; n < lines; ++n) {
        at = raw.indexOf(QChar(ParagraphSeparator), at + 1);
        if (at < 0)
            return raw.size();
    }
    return at;
}

// Keys that act at the caret and cannot reach past the lines already shown.
bool staysNearCaret(const QKeyEvent &event)
{
    switch (event.key()) { // a modifier alone does nothing yet
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
        return true;
    default:
        break;
    }
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        return true;
    default:
        return !event.text().isEmpty() && event.text().front().isPrint();
    }
}

} // namespace

void RichTextBox::startFill(const QString &text)
{
    m_shadow = rawForm(text);
    m_packed = !m_shadow.contains(QChar(LineSeparator));
    const qsizetype shown = endOfLines(m_shadow, ShownAtOnceLines);
    if (m_packed) {
        m_packLines = 1;
        m_packChars = 0;
        std::vector<int> blockLines;
        document()->setPlainText(packLines(QStringView(m_shadow).first(shown), blockLines));
        setPackedLineCounts(0, blockLines);
    } else {
        document()->setPlainText(m_shadow.first(shown));
    }
    // The slices must never become undo steps.
    document()->setUndoRedoEnabled(false);
    m_unfilled = m_shadow.size() - shown;
    if (m_unfilled > 0)
        m_fillTimer.start();
    else
        endFill();
}

void RichTextBox::fillSlice()
{
    QElapsedTimer slice;
    slice.start();
    while (m_unfilled > 0 && slice.elapsed() < SliceMs)
        appendUnfilled(SliceChars);
    if (m_unfilled == 0 || !m_sizeShown.isValid() || m_sizeShown.elapsed() >= SizeShownMs)
        showFilledSize();
    if (m_unfilled > 0)
        m_fillTimer.start();
    else
        endFill();
}

void RichTextBox::finishFill()
{
    if (m_unfilled == 0)
        return;
    m_fillTimer.stop();
    appendUnfilled(m_unfilled);
    showFilledSize();
    endFill();
}

void RichTextBox::appendUnfilled(qsizetype atMost)
{
    const qsizetype from = m_shadow.size() - m_unfilled;
    qsizetype to = m_shadow.size();
    if (m_unfilled > atMost) {
        // Whole lines at a time, so no line is laid out half-filled.
        const qsizetype cut =
            QStringView(m_shadow).first(from + atMost).lastIndexOf(QChar(ParagraphSeparator));
        if (cut > from)
            to = cut;
        else if (const qsizetype next = m_shadow.indexOf(QChar(ParagraphSeparator), from + 1);
                 next > 0)
            to = next;
    }
    // Adding at the end carries along a caret that sits there: keep it where the user left it.
    const QTextCursor before = textCursor();
    const int anchor = before.anchor();
    const int position = before.position();
    m_replacingAll = true; // the shadow already holds these characters
    QTextCursor end(document());
    // In an edit block a cursor does not find its x at once, which lays the last block out.
    end.beginEditBlock();
    end.movePosition(QTextCursor::End);
    const int added = end.position();
    {
        // Qt repaints the whole view for each slice added; lines added out of sight need none.
        // The scroll bar follows the document's size a few times a second (showFilledSize): Qt
        // lays out the last screenful again for it each time.
        std::optional<QSignalBlocker> unseen;
        if (!endIsOnScreen())
            unseen.emplace(document()->documentLayout());
        std::vector<int> blockLines;
        if (m_packed) {
            end.insertText(packLines(QStringView(m_shadow).sliced(from, to - from), blockLines));
            setPackedLineCounts(added, blockLines);
        } else {
            end.insertText(m_shadow.sliced(from, to - from));
        }
        end.endEditBlock();
        if (unseen) {
            unseen.reset();
            m_sizeUnshown = true;
        }
    }
    formatLongLines(added, end.position());
    m_replacingAll = false;
    m_unfilled -= to - from;
    const QTextCursor after = textCursor();
    if (after.anchor() != anchor || after.position() != position) {
        QTextCursor kept = after;
        kept.setPosition(anchor);
        kept.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(kept);
    }
}

void RichTextBox::showFilledSize()
{
    m_sizeShown.start();
    if (!m_sizeUnshown)
        return;
    m_sizeUnshown = false;
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    Q_EMIT layout->documentSizeChanged(layout->documentSize());
}

bool RichTextBox::endIsOnScreen() const
{
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    const qreal bottom = viewport()->height();
    for (; block.isValid() && top <= bottom; block = block.next()) {
        if (!block.next().isValid())
            return true;
        top += blockBoundingRect(block).height();
    }
    return !block.isValid();
}

void RichTextBox::endFill()
{
    m_unfilled = 0;
    if (m_fillEdits.empty())
        document()->setUndoRedoEnabled(true);
    else
        makeFillEditsUndoable();
}

// The document has kept no undo history during the fill, and turning it on cannot take the
// edits made meanwhile into it. So they are taken back, the history is turned on, and they are
// made again, as one step, the way typing makes them. The text and the shadow end as they were.
void RichTextBox::makeFillEditsUndoable()
{
    const QTextCursor caret = textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    m_replacingAll = true; // the shadow already holds the edits
    const auto replace = [this](qsizetype from, qsizetype length, const QString &text) {
        QTextCursor cursor(document());
        cursor.setPosition(int(from));
        cursor.setPosition(int(from + length), QTextCursor::KeepAnchor);
        cursor.insertText(text);
    };
    for (auto edit = m_fillEdits.rbegin(); edit != m_fillEdits.rend(); ++edit)
        replace(edit->position, edit->added.size(), edit->removed);
    document()->setUndoRedoEnabled(true);
    QTextCursor step(document());
    step.beginEditBlock();
    for (const FillEdit &edit : m_fillEdits)
        replace(edit.position, edit.removed.size(), edit.added);
    step.endEditBlock();
    m_fillEdits.clear();
    m_replacingAll = false;
    QTextCursor kept(document());
    kept.setPosition(anchor);
    kept.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(kept);
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    if (m_unfilled > 0 && !staysNearCaret(*event))
        finishFill();
    unpackFor(event->text());
    if (m_packed && moveByWordWithinLine(*event))
        return;
    QPlainTextEdit::keyPressEvent(event);
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    finishFill(); // its actions (select all, paste) work on the whole document
    QPlainTextEdit::contextMenuEvent(event);
}

} // namespace platform
