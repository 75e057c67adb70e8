#include "livescheme.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QHash>
#include <QIODevice>
#include <QPointer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <functional>

namespace
{

const QByteArray LiveScheme = QByteArrayLiteral("tavlen-live");

// Asks the page object of the address's host (its Q_INVOKABLE serve(path)) for each request.
class LiveSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void add(QObject *page)
    {
        const QString host = page->property("host").toString();
        m_pages.insert(host, page);
        QObject::connect(page, &QObject::destroyed, this, [this, host] { m_pages.remove(host); });
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        if (job->requestMethod() != QByteArrayLiteral("GET")) {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        const QUrl url = job->requestUrl();
        QObject *page = m_pages.value(url.host());
        QVariantMap answer;
        if (page)
            QMetaObject::invokeMethod(page, "serve", Qt::DirectConnection,
                                      Q_RETURN_ARG(QVariantMap, answer),
                                      Q_ARG(QString, url.path(QUrl::FullyDecoded)));
        const QByteArray mime = answer.value(QStringLiteral("mime")).toByteArray();
        QIODevice *device = nullptr;
        if (answer.contains(QStringLiteral("data"))) {
            auto *buffer = new QBuffer(job);
            buffer->setData(answer.value(QStringLiteral("data")).toByteArray());
            buffer->open(QIODevice::ReadOnly);
            device = buffer;
        } else if (auto *file = qobject_cast<QIODevice *>(
                       answer.value(QStringLiteral("device")).value<QObject *>())) {
            file->setParent(job);
            device = file;
        }
        if (!device) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        job->reply(mime, device);
    }

private:
    QHash<QString, QPointer<QObject>> m_pages;
};

LiveSchemeHandler *handlerFor(QWebEngineProfile *profile)
{
    static QPointer<LiveSchemeHandler> handler;
    if (!handler) {
        handler = new LiveSchemeHandler(QCoreApplication::instance());
        profile->installUrlSchemeHandler(LiveScheme, handler);
    }
    return handler;
}

} // namespace

void registerLiveScheme()
{
    QWebEngineUrlScheme scheme(LiveScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Local like file:, so the page may also load what a page opened from disk loads; but not
    // secure, so the page's http: images and scripts still load beside it.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

// Serves page's addresses in view (a QWebEngineView of this module).
extern "C" Q_DECL_EXPORT void tavlen_serveLivePage(QWidget *view, QObject *page)
{
    auto *engineView = qobject_cast<QWebEngineView *>(view);
    if (!engineView || !page)
        return;
    handlerFor(engineView->page()->profile())->add(page);
}

// Loads view's page again; bypassCache: the files it uses too, not the engine's copies.
extern "C" Q_DECL_EXPORT void tavlen_reloadView(QWidget *view, bool bypassCache)
{
    if (auto *engineView = qobject_cast<QWebEngineView *>(view))
        engineView->triggerPageAction(bypassCache ? QWebEnginePage::ReloadAndBypassCache
                                                  : QWebEnginePage::Reload);
}

// Runs script in view's page, apart from the page's own scripts; done gets the value when the
// page answers. Nothing waits for it.
extern "C" Q_DECL_EXPORT void
tavlen_runViewScript(QWidget *view, const QString &script,
                     const std::function<void(const QVariant &)> &done)
{
    auto *engineView = qobject_cast<QWebEngineView *>(view);
    if (!engineView)
        return;
    if (done)
        engineView->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, done);
    else
        engineView->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}
