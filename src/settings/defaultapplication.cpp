#include "settings/defaultapplication.h"

#include <QProcess>
#include <QStandardPaths>

namespace settings
{

namespace
{

// The id named on the first line "gio mime <type>" prints in the C locale; empty when it names
// none.
QString defaultFromGioMime(const QString &output)
{
    const QString first = output.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (!first.startsWith(QLatin1String("Default application for ")))
        return QString();
    const qsizetype colon = first.lastIndexOf(QLatin1String(": "));
    const QString id = colon < 0 ? QString() : first.mid(colon + 2).trimmed();
    return id.endsWith(QLatin1String(".desktop")) ? id : QString();
}

} // namespace

std::optional<QString> defaultApplicationFor(const QString &mimeType)
{
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        return std::nullopt;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(gio, {QStringLiteral("mime"), mimeType});
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return defaultFromGioMime(QString::fromUtf8(process.readAllStandardOutput()));
}

} // namespace settings
