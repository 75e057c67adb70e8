// Times the editor as a user meets it: TextRTF get and set, the colouring pass from the call until
// the screen is painted in colour (with its split), and typing in a coloured document, on the 1 MB
// and 10 MB Japanese pages of the bench corpus; and typing in a minified page of one long line.
// Usage: bench_editor [repetitions]

#include "app/mainstatusbar.h"
#include "benchtiming.h"
#include "codec/cp932.h"
#include "corpus.h"
#include "platform/richtextbox.h"
#include "quietplatform.h"
#include "reference/colorize.h"
#include "reference/richtextrtf.h"
#include "shownwindow.h"
#include "testwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

double medianMs(int repetitions, const std::function<void()> &f)
{
    return benchcorpus::medianMs(f, repetitions);
}

QString corpusText(qsizetype bytes)
{
    return codec::decodeCp932(benchcorpus::makeCorpusCp932(bytes)).text;
}

void benchSize(testsupport::TestWindow &w, qsizetype bytes, int repetitions)
{
    const QString text = corpusText(bytes);
    platform::RichTextBox &box = *w.editor();
    box.setText(text);
    box.finishFill();
    w.DecorateText();
    std::printf("\n== %.1f MB page: %lld characters, %zu colour runs\n", double(bytes) / 1e6,
                static_cast<long long>(text.size()), box.colorRuns().size());

    QString rtf;
    const double get = medianMs(repetitions, [&] { rtf = reference::textRtf(box); });
    std::printf("TextRTF get:                          %8.1f ms (%lld RTF characters)\n", get,
                static_cast<long long>(rtf.size()));
    const double setSame = medianMs(repetitions, [&] { reference::setTextRtf(box, rtf); });
    std::printf("TextRTF set, same text (colours only): %7.1f ms\n", setSame);
    QString other = rtf;
    other.replace(other.lastIndexOf(QLatin1String("\\par")), 4, QLatin1String("x\\par"));
    bool flip = false;
    const double setNew = medianMs(repetitions, [&] {
        reference::setTextRtf(box, flip ? rtf : other);
        box.finishFill(); // the whole text, not only the lines shown at once
        flip = !flip;
    });
    std::printf("TextRTF set, new text:                %8.1f ms\n", setNew);
    box.setText(text);

    // The colouring pass, end to end and split into its steps.
    const double decorate = medianMs(repetitions, [&] {
        w.DecorateText();
        box.viewport()->repaint();
    });
    QString plainRtf;
    const double rtfOut = medianMs(repetitions, [&] {
        box.clearColors();
        plainRtf = reference::textRtf(box);
    });
    QString coloured;
    const double replace = medianMs(
        repetitions, [&] { coloured = reference::ColorizeRtf(plainRtf, 0, 0x800000, 0x8000); });
    const double rtfIn = medianMs(repetitions, [&] {
        box.clearColors();
        reference::setTextRtf(box, coloured);
    });
    const double paint = medianMs(repetitions,
                                  [&] {
                                      box.clearColors();
                                      box.viewport()->repaint();
                                      reference::setTextRtf(box, coloured);
                                      box.viewport()->repaint();
                                  }) -
                         medianMs(repetitions, [&] {
                             box.clearColors();
                             box.viewport()->repaint();
                             reference::setTextRtf(box, coloured);
                         });
    std::printf("DecorateText to coloured screen:      %8.1f ms\n", decorate);
    std::printf("  RTF out %.1f ms, three replacements %.1f ms, RTF in %.1f ms, painting %.1f ms\n",
                rtfOut, replace, rtfIn, paint);

    // Typing in the middle of the coloured page, status bar included.
    w.DecorateText();
    box.setSelStart(int(text.size() / 2));
    const double key = medianMs(std::max(repetitions, 21), [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &release);
        box.viewport()->repaint();
    });
    std::printf("Keystroke (edit, Size panel, repaint): %7.1f ms\n", key);
}

// Typing in the middle of a minified page: one line of 1,000,000 characters, left as it is.
void benchLongLine(testsupport::TestWindow &w, int repetitions)
{
    QString line = corpusText(2'000'000);
    line.remove(QLatin1Char('\r'));
    line.remove(QLatin1Char('\n'));
    line.truncate(1'000'000);
    platform::RichTextBox &box = *w.editor();
    box.setText(line);
    w.DecorateText();
    box.setSelStart(int(line.size() / 2));
    box.viewport()->repaint();
    const double key = medianMs(repetitions, [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &release);
        box.viewport()->repaint();
    });
    std::printf("\n== one line of 1,000,000 characters\nKeystroke (edit, Size panel, repaint): "
                "%7.1f ms\n",
                key);
}

} // namespace

int main(int argc, char **argv)
{
    benchsupport::IsolatedRun run;
    QApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    benchsupport::QuietPlatform quiet;
    testsupport::TestWindow w(quiet.platform);
    benchsupport::showEmptyWindow(w, 1000, 800);
    std::printf("median of %d runs\n", repetitions);
    benchSize(w, 1'000'000, repetitions);
    benchSize(w, 10'000'000, repetitions);
    benchLongLine(w, repetitions);
    w.sharedState().bolEditing = false;
    return 0;
}
