// Speed of the colouring pass on the RTF of a large Japanese page: each of the three
// replacements by the regular-expression object and by the scanning path, the whole
// ColorizeRtf, and one memcpy of the same text as the yardstick.
//
//   bench_colorize [html-file-in-cp932]     (default: a 10 MB generated page)
#include "benchtiming.h"
#include "corpus.h"

#include "markup/markupscan.h"
#include "markup/regexp.h"
#include "reference/colorize.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace
{

using benchcorpus::bestMs;

// The body of the RTF the editor writes for CP932 text: bytes above 0x7F as \'hh, the RTF
// specials escaped, each CR LF as \par.
QString rtfLike(const QByteArray &cp932)
{
    static const char hex[] = "0123456789abcdef";
    QString out;
    out.reserve(cp932.size() * 3);
    out += QStringLiteral("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fmodern MS Gothic;}}"
                          "\r\n{\\colortbl ;\\red0\\green0\\blue0;}\r\n\\viewkind4\\pard\\f0 ");
    for (qsizetype i = 0; i < cp932.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp932[i]);
        if (b == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') {
            out += QLatin1String("\\par\r\n");
            ++i;
        } else if (b >= 0x80) {
            out += QLatin1String("\\'");
            out += QLatin1Char(hex[b >> 4]);
            out += QLatin1Char(hex[b & 15]);
        } else {
            if (b == '\\' || b == '{' || b == '}')
                out += QLatin1Char('\\');
            out += QLatin1Char(char(b));
        }
    }
    out += QLatin1String("\\par\r\n}\r\n");
    return out;
}

double g_freshMs = 0;

void report(const char *what, double ms, double memcpyMs)
{
    std::printf("  %-40s %8.2f ms   %5.2f x memcpy, %5.2f x new-string copy\n", what, ms,
                ms / memcpyMs, ms / g_freshMs);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QByteArray html;
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[1]);
            return 1;
        }
        html = file.readAll();
    } else {
        html = benchcorpus::makeCorpusCp932(10 * 1000 * 1000);
    }
    const QString rtf = rtfLike(html);
    const auto bytes = std::size_t(rtf.size()) * sizeof(char16_t);
    std::printf("page %.1f MB CP932 -> RTF %.1f M characters (%.1f MB as UTF-16)\n",
                html.size() / 1e6, rtf.size() / 1e6, bytes / 1e6);

    std::vector<char16_t> copy(std::size_t(rtf.size()));
    const double memcpyMs = bestMs([&] { std::memcpy(copy.data(), rtf.utf16(), bytes); });
    std::printf("  %-40s %8.2f ms   (%.0f MB/s)\n", "memcpy of the RTF (warm buffer)", memcpyMs,
                bytes / 1e3 / memcpyMs);
    // Every replacement makes a new string; a copy into fresh memory pays the page faults too.
    const double freshMs = g_freshMs = bestMs([&] { QString fresh(rtf.constData(), rtf.size()); });
    std::printf("  %-40s %8.2f ms   (%.0f MB/s)\n", "copy of the RTF into a new string", freshMs,
                bytes / 1e3 / freshMs);

    // Inputs of each step as the pass feeds them: step 2 runs on the output of step 1, ...
    std::vector<QString> inputs{rtf};
    const std::function<QString(const QString &)> scans[3] = {
        markup::markTagStarts, markup::markTagEnds, markup::markComments};
    for (const auto &scan : scans)
        inputs.push_back(scan(inputs.back()));

    const char *names[3] = {"tag starts", "tag ends", "comments"};
    double regexTotal = 0;
    for (int step = 0; step < 3; ++step) {
        markup::RegExp re;
        re.Global = true;
        re.Pattern = reference::kMarkupReplacements[step].pattern.toString();
        const QString replacement = reference::kMarkupReplacements[step].replacement.toString();
        bool same = true;
        const double ms = bestMs([&] {
            auto result = re.Replace(inputs[std::size_t(step)], replacement);
            same = std::holds_alternative<QString>(result) &&
                   std::get<QString>(result) == inputs[std::size_t(step) + 1];
        });
        regexTotal += ms;
        const QByteArray label = QByteArray("RegExp ") + names[step] + (same ? "" : " (DIFFERS)");
        report(label.constData(), ms, memcpyMs);
    }
    report("RegExp, three replacements", regexTotal, memcpyMs);

    double scanTotal = 0;
    for (int step = 0; step < 3; ++step) {
        const double ms = bestMs([&] { (void)scans[step](inputs[std::size_t(step)]); });
        scanTotal += ms;
        report((QByteArray("scan ") + names[step]).constData(), ms, memcpyMs);
    }
    report("scan, three replacements", scanTotal, memcpyMs);

    const double whole = bestMs([&] { (void)reference::ColorizeRtf(rtf, 0, 0x800000, 0x8000); });
    report("ColorizeRtf (table + three steps)", whole, memcpyMs);

    const QString unclosed = QStringLiteral("<!--<p>").repeated(1'400'000);
    markup::RegExp re;
    re.Global = true;
    re.Pattern = reference::kMarkupReplacements[2].pattern.toString();
    const double unclosedMs = bestMs(
        [&] {
            (void)re.Replace(unclosed, reference::kMarkupReplacements[2].replacement.toString());
        },
        1);
    std::printf("  %-40s %8.2f ms\n", "RegExp comments, 10 MB of unclosed <!--", unclosedMs);
    return 0;
}
