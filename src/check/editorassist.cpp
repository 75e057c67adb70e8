#include "check/editorassist.h"

#include "check/endtagcompletion.h"
#include "check/frmcheck.h"
#include "platform/richtextbox.h"

#include <QColor>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>

namespace check
{

namespace
{

QTextCharFormat slipFormat()
{
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(QColor(0xE0, 0x20, 0x20));
    return format;
}

} // namespace

EditorAssist::EditorAssist(platform::RichTextBox &editor,
                           std::function<void(const QString &)> showMessage)
    : m_editor(editor), m_showMessage(std::move(showMessage))
{
    m_editor.installEventFilter(this);
    m_editor.setLineMarks([this](const QTextBlock &block, QList<QTextLayout::FormatRange> &f) {
        addMarks(block, f);
    });
    connect(&m_editor, &platform::RichTextBox::SelChange, this, &EditorAssist::showHint);
    connect(&m_editor, &platform::RichTextBox::Change, this, &EditorAssist::showHint);
    connect(&m_editor, &platform::RichTextBox::Edited, this, [this](int position, int, int) {
        if (position < m_stateAt)
            m_stateValid = false;
    });
}

EditorAssist::~EditorAssist()
{
    m_editor.removeEventFilter(this);
    m_editor.setLineMarks({});
    delete m_window;
}

void EditorAssist::setShowFullWidthSpace(bool on)
{
    m_showFullWidthSpace = on;
    m_editor.viewport()->update();
}

void EditorAssist::setCompleteEndTags(bool on)
{
    m_completeEndTags = on;
}

const std::vector<Slip> &EditorAssist::visibleSlips(qsizetype lineStart)
{
    const int revision = m_editor.revision();
    if (revision == m_slipRevision && lineStart >= m_slipFrom && lineStart < m_slipTo)
        return m_slips;
    // Always walked from the first line on screen: an edited line is coloured before the screen
    // is painted, and a line off the screen gets its marks when it comes on.
    const qsizetype from = m_editor.cursorForPosition(QPoint(0, 0)).block().position();
    if (revision == m_slipRevision && from == m_slipFrom)
        return m_slips;
    const QStringView text = m_editor.rawText();
    m_slipRevision = revision;
    m_slipFrom = from;
    const QTextBlock last =
        m_editor.cursorForPosition(QPoint(0, m_editor.viewport()->height())).block();
    m_slipTo = std::clamp<qsizetype>(last.position() + last.length(), from + 1, text.size());
    m_slips.clear();
    const QStringView shown = text.sliced(std::min(from, text.size()), m_slipTo - from);
    if (std::none_of(shown.begin(), shown.end(), [](QChar c) { return asciiTwin(c.unicode()); }))
        return m_slips; // typing in a page without them costs no walk
    // The walk up to the first line on screen is kept while the edits come after it.
    if (!m_stateValid || m_stateAt != from) {
        m_state = {};
        findSlips(text, walkStart(text, from), from, from, m_state);
        m_stateAt = from;
        m_stateValid = true;
    }
    WalkState state = m_state;
    m_slips = findSlips(text, from, m_slipTo, from, state);
    return m_slips;
}

void EditorAssist::addMarks(const QTextBlock &block, QList<QTextLayout::FormatRange> &formats)
{
    const qsizetype start = block.position();
    const qsizetype length = block.length() - 1;
    const QStringView text = m_editor.rawText();
    if (start + length > text.size())
        return;
    const QStringView line = text.sliced(start, length);
    if (m_showFullWidthSpace) {
        QTextLayout::FormatRange box;
        box.length = 1;
        QColor faint(m_editor.defaultTextColor());
        faint.setAlpha(56);
        box.format.setBackground(faint);
        for (qsizetype at = line.indexOf(QChar(0x3000)); at >= 0;
             at = line.indexOf(QChar(0x3000), at + 1)) {
            box.start = int(at);
            formats.append(box);
        }
    }
    if (length == 0)
        return;
    const std::vector<Slip> &slips = visibleSlips(start);
    auto it = std::lower_bound(slips.begin(), slips.end(), start,
                               [](const Slip &s, qsizetype p) { return s.index < p; });
    for (; it != slips.end() && it->index < start + length; ++it) {
        QTextLayout::FormatRange wave;
        wave.start = int(it->index - start);
        wave.length = 1;
        wave.format = slipFormat();
        formats.append(wave);
    }
}

bool EditorAssist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_editor || event->type() != QEvent::KeyPress || m_forwarding ||
        !m_completeEndTags)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->text() != u"/" || m_editor.textCursor().hasSelection() || m_editor.isReadOnly())
        return QObject::eventFilter(watched, event);
    // The editor types the "/" first, as one step of its own; the completion follows.
    m_forwarding = true;
    static_cast<QObject &>(m_editor).event(event);
    m_forwarding = false;
    completeEndTag();
    return true;
}

void EditorAssist::completeEndTag()
{
    QTextCursor cursor = m_editor.textCursor();
    if (cursor.hasSelection())
        return;
    const std::optional<QString> rest = endTagCompletion(m_editor.rawText(), cursor.position());
    if (!rest)
        return;
    const int at = cursor.position();
    cursor.beginEditBlock();
    cursor.insertText(*rest);
    // A step that is not an insertion closes the completion's undo step, so the text typed next
    // becomes a step of its own instead of joining it. The format stays as it was.
    cursor.setPosition(at, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(QTextCharFormat());
    cursor.clearSelection();
    cursor.endEditBlock();
    cursor.setPosition(at + int(rest->size()));
    m_editor.setTextCursor(cursor);
}

void EditorAssist::showHint()
{
    const QTextCursor cursor = m_editor.textCursor();
    const std::optional<Slip> slip =
        cursor.hasSelection() ? std::nullopt : slipAt(m_editor.rawText(), cursor.position());
    if (slip) {
        m_showMessage(slipHint(*slip));
        m_hintShown = true;
    } else if (m_hintShown) {
        m_showMessage(QString());
        m_hintShown = false;
    }
}

bool EditorAssist::fixSlipAtCaret()
{
    const QTextCursor cursor = m_editor.textCursor();
    const std::optional<Slip> slip = slipAt(m_editor.rawText(), cursor.position());
    if (!slip)
        return false;
    m_editor.finishFill();
    const int caret = cursor.position();
    m_editor.replaceStretches(
        {{int(slip->index), int(slip->index) + 1, QString(QChar(slip->meant))}});
    QTextCursor back = m_editor.textCursor();
    back.setPosition(caret);
    m_editor.setTextCursor(back);
    return true;
}

int EditorAssist::fixAllSlips()
{
    m_editor.finishFill();
    const QStringView text = m_editor.rawText();
    const std::vector<Slip> slips = findSlips(text, 0, text.size(), 0);
    if (slips.empty())
        return 0;
    const int caret = m_editor.textCursor().position();
    std::vector<platform::RichTextBox::Stretch> stretches;
    stretches.reserve(slips.size());
    for (const Slip &s : slips)
        stretches.push_back({int(s.index), int(s.index) + 1, QString(QChar(s.meant))});
    m_editor.replaceStretches(stretches);
    QTextCursor back = m_editor.textCursor();
    back.setPosition(caret);
    m_editor.setTextCursor(back);
    return int(slips.size());
}

void EditorAssist::checkPage()
{
    if (!m_window) {
        m_window = new frmCheck(m_editor.window());
        connect(m_window, &frmCheck::findingChosen, this, [this](qsizetype index) {
            m_editor.setSelStart(int(std::min<qsizetype>(index, INT_MAX)));
            m_editor.centerCursor();
            m_editor.window()->activateWindow();
            m_editor.setFocus();
        });
    }
    m_window->check(m_editor.rawText());
}

} // namespace check
