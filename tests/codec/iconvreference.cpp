#include "iconvreference.h"

#include <QProcess>
#include <QStandardPaths>

namespace iconvref
{
namespace
{

std::optional<QList<QByteArray>> runLines(const QList<QByteArray> &codes, const QString &from,
                                          const QString &to)
{
    QByteArray input;
    for (const QByteArray &code : codes)
        input += code + '\n';
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"),
                {QStringLiteral("-c"), QStringLiteral("-f"), from, QStringLiteral("-t"), to});
    if (!iconv.waitForStarted())
        return std::nullopt;
    iconv.write(input);
    iconv.closeWriteChannel();
    if (!iconv.waitForFinished(60000))
        return std::nullopt;
    QList<QByteArray> lines = iconv.readAllStandardOutput().split('\n');
    if (lines.size() != codes.size() + 1) // the last newline leaves an empty tail
        return std::nullopt;
    lines.removeLast();
    return lines;
}

} // namespace

bool available(const QStringList &charsets, QString *reason)
{
    if (QStandardPaths::findExecutable(QStringLiteral("iconv")).isEmpty()) {
        *reason = QStringLiteral("iconv is not installed");
        return false;
    }
    QProcess list;
    list.start(QStringLiteral("iconv"), {QStringLiteral("-l")});
    if (!list.waitForFinished(10000)) {
        *reason = QStringLiteral("iconv -l did not run");
        return false;
    }
    const QByteArray known = list.readAllStandardOutput();
    for (const QString &charset : charsets) {
        if (!known.contains(charset.toLatin1() + "//")) {
            *reason = QStringLiteral("iconv lacks the charset ") + charset;
            return false;
        }
    }
    return true;
}

std::optional<QList<QByteArray>> convertEach(const QList<QByteArray> &codes, const QString &from,
                                             const QString &to)
{
    QList<QByteArray> tails;
    for (const QByteArray &code : codes)
        tails += code.mid(1);
    const auto whole = runLines(codes, from, to);
    const auto withoutFirst = runLines(tails, from, to);
    if (!whole || !withoutFirst)
        return std::nullopt;
    QList<QByteArray> result;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QByteArray &out = whole->at(i);
        const bool rejected = out.isEmpty() || (codes[i].size() > 1 && out == withoutFirst->at(i));
        result += rejected ? QByteArray() : out;
    }
    return result;
}

QList<QByteArray> singleBytes()
{
    QList<QByteArray> codes;
    for (int b = 0; b < 256; ++b)
        if (b != '\n')
            codes += QByteArray(1, char(b));
    return codes;
}

QList<QByteArray> pairs(int leadFirst, int leadLast, int trailFirst, int trailLast)
{
    QList<QByteArray> codes;
    for (int lead = leadFirst; lead <= leadLast; ++lead)
        for (int trail = trailFirst; trail <= trailLast; ++trail)
            if (trail != '\n')
                codes += QByteArray(1, char(lead)) + char(trail);
    return codes;
}

} // namespace iconvref
