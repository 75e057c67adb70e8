// Times the RTF writer and reader on a 10 MB Japanese page with the colour runs of its markup.
// Usage: bench_rtf [megabytes] [repetitions]

#include "benchtiming.h"
#include "corpus.h"
#include "reference/rtf/rtf.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringDecoder>
#include <algorithm>
#include <cstdio>
#include <functional>

using platform::ColorRun;

namespace
{

const QRgb kText = qRgb(0, 0, 0);
const QRgb kTag = qRgb(0, 0, 128);
const QRgb kComment = qRgb(0, 128, 0);

// Comments in comment colour, other tags in tag colour, as the colouring gives them roughly.
std::vector<ColorRun> markupRuns(QStringView text)
{
    std::vector<ColorRun> runs;
    qsizetype pos = 0;
    while ((pos = text.indexOf(u'<', pos)) >= 0) {
        const bool comment = text.mid(pos, 4) == u"<!--";
        qsizetype end = text.indexOf(comment ? QStringView(u"-->") : QStringView(u">"), pos);
        if (end < 0)
            break;
        end += comment ? 3 : 1;
        runs.push_back({qint32(pos), qint32(end - pos), comment ? kComment : kTag});
        pos = end;
    }
    return runs;
}

double bestMs(int repetitions, const std::function<void()> &work)
{
    return benchcorpus::bestMs(work, repetitions);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10;
    const int repetitions = argc > 2 ? QByteArray(argv[2]).toInt() : 5;

    const QByteArray bytes = benchcorpus::makeCorpusCp932(megabytes * 1000 * 1000);
    QString text = QStringDecoder("Shift_JIS").decode(bytes);
    text.replace(QStringLiteral("\r\n"), QString(QChar(0x2029)));
    const std::vector<ColorRun> runs = markupRuns(text);
    std::printf("input: %lld bytes CP932, %lld characters, %zu colour runs\n",
                qlonglong(bytes.size()), qlonglong(text.size()), runs.size());

    QElapsedTimer first;
    first.start();
    QString rtf = reference::rtf::write(u"x", {}, kText, QString(), 10);
    std::printf("first call (builds the CP932 tables): %.1f ms\n", first.nsecsElapsed() / 1e6);

    const QString font = QStringLiteral("ＭＳ ゴシック");
    const double plainWrite =
        bestMs(repetitions, [&] { rtf = reference::rtf::write(text, {}, kText, font, 10); });
    std::printf("write without runs: %.1f ms (%lld RTF characters)\n", plainWrite,
                qlonglong(rtf.size()));
    const double colouredWrite =
        bestMs(repetitions, [&] { rtf = reference::rtf::write(text, runs, kText, font, 10); });
    std::printf("write with runs:    %.1f ms (%lld RTF characters)\n", colouredWrite,
                qlonglong(rtf.size()));

    reference::rtf::Document doc;
    const double colouredRead =
        bestMs(repetitions, [&] { doc = reference::rtf::read(rtf, kText); });
    std::printf("read with runs:     %.1f ms (%zu runs back)\n", colouredRead, doc.runs.size());
    if (doc.text != text) {
        std::printf("ERROR: the text did not come back\n");
        return 1;
    }
    return 0;
}
