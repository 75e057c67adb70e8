#include "settings/frmoption.h"

#include "platform/prompter.h"
#include "platform/twips.h"
#include "settings/bgrcolor.h"
#include "settings/fonttext.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>

#include <cmath>

namespace settings
{

namespace
{

// The font dialog: screen fonts, help, effects, ANSI fonts only, limited sizes, existing fonts.
constexpr quint32 FontDialogFlags =
    platform::dlgflags::FontScreenFonts | platform::dlgflags::FontShowHelp |
    platform::dlgflags::FontEffects | platform::dlgflags::FontAnsiOnly |
    platform::dlgflags::FontLimitSize | platform::dlgflags::FontForceExist;
constexpr int SmallestFontSize = 6;
constexpr int LargestFontSize = 48;

double toFourDecimals(double size)
{
    return std::round(size * 10000.0) / 10000.0;
}

// The option button of a ReadCode or WriteCode: Shift_JIS, EUC-JP, UTF-8 in this order.
size_t codeIndex(codec::TextCode code)
{
    return size_t(codec::storedValue(code));
}

codec::TextCode checkedCode(const std::array<QRadioButton *, 3> &options)
{
    return options[0]->isChecked()   ? codec::TextCode::ShiftJis
           : options[2]->isChecked() ? codec::TextCode::Utf8
                                     : codec::TextCode::EucJp;
}

// A colour button: the style's button with exactly the chosen colour inside its frame. (A style
// sheet's background colour is shaded by the style, so a dark blue would show lighter.)
class ColourButton : public QPushButton
{
public:
    using QPushButton::QPushButton;
    void setColour(const QColor &colour)
    {
        m_colour = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPushButton::paintEvent(event);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        QPainter(this).fillRect(inside, m_colour);
    }

private:
    QColor m_colour;
};

// A caption's access key goes to the code that is chosen in its row, and only moves there.
void followCheckedOption(QLabel *caption, const std::array<QRadioButton *, 3> &options)
{
    for (QRadioButton *o : options)
        QObject::connect(o, &QRadioButton::toggled, caption, [caption, o](bool checked) {
            if (checked)
                caption->setBuddy(o);
        });
}

} // namespace

frmOption::frmOption(const AppSettings &current, SettingsStore &store, platform::Prompter &prompter,
                     platform::DialogBackend &dialogs, QWidget *owner)
    : QDialog(owner), cdlFandC(dialogs, this), m_settings(current), m_store(store),
      m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmOption"));
    cdlFandC.props.Min = SmallestFontSize;
    cdlFandC.props.Max = LargestFontSize;
    buildWindow();
    FillOptions();
}

void frmOption::buildWindow()
{
    setWindowTitle(QStringLiteral("たぶれんオプション"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    const float tppX = platform::twipsPerPixelX(this);
    const float tppY = platform::twipsPerPixelY(this);
    const auto px = [&](float l, float t, float w, float h) {
        return platform::toPixels({l, t, w, h}, tppX, tppY);
    };
    setFixedSize(px(0, 0, 5490, 3195).size());

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(px(0, 0, 5445, 2700));
    auto *page0 = new QWidget;
    auto *page1 = new QWidget;
    auto *page2 = new QWidget;
    SSTab1->addTab(page0, QStringLiteral("編集領域の表示(&E)"));
    SSTab1->addTab(page1, QStringLiteral("システム(&S)"));
    SSTab1->addTab(page2, QStringLiteral("文字コード(&K)"));
    // Places on a page are given from the top of the tab control, tabs included.
    const int header = SSTab1->tabBar()->sizeHint().height();
    const auto onPage = [&](QWidget *w, float l, float t, float wd, float h) {
        w->setGeometry(px(l, t, wd, h).translated(0, -header));
    };
    const auto label = [&](QWidget *page, const char *name, const QString &text) {
        auto *l = new QLabel(text, page);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    // A caption keeps its middle where it was placed and grows to show all of its text.
    const auto fitCaption = [](QLabel *l) {
        const QSize need = l->sizeHint();
        const int height = std::max(l->height(), need.height());
        l->setGeometry(l->x(), l->y() - (height - l->height()) / 2,
                       std::max(l->width(), need.width()), height);
    };

    Label1 = label(page0, "Label1", QStringLiteral("フォント(&F)："));
    onPage(Label1, 285, 750, 885, 180);
    labFontName = label(page0, "labFontName", QString());
    labFontName->setAutoFillBackground(true);
    labFontName->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    onPage(labFontName, 1320, 705, 2610, 285);
    cmdBrwFont = new QPushButton(QStringLiteral("参照(&B)..."), page0);
    cmdBrwFont->setObjectName(QStringLiteral("cmdBrwFont"));
    onPage(cmdBrwFont, 4050, 660, 960, 360);
    Label2 = label(page0, "Label2", QStringLiteral("背景色(&G)："));
    onPage(Label2, 285, 1245, 870, 180);
    Label4 = label(page0, "Label4", QStringLiteral("タグの色(&T)："));
    onPage(Label4, 285, 1665, 975, 180);
    Label5 = label(page0, "Label5", QStringLiteral("コメントの色(&C)："));
    onPage(Label5, 285, 2085, 1245, 180);
    const float colorTops[3] = {1185, 1605, 2025};
    for (int i = 0; i < 3; ++i) {
        auto *b = new ColourButton(page0);
        b->setObjectName(QStringLiteral("cmdColors%1").arg(i));
        onPage(b, 1770, colorTops[i], 2070, 300);
        cmdColors[size_t(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { cmdColors_Click(i); });
    }
    Label1->setBuddy(cmdBrwFont);
    Label2->setBuddy(cmdColors[0]);
    Label4->setBuddy(cmdColors[1]);
    Label5->setBuddy(cmdColors[2]);

    chkRelation = new QCheckBox(QStringLiteral("&HTMLﾌｧｲﾙに関連付け設定する"), page1);
    chkRelation->setObjectName(QStringLiteral("chkRelation"));
    onPage(chkRelation, 360, 720, 3045, 270);
    chkDefaultEditor = new QCheckBox(QStringLiteral("&IEの「編集」ﾎﾞﾀﾝに登録する"), page1);
    chkDefaultEditor->setObjectName(QStringLiteral("chkDefaultEditor"));
    onPage(chkDefaultEditor, 360, 1035, 3105, 285);
    chkShowFullWidthSpace = new QCheckBox(QStringLiteral("全角空白を表示する(&Z)"), page1);
    chkShowFullWidthSpace->setObjectName(QStringLiteral("chkShowFullWidthSpace"));
    onPage(chkShowFullWidthSpace, 360, 1350, 4600, 285);
    chkCompleteEndTags = new QCheckBox(QStringLiteral("「</」で終了タグを補う(&A)"), page1);
    chkCompleteEndTags->setObjectName(QStringLiteral("chkCompleteEndTags"));
    onPage(chkCompleteEndTags, 360, 1665, 4600, 285);

    Label3 = label(page2, "Label3", QStringLiteral("読込(&R)："));
    onPage(Label3, 300, 690, 690, 180);
    Frame4 = new QWidget(page2);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    onPage(Frame4, 1230, 645, 3135, 285);
    Label6 = label(page2, "Label6", QStringLiteral("書込(&W)："));
    onPage(Label6, 285, 1110, 705, 180);
    Frame5 = new QWidget(page2);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    onPage(Frame5, 1230, 1065, 3135, 285);
    const auto option = [&](QWidget *frame, const QString &name, const QString &text,
                            const QRect &place) {
        auto *o = new QRadioButton(text, frame);
        o->setObjectName(name);
        o->setGeometry(place);
        return o;
    };
    optRead[0] = option(Frame4, QStringLiteral("optRead0"), QStringLiteral("Shift-JIS"),
                        px(0, 0, 1215, 270));
    optRead[1] =
        option(Frame4, QStringLiteral("optRead1"), QStringLiteral("EUC"), px(1215, 0, 780, 270));
    optRead[2] =
        option(Frame4, QStringLiteral("optRead2"), QStringLiteral("UTF-8"), px(2040, 0, 1095, 270));
    optWrite[0] = option(Frame5, QStringLiteral("optWrite0"), QStringLiteral("Shift-JIS"),
                         px(0, 0, 1215, 270));
    optWrite[1] =
        option(Frame5, QStringLiteral("optWrite1"), QStringLiteral("EUC"), px(1215, 0, 825, 270));
    optWrite[2] = option(Frame5, QStringLiteral("optWrite2"), QStringLiteral("UTF-8"),
                         px(2040, 0, 1095, 270));
    Label3->setBuddy(optRead[0]);
    Label6->setBuddy(optWrite[0]);
    followCheckedOption(Label3, optRead);
    followCheckedOption(Label6, optWrite);
    for (QLabel *l : {Label1, Label2, Label4, Label5, Label3, Label6})
        fitCaption(l);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(px(3195, 2745, 1035, 390));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(px(4395, 2745, 1035, 390));

    QWidget *order[] = {
        cmdBrwFont,       cmdColors[0],          cmdColors[1],       cmdColors[2], chkRelation,
        chkDefaultEditor, chkShowFullWidthSpace, chkCompleteEndTags, optRead[0],   optRead[1],
        optRead[2],       optWrite[0],           optWrite[1],        optWrite[2],  cmdOK,
        cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    SSTab1->setCurrentIndex(0);
    cmdBrwFont->setFocus(); // the first control of the tab order that takes the focus

    connect(cmdBrwFont, &QPushButton::clicked, this, &frmOption::cmdBrwFont_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmOption::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOption::cmdCancel_Click);
}

void frmOption::showFontColor()
{
    QPalette p = labFontName->palette();
    p.setColor(QPalette::WindowText, colorFromBgr(m_fontColor));
    labFontName->setPalette(p);
}

void frmOption::showFontName(const QString &name, double size)
{
    // A name too long for the label loses its end to "…"; the size always shows.
    const QFontMetrics metrics(labFontName->font());
    const int room = labFontName->contentsRect().width() - 2 * labFontName->margin() -
                     metrics.horizontalAdvance(u'x') -
                     metrics.horizontalAdvance(FontText({}, size));
    labFontName->setText(FontText(metrics.elidedText(name, Qt::ElideRight, room), size));
    labFontName->setToolTip(FontText(name, size));
}

void frmOption::showButtonColor(int index)
{
    static_cast<ColourButton *>(cmdColors[size_t(index)])
        ->setColour(colorFromBgr(m_colors[size_t(index)]));
}

void frmOption::FillOptions()
{
    m_fontColor = m_settings.FontColor;
    showFontColor();
    showFontName(m_settings.Font.Name, m_settings.Font.Size);
    fntDialog = m_settings.Font;
    m_colors = {m_settings.BgColor, m_settings.TagColor, m_settings.CommentColor};
    for (int i = 0; i < 3; ++i)
        showButtonColor(i);
    chkRelation->setChecked(m_settings.Relation);
    chkDefaultEditor->setChecked(m_settings.DefaultEditor);
    chkShowFullWidthSpace->setChecked(m_settings.ShowFullWidthSpace);
    chkCompleteEndTags->setChecked(m_settings.CompleteEndTags);
    // Reading and writing take any code but 0 and 2 as EUC-JP, and so does the dialog.
    optRead[codeIndex(m_settings.ReadCode)]->setChecked(true);
    optWrite[codeIndex(m_settings.WriteCode)]->setChecked(true);
}

void frmOption::StoreOptions()
{
    m_settings.FontColor = m_fontColor;
    m_settings.Font = fntDialog;
    m_settings.BgColor = m_colors[0];
    m_settings.TagColor = m_colors[1];
    m_settings.CommentColor = m_colors[2];
    m_settings.Relation = chkRelation->isChecked();
    m_settings.DefaultEditor = chkDefaultEditor->isChecked();
    m_settings.ShowFullWidthSpace = chkShowFullWidthSpace->isChecked();
    m_settings.CompleteEndTags = chkCompleteEndTags->isChecked();
    m_settings.ReadCode = checkedCode(optRead);
    m_settings.WriteCode = checkedCode(optWrite);
}

void frmOption::cmdBrwFont_Click()
{
    platform::DialogProperties &p = cdlFandC.props;
    p.Color = m_fontColor;
    p.FontBold = fntDialog.Bold;
    p.FontItalic = fntDialog.Italic;
    p.FontName = fntDialog.Name;
    p.FontSize = double(float(fntDialog.Size));
    p.FontStrikethru = fntDialog.Strikethrough;
    p.FontUnderline = fntDialog.Underline;
    p.Flags = FontDialogFlags;
    if (cdlFandC.ShowFont() != platform::DialogOutcome::Accepted)
        return;
    m_fontColor = p.Color;
    showFontColor();
    fntDialog.Bold = p.FontBold;
    fntDialog.Italic = p.FontItalic;
    // A font needs a name and a size above zero; anything else leaves that attribute as it was.
    if (!p.FontName.isEmpty())
        fntDialog.Name = p.FontName;
    if (std::isfinite(p.FontSize) && p.FontSize > 0)
        fntDialog.Size = toFourDecimals(p.FontSize);
    fntDialog.Strikethrough = p.FontStrikethru;
    fntDialog.Underline = p.FontUnderline;
    showFontName(fntDialog.Name, fntDialog.Size);
}

void frmOption::cmdColors_Click(int index)
{
    platform::DialogProperties &p = cdlFandC.props;
    p.Color = m_colors[size_t(index)];
    p.Flags = platform::dlgflags::ColorRgbInit;
    if (cdlFandC.ShowColor() != platform::DialogOutcome::Accepted)
        return;
    m_colors[size_t(index)] = p.Color;
    showButtonColor(index);
}

void frmOption::cmdOK_Click()
{
    StoreOptions();
    SaveSettings(m_store, m_settings);
    QString reason;
    if (!m_store.flush(&reason))
        m_prompter.message(this, QStringLiteral("設定を保存できませんでした。\r\n") + reason,
                           QStringLiteral("エラー"), platform::MsgIcon::Exclamation,
                           platform::MsgButtons::Ok);
    accept();
}

void frmOption::cmdCancel_Click()
{
    reject();
}

} // namespace settings
