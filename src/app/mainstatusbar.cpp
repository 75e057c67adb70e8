#include "app/mainstatusbar.h"

#include "platform/twips.h"

#include <QLabel>

#include <algorithm>
#include <cmath>

namespace app
{

namespace
{

// The longest progress message the "Message" panel shows.
const QString LongestMessage = QStringLiteral("設定の反映処理中...");

// A panel as wide as designed while the bar has room; narrower, down to its text, when the
// window is too narrow for every panel at its designed width.
class Panel : public QLabel
{
public:
    Panel(const QString &text, int designedWidth, QWidget *parent)
        : QLabel(text, parent), m_designedWidth(designedWidth)
    {
    }
    QSize sizeHint() const override
    {
        QSize hint = QLabel::sizeHint();
        hint.setWidth(std::max(hint.width(), m_designedWidth));
        return hint;
    }

private:
    int m_designedWidth;
};

} // namespace

MainStatusBar::MainStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("stbMain"));
    setSizeGripEnabled(true);
    const float tppX = platform::twipsPerPixelX(parent);
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
    auto *label = new Panel(text, int(std::lround(twips / tppX)), this);
    label->setObjectName(QStringLiteral("panel") + key);
    label->setToolTip(tip);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    if (twips > 0) {
        addWidget(label, 0);
    } else {
        // The Message panel takes the remaining width, and always room for its longest text.
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(LongestMessage) +
                               2 * label->frameWidth() + label->fontMetrics().averageCharWidth());
        addWidget(label, 1);
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
