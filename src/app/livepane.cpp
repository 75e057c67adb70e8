#include "app/livepane.h"

#include "app/webviewloader.h"
#include "livepreview/livepage.h"

#include <QVBoxLayout>

namespace app
{

LivePane::LivePane(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("brwLivePreview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

std::optional<QString> LivePane::openView(livepreview::LivePage &page)
{
    if (m_view)
        return std::nullopt;
    QString reason;
    m_view = createWebView(this, &reason);
    if (!m_view)
        return reason;
    m_view->setObjectName(QStringLiteral("brwLivePreviewView"));
    serveLivePage(m_view, &page);
    layout()->addWidget(m_view);
    return std::nullopt;
}

void LivePane::endView()
{
    delete m_view;
    m_view = nullptr;
}

void LivePane::load(const QUrl &url)
{
    if (m_view)
        m_view->setProperty("url", url); // QWebEngineView::setUrl
}

void LivePane::reload(bool fromDisk)
{
    if (m_view)
        reloadView(m_view, fromDisk);
}

void LivePane::runScript(const QString &script, const std::function<void(const QVariant &)> &done)
{
    if (m_view)
        runViewScript(m_view, script, done);
}

void LivePane::viewLoadEnded(const QUrl &url, bool ok)
{
    Q_EMIT loadEnded(url, ok);
}

} // namespace app
