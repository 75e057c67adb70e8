#include "about/frmversion.h"

#include "about/codeunits.h"
#include "about/keybuffer.h"
#include "about/versionstring.h"
#include "platform/prompter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSvgRenderer>

// The version dialog's picture lives in the resources of the core library, which a static link
// keeps only when something refers to them.
static void initAboutResources()
{
    Q_INIT_RESOURCE(about);
}

namespace
{

// The hidden message and its title, as lists of UTF-16 code units.
constexpr QStringView messagePieces[] = {
    u"&HFF77,&HFF80,&H2501,&H2501,&H2501,",
    u"&H0028,&HFF9F,&H2200,&HFF9F,&H0029,",
    u"&H2501,&H2501,&H2501,&H0020,&H0021,&H0021,&H0021",
};
constexpr QStringView titlePieces[] = {
    u"&H3042,&H30FB,&H30FB,&H30FB,&H898B,&H3064,",
    u"&H304B,&H3063,&H305F",
};

template <std::size_t N> QString textFromPieces(const QStringView (&pieces)[N])
{
    QString list;
    for (QStringView piece : pieces)
        list += piece;
    return about::decodeCodeUnits(list).value_or(QString());
}

QFont timesBold(qreal pointSize)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(pointSize);
    font.setBold(true);
    return font;
}

} // namespace

frmVersion::frmVersion(platform::Prompter &prompter, about::KeyBuffer &keys, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_prompter(prompter), m_keys(keys)
{
    setWindowTitle(QStringLiteral("バージョン情報"));
    const QSize client = twipsToPixels(0, 0, 3780, 2520).size();
    setFixedSize(client);

    initAboutResources();
    QSvgRenderer picture(QStringLiteral(":/about/background.svg"));
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(client * ratio);
    m_background.setDevicePixelRatio(ratio);
    m_background.fill(Qt::white);
    QPainter painter(&m_background);
    picture.render(&painter, QRectF(QPointF(0, 0), QSizeF(client)));
    painter.end();

    labVer = new QLabel(this);
    labVer->setObjectName(QStringLiteral("labVer"));
    labVer->setGeometry(twipsToPixels(165, 1320, 2415, 420));
    labVer->setAlignment(Qt::AlignCenter);
    labVer->setAutoFillBackground(false);
    labVer->setFont(timesBold(20.25));
    QPalette labelColours = labVer->palette();
    labelColours.setColor(QPalette::WindowText, QColor(128, 0, 128));
    labVer->setPalette(labelColours);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsToPixels(2745, 1380, 885, 375));
    cmdOK->setFont(timesBold(11.25));
    QPalette buttonColours = cmdOK->palette();
    buttonColours.setColor(QPalette::Button, QColor(128, 128, 255));
    cmdOK->setPalette(buttonColours);
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmVersion::cmdOK_Click);

    // Key releases reach the dialog before whichever control has the focus.
    installEventFilter(this);
    labVer->installEventFilter(this);
    cmdOK->installEventFilter(this);

    Form_Load();
}

QRect frmVersion::twipsToPixels(int left, int top, int width, int height) const
{
    const auto x = [this](int twips) { return qRound(twips * logicalDpiX() / 1440.0); };
    const auto y = [this](int twips) { return qRound(twips * logicalDpiY() / 1440.0); };
    return {x(left), y(top), x(width), y(height)};
}

void frmVersion::Form_Load()
{
    labVer->setText(QStringLiteral("Ver. ") + about::VersionString());
    m_message = textFromPieces(messagePieces);
    m_title = textFromPieces(titlePieces);
}

void frmVersion::Form_KeyUp(const QKeyEvent &event)
{
    if (m_keys.enter(about::virtualKeyChar(event)))
        m_prompter.message(this, m_message, m_title, platform::MsgIcon::Information,
                           platform::MsgButtons::Ok);
}

void frmVersion::cmdOK_Click()
{
    accept();
}

bool frmVersion::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyRelease || m_redelivering)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // Holding a key down repeats presses, not releases: only the real release counts.
    if (!key->isAutoRepeat())
        Form_KeyUp(*key);
    // Hand the key on to its receiver here, so that on its way up from a control to the dialog
    // it is not counted a second time.
    {
        QScopedValueRollback guard(m_redelivering, true);
        QCoreApplication::sendEvent(watched, event);
    }
    event->accept();
    return true;
}

void frmVersion::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close this dialog; Enter presses the default button.
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmVersion::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_background);
}
