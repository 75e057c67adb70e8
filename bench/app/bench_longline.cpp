// Typing in one very long line (a minified page): the keystroke time, with repaint, for lines of
// several lengths, coloured as after opening; and in the same 1,000,000 characters after the
// line breaks offered at open were put in.
// Usage: bench_longline [keystrokes]

#include "benchtiming.h"
#include "corpus.h"
#include "document/cp932.h"
#include "markup/decoratetext.h"
#include "markup/longlines.h"
#include "platform/richtextbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int keys = argc > 1 ? std::max(3, std::atoi(argv[1])) : 5;
    QString page = document::decodeCp932(benchcorpus::makeCorpusCp932(2'000'000)).text;
    page.remove(QLatin1Char('\r'));
    page.remove(QLatin1Char('\n'));

    app::RichTextBox box;
    box.resize(1000, 700);
    box.show();
    if (!QTest::qWaitForWindowExposed(&box))
        std::fputs("the window was not exposed\n", stderr);
    const auto keystrokeMs = [&](const QString &text) {
        box.setText(text);
        markup::colourEditor(box, {0, 0x800000, 0x8000});
        box.setSelStart(int(text.size() / 2));
        box.viewport()->repaint();
        return benchcorpus::medianMs(
            [&] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
                QCoreApplication::sendEvent(&box, &press);
                box.viewport()->repaint();
            },
            keys);
    };
    for (const qsizetype length :
         {qsizetype(10'000), qsizetype(100'000), qsizetype(300'000), qsizetype(1'000'000)}) {
        const double ms = keystrokeMs(page.left(length));
        std::printf("line of %7lld characters, %6zu colour runs: keystroke %9.1f ms\n",
                    static_cast<long long>(length), box.colorRuns().size(), ms);
    }
    const QString broken = markup::breakLongLines(page.left(1'000'000));
    const double ms = keystrokeMs(broken);
    std::printf("the same 1,000,000 characters with the offered breaks (%lld lines, the longest "
                "%lld characters): keystroke %6.1f ms\n",
                static_cast<long long>(broken.count(QLatin1Char('\n')) + 1),
                static_cast<long long>(markup::longestLine(broken).length), ms);
    return 0;
}
