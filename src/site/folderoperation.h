#pragma once

#include "site/folderconvert.h"
#include "site/folderjob.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// A replacement across a folder as one operation that can be taken back: the original of every
// file goes into the recovery folder with a manifest before the first file is written, each
// file is replaced atomically, and the operation is marked done at the end. Killed at any moment,
// each file is its old or its new bytes; the manifest says which is which.
namespace site
{

// What became of one file of an operation.
struct FileOutcome {
    QString path;
    QString relativePath;
    qsizetype count = 0;      // replacements written (or restored)
    QString skipReason;       // empty when the file was written
    bool puttingBack = false; // of undo, or of a failed conversion putting its files back
    bool restored = false;    // the original was put back
};
using OutcomeReport = std::function<void(const FileOutcome &)>;

// The folder of the operations, inside the recovery folder.
QString operationsFolder();

// Writes the planned files (the results of a replace job that have no skip reason). A file whose
// bytes are no longer those the plan was made from is skipped. Returns the reason when the
// operation could not start (the recovery folder cannot take the originals); then nothing was
// written.
std::optional<QString> applyReplacement(const QString &folder, const FindOptions &find,
                                        const std::vector<FileResult> &plan,
                                        const OutcomeReport &report, JobControl *control = nullptr);

// Converts the planned files (the results of a conversion job that are to be converted) as one
// operation like a replacement. After writing each file reads it back; when the browser would not
// read the text the conversion meant, the operation stops, every file it wrote is put back, and
// the reason is returned. afterWrite, for the tests, is called with each file just written.
std::optional<QString> applyConversion(const QString &folder, PageEncoding target,
                                       const std::vector<ConvertResult> &plan,
                                       const OutcomeReport &report, JobControl *control = nullptr,
                                       const std::function<void(const QString &)> &afterWrite = {});

// The newest operation, unless it was undone already or another copy of the program is working
// on it.
struct OperationInfo {
    QString directory;
    QString folder;   // the folder it replaced in
    bool interrupted; // its writing did not end (killed)
    int files = 0;
    bool conversion = false; // a conversion of the pages' encoding, not a replace
};
std::optional<OperationInfo> lastOperation();

// Puts back the original of every file of the operation that still holds what the operation
// wrote (or was written to, for an interrupted one); a file changed since is left and listed.
std::optional<QString> undoOperation(const OperationInfo &operation, const OutcomeReport &report);

// Writes the files an interrupted operation had not written yet.
std::optional<QString> finishOperation(const OperationInfo &operation, const OutcomeReport &report);

} // namespace site
