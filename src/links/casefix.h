#pragma once

#include "links/finding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

// The letter-case fix of links: each link that names a file only with other letter case is
// rewritten as the disk spells it, in the file's own encoding, as one operation that can be undone.
namespace links
{

struct FileFix {
    QString file;
    QByteArray oldBytes;
    QByteArray newBytes;
    QStringList changes; // "line:column: old → new"
};

struct CaseFixPlan {
    std::vector<FileFix> files;
    QStringList skipped; // Japanese sentences: links or files left as they are, and why
};

// What the fix would change: every fixable OtherCase finding, file by file. A file is left out
// when it changed since the check or its encoding would not give back its other bytes as they are.
CaseFixPlan planCaseFix(const std::vector<Finding> &findings);

// An applied fix: where the originals are kept, and what was written.
struct AppliedFix {
    QString keptIn; // the folder with the originals and their list
    std::vector<FileFix> files;
};

// Keeps each file's original bytes in a new folder below keepRoot (the recovery folder), then
// writes the files through the safe save. When a write fails, the files written before it are
// put back and the reason is returned.
std::variant<AppliedFix, QString> applyCaseFix(const CaseFixPlan &plan, const QString &keepRoot);

// Puts the originals back where a file still holds what the fix wrote; a file changed since is
// left alone and named in the result. The kept originals are removed when all went back.
QStringList undoCaseFix(const AppliedFix &fix);

} // namespace links
