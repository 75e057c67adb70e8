// bench_convert [megabytes]: converter and codec throughput on the generated Japanese page (10 MB
// by default), next to ICU's decoder and glibc's iconv(3) in the same process, and Debian's iconv
// and nkf programs on the same bytes. Prints the best of five runs.
#include "benchtiming.h"
#include "corpus.h"
#include "document/cp932.h"
#include "document/eucjp.h"
#include "document/nkf.h"

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

// Best time of glibc's iconv(3) converting the whole input in this process; -1 when the
// conversion is not available or fails.
double iconvMs(const char *to, const char *from, const QByteArray &input)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return -1;
    QByteArray output(input.size() * 2 + 16, Qt::Uninitialized);
    bool failed = false;
    const double ms = bestMs([&] {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(input.constData());
        std::size_t inLeft = std::size_t(input.size());
        char *o = output.data();
        std::size_t outLeft = std::size_t(output.size());
        failed |= iconv(cd, &in, &inLeft, &o, &outLeft) == std::size_t(-1);
    });
    iconv_close(cd);
    return failed ? -1 : ms;
}

void compareInProcess(const QString &label, double ours, double theirs, const QString &goal)
{
    if (theirs < 0) {
        out << "  " << label << ": not available\n";
        return;
    }
    out << "  " << label << ": " << QString::number(theirs, 'f', 1) << " ms, ours is "
        << QString::number(theirs / ours, 'f', 2) << "x as fast (" << goal << ")\n";
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
    const QByteArray euc = document::convertCp932ToEucJp(sjisLf).bytes;
    out << "corpus: " << sjis.size() << " bytes CP932 (CR LF), " << euc.size()
        << " bytes EUC-JP (LF)\n";

    QByteArray sink;
    const double toEuc = bestMs([&] { sink = document::convertCp932ToEucJp(sjisLf).bytes; });
    report(QStringLiteral("CP932 -> EUC-JP (option e)"), sjisLf.size(), toEuc);
    const double toSjis = bestMs([&] { sink = document::convertToCp932(euc).bytes; });
    report(QStringLiteral("EUC-JP -> CP932 with detection (option s)"), euc.size(), toSjis);
    report(QStringLiteral("EUC-JP -> CP932 without detection"), euc.size(),
           bestMs([&] { sink = document::convertEucJpToCp932(euc).bytes; }));
    if (sink != sjisLf)
        out << "WARNING: EUC-JP -> CP932 did not give the corpus back\n";

    QByteArray area(4 * euc.size() + 1, '\0');
    report(QStringLiteral("NkfConvert s into a 4n+1 area"), euc.size(), bestMs([&] {
               document::SetNkfOption("s");
               document::NkfConvert(area.data(), euc.constData());
           }));

    QString text;
    const double decode = bestMs([&] { text = document::decodeCp932(sjis).text; });
    report(QStringLiteral("decodeCp932"), sjis.size(), decode);
    report(QStringLiteral("encodeCp932"), sjis.size(),
           bestMs([&] { sink = document::encodeCp932(text).bytes; }));
    const double icuDecode = bestMs([&] {
        QStringDecoder decoder("Shift_JIS", QStringConverter::Flag::Stateless);
        text = decoder.decode(sjis);
    });
    report(QStringLiteral("  for reference: bare ICU decode"), sjis.size(), icuDecode);
    report(QStringLiteral("  for reference: bare ICU encode"), sjis.size(), bestMs([&] {
               QStringEncoder encoder("Shift_JIS", QStringConverter::Flag::Stateless);
               sink = encoder.encode(text);
           }));

    out << "in this process, same bytes:\n";
    compareInProcess(QStringLiteral("ICU decode (Shift_JIS)"), decode, icuDecode,
                     QStringLiteral("goal: at least 1x"));
    compareInProcess(QStringLiteral("iconv(3) CP932 -> EUC-JP-MS"), toEuc,
                     iconvMs("EUC-JP-MS", "CP932", sjisLf), QStringLiteral("goal: at least 2x"));
    compareInProcess(QStringLiteral("iconv(3) EUC-JP-MS -> CP932"), toSjis,
                     iconvMs("CP932", "EUC-JP-MS", euc), QStringLiteral("goal: at least 2x"));

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
