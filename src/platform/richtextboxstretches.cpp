#include "platform/bytecount.h"
#include "platform/rawform.h"
#include "platform/richtextbox.h"
#include "platform/textchange.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstring>
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

// The text with the changes made (in order, not overlapping; texts[i] is what changes[i] adds;
// delta is how much they grow the text together).
QString withChanges(QStringView text, const std::vector<TextChange> &changes,
                    const std::vector<QString> &texts, qsizetype delta)
{
    QString out;
    out.reserve(text.size() + delta);
    qsizetype copied = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        out.append(text.mid(copied, changes[i].position - copied));
        out.append(texts[i]);
        copied = changes[i].position + changes[i].removed;
    }
    out.append(text.mid(copied));
    return out;
}

// The same in the text itself, when no change grows it or none shrinks it: each piece is then
// moved only over characters already moved or removed, from the front when it shrinks, from the
// back when it grows.
void applyChanges(QString &text, const std::vector<TextChange> &changes,
                  const std::vector<QString> &texts, qsizetype delta)
{
    const qsizetype oldSize = text.size();
    if (delta > 0)
        text.resize(oldSize + delta);
    char16_t *d = reinterpret_cast<char16_t *>(text.data());
    const auto put = [d](qsizetype to, const char16_t *from, qsizetype count) {
        std::memmove(d + to, from, std::size_t(count) * sizeof(char16_t));
    };
    const auto nextStart = [&](std::size_t i) {
        return i + 1 < changes.size() ? changes[i + 1].position : oldSize;
    };
    if (delta <= 0) {
        qsizetype write = changes.front().position;
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const TextChange &c = changes[i];
            put(write, reinterpret_cast<const char16_t *>(texts[i].constData()), c.added);
            write += c.added;
            const qsizetype read = c.position + c.removed;
            put(write, d + read, nextStart(i) - read);
            write += nextStart(i) - read;
        }
        text.truncate(write);
        return;
    }
    qsizetype write = oldSize + delta;
    for (std::size_t i = changes.size(); i-- > 0;) {
        const TextChange &c = changes[i];
        const qsizetype read = c.position + c.removed;
        write -= nextStart(i) - read;
        put(write, d + read, nextStart(i) - read);
        write -= c.added;
        put(write, reinterpret_cast<const char16_t *>(texts[i].constData()), c.added);
    }
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
    for (const Stretch &s : stretches)
        unpackFor(s.text);
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
    qsizetype delta = 0;
    bool growing = false;
    bool shrinking = false;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const TextChange &c = changes[i];
        delta += c.added - c.removed;
        growing = growing || c.added > c.removed;
        shrinking = shrinking || c.added < c.removed;
        m_byteCount += cp932ByteCount(texts[i]) -
                       cp932ByteCount(QStringView(m_shadow).mid(c.position, c.removed));
    }
    if (growing && shrinking)
        m_shadow = withChanges(m_shadow, changes, texts, delta);
    else // in place: a second copy of a big page would be most of a replace-all's peak
        applyChanges(m_shadow, changes, texts, delta);
    if (m_shadow.size() != document()->characterCount() - 1) {
        // Never expected; the document is what counts.
        m_shadow = documentText();
        m_byteCount = cp932ByteCount(m_shadow);
    }
    forgetLineCount();
    platform::shiftRuns(m_runs, changes);
    const TextChange &last = changes.back();
    colourEditedBlocks(changes.front().position, last.position + last.removed + delta);
    Q_EMIT Change();
}

} // namespace platform
