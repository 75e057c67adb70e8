#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

namespace app {

// The embedded browser brwPreview. The web engine is created on the first real navigation, so
// start-up stays fast; until then the widget only remembers where it was pointed.
class PreviewBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewBrowser(QWidget *parent = nullptr);

    void Navigate2(const QUrl &url);
    QUrl currentUrl() const { return m_url; }
    // The engine's view, or nullptr while it has not been needed yet.
    QWebEngineView *view() const { return m_view; }

Q_SIGNALS:
    // The load of url has ended: finished (ok), failed, or stopped by a newer one.
    void DocumentComplete(const QUrl &url, bool ok);

private:
    QWebEngineView *m_view = nullptr;
    QUrl m_url;
};

} // namespace app
