#include "tagsets/frmedittagset.h"

#include "platform/linebreaks.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "tagsets/editorlayout.h"
#include "tagsets/tagsetfile.h"
#include "tagsets/tagsetlist.h"
#include "tagsets/tagsetname.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tagsets
{

namespace
{

const QString ErrorTitle = QStringLiteral("エラー");

// The placeholders cboVar inserts, by position; position 0 inserts nothing.
constexpr QStringView Placeholders[] = {u"", u"<$$#CHARSET#$$>", u"<$$#TLVERSION#$$>",
                                        u"<$$#DATE#$$>", u"<$$#TIME#$$>"};

QFont gothic()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(11.25);
    return font;
}

void setBoxText(QPlainTextEdit &box, const QString &text)
{
    box.setPlainText(text); // CR LF and LF both make one line break
}

bool onlySpaces(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
}

} // namespace

frmEditTagset::frmEditTagset(platform::Prompter &prompter, QWidget *owner, const QString &folder)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_prompter(prompter), m_folder(folder)
{
    setObjectName(QStringLiteral("frmEditTagset"));
    setWindowTitle(QStringLiteral("タグセットエディタ"));
    setSizeGripEnabled(true);
    buildControls();

    const QRect design =
        platform::toPixels({0, 0, EditorDesignWidth, EditorDesignHeight},
                           platform::twipsPerPixelX(this), platform::twipsPerPixelY(this));
    setMinimumSize(design.size());
    resize(design.size());
}

void frmEditTagset::buildControls()
{
    const float tppX = platform::twipsPerPixelX(this);
    const float tppY = platform::twipsPerPixelY(this);
    auto place = [tppX, tppY](QWidget *w, platform::TwipsRect r) {
        w->setGeometry(platform::toPixels(r, tppX, tppY));
    };
    auto button = [&place](const char *name, const QString &caption, QWidget *parent,
                           platform::TwipsRect r) {
        auto *b = new QPushButton(caption, parent);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false); // no default button: Enter elsewhere never presses one
        place(b, r);
        return b;
    };
    const EditorLayout design;

    Label1 = new QLabel(QStringLiteral("編集対象(&T)："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    place(Label1, {150, 195, 1035, 180});
    Label1->adjustSize();
    cboTagSet = new QComboBox(this);
    cboTagSet->setObjectName(QStringLiteral("cboTagSet"));
    cboTagSet->setToolTip(QStringLiteral("タグセットの選択"));
    place(cboTagSet, {1620, 135, 3240, 300});
    Label1->setBuddy(cboTagSet);

    fraCont = new QGroupBox(QStringLiteral("内容(&E)"), this);
    fraCont->setObjectName(QStringLiteral("fraCont"));
    place(fraCont, design.fraCont);
    Label2 = new QLabel(QStringLiteral("変数の挿入(&V)："), fraCont);
    Label2->setObjectName(QStringLiteral("Label2"));
    place(Label2, {210, 360, 1230, 180});
    Label2->adjustSize();
    cboVar = new QComboBox(fraCont);
    cboVar->setObjectName(QStringLiteral("cboVar"));
    cboVar->setToolTip(QStringLiteral("タグセットの選択"));
    cboVar->addItems({QString(), QStringLiteral("文字コード"),
                      QStringLiteral("たぶれんのバージョン"), QStringLiteral("今日の日付"),
                      QStringLiteral("現在の時刻")});
    place(cboVar, {1680, 300, 3240, 300});
    Label2->setBuddy(cboVar);
    cmdIns = button("cmdIns", QStringLiteral("挿入(&I)"), fraCont, {5010, 270, 1095, 375});
    cmdIns->setEnabled(false);

    auto box = [&place](const char *name, QWidget *parent, platform::TwipsRect r) {
        auto *t = new QPlainTextEdit(parent);
        t->setObjectName(QLatin1String(name));
        t->setFont(gothic());
        t->setLineWrapMode(QPlainTextEdit::NoWrap);
        t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        t->setTabChangesFocus(true);
        platform::PlainLineBreaks::install(*t);
        place(t, r);
        return t;
    };
    txtBefore = box("txtBefore", fraCont, design.txtBefore);
    labCenter = new QLabel(QStringLiteral("（選択範囲）"), fraCont);
    labCenter->setObjectName(QStringLiteral("labCenter"));
    labCenter->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    labCenter->setFont(gothic());
    QPalette red = labCenter->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    labCenter->setPalette(red);
    place(labCenter, design.labCenter);
    txtAfter = box("txtAfter", fraCont, design.txtAfter);

    cmdNew = button("cmdNew", QStringLiteral("新規(&N)..."), this, design.cmdNew);
    cmdSave = button("cmdSave", QStringLiteral("保存(&S)..."), this, design.cmdSave);
    cmdSave->setEnabled(false);
    cmdClose = button("cmdClose", QStringLiteral("閉じる(&C)"), this, design.cmdClose);

    QWidget::setTabOrder(cboTagSet, cboVar);
    QWidget::setTabOrder(cboVar, cmdIns);
    QWidget::setTabOrder(cmdIns, txtBefore);
    QWidget::setTabOrder(txtBefore, txtAfter);
    QWidget::setTabOrder(txtAfter, cmdNew);
    QWidget::setTabOrder(cmdNew, cmdSave);
    QWidget::setTabOrder(cmdSave, cmdClose);

    connect(cboTagSet, &QComboBox::activated, this, &frmEditTagset::cboTagSet_Click);
    connect(cboVar, &QComboBox::activated, this, &frmEditTagset::cboVar_Click);
    connect(cmdIns, &QPushButton::clicked, this, &frmEditTagset::cmdIns_Click);
    connect(cmdNew, &QPushButton::clicked, this, &frmEditTagset::cmdNew_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmEditTagset::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmEditTagset::cmdClose_Click);
    connect(txtBefore, &QPlainTextEdit::textChanged, this, [this] { bolChanged = true; });
    connect(txtAfter, &QPlainTextEdit::textChanged, this, [this] { bolChanged = true; });
    txtBefore->installEventFilter(this);
    txtAfter->installEventFilter(this);
}

void frmEditTagset::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void frmEditTagset::Form_Load()
{
    if (const QString problem = ListTagSets(*cboTagSet, m_folder); !problem.isEmpty())
        showError(problem);
    m_shownIndex = cboTagSet->currentIndex();
    if (intMode == EditMode::OneTagSet)
        openInMode1();
}

// Opens strTarget as choosing it would, then locks the choice. A tag set that vanished or cannot
// be read since the opener's list was filled leaves the dialog in free mode, and the user is told.
void frmEditTagset::openInMode1()
{
    const int index =
        strTarget.isEmpty()
            ? -1
            : cboTagSet->findText(strTarget, Qt::MatchExactly | Qt::MatchCaseSensitive);
    std::optional<QString> failure;
    if (index <= 0) {
        failure = QStringLiteral("ファイルが見つかりません。");
    } else {
        cboTagSet->setCurrentIndex(index);
        failure = LoadTagSet();
    }
    if (failure) {
        cboTagSet->setCurrentIndex(0);
        m_fellBack = true;
        showError(QStringLiteral("タグセット「%1」を開けませんでした。\r\n%2\r\n"
                                 "編集するタグセットを一覧から選んでください。")
                      .arg(strTarget, *failure));
        return;
    }
    m_shownIndex = index;
    cmdSave->setEnabled(true);
    bolChanged = false;
    strCurrentTagSet = strTarget;
    cboTagSet->setEnabled(false);
    cmdNew->setEnabled(false);
}

void frmEditTagset::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmEditTagset::Form_Resize()
{
    if (isMinimized())
        return;
    const QSize design = minimumSize();
    if (width() < design.width() || height() < design.height()) {
        resize(std::max(width(), design.width()), std::max(height(), design.height()));
        return; // the nested resize runs the same rule
    }
    const float tppX = platform::twipsPerPixelX(this);
    const float tppY = platform::twipsPerPixelY(this);
    // The design size is a whole number of pixels: measure from it, so the design size gives
    // the designed layout exactly.
    const float width = EditorDesignWidth + float(this->width() - design.width()) * tppX;
    const float height = EditorDesignHeight + float(this->height() - design.height()) * tppY;
    const EditorLayout l = layoutEditor(width, height);
    auto place = [tppX, tppY](QWidget *w, const platform::TwipsRect &r) {
        w->setGeometry(platform::toPixels(r, tppX, tppY));
    };
    place(fraCont, l.fraCont);
    place(txtBefore, l.txtBefore);
    place(labCenter, l.labCenter);
    place(txtAfter, l.txtAfter);
    place(cmdNew, l.cmdNew);
    place(cmdSave, l.cmdSave);
    place(cmdClose, l.cmdClose);
    intInsTarget = 1;
}

// Escape does nothing: the dialog has no cancel button. Enter on a focused button presses
// that button, as Space does.
void frmEditTagset::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget());
            button && button->isEnabled()) {
            event->accept();
            button->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

bool frmEditTagset::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtBefore)
            intInsTarget = 1;
        else if (watched == txtAfter)
            intInsTarget = 2;
    }
    return QDialog::eventFilter(watched, event);
}

void frmEditTagset::cboTagSet_Click()
{
    if (!ConfirmSaveTagSet()) {
        restoreChoice();
        return;
    }
    const QString chosen = cboTagSet->currentText();
    if (chosen.isEmpty()) {
        cmdSave->setEnabled(false);
        m_shownIndex = cboTagSet->currentIndex();
        return;
    }
    if (const std::optional<QString> failure = LoadTagSet()) {
        showError(
            QStringLiteral("タグセット「%1」を読み込めませんでした。\r\n%2").arg(chosen, *failure));
        restoreChoice();
        return;
    }
    cmdSave->setEnabled(true);
    bolChanged = false;
    strCurrentTagSet = chosen;
    m_shownIndex = cboTagSet->currentIndex();
}

// Shows again the entry shown before the choice that could not be carried out.
void frmEditTagset::restoreChoice()
{
    cboTagSet->setCurrentIndex(m_shownIndex);
    cmdSave->setEnabled(!cboTagSet->currentText().isEmpty());
}

std::optional<QString> frmEditTagset::LoadTagSet()
{
    const ReadResult read = ReadTagSet(m_folder, cboTagSet->currentText(), false,
                                       codec::TextCode::ShiftJis, QDateTime::currentDateTime());
    const auto *error = std::get_if<TagSetError>(&read);
    // Bytes that are no characters are shown as such, so the tag set can be mended here.
    const bool mendable = error && error->kind == TagSetError::Kind::InvalidBytes;
    if (error && !mendable)
        return error->reason;
    const QStringList &parts = mendable ? error->readable : std::get<QStringList>(read);
    setBoxText(*txtBefore, parts.at(0));
    setBoxText(*txtAfter, parts.at(1));
    bolChanged = false;
    if (mendable)
        m_prompter.message(this,
                           QStringLiteral("タグセット「%1」には、読めない部分があります。\r\n%2\r\n"
                                          "読めない部分は「�」で表示しています。"
                                          "直してから保存してください。")
                               .arg(cboTagSet->currentText(), error->reason),
                           QStringLiteral("警告"), platform::MsgIcon::Exclamation,
                           platform::MsgButtons::Ok);
    return std::nullopt;
}

bool frmEditTagset::ConfirmSaveTagSet()
{
    if (strCurrentTagSet.isEmpty() || !bolChanged)
        return true;
    const platform::MsgAnswer answer = m_prompter.message(
        this, QStringLiteral("このタグセットは変更されています。\r\n変更を保存しますか？"),
        QStringLiteral("確認"), platform::MsgIcon::Question, platform::MsgButtons::YesNo);
    if (answer != platform::MsgAnswer::Yes)
        return true;
    return WriteTagSet(strCurrentTagSet);
}

bool frmEditTagset::WriteTagSet(const QString &name)
{
    // The file ends with a line end after the after text, and reading keeps it as part of the
    // after text. An after text that already ends with one is written without another, so that
    // saving and loading again gives back the same texts.
    QString after = platform::boxTextWithCrLf(*txtAfter);
    if (after.endsWith(QStringLiteral("\r\n")))
        after.chop(2);
    const WriteResult written =
        tagsets::WriteTagSet(m_folder, name, platform::boxTextWithCrLf(*txtBefore), after);
    if (const auto *error = std::get_if<TagSetError>(&written)) {
        showError(QStringLiteral("タグセット「%1」を保存できませんでした。\r\n%2")
                      .arg(name, error->reason));
        return false;
    }
    return true;
}

void frmEditTagset::cboVar_Click()
{
    cmdIns->setEnabled(!cboVar->currentText().isEmpty());
}

void frmEditTagset::cmdIns_Click()
{
    const int position = cboVar->currentIndex();
    if (position < 1 || position > 4)
        return;
    QPlainTextEdit *target = intInsTarget == 1 ? txtBefore : txtAfter;
    QTextCursor cursor = target->textCursor();
    cursor.insertText(Placeholders[position].toString());
    target->setTextCursor(cursor);
}

void frmEditTagset::cmdSave_Click()
{
    WriteTagSet(cboTagSet->currentText());
}

void frmEditTagset::cmdNew_Click()
{
    if (!ConfirmSaveTagSet())
        return;
    const std::optional<QString> answer =
        m_prompter.input(this, QStringLiteral("新規に作成するタグセットの名前を入力してください。"),
                         QStringLiteral("タグセット名の設定"), QStringLiteral("nnn New Tagset"));
    if (!answer || onlySpaces(*answer))
        return;
    const QString &name = *answer;
    if (const std::optional<QChar> c = firstForbiddenCharacter(name)) {
        showError(QStringLiteral("ファイル名に使用できない文字『%1』が含まれています").arg(*c));
        return;
    }
    if (const std::optional<QString> reason = unusableNameReason(name)) {
        showError(QStringLiteral("この名前ではタグセットを作成できません。\r\n%1").arg(*reason));
        return;
    }
    if (!WriteTagSet(name))
        return;

    ListTagSets(*cboTagSet, m_folder);
    const auto indexOf = [this](const QString &text) {
        return std::max(0, cboTagSet->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    };
    m_shownIndex = strCurrentTagSet.isEmpty() ? 0 : indexOf(strCurrentTagSet);
    cboTagSet->setCurrentIndex(indexOf(name));
    cboTagSet_Click();
    // Unless choosing it failed (the earlier tag set could not be saved): then its changes stay
    // marked as unsaved.
    if (strCurrentTagSet == name)
        bolChanged = false;
}

void frmEditTagset::cmdClose_Click()
{
    if (ConfirmSaveTagSet())
        accept();
}

void frmEditTagset::closeEvent(QCloseEvent *event)
{
    if (!ConfirmSaveTagSet()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmEditTagset::showError(const QString &text)
{
    m_prompter.message(this, text, ErrorTitle, platform::MsgIcon::Exclamation,
                       platform::MsgButtons::Ok);
}

} // namespace tagsets
