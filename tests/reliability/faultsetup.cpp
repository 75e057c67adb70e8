#include "faultsetup.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace faults
{
namespace
{

constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;
const QString Filler = QStringLiteral("filler");

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

void fill(const QString &folder)
{
    QFile filler(folder + QLatin1Char('/') + Filler);
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    const QByteArray one(1, 'x');
    while (filler.write(one) == 1 && filler.flush()) {
    }
}

// Gives every file below folder (and folder) to owner.
void chownTree(const QString &folder, uid_t uid, gid_t gid)
{
    [[maybe_unused]] int ignored = ::chown(native(folder).constData(), uid, gid);
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        ignored = ::chown(native(folder + QLatin1Char('/') + name).constData(), uid, gid);
}

} // namespace

QStringList linesStartingWith(const QString &output, const QString &prefix)
{
    QStringList found;
    for (const QString &line : output.split(QLatin1Char('\n')))
        if (line.startsWith(prefix))
            found << line.mid(prefix.size());
    return found;
}

bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

FaultScene::FaultScene()
{
    QFile::setPermissions(m_root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                             QFile::ExeGroup);
    QDir root(m_root.path());
    root.mkdir(QStringLiteral("place"));
    root.mkdir(QStringLiteral("healthy"));
    root.mkdir(QStringLiteral("tmp"));
    m_place = m_root.path() + QStringLiteral("/place");
    m_healthy = m_root.path() + QStringLiteral("/healthy");
    m_childTemp = m_root.path() + QStringLiteral("/tmp");
    ::chmod(native(m_childTemp).constData(), 01777);
    root.mkdir(QStringLiteral("home"));
    m_childHome = m_root.path() + QStringLiteral("/home");
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("TMPDIR"), m_childTemp);
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    m_env.insert(QStringLiteral("TAVLEN_TEST_HOME"), m_childHome);
}

FaultScene::~FaultScene()
{
    disarm();
}

bool FaultScene::arm(Fault fault, const QString &target, QString *skipReason)
{
    const QString shimFault[] = {QStringLiteral("write"),    QStringLiteral("fsync"),
                                 QStringLiteral("rename"),   QStringLiteral("create"),
                                 QStringLiteral("rename"),   QString(),
                                 QStringLiteral("truncate"), QStringLiteral("close")};
    switch (fault) {
    case Fault::FullDisk: {
        // The files go onto the small disk: move them there first.
        const QString hold = m_root.path() + QStringLiteral("/hold");
        QDir().rename(m_place, hold);
        QDir().mkdir(m_place);
        if (::mount("tmpfs", native(m_place).constData(), "tmpfs", 0, "size=256k") != 0) {
            *skipReason = QStringLiteral("cannot mount a tmpfs here (needs root)");
            QDir(m_place).removeRecursively();
            QDir().rename(hold, m_place);
            return false;
        }
        m_mounted = m_place;
        for (const QString &name : QDir(hold).entryList(QDir::Files | QDir::Hidden))
            QFile::copy(hold + QLatin1Char('/') + name, m_place + QLatin1Char('/') + name);
        QDir(hold).removeRecursively();
        fill(m_place);
        return true;
    }
    case Fault::FileSizeLimit:
        m_childSetup = [] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1024, 1024};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        };
        return true;
    case Fault::ReadOnlyMount: {
        const QByteArray folder = native(m_place);
        if (::mount(folder.constData(), folder.constData(), nullptr, MS_BIND, nullptr) != 0) {
            *skipReason = QStringLiteral("cannot bind-mount here (needs root)");
            return false;
        }
        m_mounted = m_place;
        if (::mount(nullptr, folder.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                    nullptr) != 0) {
            *skipReason = QStringLiteral("cannot remount read-only here");
            return false;
        }
        return true;
    }
    case Fault::Unchangeable: {
        const QString path = target.isEmpty() ? m_place : target;
        if (!setImmutable(path, true)) {
            *skipReason = QStringLiteral("this filesystem cannot make files unchangeable "
                                         "(FS_IOC_SETFLAGS: %1; needs root)")
                              .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        m_immutable = path;
        return true;
    }
    case Fault::OtherUser:
    case Fault::ReadOnlyFile:
    case Fault::SharedFolder:
        if (::geteuid() != 0) {
            *skipReason = QStringLiteral("changing to another user needs root");
            return false;
        }
        chownTree(m_healthy, Nobody, NoGroup); // the settings file's folder is the user's own
        chownTree(m_childHome, Nobody, NoGroup);
        if (fault == Fault::SharedFolder) {
            for (const QString &name : QDir(m_place).entryList(QDir::Files)) {
                [[maybe_unused]] const int given =
                    ::chown(native(m_place + QLatin1Char('/') + name).constData(), Nobody, NoGroup);
            }
        }
        if (fault == Fault::ReadOnlyFile) {
            chownTree(m_place, Nobody, NoGroup);
            for (const QString &name : QDir(m_place).entryList(QDir::Files))
                ::chmod(native(m_place + QLatin1Char('/') + name).constData(), 0444);
        }
        m_childSetup = [] {
            const gid_t groups[] = {NoGroup};
            if (::setgroups(1, groups) != 0 || ::setgid(NoGroup) != 0 || ::setuid(Nobody) != 0)
                ::_exit(97);
        };
        return true;
    case Fault::FailingWrite:
    case Fault::FailingFsync:
    case Fault::FailingRename:
    case Fault::FailingCreate:
    case Fault::KillAtRename:
    case Fault::KillInPlace:
    case Fault::KillAtTemporaryClose: {
        const int index = int(fault) - int(Fault::FailingWrite);
        m_env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAULT_SHIM));
        m_env.insert(QStringLiteral("TAVLEN_FAULT_CALL"), shimFault[index]);
        m_env.insert(QStringLiteral("TAVLEN_FAULT_PATH"), fault == Fault::KillAtTemporaryClose
                                                              ? QStringLiteral(".tavlen-")
                                                              : m_place + QLatin1Char('/'));
        const int code = fault == Fault::FailingWrite    ? ENOSPC
                         : fault == Fault::FailingCreate ? EMFILE
                                                         : EIO;
        m_env.insert(QStringLiteral("TAVLEN_FAULT_ERRNO"), QString::number(code));
        if (fault == Fault::KillAtRename || fault == Fault::KillInPlace ||
            fault == Fault::KillAtTemporaryClose)
            m_env.insert(QStringLiteral("TAVLEN_FAULT_KILL"), QStringLiteral("1"));
        return true;
    }
    }
    return false;
}

void FaultScene::disarm()
{
    if (!m_immutable.isEmpty())
        setImmutable(m_immutable, false);
    m_immutable.clear();
    if (!m_mounted.isEmpty())
        ::umount(native(m_mounted).constData());
    m_mounted.clear();
}

FaultScene::Run FaultScene::runDriver(const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(m_env);
    process.setProgram(QStringLiteral(FAULT_DRIVER));
    process.setArguments(arguments);
    if (m_childSetup)
        process.setChildProcessModifier(m_childSetup);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start();
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

QStringList FaultScene::entries() const
{
    QStringList names = QDir(m_place).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                QDir::NoDotAndDotDot);
    names.removeAll(Filler);
    return names;
}

} // namespace faults
