#pragma once

#include "site/folderwalk.h"
#include "site/pagecodec.h"
#include "site/pagematcher.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

// Searching a folder, and planning a replacement there: every page read in its own encoding.
namespace site
{

struct FolderJobOptions {
    WalkOptions walk;
    FindOptions find;
    bool replace = false; // plan the replacement too: each page must read back exactly
};

// What the job found in one file.
struct FileResult {
    QString path;
    QString relativePath;
    QString skipReason; // the file is left alone, and why; empty otherwise
    PageForm form;
    std::vector<PlacedMatch> matches;
    // With replace, for a file with matches and no skip reason: the hashes of its bytes now and
    // after the replacement. A replacement that changes nothing leaves the file out (no matches).
    quint64 oldHash = 0;
    quint64 newHash = 0;
};

// Progress a job reports and the request to stop it; shared with another thread.
struct JobControl {
    std::atomic<bool> cancel{false};
    std::atomic<qint64> filesDone{0};
};

// The bytes of the page at path, a regular file within the size limit; nothing when it cannot be
// read, with the reason in skipReason.
std::optional<QByteArray> readPageOrSkip(const QString &path, QString &skipReason);

// What one file of a folder job gives: read, decode, match and, with replace, encode. path is
// the file to read; the result's relative path is left for the caller.
FileResult examineFile(const QString &path, PageMatcher &matcher, bool replace);

// Walks the folder and examines its files on all processors, handing each file with matches or a
// skip reason to deliver in the walk's order; files without matches are counted only. At most a
// few dozen megabytes of pages are held at a time. Returns the reason when the job could not run
// (no such folder, a pattern the engine rejects).
std::optional<QString> runFolderJob(const FolderJobOptions &options,
                                    const std::function<void(FileResult &&)> &deliver,
                                    JobControl *control = nullptr);

// What a batch job does with the files of a folder: start is told the size of each batch, examine
// gets each entry of it (with its index in the batch and the worker's number), possibly on
// several threads at once, and finish follows when all of the batch is examined.
struct BatchWork {
    std::function<void(size_t size)> start;
    std::function<void(const WalkEntry &entry, size_t index, unsigned worker)> examine;
    std::function<void()> finish;
};

// Walks the folder and hands its files to work in batches of at most a few hundred files or a
// few dozen megabytes, on workers threads. Returns the walk's failure.
std::optional<QString> walkInBatches(const WalkOptions &walk, unsigned workers,
                                     const BatchWork &work, JobControl *control = nullptr);

// Walks the folder in batches and gives each file the walk could read to examine (with the
// worker's number) on workers threads, then hands every result to deliver in the walk's order; a
// file the walk left alone gives a result with the walk's skip reason.
template <typename Result>
std::optional<QString>
examineInBatches(const WalkOptions &walk, unsigned workers,
                 const std::function<Result(const QString &path, unsigned worker)> &examine,
                 const std::function<void(Result &&)> &deliver, JobControl *control)
{
    std::vector<Result> results;
    BatchWork work;
    work.start = [&](size_t size) { results.assign(size, Result{}); };
    work.examine = [&](const WalkEntry &entry, size_t i, unsigned worker) {
        if (entry.skipReason.isEmpty()) {
            results[i] = examine(entry.path, worker);
        } else {
            results[i].path = entry.path;
            results[i].skipReason = entry.skipReason;
        }
        results[i].relativePath = entry.relativePath;
    };
    work.finish = [&] {
        for (Result &result : results)
            deliver(std::move(result));
    };
    return walkInBatches(walk, workers, work, control);
}

// How many threads a folder job examines files on.
unsigned jobWorkers();

// The line of a match with its replacement put in.
QString replacedLine(const PlacedMatch &match);

} // namespace site
