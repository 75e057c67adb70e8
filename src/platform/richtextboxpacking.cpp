// A big text's short lines held several to a block (see packLines), and what keeps the editor
// working by lines while they are: word moves, the triple click, the line count, and the user's
// own line separators.
#include "platform/richtextbox.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <array>

namespace platform
{

namespace
{

constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t LineSeparator = 0x2028;

// A block holds at most this many lines and characters: enough to make the blocks few, little
// enough that a keystroke lays out no more than a screenful of text again.
constexpr int PackLines = 64;
constexpr qsizetype PackChars = 2048;

} // namespace

QString RichTextBox::packLines(QStringView raw, std::vector<int> &blockLines)
{
    QString out = raw.toString();
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    qsizetype next = raw.indexOf(QChar(ParagraphSeparator));
    m_packChars += (next < 0 ? raw.size() : next);
    while (next >= 0) {
        const qsizetype after = raw.indexOf(QChar(ParagraphSeparator), next + 1);
        const qsizetype length = (after < 0 ? raw.size() : after) - next - 1;
        if (m_packLines < PackLines && m_packChars + 1 + length <= PackChars) {
            o[next] = LineSeparator;
            ++m_packLines;
            m_packChars += 1 + length;
        } else {
            blockLines.push_back(m_packLines);
            m_packLines = 1;
            m_packChars = length;
        }
        next = after;
    }
    blockLines.push_back(m_packLines); // the last block, which the next slice may go on filling
    return out;
}

void RichTextBox::setPackedLineCounts(int position, const std::vector<int> &blockLines)
{
    QTextBlock block = document()->findBlock(position);
    for (const int lines : blockLines) {
        if (!block.isValid())
            break;
        block.setLineCount(lines);
        block = block.next();
    }
}

QString RichTextBox::documentText() const
{
    QString text = document()->toRawText();
    if (m_packed)
        text.replace(QChar(LineSeparator), QChar(ParagraphSeparator));
    return text;
}

QChar RichTextBox::documentCharacter(int position) const
{
    const QChar c = document()->characterAt(position);
    return m_packed && c.unicode() == LineSeparator ? QChar(ParagraphSeparator) : c;
}

void RichTextBox::unpackFor(QStringView incoming)
{
    if (!m_packed || !incoming.contains(QChar(LineSeparator)))
        return;
    finishFill();
    const QTextCursor caret = textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    m_replacingAll = true; // the raw text stays as it is
    document()->setPlainText(m_shadow);
    m_packed = false;
    formatLongLines(0, document()->characterCount());
    m_replacingAll = false;
    QTextCursor kept(document());
    kept.setPosition(anchor);
    kept.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(kept);
}

int RichTextBox::lineOf(int position) const
{
    const qsizetype at = std::clamp<qsizetype>(position, 0, m_shadow.size());
    if (!m_packed && m_unfilled == 0)
        return document()->findBlock(int(at)).blockNumber();
    if (m_countedTo > m_shadow.size())
        forgetLineCount();
    // Counted from the last answer: the caret mostly moves a little.
    const QChar separator(ParagraphSeparator);
    if (at >= m_countedTo)
        m_countedLines +=
            int(QStringView(m_shadow).sliced(m_countedTo, at - m_countedTo).count(separator));
    else
        m_countedLines -= int(QStringView(m_shadow).sliced(at, m_countedTo - at).count(separator));
    m_countedTo = at;
    return m_countedLines;
}

void RichTextBox::forgetLineCount() const
{
    m_countedTo = 0;
    m_countedLines = 0;
}

bool RichTextBox::moveByWordWithinLine(const QKeyEvent &event)
{
    struct WordKey {
        QKeySequence::StandardKey key;
        bool forward;
        bool select;
        bool erase;
    };
    static constexpr std::array<WordKey, 6> keys = {{
        {QKeySequence::MoveToNextWord, true, false, false},
        {QKeySequence::MoveToPreviousWord, false, false, false},
        {QKeySequence::SelectNextWord, true, true, false},
        {QKeySequence::SelectPreviousWord, false, true, false},
        {QKeySequence::DeleteEndOfWord, true, false, true},
        {QKeySequence::DeleteStartOfWord, false, false, true},
    }};
    const auto *word = std::find_if(keys.begin(), keys.end(),
                                    [&event](const WordKey &k) { return event.matches(k.key); });
    if (word == keys.end())
        return false;
    QTextCursor cursor = textCursor();
    if (word->erase && (cursor.hasSelection() || isReadOnly()))
        return false; // the selection goes, as it would without packed lines
    const int from = cursor.position();
    QTextCursor probe = cursor;
    probe.movePosition(word->forward ? QTextCursor::NextWord : QTextCursor::PreviousWord);
    int to = probe.position();
    const QChar separator(ParagraphSeparator);
    if (word->forward && to > from) {
        const qsizetype end = QStringView(m_shadow).sliced(from, to - from).indexOf(separator);
        if (end >= 0) // at a line's end the move goes to the next line's start, else to the end
            to = end == 0 ? from + 1 : from + int(end);
    } else if (!word->forward && to < from) {
        const qsizetype start = QStringView(m_shadow).sliced(to, from - to).lastIndexOf(separator);
        if (start >= 0)
            to = to + int(start) + (to + start == from - 1 ? 0 : 1);
    }
    cursor.setPosition(to, word->select || word->erase ? QTextCursor::KeepAnchor
                                                       : QTextCursor::MoveAnchor);
    if (word->erase)
        cursor.removeSelectedText();
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    m_doubleClick.start();
    m_doubleClickAt = event->position().toPoint();
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const bool tripleClick =
        m_packed && event->button() == Qt::LeftButton && m_doubleClick.isValid() &&
        m_doubleClick.elapsed() < QApplication::doubleClickInterval() &&
        (at - m_doubleClickAt).manhattanLength() < QApplication::startDragDistance();
    // Taken before Qt selects the block, which may scroll the view.
    const qsizetype clicked = tripleClick ? cursorForPosition(at).position() : 0;
    QPlainTextEdit::mousePressEvent(event);
    if (!tripleClick)
        return;
    // The line with its line break, as a triple click selects a block's.
    m_doubleClick.invalidate();
    const QChar separator(ParagraphSeparator);
    const qsizetype start =
        clicked == 0 ? 0 : QStringView(m_shadow).first(clicked).lastIndexOf(separator) + 1;
    const qsizetype breakAt = m_shadow.indexOf(separator, clicked);
    const qsizetype end = breakAt < 0 ? m_shadow.size() : breakAt + 1;
    if (end > document()->characterCount() - 1)
        finishFill();
    QTextCursor line = textCursor();
    line.setPosition(int(start));
    line.setPosition(int(end), QTextCursor::KeepAnchor);
    setTextCursor(line);
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    unpackFor(event->commitString());
    QPlainTextEdit::inputMethodEvent(event);
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    if (source->hasText())
        unpackFor(source->text());
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace platform
