// Typing in one very long line (a minified page): the keystroke time, with repaint, for lines of
// several lengths, coloured as after opening.
// Usage: bench_longline [keystrokes]

#include "platform/richtextbox.h"
#include "benchtiming.h"
#include "corpus.h"
#include "document/cp932.h"
#include "markup/decoratetext.h"

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
    for (const qsizetype length : {qsizetype(10'000), qsizetype(100'000), qsizetype(300'000)}) {
        box.setText(page.left(length));
        markup::colourEditor(box, {0, 0x800000, 0x8000});
        box.setSelStart(int(length / 2));
        box.viewport()->repaint();
        const double ms = benchcorpus::medianMs(
            [&] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
                QCoreApplication::sendEvent(&box, &press);
                box.viewport()->repaint();
            },
            keys);
        std::printf("line of %7lld characters, %6zu colour runs: keystroke %9.1f ms\n",
                    static_cast<long long>(length), box.colorRuns().size(), ms);
    }
    return 0;
}
