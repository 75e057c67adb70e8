#pragma once

#include "check/frmcheck.h"
#include "check/markupwalk.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTextLayout>

#include <functional>

class QTextBlock;

namespace platform
{
class RichTextBox;
}

namespace check
{

// Help while writing in the editor: full-width spaces shown as faint boxes, full-width slips
// inside markup underlined with a hint in the Message panel and fixed on command, "</" completed
// to the end tag of the innermost open element, and the page check with its list of findings.
class EditorAssist : public QObject
{
    Q_OBJECT
public:
    // editor: the window's editor, which outlives this. showMessage writes the Message panel.
    EditorAssist(platform::RichTextBox &editor, std::function<void(const QString &)> showMessage);
    ~EditorAssist() override;

    void setShowFullWidthSpace(bool on);
    void setCompleteEndTags(bool on);

    // Replaces the slip at the caret by its ASCII twin, as one undo step. False when none is there.
    bool fixSlipAtCaret();
    // Replaces every slip of the page, as one undo step. Returns how many it replaced.
    int fixAllSlips();

    // Checks the page off the user-interface thread and lists the findings in a window of their
    // own; Enter on one moves the caret there.
    void checkPage();
    frmCheck *checkWindow() const { return m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addMarks(const QTextBlock &block, QList<QTextLayout::FormatRange> &formats);
    const std::vector<Slip> &visibleSlips(qsizetype lineStart);
    void completeEndTag();
    void showHint();

    platform::RichTextBox &m_editor;
    std::function<void(const QString &)> m_showMessage;
    bool m_showFullWidthSpace = true;
    bool m_completeEndTags = true;
    bool m_forwarding = false;
    bool m_hintShown = false;
    // The slips found for the lines on screen: for the document at this revision, in [from, to).
    int m_slipRevision = -1;
    qsizetype m_slipFrom = 0;
    qsizetype m_slipTo = 0;
    std::vector<Slip> m_slips;
    // Where the walk stands at the start of the first line on screen, while it holds.
    bool m_stateValid = false;
    qsizetype m_stateAt = 0;
    WalkState m_state;
    QPointer<frmCheck> m_window;
};

} // namespace check
