// bench_convert [megabytes]: converter and codec throughput on the generated Japanese page (10 MB
// by default), next to ICU's decoder and glibc's iconv(3) in the same process, and Debian's iconv
// and nkf programs on the same bytes. Prints the best of five runs; the in-process comparisons
// take turns between the two sides.
#include "benchtiming.h"
#include "codec/cp932.h"
#include "codec/detect.h"
#include "codec/eucjp.h"
#include "codec/nkf.h"
#include "corpus.h"
#include "reference/nkfcall.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <iconv.h>

namespace
{

using benchcorpus::bestMs;

QTextStream out(stdout);

void report(const QString &what, qsizetype bytes, double ms)
{
    out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0) << Qt::right
        << QString::number(ms, 'f', 1) << " ms  " << QString::number(bytes / ms / 1e3, 'f', 0)
        << " MB/s\n";
    out.flush();
}

// Best time of a command reading file and writing to a file; -1 when it cannot run.
double toolMs(const QString &program, const QStringList &args, const QString &input,
              const QString &output)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return -1;
    bool failed = false;
    const double ms = bestMs([&] {
        QProcess p;
        p.setStandardInputFile(input);
        p.setStandardOutputFile(output);
        p.start(program, args);
        failed |= !p.waitForFinished(120000) || p.exitCode() != 0;
    });
    return failed ? -1 : ms;
}

void compareTool(const QString &label, double ours, double theirs)
{
    if (theirs < 0) {
        out << "  " << label << ": not available\n";
        return;
    }
    out << "  " << label << ": " << QString::number(theirs, 'f', 1) << " ms, ours is "
        << QString::number(theirs / ours, 'f', 1) << "x as fast\n";
}

// glibc's iconv(3) converting the whole input in this process, into an area made beforehand.
class InProcessIconv
{
public:
    InProcessIconv(const char *to, const char *from, const QByteArray &input)
        : m_cd(iconv_open(to, from)), m_input(input),
          m_output(input.size() * 2 + 16, Qt::Uninitialized)
    {
    }
    ~InProcessIconv()
    {
        if (available())
            iconv_close(m_cd);
    }
    InProcessIconv(const InProcessIconv &) = delete;
    InProcessIconv &operator=(const InProcessIconv &) = delete;

    bool available() const { return m_cd != iconv_t(-1); }
    bool failed() const { return m_failed; }
    void run()
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(m_input.constData());
        std::size_t inLeft = std::size_t(m_input.size());
        char *o = m_output.data();
        std::size_t outLeft = std::size_t(m_output.size());
        m_failed |= iconv(m_cd, &in, &inLeft, &o, &outLeft) == std::size_t(-1);
    }

private:
    iconv_t m_cd;
    const QByteArray &m_input;
    QByteArray m_output;
    bool m_failed = false;
};

// Best times in milliseconds of ours and theirs, run by turns so that both meet the same load.
std::pair<double, double> bestByTurns(const std::function<void()> &ours,
                                      const std::function<void()> &theirs, int runs = 7)
{
    double bestOurs = 1e300;
    double bestTheirs = 1e300;
    for (int i = 0; i < runs; ++i) {
        bestOurs = std::min(bestOurs, bestMs(ours, 1));
        bestTheirs = std::min(bestTheirs, bestMs(theirs, 1));
    }
    return {bestOurs, bestTheirs};
}

void compareInProcess(const QString &label, const std::function<void()> &ours,
                      const std::function<void()> &theirs, const QString &goal)
{
    const auto [oursMs, theirsMs] = bestByTurns(ours, theirs);
    out << "  " << label << ": " << QString::number(theirsMs, 'f', 1) << " ms, ours "
        << QString::number(oursMs, 'f', 1) << " ms, ours is "
        << QString::number(theirsMs / oursMs, 'f', 2) << "x as fast (" << goal << ")\n";
}

void compareWithIconv(const QString &label, const std::function<void()> &ours, const char *to,
                      const char *from, const QByteArray &input)
{
    InProcessIconv iconv(to, from, input);
    if (!iconv.available()) {
        out << "  " << label << ": not available\n";
        return;
    }
    compareInProcess(
        label, ours, [&] { iconv.run(); }, QStringLiteral("goal: at least 2x"));
    if (iconv.failed())
        out << "  " << label << ": iconv failed on the corpus\n";
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    const qsizetype megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10;
    const QByteArray sjis = benchcorpus::makeCorpusCp932(megabytes << 20);
    QByteArray sjisLf = sjis;
    sjisLf.replace("\r\n", "\n");
    const QByteArray euc = codec::convertCp932ToEucJp(sjisLf).bytes;
    out << "corpus: " << sjis.size() << " bytes CP932 (CR LF), " << euc.size()
        << " bytes EUC-JP (LF)\n";

    QByteArray sink;
    QString text;
    const std::function<void()> eucWork = [&] { sink = codec::convertCp932ToEucJp(sjisLf).bytes; };
    const std::function<void()> sjisWork = [&] { sink = codec::convertToCp932(euc).bytes; };
    const std::function<void()> decodeWork = [&] { text = codec::decodeCp932(sjis).text; };
    const std::function<void()> icuDecodeWork = [&] {
        QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
        text = decoder.decode(sjis);
    };

    const double toEuc = bestMs(eucWork);
    report(QStringLiteral("CP932 -> EUC-JP (option e)"), sjisLf.size(), toEuc);
    const double toSjis = bestMs(sjisWork);
    report(QStringLiteral("EUC-JP -> CP932 with detection (option s)"), euc.size(), toSjis);
    report(QStringLiteral("EUC-JP -> CP932 without detection"), euc.size(),
           bestMs([&] { sink = codec::convertEucJpToCp932(euc).bytes; }));
    if (sink != sjisLf)
        out << "WARNING: EUC-JP -> CP932 did not give the corpus back\n";
    QByteArray eucStray = euc;
    eucStray.insert(euc.size() / 2, '\xFF'); // one byte that is no EUC-JP: both are weighed
    report(QStringLiteral("EUC-JP with a stray byte -> CP932"), eucStray.size(),
           bestMs([&] { sink = codec::convertToCp932(eucStray).bytes; }));

    QByteArray area(4 * euc.size() + 1, '\0');
    report(QStringLiteral("NkfConvert s into a 4n+1 area"), euc.size(), bestMs([&] {
               reference::SetNkfOption("s");
               reference::NkfConvert(area.data(), euc.constData());
           }));

    report(QStringLiteral("decodeCp932"), sjis.size(), bestMs(decodeWork));
    std::optional<codec::DetectedEncoding> recognised;
    report(QStringLiteral("recognisedEncoding of the CP932 page"), sjis.size(),
           bestMs([&] { recognised = codec::recognisedEncoding(sjis); }));
    report(QStringLiteral("encodeCp932"), sjis.size(),
           bestMs([&] { sink = codec::encodeCp932(text).bytes; }));
    report(QStringLiteral("  for reference: bare ICU decode"), sjis.size(), bestMs(icuDecodeWork));
    report(QStringLiteral("  for reference: bare ICU encode"), sjis.size(), bestMs([&] {
               QStringEncoder encoder("Shift_JIS", QStringConverter::Flag::Stateless);
               sink = encoder.encode(text);
           }));

    out << "in this process, same bytes, measured by turns (best of 7 each):\n";
    compareInProcess(QStringLiteral("ICU decode (Shift_JIS)"), decodeWork, icuDecodeWork,
                     QStringLiteral("goal: at least 1x"));
    compareWithIconv(QStringLiteral("iconv(3) CP932 -> EUC-JP-MS"), eucWork, "EUC-JP-MS", "CP932",
                     sjisLf);
    compareWithIconv(QStringLiteral("iconv(3) EUC-JP-MS -> CP932"), sjisWork, "CP932", "EUC-JP-MS",
                     euc);

    QTemporaryDir dir;
    const QString sjisPath = dir.filePath(QStringLiteral("corpus.sjis.html"));
    const QString eucPath = dir.filePath(QStringLiteral("corpus.euc.html"));
    const QString outPath = dir.filePath(QStringLiteral("out"));
    if (!writeFile(sjisPath, sjisLf) || !writeFile(eucPath, euc)) {
        out << "cannot write the corpus files\n";
        return 1;
    }
    out << "same files through external tools (process start and file I/O included):\n";
    const QString iconv = QStringLiteral("iconv");
    const QString nkf = QStringLiteral("nkf");
    compareTool(QStringLiteral("iconv -f CP932 -t EUC-JP-MS"), toEuc,
                toolMs(iconv,
                       {QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"),
                        QStringLiteral("EUC-JP-MS")},
                       sjisPath, outPath));
    compareTool(QStringLiteral("iconv -f EUC-JP-MS -t CP932"), toSjis,
                toolMs(iconv,
                       {QStringLiteral("-f"), QStringLiteral("EUC-JP-MS"), QStringLiteral("-t"),
                        QStringLiteral("CP932")},
                       eucPath, outPath));
    compareTool(QStringLiteral("nkf -e (from CP932)"), toEuc,
                toolMs(nkf, {QStringLiteral("-e")}, sjisPath, outPath));
    compareTool(QStringLiteral("nkf -s (from EUC-JP, detecting)"), toSjis,
                toolMs(nkf, {QStringLiteral("-s")}, eucPath, outPath));
    return 0;
}
