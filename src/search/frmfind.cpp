#include "search/frmfind.h"

#include "platform/prompter.h"
#include "platform/richtextbox.h"
#include "platform/sharedstate.h"
#include "platform/twips.h"
#include "search/findreplace.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <algorithm>

namespace search
{

namespace
{
// The dialog's client area; in find mode it ends at the marker line below the buttons.
constexpr float ClientWidth = 5970;
constexpr float ReplaceHeight = 2295;
constexpr float FindHeight = 1935;
} // namespace

frmFind::frmFind(platform::SharedState &state, platform::RichTextBox &editor,
                 platform::Prompter &prompter, std::function<void()> decorate, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      m_state(state), m_editor(editor), m_prompter(prompter), m_decorate(std::move(decorate))
{
    setObjectName(QStringLiteral("frmFind"));
    setModal(false);
    setWindowTitle(QStringLiteral("検索"));
    buildControls();
}

void frmFind::buildControls()
{
    const float tppX = platform::twipsPerPixelX(this);
    const float tppY = platform::twipsPerPixelY(this);
    auto place = [tppX, tppY](QWidget *w, const char *name, platform::TwipsRect r) {
        w->setObjectName(QLatin1String(name));
        QRect g = platform::toPixels(r, tppX, tppY);
        // A caption wider than its designed box (another font than the designer's) keeps its
        // position and grows to the right instead of being cut off.
        if (qobject_cast<QLabel *>(w) || qobject_cast<QCheckBox *>(w))
            g.setWidth(std::max(g.width(), w->sizeHint().width()));
        w->setGeometry(g);
    };
    Label1 = new QLabel(QStringLiteral("検索する文字列(&S)："), this);
    place(Label1, "Label1", {120, 150, 1545, 180});
    txtWord = new QLineEdit(this);
    place(txtWord, "txtWord", {1995, 90, 3870, 300});
    Label1->setBuddy(txtWord);
    Label2 = new QLabel(QStringLiteral("置換後の文字列(&R)："), this);
    place(Label2, "Label2", {120, 600, 1590, 180});
    txtReplace = new QLineEdit(this);
    place(txtReplace, "txtReplace", {1995, 540, 3870, 300});
    Label2->setBuddy(txtReplace);
    fraRegExp = new QFrame(this);
    fraRegExp->setFrameShape(QFrame::Box);
    fraRegExp->setFrameShadow(QFrame::Sunken);
    place(fraRegExp, "fraRegExp", {135, 990, 3375, 1185});
    // The check box sits on the frame's top edge in place of a frame caption.
    chkRegExp = new QCheckBox(QStringLiteral("置換に正規表現を使う(&E)"), fraRegExp);
    place(chkRegExp, "chkRegExp", {165, 0, 2280, 330});
    chkRegExp->setAutoFillBackground(true);
    chkGlobal = new QCheckBox(QStringLiteral("グローバル置換(&G)"), fraRegExp);
    place(chkGlobal, "chkGlobal", {345, 375, 2835, 330});
    chkGlobal->setChecked(true);
    chkGlobal->setEnabled(false);
    chkCase = new QCheckBox(QStringLiteral("大文字小文字を区別する(&A)"), fraRegExp);
    place(chkCase, "chkCase", {345, 720, 2835, 330});
    chkCase->setChecked(true);
    chkCase->setEnabled(false);
    cmdGo = new QPushButton(this);
    place(cmdGo, "cmdGo", {3675, 1080, 1050, 405});
    cmdGo->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    place(cmdClose, "cmdClose", {4800, 1080, 1095, 405});
    // Enter on the focused close button closes; in the text boxes it runs the action.
    cmdClose->setAutoDefault(true);

    setTabOrder(txtWord, txtReplace);
    setTabOrder(txtReplace, chkRegExp);
    setTabOrder(chkRegExp, chkGlobal);
    setTabOrder(chkGlobal, chkCase);
    setTabOrder(chkCase, cmdGo);
    setTabOrder(cmdGo, cmdClose);

    connect(cmdGo, &QPushButton::clicked, this, &frmFind::cmdGo_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmFind::cmdClose_Click);
    connect(chkRegExp, &QCheckBox::clicked, this, &frmFind::chkRegExp_Click);
}

void frmFind::Form_Load()
{
    QString word;
    if (!m_state.strFind.isEmpty()) {
        word = m_state.strFind;
    } else {
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        if (data && data->hasText())
            word = data->text();
    }
    txtWord->setText(cleanSearchWord(word));
    applyMode();
}

void frmFind::applyMode()
{
    Label2->setVisible(bolSw);
    txtReplace->setVisible(bolSw);
    fraRegExp->setVisible(bolSw);
    cmdGo->setText(bolSw ? QStringLiteral("置換(&P)") : QStringLiteral("検索(&F)"));
    setWindowTitle(bolSw ? QStringLiteral("置換") : QStringLiteral("検索"));
    const QRect client =
        platform::toPixels({0, 0, ClientWidth, bolSw ? ReplaceHeight : FindHeight},
                           platform::twipsPerPixelX(this), platform::twipsPerPixelY(this));
    setFixedSize(client.size());
}

void frmFind::chkRegExp_Click()
{
    const bool on = chkRegExp->isChecked();
    chkGlobal->setEnabled(on);
    chkCase->setEnabled(on);
}

void frmFind::cmdClose_Click()
{
    reject();
}

void frmFind::cmdGo_Click()
{
    if (bolSw)
        replaceAll();
    else
        findWord();
}

void frmFind::findWord()
{
    m_state.strFind = txtWord->text();
    Q_EMIT SearchWordSet();
    FindNext(m_editor, m_state.strFind);
}

void frmFind::replaceAll()
{
    if (!putReplacementsBack())
        return;
    m_state.bolEditing = true;
    if (m_decorate)
        m_decorate(); // after the copies of the text above are gone: a big page is held once less
}

bool frmFind::putReplacementsBack()
{
    const QString word = txtWord->text();
    const QString replacement = txtReplace->text();
    if (!chkRegExp->isChecked()) {
        if (!holdsLineBreak(word) && !holdsLineBreak(replacement)) {
            // The editor's own text, where a line break is one character: no copy of a big page.
            const QString &raw = m_editor.rawText();
            putEditsBack(m_editor, raw, literalEdits(raw, word, replacement));
        } else {
            const QString text = m_editor.Text();
            putEditsBack(m_editor, text, literalEdits(text, word, replacement));
        }
        return true;
    }
    const QString text = m_editor.Text();
    auto replaced =
        regExpEdits(text, word, replacement,
                    {.global = chkGlobal->isChecked(), .ignoreCase = !chkCase->isChecked()});
    if (const auto *error = std::get_if<markup::RegExpError>(&replaced)) {
        m_prompter.message(
            this, QStringLiteral("正規表現による置換ができませんでした。\r\n%1").arg(error->reason),
            QStringLiteral("エラー"), platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return false;
    }
    putEditsBack(m_editor, text, std::get<std::vector<TextEdit>>(replaced));
    return true;
}

} // namespace search
