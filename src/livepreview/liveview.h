#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <optional>

namespace livepreview
{

class LivePage;

// The browser the live preview drives. Nothing here waits for the page: a page whose scripts
// never end holds up its own process, never the editor.
class LiveView
{
public:
    virtual ~LiveView() = default;
    // Makes the browser, serving page's addresses; the reason in Japanese when it cannot be.
    virtual std::optional<QString> openView(LivePage &page) = 0;
    // Ends the browser (and the page's process with it).
    virtual void endView() = 0;
    virtual void load(const QUrl &url) = 0;
    // Loads the page again; fromDisk: the files it uses too, not the browser's copies of them.
    virtual void reload(bool fromDisk) = 0;
    // Runs script in the page apart from the page's own scripts; done gets its value later, or
    // never when the page does not answer.
    virtual void runScript(const QString &script,
                           const std::function<void(const QVariant &)> &done = {}) = 0;
};

} // namespace livepreview
