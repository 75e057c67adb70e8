// The browser engine, in a library of its own that the program loads on the first preview: the
// engine's libraries are large, and loading them at start-up would cost every start time and
// memory for a preview that may never be used.
#include <QMetaObject>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

// The view tells its parent (the preview browser) which load ended through the parent's slot
// viewLoadEnded(QUrl, bool): the page names the load, where the view's own address would
// already be a newer one's when loads overlap.
extern "C" Q_DECL_EXPORT QWidget *tavlen_createWebView(QWidget *parent)
{
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
