#include "app/livemode.h"

#include "app/enginestart.h"
#include "app/livepane.h"
#include "livepreview/livepreview.h"
#include "livepreview/livesettings.h"
#include "platform/prompter.h"
#include "platform/richtextbox.h"

#include <QAction>
#include <QSplitter>

namespace app
{

LiveMode::LiveMode(LiveModeContext context) : m_c(context)
{
    m_splitter = new QSplitter(Qt::Horizontal, &m_c.client);
    m_splitter->setObjectName(QStringLiteral("splLivePreview"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->hide();
    m_pane = new LivePane(m_splitter);
    m_splitter->addWidget(m_pane);
    m_preview = std::make_unique<livepreview::LivePreview>(
        livepreview::LiveContext{m_c.editor, m_c.state, m_c.settings, *m_pane});
    QObject::connect(m_pane, &LivePane::loadEnded, m_preview.get(),
                     &livepreview::LivePreview::loadEnded);
    QObject::connect(m_splitter, &QSplitter::splitterMoved, m_splitter, [this] { storeSplit(); });
}

LiveMode::~LiveMode() = default;

bool LiveMode::shown() const
{
    return m_preview->running();
}

void LiveMode::setShown(bool shown)
{
    if (shown == this->shown())
        return;
    if (shown) {
        // Run as root the browser engine would end the program: refused as the preview is.
        std::optional<QString> refusal = engineStartRefusal(currentEngineStart());
        const bool hadFocus = m_c.editor.hasFocus();
        if (!refusal) {
            m_splitter->insertWidget(0, &m_c.editor);
            m_c.editor.show();
            refusal = m_preview->start();
            if (refusal) {
                m_c.editor.setParent(&m_c.client);
                m_c.editor.show();
            }
        }
        if (refusal) {
            m_c.prompter.message(&m_c.window, *refusal, QStringLiteral("エラー"),
                                 platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
            m_c.mnuLivePreview.setChecked(false);
            livepreview::writeLiveShown(m_c.store, false);
            place(m_rect);
            return;
        }
        m_splitter->setVisible(!m_c.mnuPreview.isChecked());
        place(m_rect);
        applySplit();
        if (hadFocus || !m_c.mnuPreview.isChecked())
            m_c.editor.setFocus(Qt::OtherFocusReason);
    } else {
        m_preview->stop();
        m_c.editor.setParent(&m_c.client);
        m_c.editor.setVisible(!m_c.mnuPreview.isChecked());
        m_splitter->hide();
        place(m_rect);
        if (!m_c.mnuPreview.isChecked())
            m_c.editor.setFocus(Qt::OtherFocusReason);
    }
    m_c.mnuLivePreview.setChecked(shown);
    livepreview::writeLiveShown(m_c.store, shown);
}

void LiveMode::place(const QRect &rect)
{
    m_rect = rect;
    if (shown())
        m_splitter->setGeometry(rect);
    else
        m_c.editor.setGeometry(rect);
}

void LiveMode::previewSwitched(bool preview)
{
    if (!shown())
        return;
    m_splitter->setVisible(!preview);
    if (!preview)
        m_c.editor.setFocus(Qt::OtherFocusReason);
}

void LiveMode::applySplit()
{
    const int share = livepreview::readLiveSplit(m_c.store);
    const int width = std::max(m_rect.width(), 2);
    m_splitter->setSizes({width * share / 1000, width - width * share / 1000});
}

void LiveMode::storeSplit()
{
    const QList<int> sizes = m_splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > 0)
        livepreview::writeLiveSplit(m_c.store, sizes.value(0) * 1000 / total);
}

} // namespace app
