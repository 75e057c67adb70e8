#include "platform/textchange.h"

#include <algorithm>

namespace platform
{

CommonEnds commonEnds(QStringView before, QStringView after)
{
    CommonEnds ends;
    const qsizetype shorter = std::min(before.size(), after.size());
    while (ends.prefix < shorter && before[ends.prefix] == after[ends.prefix])
        ++ends.prefix;
    while (ends.suffix < shorter - ends.prefix &&
           before[before.size() - 1 - ends.suffix] == after[after.size() - 1 - ends.suffix])
        ++ends.suffix;
    return ends;
}

namespace
{

// Moves one run over one change; false when nothing of the run is left.
bool shiftRun(ColorRun &run, const TextChange &change)
{
    const qsizetype removedEnd = change.position + change.removed;
    const qsizetype runEnd = run.start + run.length;
    if (runEnd <= change.position) {
        if (runEnd == change.position && change.removed == 0)
            run.length += change.added; // typing at the end of a run continues it
        return true;
    }
    if (run.start >= removedEnd && !(change.removed > 0 && run.start == change.position)) {
        run.start += change.added - change.removed;
        return true;
    }
    // The run overlaps the replaced range: keep what lies outside it.
    const qsizetype keepBefore = std::max<qsizetype>(0, change.position - run.start);
    const qsizetype keepAfter = std::max<qsizetype>(0, runEnd - removedEnd);
    if (run.start <= change.position && (keepBefore > 0 || change.removed > 0)) {
        run.length = keepBefore + change.added + keepAfter;
    } else {
        run.start = change.position + change.added;
        run.length = keepAfter;
    }
    return run.length > 0;
}

} // namespace

void shiftRuns(std::vector<ColorRun> &runs, std::span<const TextChange> changes)
{
    if (runs.empty() || changes.empty())
        return;
    // Runs that end before the first change stay as they are; the one ending at it may grow.
    const auto first =
        std::lower_bound(runs.begin(), runs.end(), changes.front().position,
                         [](const ColorRun &r, qsizetype p) { return r.start + r.length < p; });
    // For each run, the changes wholly before it only move it; those from there up to its end
    // are made on it one by one, the last first.
    std::size_t before = 0;
    std::size_t upToEnd = 0;
    qsizetype moved = 0;
    auto out = first;
    for (auto r = first; r != runs.end(); ++r) {
        ColorRun run = *r;
        while (before < changes.size() &&
               changes[before].position + changes[before].removed <= run.start) {
            moved += changes[before].added - changes[before].removed;
            ++before;
        }
        upToEnd = std::max(upToEnd, before);
        while (upToEnd < changes.size() && changes[upToEnd].position <= run.start + run.length)
            ++upToEnd;
        bool kept = true;
        for (std::size_t k = upToEnd; kept && k-- > before;)
            kept = shiftRun(run, changes[k]);
        if (!kept)
            continue;
        run.start += moved;
        *out++ = run;
    }
    runs.erase(out, runs.end());
}

void shiftRunsLeavingAddedUncoloured(std::vector<ColorRun> &runs, const TextChange &change)
{
    const TextChange removal{change.position, change.removed, 0};
    shiftRuns(runs, std::span(&removal, 1));
    if (change.added == 0)
        return;
    const qsizetype at = change.position;
    auto it = std::lower_bound(runs.begin(), runs.end(), at, [](const ColorRun &r, qsizetype p) {
        return r.start + r.length <= p;
    });
    if (it != runs.end() && it->start < at) { // the gap opens inside this run: split it
        ColorRun tail = *it;
        tail.start = qint32(at);
        tail.length = it->start + it->length - qint32(at);
        it->length = qint32(at) - it->start;
        it = runs.insert(it + 1, tail);
    }
    for (; it != runs.end(); ++it)
        it->start += qint32(change.added);
}

} // namespace platform
