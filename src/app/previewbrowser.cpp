#include "app/previewbrowser.h"

#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace app {

PreviewBrowser::PreviewBrowser(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("brwPreview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void PreviewBrowser::Navigate2(const QUrl &url)
{
    m_url = url;
    if (!m_view && url == QUrl(QStringLiteral("about:blank")))
        return; // nothing to show yet: the engine is created when a page is wanted
    if (!m_view) {
        m_view = new QWebEngineView(this);
        m_view->setObjectName(QStringLiteral("brwPreviewView"));
        layout()->addWidget(m_view);
        // The page names the load that ended: when loads overlap, the view's own address is
        // already the newer one's.
        connect(m_view->page(), &QWebEnginePage::loadingChanged, this,
                [this](const QWebEngineLoadingInfo &info) {
                    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                        Q_EMIT DocumentComplete(info.url(),
                                                info.status() ==
                                                    QWebEngineLoadingInfo::LoadSucceededStatus);
                });
    }
    m_view->load(url);
}

} // namespace app
