// Speed of replace-all on a large Japanese page: the literal and the regular-expression
// replacement themselves, then the whole command as the user meets it (taking the editor's text,
// finding the replaced stretches, putting them back as one undo step, colouring the markup).
// Usage: bench_replace [megabytes]     (default 10)

#include "benchtiming.h"
#include "codec/cp932.h"
#include "corpus.h"
#include "markup/decoratetext.h"
#include "platform/richtextbox.h"
#include "reference/wholetextreplace.h"
#include "search/findreplace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

using benchcorpus::bestMs;

double onceMs(const std::function<void()> &work)
{
    return bestMs(work, 1);
}

struct Case {
    const char *name;
    bool regExp;
    QString word;
    QString replacement;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10;
    const QString text =
        codec::decodeCp932(benchcorpus::makeCorpusCp932(megabytes * 1024 * 1024)).text;
    std::printf("page: %lld MB of CP932, %lld UTF-16 units\n", static_cast<long long>(megabytes),
                static_cast<long long>(text.size()));

    const Case cases[] = {
        {"literal  \"<td>\" -> \"<td class=x>\"", false, QStringLiteral("<td>"),
         QStringLiteral("<td class=x>")},
        {"literal  \"日本\" -> \"にほん\"", false, QStringLiteral("日本"),
         QStringLiteral("にほん")},
        {"regexp   href=\"([^\"]*)\\.html -> href=\"$1.htm", true,
         QStringLiteral("href=\"([^\"]*)\\.html"), QStringLiteral("href=\"$1.htm")},
    };

    std::printf("\nreplacement itself (best of 5):\n");
    std::vector<double> itself;
    for (const Case &c : cases) {
        QString result;
        const double ms = bestMs([&] {
            if (c.regExp)
                result = std::get<QString>(
                    reference::replaceRegExp(text, c.word, c.replacement, {.global = true}));
            else
                result = reference::replaceLiteral(text, c.word, c.replacement);
        });
        std::printf("  %-48s %8.1f ms  (%lld -> %lld units)\n", c.name, ms,
                    static_cast<long long>(text.size()), static_cast<long long>(result.size()));
        itself.push_back(ms);
    }

    std::printf("\nwhole command in the editor (best of 3; \"over\" is the put-back less the "
                "replacement itself):\n");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        platform::RichTextBox editor;
        editor.resize(800, 600);
        const markup::MarkupColours colours{0x000000, 0x800000, 0x008000};
        double get = 1e300, replace = 1e300, put = 1e300, colour = 1e300, undo = 1e300;
        for (int run = 0; run < 3; ++run) {
            editor.setText(text);
            editor.finishFill(); // as a moment after opening: the whole page is in the editor
            markup::colourEditor(editor, colours);
            QString current;
            std::vector<search::TextEdit> edits;
            get = std::min(get, onceMs([&] { current = editor.Text(); }));
            replace = std::min(
                replace, onceMs([&] {
                    edits = c.regExp ? std::get<std::vector<search::TextEdit>>(search::regExpEdits(
                                           current, c.word, c.replacement, {.global = true}))
                                     : search::literalEdits(current, c.word, c.replacement);
                }));
            put = std::min(put, onceMs([&] { search::putEditsBack(editor, current, edits); }));
            colour = std::min(colour, onceMs([&] { markup::colourEditor(editor, colours); }));
            undo = std::min(undo, onceMs([&] { editor.undo(); }));
        }
        std::printf("  %-48s text %6.1f  replace %6.1f  put back %7.1f (over %+7.1f)  "
                    "colour %7.1f  (undo %7.1f) ms\n",
                    c.name, get, replace, put, put - itself[i], colour, undo);
    }
    return 0;
}
