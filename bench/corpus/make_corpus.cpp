// make_corpus <outdir>: writes the benchmark pages corpus-1mb / corpus-10mb, each as CP932 with
// CR LF line ends (*.sjis.html) and as EUC-JP with LF line ends (*.euc.html).
#include "codec/eucjp.h"
#include "corpus.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

namespace
{

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "make_corpus: cannot write " << path << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_corpus <outdir>\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        QTextStream(stderr) << "make_corpus: cannot create " << out.path() << '\n';
        return 1;
    }
    const struct {
        const char *name;
        qsizetype bytes;
    } sizes[] = {{"corpus-1mb", 1 << 20}, {"corpus-10mb", 10 << 20}};
    for (const auto &size : sizes) {
        const QByteArray sjis = benchcorpus::makeCorpusCp932(size.bytes);
        QByteArray lf = sjis;
        lf.replace("\r\n", "\n"); // CR and LF never occur inside a CP932 double-byte character
        const codec::ConversionResult euc = codec::convertCp932ToEucJp(lf);
        if (euc.firstUnconvertible >= 0) {
            QTextStream(stderr) << "make_corpus: byte " << euc.firstUnconvertible
                                << " has no EUC-JP form\n";
            return 1;
        }
        if (codec::convertEucJpToCp932(euc.bytes).bytes != lf) {
            QTextStream(stderr) << "make_corpus: the EUC-JP form does not convert back\n";
            return 1;
        }
        const QString base = QString::fromLatin1(size.name);
        if (!writeFile(out.filePath(base + QStringLiteral(".sjis.html")), sjis) ||
            !writeFile(out.filePath(base + QStringLiteral(".euc.html")), euc.bytes))
            return 1;
        QTextStream(stdout) << base << ": " << sjis.size() << " bytes CP932, " << euc.bytes.size()
                            << " bytes EUC-JP\n";
    }
    return 0;
}
