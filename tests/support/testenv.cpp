#include "testenv.h"

#include <QDir>
#include <QSettings>
#include <cstdlib>

namespace testsupport
{

IsolatedHome::IsolatedHome()
    : m_root(qEnvironmentVariableIsEmpty("TAVLEN_TEST_HOME")
                 ? m_dir.path()
                 : qEnvironmentVariable("TAVLEN_TEST_HOME"))
{
    if (!m_dir.isValid())
        qFatal("cannot create a temporary home folder");
    const QByteArray root = m_root.toLocal8Bit();
    QDir(m_root).mkpath(QStringLiteral(".config"));
    QDir(m_root).mkpath(QStringLiteral(".local/share"));
    QDir(m_root).mkpath(QStringLiteral(".cache"));
    QDir(m_root).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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
    return m_root + QStringLiteral("/.config");
}

QString IsolatedHome::dataDir() const
{
    return m_root + QStringLiteral("/.local/share");
}

IsolatedHome &home()
{
    static IsolatedHome instance;
    return instance;
}

} // namespace testsupport
