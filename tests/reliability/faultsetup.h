#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace faults
{

// The faults the tests make real.
enum class Fault {
    FullDisk,      // a small tmpfs, filled to the last byte
    FileSizeLimit, // RLIMIT_FSIZE of 1 KiB in the child, SIGXFSZ ignored
    ReadOnlyMount, // the folder bind-mounted onto itself read-only
    Unchangeable,  // chattr +i on the file to replace (on the folder for a new file)
    OtherUser,     // the child runs as nobody against a folder and file root owns
    ReadOnlyFile,  // the child runs as nobody; the file is 0444 in a folder nobody may write
    FailingWrite,  // write() fails with ENOSPC (LD_PRELOAD shim)
    FailingFsync,  // fsync()/fdatasync() fail with EIO
    FailingRename, // rename() fails with EIO
    FailingCreate, // creating a file fails with EMFILE
    KillAtRename,  // the child kills itself at rename()
    SharedFolder,  // the child runs as nobody; the file is nobody's, in a folder root owns (0755)
    KillInPlace,   // the child kills itself at ftruncate(), after overwriting a file in place
    KillAtTemporaryClose, // the child kills itself at close() of a file still named as temporary
};

// A folder ("the place") where one operation meets one fault, and how to start the child in it.
class FaultScene
{
public:
    FaultScene();
    ~FaultScene();
    FaultScene(const FaultScene &) = delete;
    FaultScene &operator=(const FaultScene &) = delete;

    QString place() const { return m_place; }
    // A folder outside the fault, readable by every user.
    QString healthy() const { return m_healthy; }

    // Makes the fault real. target is the file the operation replaces (empty: it creates a new
    // file in the place). False with skipReason set where this machine cannot do it.
    bool arm(Fault fault, const QString &target, QString *skipReason);
    // Undoes what arm did to the filesystem (unmount, chattr -i), so the files can be read and
    // removed. Called by the destructor too.
    void disarm();

    // Runs the driver with the arguments under the fault; its standard output.
    struct Run {
        int exitCode = -1;
        bool crashed = false;
        QString output;
    };
    Run runDriver(const QStringList &arguments);

    // The home folder the child runs in, the same for every run of this scene.
    QString childHome() const { return m_childHome; }

    // The place's entries, hidden ones included, except those the fault itself added.
    QStringList entries() const;

private:
    QTemporaryDir m_root;
    QString m_place;
    QString m_healthy;
    QString m_childTemp;
    QString m_childHome;
    QString m_mounted;
    QString m_immutable;
    QProcessEnvironment m_env;
    std::function<void()> m_childSetup;
};

// The rest of each line of the driver's output that starts with prefix.
QStringList linesStartingWith(const QString &output, const QString &prefix);

// Whether the filesystem at path lets files be made unchangeable (chattr +i).
bool setImmutable(const QString &path, bool on);

} // namespace faults
