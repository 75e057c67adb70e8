#pragma once

#include "site/folderjob.h"
#include "site/pageconvert.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// Planning the conversion of every page of a folder to one encoding.
namespace site
{

struct ConvertOptions {
    WalkOptions walk;
    PageEncoding target = PageEncoding::Utf8;
};

// What the conversion does with one file.
struct ConvertResult {
    QString path;
    QString relativePath;
    PageConversion::Kind kind = PageConversion::Kind::Skip;
    QString skipReason;
    PageForm from;
    PageForm to;
    bool declarationAdded = false;
    std::vector<UnwritableChar> unwritable; // written as references (or the reason of a skip)
    quint64 oldHash = 0;                    // of the bytes now and after the conversion
    quint64 newHash = 0;
};

// What the conversion does with the file at path.
ConvertResult examineForConversion(const QString &path, PageEncoding target);

// Walks the folder and examines its files on all processors, handing each to deliver in the
// walk's order. Returns the reason when the job could not run (no such folder).
std::optional<QString> runConvertJob(const ConvertOptions &options,
                                     const std::function<void(ConvertResult &&)> &deliver,
                                     JobControl *control = nullptr);

// "Shift_JIS, CR LF → UTF-8" for a result to convert.
QString conversionLabel(const ConvertResult &result);

} // namespace site
