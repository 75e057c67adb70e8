#pragma once

#include "livepreview/livepage.h"
#include "livepreview/marknumbers.h"

#include <QObject>
#include <QPointF>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace platform
{
class RichTextBox;
struct SharedState;
} // namespace platform

namespace settings
{
struct AppSettings;
}

namespace livepreview
{

class LiveView;

// What the live preview works on. Non-owning: the window and its parts outlive the preview.
struct LiveContext {
    platform::RichTextBox &editor;
    const platform::SharedState &state;    // the document's path
    const settings::AppSettings &settings; // the encoding saving writes
    LiveView &view;
};

// The page beside the text: refreshed from the editor's text a moment after typing pauses and at
// once on save, served from memory (no file is written), at the same scroll position as before;
// a page the files it uses changed under is reloaded; a caret moved to another line scrolls the
// page to the element that starts there. A keystroke only restarts a timer.
class LivePreview : public QObject
{
    Q_OBJECT
public:
    explicit LivePreview(LiveContext context, QObject *parent = nullptr);

    // Shows the text's page; the reason in Japanese when the browser cannot be made.
    std::optional<QString> start();
    void stop();
    bool running() const { return m_running; }

    // The editor's handlers: the text changed, the document was saved, the caret moved.
    void textChanged();
    void saved();
    void caretMoved();
    // The browser's load of url has ended.
    void loadEnded(const QUrl &url, bool ok);

    LivePage &page() { return m_page; }

Q_SIGNALS:
    // The page beside the text shows the newest text: loaded, or changed in place.
    void pageShown();

public:
    // How long typing pauses before the page follows, in milliseconds.
    static constexpr int PauseMs = 500;

private:
    void refresh();
    void show(const QByteArray &bytes, const QByteArray &charset);
    void remembered(bool patchable);
    void patchInPlace();
    void patchAnswered(const QVariant &answer);
    void reloadKeepingPlace();
    void reloadNow();
    void restartView();
    void scrollToCaret();

    LiveContext m_c;
    LivePage m_page;
    bool m_running = false;
    QUrl m_shownUrl;
    QTimer m_pause;        // typing paused
    QTimer m_linked;       // a file the page uses changed; a save may change it a few times
    QTimer m_caret;        // the caret stays on its new line
    QTimer m_answer;       // the page did not say where it was scrolled: reloaded anyway
    QTimer m_patchWait;    // the page was not changed in place: loaded again instead
    QTimer m_rememberWait; // the page just loaded was not read: loaded again on a change
    QTimer m_stuck;        // the page neither answered nor loaded again: its browser made anew
    bool m_askingPlace = false;
    bool m_fromDisk = false; // the next reload reads the files the page uses again
    int m_round = 0;
    // The page shown runs no script, so it is changed in place rather than loaded again.
    bool m_patchable = false;
    bool m_patching = false;
    bool m_patchAgain = false;  // newer bytes came while the page was being changed
    bool m_remembering = false; // the page just loaded is being read for changing in place
    bool m_showPending = false; // newer bytes came meanwhile

    int m_generation = 0; // of the page's bytes being made
    std::optional<QPointF> m_place;
    bool m_restorePlace = false;
    int m_caretLine = 0;
    MarkNumbers m_numbers;
    QString m_numberedPath;
};

} // namespace livepreview
