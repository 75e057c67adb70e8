// Times the help while writing on the 1 MB and 10 MB Japanese pages of the bench corpus: opening
// (text set and first screen painted) and keystrokes (edit and repaint) in the editor without and
// with the full-width marks and end-tag completion attached, a "</" completed at the end, and the
// whole page check.
// Usage: bench_writinghelp [keystrokes]

#include "benchtiming.h"
#include "check/editorassist.h"
#include "check/endtagcompletion.h"
#include "check/pagecheck.h"
#include "codec/cp932.h"
#include "corpus.h"
#include "platform/richtextbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <cstdio>
#include <ctime>
#include <memory>

namespace
{

// Processor time of this thread in milliseconds: on a busy machine it varies far less than the
// wall time.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Keystrokes {
    double wall = 0; // median, ms
    double cpu = 0;  // median, ms
};

Keystrokes typeKeys(platform::RichTextBox &box, int count)
{
    std::vector<double> times;
    std::vector<double> cpu;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        const double cpuStart = cpuMs();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &release);
        box.viewport()->repaint();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMs() - cpuStart);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    return {times[times.size() / 2], cpu[cpu.size() / 2]};
}

void benchEditor(const QString &text, int keys, bool assisted)
{
    platform::RichTextBox box;
    std::unique_ptr<check::EditorAssist> assist;
    if (assisted)
        assist = std::make_unique<check::EditorAssist>(box, [](const QString &) {});
    box.resize(900, 700);
    box.show();
    if (!QTest::qWaitForWindowExposed(&box))
        std::printf("  (the editor was not shown)\n");
    const double open = benchcorpus::medianMs(
        [&] {
            box.setText(text);
            box.viewport()->repaint();
        },
        3);
    box.finishFill();
    QTextCursor c = box.textCursor();
    c.setPosition(int(text.size() / 2));
    box.setTextCursor(c);
    box.centerCursor();
    const Keystrokes middle = typeKeys(box, keys);
    c.movePosition(QTextCursor::End);
    box.setTextCursor(c);
    const Keystrokes end = typeKeys(box, keys);
    std::printf("  %-14s open %7.1f ms  keystroke middle %6.3f ms (cpu %6.3f), end %6.3f ms "
                "(cpu %6.3f)\n",
                assisted ? "with the help" : "without", open, middle.wall, middle.cpu, end.wall,
                end.cpu);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const int keys = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    for (const qsizetype bytes : {qsizetype(1) << 20, qsizetype(10) << 20}) {
        const QString text = codec::decodeCp932(benchcorpus::makeCorpusCp932(bytes)).text;
        std::printf("\n== %.1f MB page, %lld characters\n", double(bytes) / 1e6,
                    static_cast<long long>(text.size()));
        benchEditor(text, keys, false);
        benchEditor(text, keys, true);
        benchEditor(text, keys, false);
        benchEditor(text, keys, true);
        size_t findings = 0;
        double checkCpu = 1e300;
        const double checked = benchcorpus::medianMs(
            [&] {
                const double start = cpuMs();
                findings = check::checkPage(text).size();
                checkCpu = std::min(checkCpu, cpuMs() - start);
            },
            3);
        std::printf("  page check      %8.1f ms (best cpu %.1f ms, %zu findings)\n", checked,
                    checkCpu, findings);
        const QString typed = text + QStringLiteral("<ul><li>a</");
        const double completion =
            benchcorpus::medianMs([&] { check::endTagCompletion(typed, typed.size()); }, 21);
        std::printf("  </ completed at the end %7.3f ms\n", completion);
    }
    return 0;
}
