// Typing in one very long line (a minified page): the keystroke time, with repaint, for lines of
// several lengths up to 10,000,000 characters, coloured as after opening, with the time of a
// repaint with no change (the caret's blinking); the keys a user presses on the longest line, each
// with its slowest press; and the same 1,000,000 characters after the line breaks offered at open
// were put in. The editor shows the program's default font.
// Usage: bench_longline [keystrokes]

#include "benchtiming.h"
#include "codec/cp932.h"
#include "corpus.h"
#include "markup/decoratetext.h"
#include "markup/longlines.h"
#include "platform/richtextbox.h"
#include "settings/appsettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace
{

struct Key {
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

// Presses the key (press and release) and paints; the time in milliseconds.
double pressMs(platform::RichTextBox &box, const Key &k)
{
    QElapsedTimer timer;
    timer.start();
    QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text);
    QCoreApplication::sendEvent(&box, &press);
    QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, k.text);
    QCoreApplication::sendEvent(&box, &release);
    box.viewport()->repaint();
    return double(timer.nsecsElapsed()) / 1e6;
}

// Each key pressed several times in the middle of the line, in an order that leaves the text as
// it was; prints the median and the slowest press of each and the slowest of all.
void keysOnLine(platform::RichTextBox &box, int presses)
{
    const Key keys[] = {
        {"letter", Qt::Key_A, Qt::NoModifier, QStringLiteral("a")},
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, {}},
        {"Left", Qt::Key_Left, Qt::NoModifier, {}},
        {"Right", Qt::Key_Right, Qt::NoModifier, {}},
        {"Enter", Qt::Key_Return, Qt::NoModifier, {}},
        {"Backspace (joins)", Qt::Key_Backspace, Qt::NoModifier, {}},
        {"Shift+Right", Qt::Key_Right, Qt::ShiftModifier, {}},
        {"Delete (the selection)", Qt::Key_Delete, Qt::NoModifier, {}},
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, {}},
        {"Down", Qt::Key_Down, Qt::NoModifier, {}},
        {"End", Qt::Key_End, Qt::NoModifier, {}},
        {"Home", Qt::Key_Home, Qt::NoModifier, {}},
    };
    std::vector<std::vector<double>> times(std::size(keys));
    for (int round = 0; round < presses; ++round) {
        box.setSelStart(int(box.rawText().size() / 2));
        box.viewport()->repaint();
        for (std::size_t i = 0; i < std::size(keys); ++i)
            times[i].push_back(pressMs(box, keys[i]));
    }
    double worst = 0;
    const char *worstName = "";
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        std::sort(times[i].begin(), times[i].end());
        std::printf("  %-24s median %7.1f ms, slowest %7.1f ms\n", keys[i].name,
                    times[i][times[i].size() / 2], times[i].back());
        if (times[i].back() > worst) {
            worst = times[i].back();
            worstName = keys[i].name;
        }
    }
    std::printf("  slowest key: %s, %.1f ms\n", worstName, worst);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int keys = argc > 1 ? std::max(3, std::atoi(argv[1])) : 5;
    QString page = codec::decodeCp932(benchcorpus::makeCorpusCp932(20'000'000)).text;
    page.remove(QLatin1Char('\r'));
    page.remove(QLatin1Char('\n'));

    platform::RichTextBox box;
    const settings::FontDescriptor font = settings::AppSettings{}.Font;
    box.setSelFontName(font.Name);
    box.setSelFontSize(font.Size);
    box.resize(1000, 700);
    box.show();
    if (!QTest::qWaitForWindowExposed(&box))
        std::fputs("the window was not exposed\n", stderr);
    // The text put in, coloured and painted with the caret in the middle (the time printed as
    // "shown"), then the median keystroke.
    double shownMs = 0;
    const auto keystrokeMs = [&](const QString &text) {
        QElapsedTimer shown;
        shown.start();
        box.setText(text);
        markup::colourEditor(box, {0, 0x800000, 0x8000});
        box.setSelStart(int(text.size() / 2));
        box.viewport()->repaint();
        shownMs = double(shown.nsecsElapsed()) / 1e6;
        return benchcorpus::medianMs(
            [&] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
                QCoreApplication::sendEvent(&box, &press);
                box.viewport()->repaint();
            },
            keys);
    };
    for (const qsizetype length : {qsizetype(10'000), qsizetype(100'000), qsizetype(300'000),
                                   qsizetype(1'000'000), qsizetype(10'000'000)}) {
        const double ms = keystrokeMs(page.left(length));
        const double repaintMs = benchcorpus::medianMs([&] { box.viewport()->repaint(); }, keys);
        std::printf("line of %8lld characters, %6zu colour runs: shown %8.1f ms, keystroke %7.1f "
                    "ms, repaint %6.1f ms\n",
                    static_cast<long long>(length), box.colorRuns().size(), shownMs, ms, repaintMs);
    }
    box.setText(page.left(1'000'000));
    markup::colourEditor(box, {0, 0x800000, 0x8000});
    std::printf("keys on the line of 1,000,000 characters (%d presses each):\n", keys);
    keysOnLine(box, keys);
    const QString broken = markup::breakLongLines(page.left(1'000'000));
    const double ms = keystrokeMs(broken);
    std::printf("the same 1,000,000 characters with the offered breaks (%lld lines, the longest "
                "%lld characters): keystroke %6.1f ms\n",
                static_cast<long long>(broken.count(QLatin1Char('\n')) + 1),
                static_cast<long long>(markup::longestLine(broken).length), ms);
    return 0;
}
