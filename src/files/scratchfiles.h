#pragma once

#include <QString>
#include <QStringList>

namespace files
{

// Files the program writes for a moment and deletes again (the preview's pages). Each is recorded
// in the recovery folder before it is written and its record goes when the file goes, so a copy
// of the program that ends without closing leaves records, not forgotten files: the next start
// removes them (removeRecordedScratchFiles). Without a record folder nothing is recorded.
class ScratchFiles
{
public:
    // recordFolder: the recovery folder, or empty for none; owner: the id whose lock file this copy
    // of the program holds in that folder for as long as it runs.
    ScratchFiles(QString recordFolder, QString owner);
    // Every file still here is deleted.
    ~ScratchFiles();
    ScratchFiles(const ScratchFiles &) = delete;
    ScratchFiles &operator=(const ScratchFiles &) = delete;

    // Creates path with bytes, only if no file of that name exists. False with the system's
    // reason otherwise (*nameTaken tells that a file of the name exists); nothing stays behind.
    bool create(const QString &path, const QByteArray &bytes, QString *reason, bool *nameTaken);
    // Deletes path if it is one of these files; false (and nothing deleted) if not.
    bool remove(const QString &path);
    // Deletes all of these files but keep.
    void removeAllBut(const QString &keep = QString());

    QStringList files() const { return m_files; }

private:
    QString recordName(int serial) const;
    void forget(qsizetype index);

    QString m_folder;
    QString m_owner;
    int m_serial = 0;
    QStringList m_files;      // oldest first
    QStringList m_recordsFor; // the record of each file, empty when none could be written
};

// Deletes, for every record in folder whose owner no longer runs, the recorded file if it is still
// the very file that was written (the same file on disk, not another of that name), and the
// record. Records of running copies and every file not recorded are left alone. Returns how many
// files were deleted.
int removeRecordedScratchFiles(const QString &folder);

} // namespace files
