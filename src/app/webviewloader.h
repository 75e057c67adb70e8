#pragma once

#include <QString>

class QWidget;

namespace app
{

// The browser engine's view (a QWebEngineView) from the library that holds the engine, loaded
// on the first call. nullptr, with the reason in Japanese, when the library cannot be loaded.
QWidget *createWebView(QWidget *parent, QString *reason);

} // namespace app
