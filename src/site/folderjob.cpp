#include "site/folderjob.h"

#include "codec/filetext.h"
#include "files/filestamp.h"
#include "files/readdocument.h"
#include "files/regularfile.h"

#include <algorithm>
#include <thread>

namespace site
{

namespace
{

constexpr qsizetype kBatchFiles = 256;
constexpr qint64 kBatchBytes = 32LL * 1024 * 1024;

QString applied(const QString &text, const std::vector<search::TextEdit> &edits)
{
    QString out;
    out.reserve(text.size());
    qsizetype at = 0;
    for (const search::TextEdit &edit : edits) {
        out.append(QStringView(text).mid(at, edit.start - at));
        out.append(edit.text);
        at = edit.start + edit.length;
    }
    out.append(QStringView(text).mid(at));
    return out;
}

} // namespace

QString replacedLine(const PlacedMatch &match)
{
    const qsizetype inLine = match.start - match.lineStart;
    return match.lineText.left(inLine) + match.replacement +
           match.lineText.mid(inLine + match.length);
}

std::optional<QByteArray> readPageOrSkip(const QString &path, QString &skipReason)
{
    auto read = files::readRegularFile(path, files::kMaxFileSize);
    if (QString *reason = std::get_if<QString>(&read)) {
        skipReason = std::move(*reason);
        return std::nullopt;
    }
    return std::move(std::get<QByteArray>(read));
}

FileResult examineFile(const QString &path, PageMatcher &matcher, bool replace)
{
    FileResult result;
    result.path = path;
    const std::optional<QByteArray> read = readPageOrSkip(path, result.skipReason);
    if (!read)
        return result;
    const QByteArray &bytes = *read;
    if (!replace && !looksBinary(bytes) && matcher.surelyAbsent(bytes))
        return result;
    auto decoded = decodePage(bytes, replace);
    if (PageSkip *skip = std::get_if<PageSkip>(&decoded)) {
        result.skipReason = skip->reason;
        return result;
    }
    const DecodedPage &page = std::get<DecodedPage>(decoded);
    result.form = page.form;
    auto edits = matcher.edits(page.text);
    if (QString *reason = std::get_if<QString>(&edits)) {
        result.skipReason = *reason;
        return result;
    }
    std::vector<search::TextEdit> &list = std::get<std::vector<search::TextEdit>>(edits);
    if (replace) {
        const QString changed = applied(page.text, list);
        if (changed == page.text)
            return result; // nothing to write
        auto encoded = encodePage(changed, page.form);
        if (PageSkip *skip = std::get_if<PageSkip>(&encoded)) {
            result.skipReason = skip->reason;
            result.matches = placeMatches(page.text, list);
            return result;
        }
        result.oldHash = files::contentHash(bytes);
        result.newHash = files::contentHash(std::get<QByteArray>(encoded));
    }
    result.matches = placeMatches(page.text, list);
    return result;
}

std::optional<QString> walkInBatches(const WalkOptions &walk, unsigned workers,
                                     const BatchWork &work, JobControl *control)
{
    std::vector<WalkEntry> batch;
    qint64 batchBytes = 0;
    const auto cancelled = [control] { return control && control->cancel.load(); };
    const auto flush = [&] {
        work.start(batch.size());
        std::atomic<size_t> next{0};
        const auto run = [&](unsigned worker) {
            for (size_t i = next++; i < batch.size() && !cancelled(); i = next++) {
                work.examine(batch[i], i, worker);
                if (control)
                    ++control->filesDone;
            }
        };
        const unsigned threads = unsigned(std::min<size_t>(workers, batch.size()));
        std::vector<std::thread> pool;
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(run, t);
        run(0);
        for (std::thread &thread : pool)
            thread.join();
        if (!cancelled())
            work.finish();
        batch.clear();
        batchBytes = 0;
    };
    auto failure = walkFolder(walk, [&](WalkEntry &&entry) {
        if (cancelled())
            return false;
        batchBytes += entry.size;
        batch.push_back(std::move(entry));
        if (qsizetype(batch.size()) >= kBatchFiles || batchBytes >= kBatchBytes)
            flush();
        return true;
    });
    if (!cancelled())
        flush();
    return failure;
}

unsigned jobWorkers()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

std::optional<QString> runFolderJob(const FolderJobOptions &options,
                                    const std::function<void(FileResult &&)> &deliver,
                                    JobControl *control)
{
    if (auto error = PageMatcher(options.find).patternError())
        return error;
    const unsigned workers = jobWorkers();
    std::vector<PageMatcher> matchers;
    for (unsigned i = 0; i < workers; ++i)
        matchers.emplace_back(options.find);
    return examineInBatches<FileResult>(
        options.walk, workers,
        [&](const QString &path, unsigned worker) {
            return examineFile(path, matchers[worker], options.replace);
        },
        [&](FileResult &&result) {
            if (!result.skipReason.isEmpty() || !result.matches.empty())
                deliver(std::move(result));
        },
        control);
}

} // namespace site
