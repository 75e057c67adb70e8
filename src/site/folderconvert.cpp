#include "site/folderconvert.h"

#include "files/filestamp.h"

namespace site
{

ConvertResult examineForConversion(const QString &path, PageEncoding target)
{
    ConvertResult result;
    result.path = path;
    const std::optional<QByteArray> read = readPageOrSkip(path, result.skipReason);
    if (!read)
        return result;
    const QByteArray &bytes = *read;
    PageConversion conversion = convertPage(bytes, target);
    result.kind = conversion.kind;
    result.skipReason = std::move(conversion.skipReason);
    result.from = conversion.from;
    result.to = conversion.to;
    result.declarationAdded = conversion.declarationAdded;
    result.unwritable = std::move(conversion.unwritable);
    if (result.kind == PageConversion::Kind::Convert) {
        result.oldHash = files::contentHash(bytes);
        result.newHash = files::contentHash(conversion.bytes);
    }
    return result;
}

std::optional<QString> runConvertJob(const ConvertOptions &options,
                                     const std::function<void(ConvertResult &&)> &deliver,
                                     JobControl *control)
{
    std::vector<ConvertResult> results;
    BatchWork work;
    work.start = [&](size_t size) { results.assign(size, ConvertResult{}); };
    work.examine = [&](const WalkEntry &entry, size_t i, unsigned) {
        if (entry.skipReason.isEmpty()) {
            results[i] = examineForConversion(entry.path, options.target);
        } else {
            results[i].path = entry.path;
            results[i].skipReason = entry.skipReason;
        }
        results[i].relativePath = entry.relativePath;
    };
    work.finish = [&] {
        for (ConvertResult &result : results)
            deliver(std::move(result));
    };
    return walkInBatches(options.walk, jobWorkers(), work, control);
}

QString conversionLabel(const ConvertResult &result)
{
    return encodingLabel(result.from) + QStringLiteral(", ") + lineEndsLabel(result.from.lineEnds) +
           QStringLiteral(" → ") + encodingLabel(result.to);
}

} // namespace site
