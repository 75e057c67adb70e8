// Times entering preview on a 1 MB Japanese page until the page is painted: once when the first
// preview creates the browser, then with the browser already there.
// Usage: bench_preview [megabytes]

#include "app/previewbrowser.h"
#include "benchtiming.h"
#include "codec/cp932.h"
#include "corpus.h"
#include "platform/richtextbox.h"
#include "quietplatform.h"
#include "shownwindow.h"
#include "testwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <cstdio>
#include <functional>
#include <tuple>

namespace
{

// Whether the browser shows anything but white: the page has been painted.
bool painted(QWidget *view)
{
    const QImage image = view->grab().toImage();
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                return true;
    return false;
}

// Waits until f is true or ten seconds have passed.
void waitFor(const std::function<bool()> &f)
{
    QElapsedTimer t;
    t.start();
    while (!f() && t.elapsed() < 10000)
        QTest::qWait(5);
}

// Enters preview; milliseconds until the page is first painted and until it has loaded.
std::pair<double, double> enterPreview(testsupport::TestWindow &w)
{
    bool loaded = false;
    double paintedMs = -1;
    QElapsedTimer t;
    t.start();
    const QMetaObject::Connection c = QObject::connect(
        w.browser(), &app::PreviewBrowser::DocumentComplete, &w, [&loaded] { loaded = true; });
    w.mainMenu().mnuPreview->trigger();
    while ((!loaded || paintedMs < 0) && t.elapsed() < 60000) {
        if (paintedMs < 0 && w.browser()->view() && painted(w.browser()->view()))
            paintedMs = double(t.nsecsElapsed()) / 1e6;
        QTest::qWait(2);
    }
    QObject::disconnect(c);
    return {paintedMs, double(t.nsecsElapsed()) / 1e6};
}

} // namespace

int main(int argc, char **argv)
{
    benchsupport::IsolatedRun run;
    const QTemporaryDir &home = run.home;
    QApplication application(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 1.0;

    benchsupport::QuietPlatform quiet;
    testsupport::TestWindow w(quiet.platform);
    benchsupport::showEmptyWindow(w, 1000, 800);
    w.editor()->setText(
        codec::decodeCp932(benchcorpus::makeCorpusCp932(qsizetype(megabytes * 1e6))).text);
    w.sharedState().strFileFolder = home.path();

    std::printf("preview of a %.1f MB page until painted:\n", megabytes);
    auto [paint, load] = enterPreview(w);
    std::printf("  first preview, creating the browser: painted %8.1f ms, loaded %8.1f ms\n", paint,
                load);
    for (int i = 0; i < 3; ++i) {
        // Back to editing, with a blank page left in the browser.
        w.mainMenu().mnuPreview->trigger();
        w.browser()->show();
        qobject_cast<QWebEngineView *>(w.browser()->view())
            ->setHtml(QStringLiteral("<html></html>"));
        waitFor([&] { return !painted(w.browser()->view()); });
        w.browser()->hide();
        std::tie(paint, load) = enterPreview(w);
        std::printf("  browser already created:             painted %8.1f ms, loaded %8.1f ms\n",
                    paint, load);
    }
    w.sharedState().bolEditing = false;
    return 0;
}
