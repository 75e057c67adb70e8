#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Runs Debian's iconv (glibc) over many codes at once to get reference conversions.
namespace iconvref
{

// Whether iconv exists and knows the charsets; otherwise *reason says why not.
bool available(const QStringList &charsets, QString *reason);

// Converts each code separately with `iconv -c -f from -t to`, one code per line. The result holds,
// per code, what iconv makes of it, or a null QByteArray where iconv rejects it. iconv -c drops
// only the first byte of some bad sequences; such a code is recognised by its output equalling
// that of the same code without its first byte. std::nullopt when iconv fails to run.
std::optional<QList<QByteArray>> convertEach(const QList<QByteArray> &codes, const QString &from,
                                             const QString &to);

// Every code of the given lengths: all single bytes but LF, all pairs of lead x trail, etc.
QList<QByteArray> singleBytes();
QList<QByteArray> pairs(int leadFirst, int leadLast, int trailFirst, int trailLast);

} // namespace iconvref
