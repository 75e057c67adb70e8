#include "search/findreplace.h"

#include "platform/richtextbox.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace search
{

QString cleanSearchWord(QString word)
{
    word.remove(QLatin1Char('\t'));
    word.remove(QLatin1Char('\r'));
    word.remove(QLatin1Char('\n'));
    return word;
}

namespace
{
markup::RegExp configured(const QString &pattern, RegExpOptions options)
{
    markup::RegExp regExp;
    regExp.Global = options.global;
    regExp.IgnoreCase = options.ignoreCase;
    regExp.Pattern = pattern;
    return regExp;
}
} // namespace

bool holdsLineBreak(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == u'\r' || c == u'\n' || c == QChar(0x2029) || c == QChar(0xFDD0) ||
               c == QChar(0xFDD1);
    });
}

std::vector<TextEdit> literalEdits(const QString &text, const QString &word,
                                   const QString &replacement)
{
    std::vector<TextEdit> edits;
    if (word.isEmpty())
        return edits;
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + word.size()))
        edits.push_back({at, word.size(), replacement});
    return edits;
}

std::variant<std::vector<TextEdit>, markup::RegExpError> regExpEdits(const QString &text,
                                                                     const QString &pattern,
                                                                     const QString &replacement,
                                                                     RegExpOptions options)
{
    auto each = configured(pattern, options).ReplaceEach(text, replacement);
    if (auto *error = std::get_if<markup::RegExpError>(&each))
        return *error;
    std::vector<TextEdit> edits;
    for (markup::RegExpReplaced &r : std::get<std::vector<markup::RegExpReplaced>>(each))
        edits.push_back({r.start, r.length, std::move(r.text)});
    return edits;
}

namespace
{

// Edits that really change something, each widened so that it never starts or ends between the
// CR and the LF of a line break (the editor holds a line break as one character), and joined
// with its neighbour when that leaves them less than three characters apart.
std::vector<TextEdit> wholeLineBreakEdits(const QString &text, const std::vector<TextEdit> &edits)
{
    const auto splitsBreak = [&text](qsizetype at) {
        return at > 0 && at < text.size() && text[at - 1] == u'\r' && text[at] == u'\n';
    };
    std::vector<TextEdit> out;
    qsizetype lastEnd = -1;
    for (const TextEdit &e : edits) {
        if (QStringView(text).mid(e.start, e.length) == e.text)
            continue;
        if (!out.empty() && e.start - lastEnd < 3) {
            TextEdit &prev = out.back();
            prev.text += QStringView(text).mid(lastEnd, e.start - lastEnd);
            prev.text += e.text;
            prev.length = e.start + e.length - prev.start;
        } else {
            out.push_back(e);
        }
        lastEnd = e.start + e.length;
    }
    for (TextEdit &e : out) {
        if (splitsBreak(e.start)) {
            --e.start;
            ++e.length;
            e.text.prepend(u'\r');
        }
        if (splitsBreak(e.start + e.length)) {
            ++e.length;
            e.text.append(u'\n');
        }
    }
    return out;
}

} // namespace

void putEditsBack(platform::RichTextBox &editor, const QString &oldText,
                  const std::vector<TextEdit> &edits)
{
    const std::vector<TextEdit> changes = wholeLineBreakEdits(oldText, edits);
    if (changes.empty())
        return;
    // Positions in the editor count a CR LF as one character.
    std::vector<platform::RichTextBox::Stretch> stretches;
    stretches.reserve(changes.size());
    qsizetype breaks = 0;
    qsizetype scanned = 0;
    // at grows from call to call; the scan never passes it, so a text with few line breaks is
    // not read to its end for every edit.
    const auto breaksBefore = [&](qsizetype at) {
        const QStringView upTo = QStringView(oldText).first(at);
        for (qsizetype cr = upTo.indexOf(u'\r', scanned); cr >= 0; cr = upTo.indexOf(u'\r', cr + 1))
            breaks += cr + 1 < oldText.size() && oldText[cr + 1] == u'\n' ? 1 : 0;
        scanned = at;
        return breaks;
    };
    for (const TextEdit &e : changes) {
        const int from = int(e.start - breaksBefore(e.start));
        const int to = int(e.start + e.length - breaksBefore(e.start + e.length));
        stretches.push_back({from, to, e.text});
    }
    const int caret = editor.SelStart();
    editor.replaceStretches(stretches);
    editor.setSelStart(caret); // as far as the new text reaches
}

void FindNext(platform::RichTextBox &editor, const QString &word)
{
    if (word.isEmpty())
        return;
    editor.Find(word, editor.SelStart() + editor.SelLength());
}

} // namespace search
