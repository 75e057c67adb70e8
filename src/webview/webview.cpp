// The browser engine, in a library of its own that the program loads on the first preview: the
// engine's libraries are large, and loading them at start-up would cost every start time and
// memory for a preview that may never be used.
#include "livescheme.h"

#include <QMetaObject>
#include <QQuickWindow>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

// The view tells its parent (the preview browser) which load ended through the parent's slot
// viewLoadEnded(QUrl, bool): the page names the load, where the view's own address would
// already be a newer one's when loads overlap.
extern "C" Q_DECL_EXPORT QWidget *tavlen_createWebView(QWidget *parent)
{
    // The view's pages are composed in software. Composed through OpenGL, the first view would
    // make Qt destroy the main window and make it anew with an OpenGL surface (a new X window: a
    // flicker, and the window manager forgets where it put it), unless the window had one from
    // the start, which loads the whole OpenGL driver into every start. The engine renders pages
    // in software anyway when it has no OpenGL context to share.
    static const bool software = [] {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        registerLiveScheme(); // before the engine starts with the first view
        return true;
    }();
    Q_UNUSED(software);
    auto *view = new QWebEngineView(parent);
    QObject::connect(view->page(), &QWebEnginePage::loadingChanged, view,
                     [parent, view](const QWebEngineLoadingInfo &info) {
                         if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                             return;
                         const bool ok =
                             info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
                         QMetaObject::invokeMethod(parent, "viewLoadEnded", Q_ARG(QUrl, info.url()),
                                                   Q_ARG(bool, ok));
                         // A page asked for while another was still loading may be loaded within
                         // that same load and reported only under the first page's address. Once
                         // nothing is loading, the page the view shows has ended too.
                         const QUrl shown = view->page()->url();
                         if (!view->page()->isLoading() && shown != info.url())
                             QMetaObject::invokeMethod(parent, "viewLoadEnded", Q_ARG(QUrl, shown),
                                                       Q_ARG(bool, ok));
                     });
    return view;
}
