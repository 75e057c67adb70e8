// Times typing on a 1 MB Japanese page with and without the live preview beside it, the live
// preview's refresh of that page (the part in the window's thread, and until the page has loaded
// again), and typing while the page shown runs a script that never ends.
// Usage: bench_livepreview [repetitions]

#include "app/livemode.h"
#include "app/livepane.h"
#include "benchtiming.h"
#include "codec/cp932.h"
#include "corpus.h"
#include "livepreview/livepreview.h"
#include "platform/richtextbox.h"
#include "quietplatform.h"
#include "shownwindow.h"
#include "testwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>
#include <cstdio>
#include <functional>

namespace
{

// Median milliseconds of a keystroke in the middle of the text, with the repaint or without it
// (the editor beside the preview is narrower, so it paints less).
double keystrokeMs(platform::RichTextBox &box, int repetitions, bool repaint = true)
{
    box.setSelStart(int(box.Text().size() / 2));
    box.viewport()->repaint();
    return benchcorpus::medianMs(
        [&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(&box, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(&box, &release);
            if (repaint)
                box.viewport()->repaint();
        },
        repetitions);
}

// A line break typed in the middle of the text, then the live preview refreshed at once (as a save
// does): milliseconds spent in the call and until the page shows the text.
std::pair<double, double> refreshMs(testsupport::TestWindow &w)
{
    platform::RichTextBox &box = *w.editor();
    box.setSelStart(int(box.Text().size() / 2));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(&box, &press);
    bool loaded = false;
    const QMetaObject::Connection c =
        QObject::connect(&w.liveMode().preview(), &livepreview::LivePreview::pageShown, &w,
                         [&loaded] { loaded = true; });
    QElapsedTimer t;
    t.start();
    w.liveMode().preview().saved();
    const double call = double(t.nsecsElapsed()) / 1e6;
    while (!loaded && t.elapsed() < 60000)
        QTest::qWait(1);
    QObject::disconnect(c);
    return {call, double(t.nsecsElapsed()) / 1e6};
}

} // namespace

int main(int argc, char **argv)
{
    benchsupport::IsolatedRun run;
    QApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 41;

    benchsupport::QuietPlatform quiet;
    testsupport::TestWindow w(quiet.platform);
    benchsupport::showEmptyWindow(w, 1200, 800);
    platform::RichTextBox &box = *w.editor();
    box.setText(codec::decodeCp932(benchcorpus::makeCorpusCp932(1'000'000)).text);
    box.finishFill();
    w.DecorateText();
    w.sharedState().strFilePath = run.home.filePath(QStringLiteral("page.html"));

    std::printf("1 MB page, median of %d:\n", repetitions);
    const auto keystrokes = [&](const char *what) {
        const double painted = keystrokeMs(box, repetitions);
        const double unpainted = keystrokeMs(box, repetitions, false);
        std::printf("  keystroke, %-28s %6.2f ms, without the repaint %6.2f ms\n", what, painted,
                    unpainted);
    };
    keystrokes("editor alone:");
    w.mainMenu().mnuLivePreview->trigger();
    refreshMs(w); // the engine starts
    const double first = refreshMs(w).second;
    std::printf("  refresh at once after the page first loaded: %7.1f ms\n", first);
    QTest::qWait(2000); // the page just loaded is read for changing in place
    keystrokes("live preview beside it:");
    for (int i = 0; i < 5; ++i) {
        const auto [call, loaded] = refreshMs(w);
        std::printf("  refresh: in the window's thread %6.1f ms, page shows the text %7.1f ms\n",
                    call, loaded);
    }

    // For comparison: the engine loading the same page again, as a reload does.
    for (int i = 0; i < 2; ++i) {
        bool loaded = false;
        const QMetaObject::Connection c = QObject::connect(
            w.liveMode().pane(), &app::LivePane::loadEnded, &w, [&loaded] { loaded = true; });
        QElapsedTimer t;
        t.start();
        w.liveMode().pane()->reload(false);
        while (!loaded && t.elapsed() < 60000)
            QTest::qWait(1);
        QObject::disconnect(c);
        std::printf("  for comparison, the engine loading the page again: %7.1f ms\n",
                    double(t.nsecsElapsed()) / 1e6);
    }

    // A page that never ends its script: typing and refreshing still return at once.
    box.setText(QStringLiteral("<p>loop</p><script>for (;;) {}</script>\r\n"));
    w.liveMode().preview().saved();
    QTest::qWait(1500);
    QElapsedTimer t;
    t.start();
    w.liveMode().preview().saved();
    const double call = double(t.nsecsElapsed()) / 1e6;
    std::printf("  page looping forever: keystroke %.2f ms, refresh call %.2f ms\n",
                keystrokeMs(box, repetitions), call);
    // The loop taken out again: how soon the page beside the text shows it.
    {
        bool shown = false;
        const QMetaObject::Connection c =
            QObject::connect(&w.liveMode().preview(), &livepreview::LivePreview::pageShown, &w,
                             [&shown] { shown = true; });
        box.setText(QStringLiteral("<p>no loop</p>\r\n"));
        t.start();
        w.liveMode().preview().saved();
        while (!shown && t.elapsed() < 30000)
            QTest::qWait(5);
        QObject::disconnect(c);
        if (shown)
            std::printf("  the loop taken out: the page shows it after %.0f ms\n",
                        double(t.nsecsElapsed()) / 1e6);
        else
            std::printf("  the loop taken out: the page does not show it within 30 s\n");
    }
    w.mainMenu().mnuLivePreview->trigger();
    box.setText(codec::decodeCp932(benchcorpus::makeCorpusCp932(1'000'000)).text);
    box.finishFill();
    w.DecorateText();
    keystrokes("editor alone again:");
    w.sharedState().bolEditing = false;
    return 0;
}
