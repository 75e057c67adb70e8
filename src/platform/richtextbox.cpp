#include "platform/richtextbox.h"

#include "platform/bgrcolor.h"
#include "platform/bigbuffers.h"
#include "platform/bytecount.h"
#include "platform/fontfallback.h"
#include "platform/linebreaks.h"
#include "platform/textchange.h"

#include <QAbstractTextDocumentLayout>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <utility>

namespace platform
{

namespace
{

constexpr char16_t ParagraphSeparator = 0x2029;

// Lines longer than this many characters are shown without colours.
constexpr int MaxColouredLine = 20000;

// From this many characters on, a line's layout is big enough to be worth keeping its memory
// for the next keystroke's (see keepBigBuffers).
constexpr qsizetype HugeLine = 1024 * 1024;

// How many edited lines are coloured at once when the text changes; the rest wait for painting.
constexpr int EagerColourBlocks = 64;

// Larger insertions are taken from the document in one piece instead of character by character.
constexpr int IncrementalLimit = 4096;

// Texts longer than this are filled into the document in the background.
constexpr qsizetype BackgroundFillChars = 256 * 1024;

// The raw text with each paragraph separator written as CR LF, built in one pass.
QString toCrLf(QStringView raw)
{
    const qsizetype breaks = raw.count(QChar(ParagraphSeparator));
    if (breaks == 0)
        return raw.toString();
    QString out(raw.size() + breaks, Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    for (const QChar c : raw) {
        if (c.unicode() == ParagraphSeparator) {
            *o++ = u'\r';
            *o++ = u'\n';
        } else {
            *o++ = c.unicode();
        }
    }
    return out;
}

// Whether a line of the text (CR, LF, CR LF or a paragraph separator end one) is longer than limit.
bool hasLineOver(QStringView text, qsizetype limit)
{
    qsizetype length = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || u == ParagraphSeparator) {
            length = 0;
        } else if (++length > limit) {
            return true;
        }
    }
    return false;
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("rtbMain"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setTabChangesFocus(false);
    PlainLineBreaks::install(*this);
    m_font = font();
    m_font.setStyleHint(QFont::TypeWriter);
    connect(document(), &QTextDocument::contentsChange, this, &RichTextBox::onContentsChange);
    connect(document(), &QTextDocument::undoCommandAdded, this, [this] { m_stepRecorded = true; });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &RichTextBox::onSelectionMoved);
    connect(this, &QPlainTextEdit::selectionChanged, this, &RichTextBox::onSelectionMoved);
    m_fillTimer.setSingleShot(true);
    m_fillTimer.setInterval(0);
    connect(&m_fillTimer, &QTimer::timeout, this, &RichTextBox::fillSlice);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &RichTextBox::finishFill);
}

QString RichTextBox::Text() const
{
    return toCrLf(m_shadow);
}

void RichTextBox::setText(const QString &text)
{
    m_runs.clear();
    replaceAll(text); // counts as a change even when the text stays the same
}

void RichTextBox::replaceAll(const QString &text)
{
    // The whole text is new: take it from the document in one piece instead of comparing it
    // with what was there, which costs a second copy of a big text.
    m_fillTimer.stop();
    m_unfilled = 0;
    m_fillEdits.clear();
    forgetLineCount();
    m_replacingAll = true;
    m_packed = false;
    const bool longLines = hasLineOver(text, MaxColouredLine);
    wrapLongLines(longLines);
    if (text.size() > BackgroundFillChars) {
        startFill(text);
    } else {
        // The document is filled directly: the editor's own setPlainText also gives every
        // character the caret's format afterwards, a pass over the whole document that changes
        // nothing here.
        document()->setPlainText(text);
        document()->setUndoRedoEnabled(true);
        m_shadow = document()->toRawText();
    }
    formatLongLines(0, document()->characterCount());
    // Set after the text is in: the buffers of the open itself go back to the system.
    keepBigBuffers(longLines && hasLineOver(m_shadow, HugeLine));
    setTextCursor(QTextCursor(document()));
    m_replacingAll = false;
    m_byteCount = cp932ByteCount(m_shadow);
    Q_EMIT Change();
}

void RichTextBox::wrapLongLines(bool on)
{
    // A line is one layout: Qt places all of its glyphs on one row, whose coordinates overflow
    // past a few million characters (the text is drawn garbled), and draws the whole row on every
    // paint, the caret's blinking included. Wrapped, each paint draws only the rows on screen.
    // The view wraps as a whole (Qt has one wrap mode for all lines), only while such a line is
    // in the text; the text itself never changes.
    if (on == (lineWrapMode() == WidgetWidth))
        return;
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setLineWrapMode(on ? WidgetWidth : NoWrap);
    applyFont();
}

int RichTextBox::revision() const
{
    return document()->revision();
}

QRgb RichTextBox::defaultTextColor() const
{
    return palette().color(QPalette::Text).rgb();
}

void RichTextBox::clearColors()
{
    m_runs = {}; // gives the memory back before the next colouring fills a new list
    viewport()->update();
}

void RichTextBox::setColorRuns(std::vector<ColorRun> runs)
{
    m_runs = std::move(runs);
    viewport()->update();
}

int RichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int start)
{
    if (start >= document()->characterCount() - 1)
        finishFill();
    QTextCursor c = textCursor();
    const int end = int(m_shadow.size());
    c.setPosition(std::clamp(start, 0, end));
    setTextCursor(c);
}

int RichTextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    if (qsizetype(start) + std::max(length, 0) >= document()->characterCount() - 1)
        finishFill();
    const int end = int(m_shadow.size());
    c.setPosition(start);
    c.setPosition(std::clamp(start + std::max(length, 0), 0, end), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::SelText() const
{
    return toCrLf(selectedRawText());
}

QString RichTextBox::clipboardText() const
{
    QString text = selectedRawText();
    text.replace(QChar(ParagraphSeparator), QLatin1Char('\n'));
    return text;
}

// Ctrl+C, Ctrl+X and dragging the selection out give the same text as the menu's Copy, not
// Qt's plain-text form (which turns a no-break space into a space).
QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(clipboardText());
    return data;
}

QString RichTextBox::selectedRawText() const
{
    const QTextCursor c = textCursor();
    return QStringView(m_shadow)
        .mid(c.selectionStart(), c.selectionEnd() - c.selectionStart())
        .toString();
}

void RichTextBox::setSelText(const QString &text)
{
    unpackFor(text);
    QTextCursor c = textCursor();
    c.insertText(text);
    setTextCursor(c);
}

void RichTextBox::setSelTextAsOwnStep(const QString &text)
{
    unpackFor(text);
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.insertText(text);
    c.endEditBlock();
    setTextCursor(c);
}

void RichTextBox::setSelFontName(const QString &name)
{
    // The name stays first (it is the font's name); a stand-in follows when it is not installed.
    m_font.setFamilies(platform::displayFamilies(name));
    applyFont();
}

void RichTextBox::setSelFontSize(double points)
{
    if (points > 0)
        m_font.setPointSizeF(points);
    applyFont();
}

void RichTextBox::setSelBold(bool on)
{
    m_font.setBold(on);
    applyFont();
}

void RichTextBox::setSelItalic(bool on)
{
    m_font.setItalic(on);
    applyFont();
}

void RichTextBox::setSelUnderline(bool on)
{
    m_font.setUnderline(on);
    applyFont();
}

void RichTextBox::setSelStrikeThru(bool on)
{
    m_font.setStrikeOut(on);
    applyFont();
}

void RichTextBox::applyFont()
{
    QFont shown = m_font;
    shown.setStyleHint(QFont::TypeWriter);
    if (lineWrapMode() == WidgetWidth) // a very long line is there: see applyBlockColors
        shown.setStyleStrategy(QFont::PreferNoShaping);
    setFont(shown);
}

void RichTextBox::setBackColor(quint32 bgr)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, colorFromBgr(bgr));
    setPalette(p);
}

void RichTextBox::setForeColor(quint32 bgr)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, colorFromBgr(bgr));
    setPalette(p);
}

void RichTextBox::Find(const QString &text, int start)
{
    if (text.isEmpty())
        return;
    finishFill();
    const QTextCursor found = document()->find(text, std::max(start, 0));
    if (!found.isNull())
        setTextCursor(found);
}

void RichTextBox::onContentsChange(int position, int removed, int added)
{
    Q_EMIT Edited(position, removed, added);
    const int undoSteps = document()->availableUndoSteps();
    const bool undoOrRedo = !m_stepRecorded && undoSteps != m_undoSteps;
    m_undoSteps = undoSteps;
    m_stepRecorded = false;
    if (m_replacingAll || m_replacingStretches)
        return;
    // The document may report a wider range than what really changed (an input method commit
    // reports its whole block): narrow it to the characters that differ.
    qsizetype pos = position;
    QString oldPart;
    QString newPart;
    QString full;
    // While a big text is being filled in, the document holds its start and the edit lies there.
    const qsizetype docLength = document()->characterCount() - 1 + m_unfilled;
    if (pos + removed > m_shadow.size() || added > IncrementalLimit ||
        docLength != m_shadow.size() - removed + added) {
        full = documentText();
        full.append(QStringView(m_shadow).last(std::min(m_unfilled, m_shadow.size())));
        pos = 0;
        oldPart = m_shadow;
        newPart = full;
    } else {
        oldPart = m_shadow.mid(pos, removed);
        newPart.reserve(added);
        for (int i = 0; i < added; ++i)
            newPart.append(documentCharacter(position + i));
    }
    const auto [prefix, suffix] = commonEnds(oldPart, newPart);
    const qsizetype removedChars = oldPart.size() - prefix - suffix;
    const qsizetype addedChars = newPart.size() - prefix - suffix;
    if (removedChars == 0 && addedChars == 0)
        return; // only formatting changed
    const QStringView gone = QStringView(oldPart).mid(prefix, removedChars);
    const QStringView come = QStringView(newPart).mid(prefix, addedChars);
    if (m_unfilled > 0)
        m_fillEdits.push_back({pos + prefix, gone.toString(), come.toString()});
    m_byteCount += cp932ByteCount(come) - cp932ByteCount(gone);
    if (full.isNull())
        m_shadow.replace(pos + prefix, removedChars, come.data(), addedChars);
    else
        m_shadow = full; // the whole text was taken anyway; no second copy
    const TextChange change{pos + prefix, removedChars, addedChars};
    if (change.position + removedChars <= m_countedTo) {
        const QChar separator(ParagraphSeparator);
        m_countedTo += addedChars - removedChars;
        m_countedLines += int(come.count(separator) - gone.count(separator));
    } else if (change.position < m_countedTo) {
        forgetLineCount();
    }
    if (undoOrRedo) // the text put back had colours of its own, not its neighbours'
        shiftRunsLeavingAddedUncoloured(m_runs, change);
    else
        platform::shiftRuns(m_runs, std::span(&change, 1));
    // Colour the edited lines now, while the document reports the change, so that each is laid
    // out once with its colours instead of again at the next paint.
    colourEditedBlocks(pos + prefix, pos + prefix + addedChars);
    const int editedLine = document()->findBlock(int(pos + prefix + addedChars)).length();
    if (lineWrapMode() == NoWrap && editedLine > MaxColouredLine)
        QMetaObject::invokeMethod(
            this, [this] { wrapLongLines(true); }, Qt::QueuedConnection);
    if (editedLine > HugeLine)
        keepBigBuffers(true);
    Q_EMIT Change();
    if (undoOrRedo)
        Q_EMIT UndoRedo();
}

void RichTextBox::colourEditedBlocks(qsizetype from, qsizetype to)
{
    QTextBlock block = document()->findBlock(int(from));
    for (int n = 0; block.isValid() && n < EagerColourBlocks && block.position() <= to;
         ++n, block = block.next())
        applyBlockColors(block);
}

void RichTextBox::onSelectionMoved()
{
    const QTextCursor c = textCursor();
    if (c.anchor() == m_lastAnchor && c.position() == m_lastPosition)
        return;
    m_lastAnchor = c.anchor();
    m_lastPosition = c.position();
    Q_EMIT SelChange();
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    applyVisibleColors();
    QPlainTextEdit::paintEvent(event);
}

void RichTextBox::resizeEvent(QResizeEvent *event)
{
    // When the width changes, Qt lays out the whole document again and makes a layout object
    // for every line on the way (80 MB and 100 ms for a 10 MB page). Lines never wrap here, so
    // the width changes no line: pass the resize on as one of the height only.
    if (lineWrapMode() == NoWrap && event->oldSize().width() != event->size().width()) {
        QResizeEvent heightOnly(event->size(),
                                QSize(event->size().width(), event->oldSize().height()));
        QPlainTextEdit::resizeEvent(&heightOnly);
        return;
    }
    QPlainTextEdit::resizeEvent(event);
}

void RichTextBox::setLineMarks(LineMarks marks)
{
    m_lineMarks = std::move(marks);
    viewport()->update();
}

void RichTextBox::applyVisibleColors()
{
    QTextBlock block = firstVisibleBlock();
    applyBlockColors(block); // before its geometry lays it out
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    const qreal bottom = viewport()->height();
    while (block.isValid() && top <= bottom) {
        applyBlockColors(block);
        top += blockBoundingRect(block).height();
        block = block.next();
    }
}

void RichTextBox::formatLongLines(qsizetype from, qsizetype to)
{
    if (lineWrapMode() == NoWrap)
        return; // no such line was there
    // Made ready before Qt first lays them out, so that it shapes them once and keeps the glyphs.
    for (QTextBlock block = document()->findBlock(int(from));
         block.isValid() && block.position() < to; block = block.next()) {
        if (block.length() > MaxColouredLine)
            applyBlockColors(block);
    }
}

void RichTextBox::applyBlockColors(const QTextBlock &block)
{
    QTextLayout *layout = block.layout();
    if (!layout)
        return;
    const qsizetype start = block.position();
    const qsizetype end = start + block.length() - 1;
    QList<QTextLayout::FormatRange> wanted;
    if (block.length() > MaxColouredLine) {
        // A very long line (a minified page) is laid out again as a whole on every keystroke, so
        // it is made as cheap as it can be: no colours (thousands of colour changes would make
        // typing in it crawl), no OpenType shaping where the script does not need it (the font
        // of a view with such lines), and the shaped glyphs kept, which Qt otherwise shapes
        // again each time it places or draws the caret. No format either: one that covers the
        // line would change with each keystroke, and Qt would lay the line out once more for it.
        layout->setCacheEnabled(true);
    } else {
        const QRgb fallback = defaultTextColor();
        auto it = std::lower_bound(
            m_runs.begin(), m_runs.end(), start,
            [](const ColorRun &r, qsizetype p) { return r.start + r.length <= p; });
        for (; it != m_runs.end() && it->start < end; ++it) {
            if (it->color == fallback)
                continue;
            const qsizetype from = std::max<qsizetype>(it->start, start);
            const qsizetype to = std::min<qsizetype>(it->start + it->length, end);
            if (to <= from)
                continue;
            QTextLayout::FormatRange range;
            range.start = int(from - start);
            range.length = int(to - from);
            range.format.setForeground(QColor::fromRgb(it->color));
            wanted.append(range);
        }
        if (m_lineMarks)
            m_lineMarks(block, wanted);
    }
    if (layout->formats() != wanted) {
        layout->setFormats(wanted);
        // A line not laid out yet is laid out with them when it is first needed: marking it
        // would lay it out now and again then (seconds for a line of millions of characters).
        if (layout->lineCount() > 0)
            document()->markContentsDirty(block.position(), block.length());
    }
}

void RichTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    Q_EMIT OLEDragDrop(event->mimeData());
}

} // namespace platform
