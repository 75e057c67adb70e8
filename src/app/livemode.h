#pragma once

#include <QRect>

#include <memory>

class QAction;
class QSplitter;
class QWidget;

namespace settings
{
struct AppSettings;
class SettingsStore;
} // namespace settings

namespace livepreview
{
class LivePreview;
}

namespace platform
{
class Prompter;
class RichTextBox;
struct SharedState;
} // namespace platform

namespace app
{

class LivePane;

// What the side-by-side mode works on. Non-owning: the window and its parts outlive it.
struct LiveModeContext {
    QWidget &window; // the parent of messages
    platform::Prompter &prompter;
    QWidget &client; // the editor's usual parent
    platform::RichTextBox &editor;
    const platform::SharedState &state;
    const settings::AppSettings &settings;
    settings::SettingsStore &store; // LivePreview and the splitter's position
    QAction &mnuLivePreview;
    QAction &mnuPreview;
};

// The editor and the live preview side by side in a splitter, in the editor's place. Hidden, the
// editor is back where it was.
class LiveMode
{
public:
    explicit LiveMode(LiveModeContext context);
    ~LiveMode();
    LiveMode(const LiveMode &) = delete;
    LiveMode &operator=(const LiveMode &) = delete;

    // Shows (true) or hides the page beside the text and stores the choice. Refused with a
    // message, and the command unchecked, when the browser engine cannot start.
    void setShown(bool shown);
    bool shown() const;
    // Puts the editor, or the splitter that holds it, at rect (client coordinates).
    void place(const QRect &rect);
    // The preview in the editor's place (Ctrl+W) was shown or hidden.
    void previewSwitched(bool preview);

    livepreview::LivePreview &preview() { return *m_preview; }
    QSplitter *splitter() const { return m_splitter; }
    LivePane *pane() const { return m_pane; }

private:
    void applySplit();
    void storeSplit();

    LiveModeContext m_c;
    QSplitter *m_splitter = nullptr;
    LivePane *m_pane = nullptr;
    std::unique_ptr<livepreview::LivePreview> m_preview;
    QRect m_rect;
};

} // namespace app
