// Big and strange files in the main window: how long opening takes, how much memory the
// program holds, and how long a keystroke takes (edit, Size panel, repaint) in each; and what
// the snapshot of an unsaved document costs the typing.
// Usage: bench_bigfiles [keystrokes] [megabytes of the single-line file, default 20]

#include "codec/cp932.h"
#include "corpus.h"
#include "document/documentcontroller.h"
#include "files/snapshotkeeper.h"
#include "platform/richtextbox.h"
#include "quietplatform.h"
#include "shownwindow.h"
#include "testwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// A field of /proc/self/status in MB ("VmRSS", "VmHWM").
double memoryMb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

struct Timings {
    double median = 0;
    double worst = 0;
};

// Keystrokes at the caret, each followed by a repaint; median and worst in milliseconds.
Timings typeKeys(platform::RichTextBox &box, int count)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &release);
        box.viewport()->repaint();
        QCoreApplication::processEvents(); // timers of the snapshot run here
        times.push_back(msSince(t));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void benchFile(testsupport::TestWindow &w, const char *name, const QString &path,
               const QByteArray &bytes, int keys)
{
    if (!writeFile(path, bytes)) {
        std::printf("%-28s cannot write the input file\n", name);
        return;
    }
    platform::RichTextBox &box = *w.editor();
    QElapsedTimer t;
    t.start();
    w.OpenDocument(path);
    box.viewport()->repaint();
    const double open = msSince(t);
    box.finishFill(); // a big page is shown first and filled in after
    const double whole = msSince(t);
    const bool opened = w.sharedState().strFilePath == path;
    std::printf("%-28s %7.1f MB  open %8.1f ms (whole text in %8.1f ms)%s  RSS %7.1f MB  chars "
                "%lld\n",
                name, double(bytes.size()) / 1e6, open, whole, opened ? "" : " (refused)",
                memoryMb("VmRSS:"), static_cast<long long>(box.rawText().size()));
    const qsizetype size = box.rawText().size();
    for (const auto &[where, position] : {std::pair{"start", qsizetype(0)},
                                          std::pair{"middle", size / 2}, std::pair{"end", size}}) {
        box.setSelStart(int(position));
        box.ensureCursorVisible();
        const Timings k = typeKeys(box, keys);
        std::printf("    keystroke at %-6s median %7.2f ms, worst %7.2f ms\n", where, k.median,
                    k.worst);
    }
    w.sharedState().bolEditing = false;
    w.recovery().discard();
    QFile::remove(path);
}

void benchSnapshot(testsupport::TestWindow &w, qsizetype bytes, int keys)
{
    platform::RichTextBox &box = *w.editor();
    box.setText(codec::decodeCp932(benchcorpus::makeCorpusCp932(bytes)).text);
    w.sharedState().bolEditing = true;
    files::SnapshotKeeper &keeper = w.recovery();
    QElapsedTimer t;
    t.start();
    const files::Snapshot taken = w.documents().snapshot();
    const double take = msSince(t);
    t.restart();
    keeper.writeNow();
    const double write = msSince(t);
    std::printf("snapshot of %5.1f MB: taking it %6.1f ms (typing waits), writing %7.1f ms "
                "(worker thread)\n",
                double(bytes) / 1e6, take, write);
    // Typing while snapshots are written: one every 300 ms of quiet, at least every second.
    keeper.setDelays(300, 1000);
    box.setSelStart(int(box.rawText().size() / 2));
    Timings k{};
    std::vector<double> worst;
    QElapsedTimer span;
    span.start();
    while (span.elapsed() < 4000) {
        const Timings round = typeKeys(box, keys);
        worst.push_back(round.worst);
        k.median = round.median;
        QTest::qWait(350); // a pause lets the snapshot start
    }
    std::printf("    typing with snapshots: median %6.2f ms, worst %7.2f ms over %zu pauses\n",
                k.median, *std::max_element(worst.begin(), worst.end()), worst.size());
    w.sharedState().bolEditing = false;
    keeper.discard();
}

} // namespace

int main(int argc, char **argv)
{
    benchsupport::IsolatedRun run;
    const QTemporaryDir &home = run.home;
    QApplication application(argc, argv);
    const int keys = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    const qsizetype lineBytes = argc > 2 ? std::max(1, std::atoi(argv[2])) * 1'000'000 : 20'000'000;

    benchsupport::QuietPlatform quiet;
    testsupport::TestWindow w(quiet.platform);
    benchsupport::showEmptyWindow(w, 1000, 800);
    std::printf("%d keystrokes per position; RSS at start %.1f MB\n", keys, memoryMb("VmRSS:"));

    const QString dir = home.path();
    QByteArray page = benchcorpus::makeCorpusCp932(50'000'000);
    benchFile(w, "50 MB Japanese page", dir + QStringLiteral("/big.html"), page, keys);
    page.truncate(lineBytes);
    page.replace("\r\n", "");
    benchFile(w, "single line (minified)", dir + QStringLiteral("/minified.html"), page, keys);
    page = QByteArray();
    QByteArray binary(5'000'000, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32 *>(binary.data()), binary.size() / 4);
    benchFile(w, "5 MB random bytes", dir + QStringLiteral("/binary.html"), binary, keys);
    benchFile(w, "5 MB of NUL bytes", dir + QStringLiteral("/zero.html"),
              QByteArray(5'000'000, '\0'), keys);
    std::printf("peak RSS %.1f MB\n\n", memoryMb("VmHWM:"));

    benchSnapshot(w, 10'000'000, keys);
    return 0;
}
