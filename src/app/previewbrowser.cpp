#include "app/previewbrowser.h"

#include <QVBoxLayout>
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
        connect(m_view, &QWebEngineView::loadFinished, this,
                [this](bool ok) { Q_EMIT DocumentComplete(m_view->url(), ok); });
    }
    m_view->load(url);
}

} // namespace app
