#pragma once

#include <QRandomGenerator>
#include <QStringList>

namespace testsupport
{

// Fewer than limit pieces, each drawn from pieces, joined: a small random text for differential
// tests.
inline QString randomText(QRandomGenerator &rng, const QStringList &pieces, int limit)
{
    QString text;
    for (int n = int(rng.bounded(limit)); n > 0; --n)
        text += pieces.at(rng.bounded(pieces.size()));
    return text;
}

} // namespace testsupport
