#pragma once

#include "livepreview/liveview.h"

#include <QWidget>

class QLabel;

namespace app
{

// The live preview's browser: the engine's view, made when the live preview is shown and ended
// when it is hidden (a page stuck in its own script goes with it).
class LivePane : public QWidget, public livepreview::LiveView
{
    Q_OBJECT
public:
    explicit LivePane(QWidget *parent = nullptr);

    std::optional<QString> openView(livepreview::LivePage &page) override;
    void endView() override;
    void load(const QUrl &url) override;
    void reload(bool fromDisk) override;
    void runScript(const QString &script,
                   const std::function<void(const QVariant &)> &done = {}) override;

    // The engine's view, or nullptr while none is made.
    QWidget *view() const { return m_view; }

Q_SIGNALS:
    void loadEnded(const QUrl &url, bool ok);

public Q_SLOTS:
    // Called by the engine's view when the load of url has ended.
    void viewLoadEnded(const QUrl &url, bool ok);

private:
    QWidget *m_view = nullptr;
};

} // namespace app
