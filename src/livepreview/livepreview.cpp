#include "livepreview/livepreview.h"

#include "codec/filetext.h"
#include "livepreview/linemarks.h"
#include "livepreview/liveview.h"
#include "livepreview/marknumbers.h"
#include "livepreview/patchscript.h"
#include "platform/richtextbox.h"
#include "platform/sharedstate.h"
#include "settings/appsettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>
#include <utility>

namespace livepreview
{

namespace
{

constexpr int LinkedSettleMs = 150;
constexpr int CaretSettleMs = 200;
// How long a page may take to say where it is scrolled before it is reloaded without it: a page
// busy in its own script never answers.
constexpr int AnswerMs = 300;
// A page without scripts always answers; on a big page under load, changing it may take seconds.
constexpr int PatchWaitMs = 10000;
// How long a refresh waits for a page just loaded to be read for changing in place (the browser
// first lays the page out, which on a big page under load takes seconds): a page busy in its own
// script never answers, and is loaded again.
constexpr int RememberWaitMs = 10000;
// How long a page that did not answer may take to load again before its browser is made anew: the
// page's process, stuck in its own script, is ended with it.
constexpr int StuckMs = 10000;

const QString PlaceScript = QStringLiteral("[window.scrollX, window.scrollY]");

QString restorePlaceScript(QPointF place)
{
    return QStringLiteral("window.scrollTo(%1, %2)").arg(place.x()).arg(place.y());
}

// Scrolls to the last shown element that starts on or before line, unless it is in view already.
QString scrollToLineScript(int line)
{
    return QStringLiteral("(function (line) {"
                          "  var marks = document.querySelectorAll('[%1]'), best = null;"
                          "  for (var i = 0; i < marks.length; ++i) {"
                          "    if (parseInt(marks[i].getAttribute('%1'), 10) > line) break;"
                          "    if (marks[i].getClientRects().length) best = marks[i];"
                          "  }"
                          "  if (!best) return;"
                          "  var r = best.getBoundingClientRect();"
                          "  if (r.top >= 0 && r.top < window.innerHeight) return;"
                          "  best.scrollIntoView({block: 'center'});"
                          "})(%2)")
        .arg(LineAttribute)
        .arg(line);
}

} // namespace

LivePreview::LivePreview(LiveContext context, QObject *parent) : QObject(parent), m_c(context)
{
    for (QTimer *timer :
         {&m_pause, &m_linked, &m_caret, &m_answer, &m_patchWait, &m_rememberWait, &m_stuck})
        timer->setSingleShot(true);
    m_pause.setInterval(PauseMs);
    m_linked.setInterval(LinkedSettleMs);
    m_caret.setInterval(CaretSettleMs);
    m_answer.setInterval(AnswerMs);
    m_patchWait.setInterval(PatchWaitMs);
    m_rememberWait.setInterval(RememberWaitMs);
    m_stuck.setInterval(StuckMs);
    connect(&m_pause, &QTimer::timeout, this, &LivePreview::refresh);
    connect(&m_linked, &QTimer::timeout, this, [this] {
        m_fromDisk = true; // the browser would keep the files it has already read
        reloadKeepingPlace();
    });
    connect(&m_caret, &QTimer::timeout, this, &LivePreview::scrollToCaret);
    connect(&m_answer, &QTimer::timeout, this, [this] {
        reloadNow();
        if (!m_stuck.isActive())
            m_stuck.start(); // a page stuck in its script does not load again either
    });
    connect(&m_stuck, &QTimer::timeout, this, &LivePreview::restartView);
    connect(&m_patchWait, &QTimer::timeout, this, [this] { patchAnswered(QVariant()); });
    connect(&m_rememberWait, &QTimer::timeout, this, [this] { remembered(false); });
    connect(&m_page, &LivePage::linkedFileChanged, this, [this] {
        if (m_running)
            m_linked.start();
    });
}

std::optional<QString> LivePreview::start()
{
    if (m_running)
        return std::nullopt;
    if (std::optional<QString> failure = m_c.view.openView(m_page))
        return failure;
    m_running = true;
    m_shownUrl.clear();
    m_caretLine = m_c.editor.lineOf(m_c.editor.textCursor().position()) + 1;
    refresh();
    return std::nullopt;
}

void LivePreview::stop()
{
    for (QTimer *timer :
         {&m_pause, &m_linked, &m_caret, &m_answer, &m_patchWait, &m_rememberWait, &m_stuck})
        timer->stop();
    m_running = false;
    m_numbers.reset();
    m_patchable = false;
    m_patching = false;
    m_patchAgain = false;
    m_remembering = false;
    m_showPending = false;
    ++m_generation; // a page still being made is not shown
    m_askingPlace = false;
    m_fromDisk = false;
    m_restorePlace = false;
    m_place.reset();
    m_c.view.endView();
}

void LivePreview::textChanged()
{
    if (m_running)
        m_pause.start();
}

void LivePreview::saved()
{
    if (!m_running)
        return;
    m_pause.stop();
    refresh();
}

void LivePreview::caretMoved()
{
    if (!m_running)
        return;
    const int line = m_c.editor.lineOf(m_c.editor.textCursor().position()) + 1;
    if (line == m_caretLine)
        return;
    m_caretLine = line;
    m_caret.start();
}

void LivePreview::refresh()
{
    // The page's bytes are made on another thread: on a big page that takes longer than a
    // keystroke may wait. A newer refresh supersedes the ones still being made.
    const int generation = ++m_generation;
    const QString text = m_c.editor.Text();
    if (m_c.state.strFilePath != m_numberedPath) {
        m_numberedPath = m_c.state.strFilePath; // another document: its lines as they are
        m_numbers.reset();
    }
    m_numbers.follow(text);
    const codec::TextCode writeCode = m_c.settings.WriteCode;
    QPointer<LivePreview> self(this);
    QThreadPool::globalInstance()->start(
        [self, generation, text, writeCode, numbers = m_numbers.numbers()] {
            QByteArray bytes = codec::bytesFromText(withLineMarks(text, &numbers), writeCode).bytes;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, generation, bytes = std::move(bytes), writeCode] {
                    if (self && generation == self->m_generation)
                        self->show(bytes, codec::encodingName(writeCode).toLatin1());
                },
                Qt::QueuedConnection);
        });
}

void LivePreview::show(const QByteArray &bytes, const QByteArray &charset)
{
    if (!m_running)
        return;
    const QString path = m_c.state.strFilePath;
    const QFileInfo file(path);
    m_page.setPage(path.isEmpty() ? QString() : file.absolutePath(),
                   path.isEmpty() ? QString() : file.fileName(), bytes, charset);
    const QUrl url = m_page.url();
    if (url != m_shownUrl) {
        m_shownUrl = url; // another document: shown from its top
        m_askingPlace = false;
        m_restorePlace = false;
        m_place.reset();
        m_patchable = false;
        m_remembering = false;
        m_showPending = false;
        m_c.view.load(url);
        return;
    }
    if (m_remembering)
        m_showPending = true; // the page is still being read for changing in place
    else if (m_patchable)
        patchInPlace();
    else
        reloadKeepingPlace();
}

void LivePreview::remembered(bool patchable)
{
    m_rememberWait.stop();
    m_remembering = false;
    m_patchable = patchable && !m_patching;
    if (!std::exchange(m_showPending, false))
        return;
    if (m_patchable)
        patchInPlace();
    else
        reloadKeepingPlace();
}

void LivePreview::patchInPlace()
{
    if (m_patching) {
        m_patchAgain = true; // the change on its way may have read older bytes
        return;
    }
    m_patching = true;
    m_patchAgain = false;
    const int round = ++m_round;
    QPointer<LivePreview> self(this);
    m_c.view.runScript(patchScript(m_page.charset()), [self, round](const QVariant &answer) {
        if (self && round == self->m_round && self->m_patching)
            self->patchAnswered(answer);
    });
    m_patchWait.start();
}

void LivePreview::patchAnswered(const QVariant &answer)
{
    m_patchWait.stop();
    m_patching = false;
    if (!m_running)
        return;
    if (answer.toString() != QLatin1String("patched")) {
        m_patchable = false;
        m_patchAgain = false;
        reloadKeepingPlace();
        return;
    }
    if (std::exchange(m_patchAgain, false))
        patchInPlace();
    else
        Q_EMIT pageShown();
}

void LivePreview::reloadKeepingPlace()
{
    if (!m_running || m_askingPlace)
        return; // the reload on its way reads the newest text
    m_askingPlace = true;
    const int round = ++m_round;
    QPointer<LivePreview> self(this);
    m_c.view.runScript(PlaceScript, [self, round](const QVariant &answer) {
        if (!self || round != self->m_round || !self->m_askingPlace)
            return;
        const QVariantList xy = answer.toList();
        if (xy.size() == 2)
            self->m_place = QPointF(xy[0].toDouble(), xy[1].toDouble());
        self->reloadNow();
    });
    m_answer.start();
}

void LivePreview::reloadNow()
{
    m_answer.stop();
    if (!m_running || !m_askingPlace)
        return;
    m_askingPlace = false;
    m_restorePlace = m_place.has_value();
    m_patchable = false;
    m_patching = false;
    m_remembering = false;
    m_showPending = false;
    m_page.rewatch();
    m_c.view.reload(std::exchange(m_fromDisk, false));
}

void LivePreview::restartView()
{
    if (!m_running)
        return;
    m_c.view.endView();
    if (m_c.view.openView(m_page)) {
        stop();
        return;
    }
    m_shownUrl.clear();
    m_pause.stop();
    refresh();
}

void LivePreview::loadEnded(const QUrl &url, bool ok)
{
    if (!m_running || url != m_shownUrl)
        return;
    m_stuck.stop();
    if (!ok)
        return;
    if (m_restorePlace && m_place) {
        m_restorePlace = false;
        m_c.view.runScript(restorePlaceScript(*m_place));
    }
    Q_EMIT pageShown();
    if (m_remembering)
        return; // the same load, told twice
    // A page busy in its own script never answers, and stays one that is loaded again.
    m_remembering = true;
    const int round = m_round;
    QPointer<LivePreview> self(this);
    m_c.view.runScript(rememberScript(m_page.charset()), [self, round](const QVariant &answer) {
        if (self && round == self->m_round) // also after the wait: the next change is quick
            self->remembered(answer.toBool());
    });
    m_rememberWait.start();
}

void LivePreview::scrollToCaret()
{
    if (m_running)
        m_c.view.runScript(scrollToLineScript(m_numbers.numberOf(m_caretLine)));
}

} // namespace livepreview
