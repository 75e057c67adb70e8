#pragma once

#include "markup/decoratetext.h"

#include <QObject>
#include <QString>
#include <thread>
#include <vector>

namespace platform
{
class RichTextBox;
struct ColorRun;
} // namespace platform

namespace markup
{

// Colours the editor as colourEditor does without keeping the user waiting on a big text: its
// first lines at once, the whole text on a worker thread, put in when ready, so the colours end
// exactly as colourEditor's. A text changed meanwhile is coloured again; a newer call drops an
// older result. A small text is coloured at once.
class BackgroundColouring : public QObject
{
    Q_OBJECT
public:
    explicit BackgroundColouring(platform::RichTextBox &editor, QObject *parent = nullptr);
    ~BackgroundColouring() override; // waits for a worker still colouring

    // True when the rest of the colours come later (coloured() says when).
    bool colour(const MarkupColours &colours);
    // Drops the colours still being made.
    void cancel();
    bool isColouring() const { return m_pending; }

Q_SIGNALS:
    void coloured();

private:
    void startWorker();
    void workerDone(unsigned generation, std::vector<platform::ColorRun> runs,
                    const QString &basis);

    platform::RichTextBox &m_editor;
    MarkupColours m_colours;
    std::thread m_worker;
    unsigned m_generation = 0;
    bool m_pending = false; // colours still to come
};

} // namespace markup
