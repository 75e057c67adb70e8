#include "site/folderoperation.h"

#include "codec/filetext.h"
#include "files/atomicwrite.h"
#include "files/fileio.h"
#include "files/filestamp.h"
#include "files/leftovers.h"
#include "files/readdocument.h"
#include "files/recoveryfolder.h"
#include "files/regularfile.h"
#include "files/systemreason.h"
#include "site/pageconvert.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace site
{

namespace
{

constexpr QByteArrayView Header = "tavlen folder operation 1";
const QString ManifestName = QStringLiteral("manifest");
const QString PackName = QStringLiteral("originals");
const QString AppliedName = QStringLiteral("applied");
const QString UndoneName = QStringLiteral("undone");
const QString LockName = QStringLiteral("lock");
constexpr int KeptOperations = 3;

struct Entry {
    qint64 offset = 0;
    qint64 size = 0;
    quint64 oldHash = 0;
    quint64 newHash = 0;
    qsizetype count = 0;
    QString path;
    QString relativePath;
};

struct Manifest {
    QString folder;
    FindOptions find;
    std::optional<PageEncoding> convertTo; // a conversion of the pages' encoding, not a replace
    std::vector<Entry> entries;
};

QByteArray encoded(const QString &text)
{
    const QByteArray bytes = QUrl::toPercentEncoding(text);
    return bytes.isEmpty() ? QByteArray("%") : bytes; // "%" alone stands for the empty text
}

QString decoded(const QByteArray &field)
{
    return field == "%" ? QString() : QString::fromUtf8(QByteArray::fromPercentEncoding(field));
}

QByteArray hex(quint64 value)
{
    return QByteArray::number(value, 16);
}

QByteArray manifestBytes(const Manifest &manifest)
{
    QByteArray out = Header.toByteArray() + '\n';
    out += "folder " + encoded(manifest.folder) + '\n';
    out += "find " + encoded(manifest.find.find) + '\n';
    out += "replacement " + encoded(manifest.find.replacement) + '\n';
    out += "regexp " + QByteArray::number(int(manifest.find.regexp)) + '\n';
    out += "ignore-case " + QByteArray::number(int(manifest.find.ignoreCase)) + '\n';
    if (manifest.convertTo)
        out += "convert " + declarationName(*manifest.convertTo) + '\n';
    for (const Entry &e : manifest.entries)
        out += "file " + QByteArray::number(e.offset) + ' ' + QByteArray::number(e.size) + ' ' +
               hex(e.oldHash) + ' ' + hex(e.newHash) + ' ' + QByteArray::number(e.count) + ' ' +
               encoded(e.path) + ' ' + encoded(e.relativePath) + '\n';
    return out;
}

std::optional<Manifest> readManifest(const QString &directory)
{
    QFile file(directory + QLatin1Char('/') + ManifestName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.isEmpty() || lines[0] != Header)
        return std::nullopt;
    Manifest manifest;
    for (const QByteArray &line : lines) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() == 2 && f[0] == "folder")
            manifest.folder = decoded(f[1]);
        else if (f.size() == 2 && f[0] == "find")
            manifest.find.find = decoded(f[1]);
        else if (f.size() == 2 && f[0] == "replacement")
            manifest.find.replacement = decoded(f[1]);
        else if (f.size() == 2 && f[0] == "regexp")
            manifest.find.regexp = f[1] == "1";
        else if (f.size() == 2 && f[0] == "ignore-case")
            manifest.find.ignoreCase = f[1] == "1";
        else if (f.size() == 2 && f[0] == "convert")
            manifest.convertTo = conversionTargetOfName(QString::fromLatin1(f[1]));
        else if (f.size() == 8 && f[0] == "file")
            manifest.entries.push_back(
                {f[1].toLongLong(), f[2].toLongLong(), f[3].toULongLong(nullptr, 16),
                 f[4].toULongLong(nullptr, 16), f[5].toLongLong(), decoded(f[6]), decoded(f[7])});
    }
    return manifest;
}

bool exists(const QString &directory, const QString &name)
{
    return QFile::exists(directory + QLatin1Char('/') + name);
}

// Writes a small file of the operation and makes it and its name durable.
std::optional<QString> writeDurably(const QString &path, QByteArrayView bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int error = 0;
    if (fd < 0)
        return files::systemReason(errno);
    if (!files::writeAll(fd, bytes, &error) || ::fsync(fd) != 0) {
        error = error ? error : errno;
        ::close(fd);
        return files::systemReason(error);
    }
    ::close(fd);
    files::syncFolderOf(name);
    return std::nullopt;
}

std::optional<quint64> currentHash(const QString &path)
{
    auto read = files::readRegularFile(path, files::kMaxFileSize);
    if (const QByteArray *bytes = std::get_if<QByteArray>(&read))
        return files::contentHash(*bytes);
    return std::nullopt;
}

QString changedSinceReason()
{
    return QStringLiteral("検索の後でファイルが変わっているため、書きませんでした。");
}

// The bytes of the planned file while they are still what the plan saw; nothing otherwise, with
// the reason in skipReason.
std::optional<QByteArray> readAsPlanned(const Entry &entry, QString &skipReason)
{
    std::optional<QByteArray> bytes = readPageOrSkip(entry.path, skipReason);
    if (bytes && files::contentHash(*bytes) != entry.oldHash) {
        skipReason = changedSinceReason();
        return std::nullopt;
    }
    return bytes;
}

// Reads the file, checks it is still what the plan saw, replaces in it and writes it. Returns
// the skip reason, or nothing when the file was written.
std::optional<QString> replaceInFile(const Entry &entry, PageMatcher &matcher)
{
    QString reason;
    const std::optional<QByteArray> bytes = readAsPlanned(entry, reason);
    if (!bytes)
        return reason;
    auto page = decodePage(*bytes, true);
    if (const PageSkip *skip = std::get_if<PageSkip>(&page))
        return skip->reason;
    const DecodedPage &text = std::get<DecodedPage>(page);
    auto edits = matcher.edits(text.text);
    if (const QString *reason = std::get_if<QString>(&edits))
        return *reason;
    QString changed;
    qsizetype at = 0;
    for (const search::TextEdit &edit : std::get<std::vector<search::TextEdit>>(edits)) {
        changed.append(QStringView(text.text).mid(at, edit.start - at));
        changed.append(edit.text);
        at = edit.start + edit.length;
    }
    changed.append(QStringView(text.text).mid(at));
    auto written = encodePage(changed, text.form);
    if (const PageSkip *skip = std::get_if<PageSkip>(&written))
        return skip->reason;
    const QByteArray &newBytes = std::get<QByteArray>(written);
    if (files::contentHash(newBytes) != entry.newHash)
        return changedSinceReason();
    return files::writeFileAtomically(entry.path, newBytes);
}

// Reads the file, checks it is still what the plan saw, converts it and writes it; then reads it
// back and checks the browser reads the text the conversion meant. A file that fails that check
// is named in *proofFailed.
std::optional<QString> convertFile(const Entry &entry, PageEncoding target,
                                   const std::function<void(const QString &)> &afterWrite,
                                   bool *proofFailed)
{
    QString reason;
    const std::optional<QByteArray> bytes = readAsPlanned(entry, reason);
    if (!bytes)
        return reason;
    const PageConversion conversion = convertPage(*bytes, target);
    if (conversion.kind != PageConversion::Kind::Convert)
        return conversion.skipReason;
    if (files::contentHash(conversion.bytes) != entry.newHash)
        return changedSinceReason();
    if (auto failure = files::writeFileAtomically(entry.path, conversion.bytes))
        return failure;
    if (afterWrite)
        afterWrite(entry.path);
    auto again = files::readRegularFile(entry.path, files::kMaxFileSize);
    const QByteArray *back = std::get_if<QByteArray>(&again);
    const std::optional<QString> text =
        back ? readPageText(*back, conversion.to) : std::optional<QString>();
    if (text != conversion.expectedText) {
        *proofFailed = true;
        return QStringLiteral("書いたファイルを読み直すと、ブラウザーに見える文字が変換前と"
                              "違っていました。");
    }
    return std::nullopt;
}

// A pause before each file, for the tests that kill the program in the middle of an operation;
// they get the files one at a time.
int testPauseMs()
{
    static const int ms = qEnvironmentVariableIntValue("TAVLEN_FOLDER_APPLY_PAUSE_MS");
    return ms;
}

using EntryWriter = std::function<std::optional<QString>(const Entry &, PageMatcher &)>;

// What an operation writes into each file, and what stops it.
struct OperationWriter {
    EntryWriter write;
    std::function<void(const QString &)> afterWrite; // for the tests: each file just written
    std::mutex mutex;
    QStringList proofFailures; // files the conversion's check found wrong, in no order
};

// The writer of the manifest's operation; only files with skipWritten unset are written again
// if they already hold the new bytes.
void setWriter(OperationWriter &writer, const Manifest &manifest, JobControl *control,
               bool skipWritten)
{
    if (manifest.convertTo) {
        const PageEncoding target = *manifest.convertTo;
        writer.write = [&writer, target, control, skipWritten](const Entry &entry, PageMatcher &) {
            if (skipWritten && currentHash(entry.path) == entry.newHash)
                return std::optional<QString>();
            bool proofFailed = false;
            auto reason = convertFile(entry, target, writer.afterWrite, &proofFailed);
            if (proofFailed) {
                const std::lock_guard<std::mutex> lock(writer.mutex);
                writer.proofFailures.append(entry.path);
                control->cancel = true;
            }
            return reason;
        };
    } else {
        writer.write = [skipWritten](const Entry &entry, PageMatcher &matcher) {
            return skipWritten && currentHash(entry.path) == entry.newHash
                       ? std::nullopt
                       : replaceInFile(entry, matcher);
        };
    }
}

// Writes the entries on a few threads, since each file's flush to the disk waits on the disk
// rather than the processor, and reports each in the manifest's order.
void writeEntries(const std::vector<Entry> &entries, const FindOptions &find,
                  const EntryWriter &write, const OutcomeReport &report, JobControl *control)
{
    const unsigned workers =
        testPauseMs() > 0 ? 1u : std::clamp(std::thread::hardware_concurrency() * 2, 2u, 8u);
    std::vector<std::optional<FileOutcome>> done(entries.size());
    std::mutex mutex;
    size_t reported = 0;
    std::atomic<size_t> next{0};
    const auto work = [&] {
        PageMatcher matcher(find);
        for (size_t i = next++; i < entries.size(); i = next++) {
            if (control && control->cancel.load())
                break; // the rest stay as they were; undo still covers what was written
            if (testPauseMs() > 0)
                QThread::msleep(testPauseMs());
            const Entry &entry = entries[i];
            FileOutcome outcome{entry.path, entry.relativePath, entry.count, {}};
            if (auto reason = write(entry, matcher))
                outcome.skipReason = *reason;
            const std::lock_guard<std::mutex> lock(mutex);
            done[i] = std::move(outcome);
            for (; reported < done.size() && done[reported]; ++reported) {
                report(*done[reported]);
                done[reported].reset();
                if (control)
                    ++control->filesDone;
            }
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::min<size_t>(workers, entries.size()); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &thread : pool)
        thread.join();
}

QStringList foldersOfEntries(const std::vector<Entry> &entries)
{
    std::vector<QString> paths;
    for (const Entry &e : entries)
        paths.push_back(e.path);
    return files::foldersOf(paths);
}

// The operations, oldest first.
QStringList operationDirectories()
{
    QDir dir(operationsFolder());
    QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QStringList paths;
    for (const QString &name : names)
        paths.append(dir.filePath(name));
    return paths;
}

// Removes operations no undo reaches any more: all but the newest few, never an interrupted one
// nor one another copy is working on.
void pruneOperations()
{
    const QStringList all = operationDirectories();
    for (qsizetype i = 0; i + KeptOperations < all.size(); ++i) {
        const QString &directory = all[i];
        QLockFile lock(directory + QLatin1Char('/') + LockName);
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        if (!exists(directory, AppliedName) && exists(directory, ManifestName) &&
            !exists(directory, UndoneName))
            continue;
        lock.unlock();
        QDir(directory).removeRecursively();
    }
}

} // namespace

QString operationsFolder()
{
    return files::recoveryFolder() + QStringLiteral("/FolderOperations");
}

namespace
{

struct Planned {
    QString path;
    QString relativePath;
    quint64 oldHash = 0;
    quint64 newHash = 0;
    qsizetype count = 0;
};

// The operation's directory, held by its lock as long as the operation works on it.
struct OpenOperation {
    QString directory;
    std::unique_ptr<QLockFile> lock;
    Manifest manifest;
};

// Opens an operation that exists already: locks it and reads its manifest.
std::variant<OpenOperation, QString> openOperation(const QString &directory)
{
    OpenOperation open{
        directory, std::make_unique<QLockFile>(directory + QLatin1Char('/') + LockName), {}};
    open.lock->setStaleLockTime(0);
    if (!open.lock->tryLock(0))
        return QStringLiteral("ほかのたぶれんがこの操作を扱っています。");
    std::optional<Manifest> manifest = readManifest(directory);
    if (!manifest)
        return QStringLiteral("操作の記録を読めません。");
    open.manifest = std::move(*manifest);
    return open;
}

// Puts back the original of each entry that holds what the operation wrote, or whose path is in
// also, and marks the operation undone.
std::optional<QString> restoreOriginals(const OpenOperation &operation, const OutcomeReport &report,
                                        const QStringList &also = {})
{
    QFile pack(operation.directory + QLatin1Char('/') + PackName);
    if (!pack.open(QIODevice::ReadOnly))
        return QStringLiteral("元のファイルを読めません。") + pack.errorString();
    const std::vector<Entry> &entries = operation.manifest.entries;
    for (const Entry &entry : entries) {
        FileOutcome outcome{entry.path, entry.relativePath, entry.count, {}, true, false};
        const std::optional<quint64> now = currentHash(entry.path);
        if (now == entry.oldHash) {
            outcome.count = 0; // never written, or put back already
        } else if (now != entry.newHash && !also.contains(entry.path)) {
            outcome.skipReason =
                operation.manifest.convertTo
                    ? QStringLiteral("変換の後でファイルが変わっているため、戻しませんでした。")
                    : QStringLiteral(
                          "置き換えの後でファイルが変わっているため、戻しませんでした。");
        } else if (!pack.seek(entry.offset)) {
            outcome.skipReason = QStringLiteral("元のファイルを読めません。");
        } else {
            const QByteArray original = pack.read(entry.size);
            if (original.size() != entry.size || files::contentHash(original) != entry.oldHash)
                outcome.skipReason = QStringLiteral("保存しておいた元のファイルが壊れています。");
            else if (auto failure = files::writeFileAtomically(entry.path, original))
                outcome.skipReason = *failure;
            else
                outcome.restored = true;
        }
        report(outcome);
    }
    files::removeWriteLeftovers(foldersOfEntries(entries));
    return writeDurably(operation.directory + QLatin1Char('/') + UndoneName, "undone\n");
}

// Writes the entries of the operation; a conversion whose check fails stops the operation and
// puts back every file it wrote.
std::optional<QString> writeOperation(const OpenOperation &operation, const OutcomeReport &report,
                                      JobControl *control, bool skipWritten,
                                      const std::function<void(const QString &)> &afterWrite)
{
    JobControl local;
    if (!control)
        control = &local;
    OperationWriter writer;
    writer.afterWrite = afterWrite;
    setWriter(writer, operation.manifest, control, skipWritten);
    writeEntries(operation.manifest.entries, operation.manifest.find, writer.write, report,
                 control);
    if (!writer.proofFailures.isEmpty()) {
        const auto undone = restoreOriginals(operation, report, writer.proofFailures);
        return QStringLiteral(
                   "書いたファイル %1 を読み直すと、ブラウザーに見える文字が変換前と"
                   "違っていたため、変換をやめて、書いたファイルをすべて元に戻しました。")
                   .arg(QDir::toNativeSeparators(writer.proofFailures.first())) +
               undone.value_or(QString());
    }
    writeDurably(operation.directory + QLatin1Char('/') + AppliedName, "done\n");
    return std::nullopt;
}

// Starts an operation: the originals of the planned files, then the manifest, all made durable
// before the first file is written; then writes the files.
std::optional<QString> runOperation(Manifest manifest, const std::vector<Planned> &plan,
                                    const OutcomeReport &report, JobControl *control,
                                    const std::function<void(const QString &)> &afterWrite)
{
    pruneOperations();
    const QString directory =
        operationsFolder() + QLatin1Char('/') +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
        QLatin1Char('-') + QString::number(QCoreApplication::applicationPid());
    if (!QDir().mkpath(directory))
        return QStringLiteral("復元用フォルダー %1 を作れません。").arg(directory);
    OpenOperation operation{
        directory, std::make_unique<QLockFile>(directory + QLatin1Char('/') + LockName), {}};
    operation.lock->setStaleLockTime(0);
    if (!operation.lock->tryLock(0))
        return QStringLiteral("復元用フォルダー %1 を使えません。").arg(directory);

    // The originals, all of them, before any file is written.
    const QString packPath = directory + QLatin1Char('/') + PackName;
    const QByteArray packName = QFile::encodeName(packPath);
    const int pack = ::open(packName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (pack < 0)
        return QStringLiteral("元のファイルを保存できません。") + files::systemReason(errno);
    qint64 offset = 0;
    for (const Planned &planned : plan) {
        FileOutcome outcome{planned.path, planned.relativePath, planned.count, {}};
        auto read = files::readRegularFile(planned.path, files::kMaxFileSize);
        if (const QString *reason = std::get_if<QString>(&read)) {
            outcome.skipReason = *reason;
            report(outcome);
            continue;
        }
        const QByteArray &bytes = std::get<QByteArray>(read);
        if (files::contentHash(bytes) != planned.oldHash) {
            outcome.skipReason = changedSinceReason();
            report(outcome);
            continue;
        }
        int error = 0;
        if (!files::writeAll(pack, bytes, &error)) {
            ::close(pack);
            QDir(directory).removeRecursively();
            return QStringLiteral("元のファイルを保存できません。") + files::systemReason(error);
        }
        manifest.entries.push_back({offset, bytes.size(), planned.oldHash, planned.newHash,
                                    outcome.count, planned.path, planned.relativePath});
        offset += bytes.size();
    }
    const bool packSynced = ::fsync(pack) == 0;
    const int packError = errno;
    ::close(pack);
    if (!packSynced) {
        QDir(directory).removeRecursively();
        return QStringLiteral("元のファイルを保存できません。") + files::systemReason(packError);
    }
    const QString manifestPath = directory + QLatin1Char('/') + ManifestName;
    if (auto failure = writeDurably(manifestPath + QStringLiteral(".new"), manifestBytes(manifest));
        failure || !QFile::rename(manifestPath + QStringLiteral(".new"), manifestPath)) {
        QDir(directory).removeRecursively();
        return QStringLiteral("元のファイルの一覧を保存できません。") + failure.value_or(QString());
    }
    files::syncFolderOf(QFile::encodeName(manifestPath));
    operation.manifest = std::move(manifest);

    // Now the files.
    return writeOperation(operation, report, control, false, afterWrite);
}

} // namespace

std::optional<QString> applyReplacement(const QString &folder, const FindOptions &find,
                                        const std::vector<FileResult> &plan,
                                        const OutcomeReport &report, JobControl *control)
{
    std::vector<Planned> planned;
    for (const FileResult &result : plan)
        if (result.skipReason.isEmpty() && !result.matches.empty())
            planned.push_back({result.path, result.relativePath, result.oldHash, result.newHash,
                               qsizetype(result.matches.size())});
    return runOperation(Manifest{folder, find, std::nullopt, {}}, planned, report, control, {});
}

std::optional<QString> applyConversion(const QString &folder, PageEncoding target,
                                       const std::vector<ConvertResult> &plan,
                                       const OutcomeReport &report, JobControl *control,
                                       const std::function<void(const QString &)> &afterWrite)
{
    std::vector<Planned> planned;
    for (const ConvertResult &result : plan)
        if (result.kind == PageConversion::Kind::Convert)
            planned.push_back({result.path, result.relativePath, result.oldHash, result.newHash,
                               qsizetype(result.unwritable.size())});
    return runOperation(Manifest{folder, {}, target, {}}, planned, report, control, afterWrite);
}

std::optional<OperationInfo> lastOperation()
{
    const QStringList all = operationDirectories();
    for (qsizetype i = all.size() - 1; i >= 0; --i) {
        const QString &directory = all[i];
        if (!exists(directory, ManifestName))
            continue; // never got as far as writing a file
        if (exists(directory, UndoneName))
            return std::nullopt;
        QLockFile lock(directory + QLatin1Char('/') + LockName);
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            return std::nullopt;
        const std::optional<Manifest> manifest = readManifest(directory);
        if (!manifest)
            return std::nullopt;
        return OperationInfo{directory, manifest->folder, !exists(directory, AppliedName),
                             int(manifest->entries.size()), manifest->convertTo.has_value()};
    }
    return std::nullopt;
}

std::optional<QString> undoOperation(const OperationInfo &operation, const OutcomeReport &report)
{
    auto open = openOperation(operation.directory);
    if (const QString *failure = std::get_if<QString>(&open))
        return *failure;
    return restoreOriginals(std::get<OpenOperation>(open), report);
}

std::optional<QString> finishOperation(const OperationInfo &operation, const OutcomeReport &report)
{
    auto open = openOperation(operation.directory);
    if (const QString *failure = std::get_if<QString>(&open))
        return *failure;
    const OpenOperation &opened = std::get<OpenOperation>(open);
    files::removeWriteLeftovers(foldersOfEntries(opened.manifest.entries));
    return writeOperation(opened, report, nullptr, true, {});
}

} // namespace site
