#include "app/webviewloader.h"

#include "app/enginestart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>
#include <QStringList>

// Qt's own setter of the context every OpenGL context shares with (exported by Qt GUI, not in its
// public headers); the browser engine draws through it.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace app
{

namespace
{

using Factory = QWidget *(*)(QWidget *);
using ServeLivePage = void (*)(QWidget *, QObject *);
using ReloadView = void (*)(QWidget *, bool);
using RunViewScript = void (*)(QWidget *, const QString &,
                               const std::function<void(const QVariant &)> &);

// The engine's library once it is loaded; empty before.
QString &loadedLibrary()
{
    static QString path;
    return path;
}

// A function of the engine's library, once a view was made; nullptr before.
QFunctionPointer engineFunction(const char *name)
{
    if (loadedLibrary().isEmpty())
        return nullptr;
    QLibrary library(loadedLibrary());
    return library.resolve(name);
}

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

// The browser engine draws through an OpenGL context that the windows share. Made here, before the
// engine is loaded, instead of at start-up: creating it costs every start tens of milliseconds and
// tens of megabytes (the whole OpenGL driver) for a preview that may never be opened.
void shareOpenGLContexts()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto *context = new QOpenGLContext(QCoreApplication::instance());
    context->create(); // without OpenGL the engine draws in software
    qt_gl_set_global_share_context(context);
}

} // namespace

QWidget *createWebView(QWidget *parent, QString *reason)
{
    static Factory factory = nullptr;
    static QString failure;
    if (!factory) {
        if (const std::optional<QString> refusal = engineStartRefusal(currentEngineStart())) {
            if (reason)
                *reason = *refusal; // the engine would end the program: it is not even loaded
            return nullptr;
        }
    }
    if (!factory && failure.isEmpty()) {
        shareOpenGLContexts();
        for (const QString &path : candidates()) {
            if (!QFileInfo::exists(path))
                continue;
            QLibrary library(path);
            factory = reinterpret_cast<Factory>(library.resolve("tavlen_createWebView"));
            if (factory) {
                loadedLibrary() = path;
                break;
            }
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

void serveLivePage(QWidget *view, QObject *page)
{
    if (auto serve = reinterpret_cast<ServeLivePage>(engineFunction("tavlen_serveLivePage")))
        serve(view, page);
}

void reloadView(QWidget *view, bool fromDisk)
{
    if (auto reload = reinterpret_cast<ReloadView>(engineFunction("tavlen_reloadView")))
        reload(view, fromDisk);
}

void runViewScript(QWidget *view, const QString &script,
                   const std::function<void(const QVariant &)> &done)
{
    if (auto run = reinterpret_cast<RunViewScript>(engineFunction("tavlen_runViewScript")))
        run(view, script, done);
}

} // namespace app
