#include "platform/bytecount.h"
#include "platform/rawform.h"
#include "platform/richtextbox.h"
#include "platform/textchange.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <optional>

namespace platform
{

namespace
{

// The document's character format when it has only one, as a plain text does: inserting with it
// is what inserting at the cursor does, without finding the format again for every stretch.
std::optional<QTextCharFormat> onlyCharFormat(const QTextDocument &document)
{
    std::optional<QTextCharFormat> only;
    for (const QTextFormat &format : document.allFormats()) {
        if (!format.isCharFormat())
            continue;
        if (only)
            return std::nullopt;
        only = format.toCharFormat();
        only->clearProperty(QTextFormat::ObjectType);
    }
    return only;
}

} // namespace

void RichTextBox::replaceStretches(const std::vector<Stretch> &stretches)
{
    finishFill(); // the stretches may lie anywhere in the text
    // Only the characters that differ are handed to the document: fewer and smaller edits.
    std::vector<TextChange> changes;
    std::vector<QString> texts;
    const qsizetype length = m_shadow.size();
    // The first stretch that is an edit at all, even one that changes no character.
    std::optional<std::pair<TextChange, QString>> firstEdit;
    for (const Stretch &s : stretches) {
        const QString raw = rawForm(s.text);
        const qsizetype from = std::clamp<qsizetype>(s.from, 0, length);
        const qsizetype to = std::clamp<qsizetype>(s.to, from, length);
        if (!firstEdit && (from != to || !raw.isEmpty()))
            firstEdit.emplace(TextChange{from, to - from, raw.size()}, raw);
        const QStringView old = QStringView(m_shadow).mid(from, to - from);
        const auto [prefix, suffix] = commonEnds(old, raw);
        const TextChange change{from + prefix, old.size() - prefix - suffix,
                                raw.size() - prefix - suffix};
        if (change.removed == 0 && change.added == 0)
            continue;
        changes.push_back(change);
        texts.push_back(raw.mid(prefix, change.added));
    }
    QTextCursor cursor(document());
    m_replacingStretches = true;
    cursor.beginEditBlock();
    if (changes.empty() && firstEdit) {
        // No character changes (a CR LF given back as an LF, say); the document still records
        // the edit as one undo step, as it would with the whole text put back.
        cursor.setPosition(int(firstEdit->first.position));
        cursor.setPosition(int(firstEdit->first.position + firstEdit->first.removed),
                           QTextCursor::KeepAnchor);
        cursor.insertText(firstEdit->second);
    }
    const std::optional<QTextCharFormat> format = onlyCharFormat(*document());
    for (std::size_t i = changes.size(); i-- > 0;) {
        cursor.setPosition(int(changes[i].position));
        cursor.setPosition(int(changes[i].position + changes[i].removed), QTextCursor::KeepAnchor);
        if (format)
            cursor.insertText(texts[i], *format);
        else
            cursor.insertText(texts[i]);
    }
    cursor.endEditBlock();
    m_replacingStretches = false;
    if (changes.empty())
        return;

    // The raw text, its byte count and the colours follow all the changes in one pass each.
    QString shadow;
    qsizetype delta = 0;
    for (const TextChange &c : changes)
        delta += c.added - c.removed;
    shadow.reserve(m_shadow.size() + delta);
    qsizetype copied = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const TextChange &c = changes[i];
        shadow.append(QStringView(m_shadow).mid(copied, c.position - copied));
        shadow.append(texts[i]);
        m_byteCount += cp932ByteCount(texts[i]) -
                       cp932ByteCount(QStringView(m_shadow).mid(c.position, c.removed));
        copied = c.position + c.removed;
    }
    shadow.append(QStringView(m_shadow).mid(copied));
    m_shadow = std::move(shadow);
    if (m_shadow.size() != document()->characterCount() - 1) {
        // Never expected; the document is what counts.
        m_shadow = document()->toRawText();
        m_byteCount = cp932ByteCount(m_shadow);
    }
    platform::shiftRuns(m_runs, changes);
    const TextChange &last = changes.back();
    colourEditedBlocks(changes.front().position, last.position + last.removed + delta);
    Q_EMIT Change();
}

} // namespace platform
