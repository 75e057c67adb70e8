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
    return examineInBatches<ConvertResult>(
        options.walk, jobWorkers(),
        [&](const QString &path, unsigned) { return examineForConversion(path, options.target); },
        deliver, control);
}

QString conversionLabel(const ConvertResult &result)
{
    return encodingLabel(result.from) + QStringLiteral(", ") + lineEndsLabel(result.from.lineEnds) +
           QStringLiteral(" → ") + encodingLabel(result.to);
}

} // namespace site
