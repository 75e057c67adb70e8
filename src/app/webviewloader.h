#pragma once

#include <QString>
#include <QVariant>

#include <functional>

class QObject;
class QWidget;

namespace app
{

// The browser engine's view (a QWebEngineView) from the library that holds the engine, loaded
// on the first call. nullptr, with the reason in Japanese, when the library cannot be loaded.
QWidget *createWebView(QWidget *parent, QString *reason);

// Has view (made by createWebView) serve the addresses of a live preview's page (an object with
// a "host" property and an invokable serve(path), see livepreview::LivePage).
void serveLivePage(QWidget *view, QObject *page);
// Loads view's page again; fromDisk: without the copies the engine keeps of the files it uses.
void reloadView(QWidget *view, bool fromDisk);
// Runs script in view's page apart from the page's own scripts; done gets its value when the page
// answers, or never. Returns at once.
void runViewScript(QWidget *view, const QString &script,
                   const std::function<void(const QVariant &)> &done);

} // namespace app
