#include "app/webviewloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace app
{

namespace
{

using Factory = QWidget *(*)(QWidget *);

// Where the engine's library may be, first found first used: in lib/tavlen beside bin when the
// program is installed, beside the program (the build tree), or in the build tree of this very
// build (tests and benchmarks run from other folders). The build tree has a share/tavlen of its
// own too, so that folder does not tell an install apart.
QStringList candidates()
{
    const QString name = QStringLiteral("libtavlen_webview.so");
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.absoluteFilePath(QStringLiteral("../") + QStringLiteral(TAVLEN_LIBDIR) +
                                     QStringLiteral("/tavlen/") + name),
            program.absoluteFilePath(name), QStringLiteral(TAVLEN_WEBVIEW_BUILD_PATH)};
}

} // namespace

QWidget *createWebView(QWidget *parent, QString *reason)
{
    static Factory factory = nullptr;
    static QString failure;
    if (!factory && failure.isEmpty()) {
        for (const QString &path : candidates()) {
            if (!QFileInfo::exists(path))
                continue;
            QLibrary library(path);
            factory = reinterpret_cast<Factory>(library.resolve("tavlen_createWebView"));
            if (factory)
                break;
            failure = library.errorString();
        }
        if (!factory && failure.isEmpty())
            failure = QStringLiteral("libtavlen_webview.so が見つかりません。");
    }
    if (!factory) {
        if (reason)
            *reason = QStringLiteral("ブラウザ部品を読み込めませんでした: ") + failure;
        return nullptr;
    }
    return factory(parent);
}

} // namespace app
