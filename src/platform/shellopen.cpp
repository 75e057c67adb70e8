#include "platform/shellopen.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform
{

bool DesktopShellOpener::open(const QString &fileOrUrl)
{
    const QUrl url =
        fileOrUrl.contains(QLatin1String("://")) ? QUrl(fileOrUrl) : QUrl::fromLocalFile(fileOrUrl);
    return QDesktopServices::openUrl(url);
}

} // namespace platform
