#include "app/previewbrowser.h"

#include "app/webviewloader.h"

#include <QLabel>
#include <QVBoxLayout>

namespace app
{

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
    if (!m_view && !m_failure) {
        QString reason;
        m_view = createWebView(this, &reason);
        if (!m_view) {
            m_failure = new QLabel(reason, this);
            m_failure->setWordWrap(true);
            layout()->addWidget(m_failure);
        } else {
            m_view->setObjectName(QStringLiteral("brwPreviewView"));
            layout()->addWidget(m_view);
        }
    }
    if (!m_view) {
        Q_EMIT DocumentComplete(url, false);
        return;
    }
    m_view->setProperty("url", url); // QWebEngineView::setUrl, which loads the page
}

void PreviewBrowser::viewLoadEnded(const QUrl &url, bool ok)
{
    Q_EMIT DocumentComplete(url, ok);
}

} // namespace app
