#include "markup/backgroundcolouring.h"

#include "platform/colorrun.h"
#include "platform/richtextbox.h"

namespace markup
{

namespace
{

// Texts from this many characters on get the rest of their colours from a worker: about a
// 5 MB page, whose colouring would hold the window for a tenth of a second or more.
constexpr qsizetype BackgroundFrom = 4 * 1024 * 1024;
// The start coloured at once: many screens' worth.
constexpr qsizetype ColouredAtOnce = 256 * 1024;

} // namespace

BackgroundColouring::BackgroundColouring(platform::RichTextBox &editor, QObject *parent)
    : QObject(parent), m_editor(editor)
{
}

BackgroundColouring::~BackgroundColouring()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool BackgroundColouring::colour(const MarkupColours &colours)
{
    cancel();
    m_colours = colours;
    const qsizetype size = m_editor.rawText().size();
    if (size < BackgroundFrom) {
        colourEditor(m_editor, colours);
        return false;
    }
    const QStringView start = QStringView(m_editor.rawText()).first(ColouredAtOnce);
    m_editor.clearColors();
    m_editor.setColorRuns(colourRuns(start, colours));
    m_pending = true;
    if (!m_worker.joinable())
        startWorker(); // else the worker running now starts the next when it ends
    return true;
}

void BackgroundColouring::cancel()
{
    ++m_generation;
    m_pending = false;
}

void BackgroundColouring::startWorker()
{
    const unsigned generation = m_generation;
    const MarkupColours colours = m_colours;
    QString basis = m_editor.rawText(); // shared with the editor while neither changes it
    m_worker = std::thread([this, generation, colours, basis = std::move(basis)] {
        std::vector<platform::ColorRun> runs = colourRuns(basis, colours);
        QMetaObject::invokeMethod(
            this,
            [this, generation, runs = std::move(runs), basis]() mutable {
                workerDone(generation, std::move(runs), basis);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundColouring::workerDone(unsigned generation, std::vector<platform::ColorRun> runs,
                                     const QString &basis)
{
    m_worker.join();
    if (!m_pending)
        return; // dropped
    if (generation != m_generation || !m_editor.rawText().isSharedWith(basis)) {
        startWorker(); // asked again, or the text changed meanwhile: colour what is there now
        return;
    }
    m_pending = false;
    m_editor.setColorRuns(std::move(runs));
    Q_EMIT coloured();
}

} // namespace markup
