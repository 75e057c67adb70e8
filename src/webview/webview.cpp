// The browser engine, in a library of its own that the program loads on the first preview: the
// engine's libraries are large, and loading them at start-up would cost every start time and
// memory for a preview that may never be used.
#include <QWebEngineView>

extern "C" Q_DECL_EXPORT QWidget *tavlen_createWebView(QWidget *parent)
{
    return new QWebEngineView(parent);
}
