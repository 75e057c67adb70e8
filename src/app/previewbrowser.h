#pragma once

#include <QUrl>
#include <QWidget>

class QLabel;

namespace app
{

// The embedded browser brwPreview. The web engine is loaded and created on the first real
// navigation, so start-up stays fast; until then the widget only remembers where it was pointed.
// When the engine cannot be loaded, the widget says why and each navigation completes unloaded.
class PreviewBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewBrowser(QWidget *parent = nullptr);

    void Navigate2(const QUrl &url);
    QUrl currentUrl() const { return m_url; }
    // The engine's view (a QWebEngineView), or nullptr while it has not been needed yet.
    QWidget *view() const { return m_view; }

Q_SIGNALS:
    // The load of url has ended: finished (ok), failed, or stopped by a newer one.
    void DocumentComplete(const QUrl &url, bool ok);

public Q_SLOTS:
    // Called by the engine's view when the load of url has ended (it names the load: when
    // loads overlap, the view's own address is already the newer one's).
    void viewLoadEnded(const QUrl &url, bool ok);

private:
    QWidget *m_view = nullptr;
    QLabel *m_failure = nullptr;
    QUrl m_url;
};

} // namespace app
