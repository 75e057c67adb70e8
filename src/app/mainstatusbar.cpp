#include "app/mainstatusbar.h"

#include "platform/twips.h"

#include <QLabel>
#include <cmath>

namespace app
{

MainStatusBar::MainStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("stbMain"));
    setSizeGripEnabled(true);
    const float tppX = twipsPerPixelX(parent);
    addPanel(QStringLiteral("Mode"), QStringLiteral("編集モード"),
             QStringLiteral("現在の表示モード"), 2469, tppX);
    addPanel(QStringLiteral("ReadCode"), QStringLiteral("SJIS"), QStringLiteral("読込文字コード"),
             1235, tppX);
    addPanel(QStringLiteral("WriteCode"), QStringLiteral("SJIS"), QStringLiteral("書込文字コード"),
             1235, tppX);
    addPanel(QStringLiteral("Size"), QStringLiteral("0 Bytes"),
             QStringLiteral("現在のファイルサイズ"), 2540, tppX);
    addPanel(QStringLiteral("Message"), QString(), QStringLiteral("メッセージ表示"), 0, tppX);
    addPanel(QStringLiteral("Num"), QStringLiteral("NUM"), QStringLiteral("NumLock状態"), 1058,
             tppX);
    addPanel(QStringLiteral("Caps"), QStringLiteral("CAPS"), QStringLiteral("CapsLock状態"), 1058,
             tppX);
    addPanel(QStringLiteral("Scrl"), QStringLiteral("SCRL"), QStringLiteral("ScrollLock状態"), 1058,
             tppX);
    addPanel(QStringLiteral("Ins"), QStringLiteral("INS"), QStringLiteral("Insertモード状態"), 1058,
             tppX);
}

void MainStatusBar::addPanel(const QString &key, const QString &text, const QString &tip, int twips,
                             float tppX)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("panel") + key);
    label->setToolTip(tip);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    if (twips > 0) {
        label->setFixedWidth(int(std::lround(twips / tppX)));
        addWidget(label, 0);
    } else {
        label->setMinimumWidth(0);
        addWidget(label, 1); // the Message panel takes the remaining width
    }
    if (key == QLatin1String("Num") || key == QLatin1String("Caps") ||
        key == QLatin1String("Scrl") || key == QLatin1String("Ins"))
        label->setAlignment(Qt::AlignCenter);
    m_panels.insert(key, label);
    m_order.append(key);
}

void MainStatusBar::showKeyStates(bool num, bool caps, bool scroll, bool insert)
{
    m_panels.value(QStringLiteral("Num"))->setEnabled(num);
    m_panels.value(QStringLiteral("Caps"))->setEnabled(caps);
    m_panels.value(QStringLiteral("Scrl"))->setEnabled(scroll);
    m_panels.value(QStringLiteral("Ins"))->setEnabled(insert);
}

} // namespace app
