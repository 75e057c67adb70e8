#include "testenv.h"

#include <QDir>
#include <QSettings>
#include <cstdlib>

namespace testsupport {

IsolatedHome::IsolatedHome()
{
    if (!m_dir.isValid())
        qFatal("cannot create a temporary home folder");
    const QByteArray root = m_dir.path().toLocal8Bit();
    QDir(m_dir.path()).mkpath(QStringLiteral(".config"));
    QDir(m_dir.path()).mkpath(QStringLiteral(".local/share"));
    QDir(m_dir.path()).mkpath(QStringLiteral(".cache"));
    QDir(m_dir.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_dir.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/.config");
    qputenv("XDG_DATA_HOME", root + "/.local/share");
    qputenv("XDG_CACHE_HOME", root + "/.cache");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir());
}

QString IsolatedHome::configDir() const
{
    return m_dir.path() + QStringLiteral("/.config");
}

QString IsolatedHome::dataDir() const
{
    return m_dir.path() + QStringLiteral("/.local/share");
}

IsolatedHome &home()
{
    static IsolatedHome instance;
    return instance;
}

} // namespace testsupport
