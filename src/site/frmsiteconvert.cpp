#include "site/frmsiteconvert.h"

#include "files/readdocument.h"
#include "platform/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace site
{

namespace
{

enum Column { ColPath, ColLine, ColColumn, ColText };

const PageEncoding Targets[] = {PageEncoding::Utf8, PageEncoding::ShiftJis, PageEncoding::EucJp};

QString characterText(const UnwritableChar &u)
{
    return QStringLiteral("「%1」（U+%2）→ %3")
        .arg(QString::fromUcs4(&u.character, 1))
        .arg(QString::number(uint(u.character), 16).toUpper().rightJustified(4, QLatin1Char('0')))
        .arg(u.referable ? u.reference : QStringLiteral("文字参照にできません"));
}

} // namespace

frmSiteConvert::frmSiteConvert(const SiteWindowContext &context, QWidget *owner)
    : QDialog(owner), m_c(context)
{
    setObjectName(QStringLiteral("frmSiteConvert"));
    setWindowTitle(QStringLiteral("フォルダーの文字コード変換"));
    setModal(false);
    txtFolder = new QLineEdit(this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    txtPatterns = new QLineEdit(defaultPatterns(), this);
    txtPatterns->setObjectName(QStringLiteral("txtPatterns"));
    chkSubfolders = new QCheckBox(QStringLiteral("サブフォルダーも(&B)"), this);
    chkSubfolders->setObjectName(QStringLiteral("chkSubfolders"));
    chkSubfolders->setChecked(true);
    cboTarget = new QComboBox(this);
    cboTarget->setObjectName(QStringLiteral("cboTarget"));
    for (PageEncoding target : Targets)
        cboTarget->addItem(QString::fromLatin1(declarationName(target)));
    const auto button = [&](const QString &text, const char *name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdPreview = button(QStringLiteral("変換の確認(&P)"), "cmdPreview");
    cmdApply = button(QStringLiteral("変換を実行(&A)"), "cmdApply");
    cmdUndo = button(QStringLiteral("元に戻す(&U)"), "cmdUndo");
    cmdApply->setEnabled(false);
    lstResults = new QTreeWidget(this);
    lstResults->setObjectName(QStringLiteral("lstResults"));
    lstResults->setRootIsDecorated(false);
    lstResults->setUniformRowHeights(true);
    lstResults->setHeaderLabels({QStringLiteral("ファイル"), QStringLiteral("行"),
                                 QStringLiteral("桁"), QStringLiteral("内容")});
    labStatus = new QLabel(this);
    labStatus->setObjectName(QStringLiteral("labStatus"));

    auto *form = new QFormLayout;
    const auto row = [&](const QString &label, QWidget *field) {
        auto *l = new QLabel(label, this);
        l->setBuddy(field);
        form->addRow(l, field);
    };
    row(QStringLiteral("フォルダー(&D):"), txtFolder);
    row(QStringLiteral("ファイル名(&M):"), txtPatterns);
    row(QStringLiteral("変換後の文字コード(&T):"), cboTarget);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chkSubfolders);
    for (QPushButton *b : {cmdPreview, cmdApply, cmdUndo})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    auto *results = new QLabel(QStringLiteral("結果(&L):"), this);
    results->setBuddy(lstResults);
    layout->addWidget(results);
    layout->addWidget(lstResults, 1);
    layout->addWidget(labStatus);
    resize(720, 440);

    connect(cmdPreview, &QPushButton::clicked, this, &frmSiteConvert::cmdPreview_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmSiteConvert::cmdApply_Click);
    connect(cmdUndo, &QPushButton::clicked, this, &frmSiteConvert::cmdUndo_Click);
    // A new choice needs a new look before anything is written.
    const auto stale = [this] {
        m_plan.clear();
        cmdApply->setEnabled(false);
    };
    connect(txtFolder, &QLineEdit::textEdited, this, stale);
    connect(txtPatterns, &QLineEdit::textEdited, this, stale);
    connect(chkSubfolders, &QCheckBox::toggled, this, stale);
    connect(cboTarget, &QComboBox::currentIndexChanged, this, stale);
}

frmSiteConvert::~frmSiteConvert()
{
    if (m_thread) {
        m_control->cancel = true;
        m_thread->wait();
    }
}

void frmSiteConvert::showFor(const QString &documentFolder)
{
    if (txtFolder->text().isEmpty())
        txtFolder->setText(documentFolder.isEmpty() ? QDir::currentPath() : documentFolder);
    show();
    raise();
    activateWindow();
    txtFolder->setFocus();
}

void frmSiteConvert::setRunning(bool running)
{
    cmdPreview->setEnabled(!running);
    cmdUndo->setEnabled(!running);
    cmdApply->setEnabled(!running && !m_plan.empty());
}

void frmSiteConvert::run(const std::function<std::optional<QString>(JobControl *)> &job,
                         const QString &done)
{
    m_control = std::make_unique<JobControl>();
    JobControl *control = m_control.get();
    m_thread = QThread::create([this, job, control, done] {
        const std::optional<QString> failure = job(control);
        QMetaObject::invokeMethod(
            this, [this, failure, done] { finished(failure, done); }, Qt::QueuedConnection);
    });
    setRunning(true);
    labStatus->setText(QStringLiteral("調べています..."));
    m_thread->start();
}

void frmSiteConvert::cmdPreview_Click()
{
    if (m_thread)
        return;
    ConvertOptions options;
    options.walk.folder = QDir(txtFolder->text()).absolutePath();
    options.walk.patterns = splitPatterns(txtPatterns->text());
    options.walk.subfolders = chkSubfolders->isChecked();
    options.walk.sizeLimit = files::kMaxFileSize;
    options.target = Targets[std::max(0, cboTarget->currentIndex())];
    if (options.walk.patterns.isEmpty()) {
        m_c.prompter.message(this, QStringLiteral("ファイル名のパターンを入れてください。"),
                             QStringLiteral("エラー"), platform::MsgIcon::Exclamation,
                             platform::MsgButtons::Ok);
        return;
    }
    lstResults->clear();
    m_plan.clear();
    m_planOptions = options;
    run(
        [this, options](JobControl *control) {
            return runConvertJob(
                options,
                [this](ConvertResult &&result) {
                    QMetaObject::invokeMethod(
                        this, [this, r = std::move(result)]() mutable { received(std::move(r)); },
                        Qt::QueuedConnection);
                },
                control);
        },
        {});
}

void frmSiteConvert::received(ConvertResult result)
{
    const QString open = m_c.documentPath();
    if (result.kind == PageConversion::Kind::Convert && !open.isEmpty() && result.path == open) {
        result.kind = PageConversion::Kind::Skip;
        result.skipReason = QStringLiteral("エディターで開いているため変換しません。"
                                           "閉じてから変換してください。");
    }
    auto *item = new QTreeWidgetItem(lstResults);
    item->setText(ColPath, result.relativePath);
    switch (result.kind) {
    case PageConversion::Kind::AlreadyDone:
        item->setText(ColText,
                      QStringLiteral("変換済みです（%1）").arg(encodingLabel(result.from)));
        return;
    case PageConversion::Kind::Skip:
        item->setText(ColText, QStringLiteral("（変換しません）") + result.skipReason);
        break;
    case PageConversion::Kind::Convert:
        item->setText(ColText, conversionLabel(result) + (result.declarationAdded
                                                              ? QStringLiteral("（宣言を加えます）")
                                                              : QString()));
        break;
    }
    for (const UnwritableChar &u : result.unwritable) {
        auto *character = new QTreeWidgetItem(lstResults);
        character->setText(ColPath, result.relativePath);
        character->setText(ColLine, QString::number(u.line));
        character->setText(ColColumn, QString::number(u.column));
        character->setText(ColText, characterText(u));
    }
    if (result.kind == PageConversion::Kind::Convert)
        m_plan.push_back(std::move(result));
}

void frmSiteConvert::listOutcome(const FileOutcome &outcome)
{
    auto *item = new QTreeWidgetItem(lstResults);
    item->setText(ColPath, outcome.relativePath);
    if (!outcome.skipReason.isEmpty())
        item->setText(ColText, QStringLiteral("（書きません）") + outcome.skipReason);
    else if (outcome.puttingBack)
        item->setText(ColText, outcome.restored ? QStringLiteral("元に戻しました")
                                                : QStringLiteral("元のままです"));
    else
        item->setText(ColText, QStringLiteral("変換しました"));
}

void frmSiteConvert::cmdApply_Click()
{
    if (m_plan.empty() || m_thread)
        return;
    std::vector<ConvertResult> plan = std::move(m_plan);
    m_plan.clear();
    lstResults->clear();
    const ConvertOptions options = m_planOptions;
    const qsizetype files = qsizetype(plan.size());
    run(
        [this, options, plan = std::move(plan)](JobControl *control) {
            return applyConversion(
                options.walk.folder, options.target, plan,
                [this](const FileOutcome &outcome) {
                    QMetaObject::invokeMethod(
                        this, [this, outcome] { listOutcome(outcome); }, Qt::QueuedConnection);
                },
                control);
        },
        QStringLiteral("%1 ファイルを変換しました。").arg(files));
}

void frmSiteConvert::cmdUndo_Click()
{
    if (m_thread)
        return;
    const std::optional<OperationInfo> last = lastOperation();
    if (!last) {
        m_c.prompter.message(this, QStringLiteral("元に戻せるフォルダーの操作はありません。"),
                             QStringLiteral("エラー"), platform::MsgIcon::Exclamation,
                             platform::MsgButtons::Ok);
        return;
    }
    if (m_c.prompter.message(
            this,
            QStringLiteral("%1 での%2（%3 ファイル）を元に戻しますか？")
                .arg(QDir::toNativeSeparators(last->folder))
                .arg(last->conversion ? QStringLiteral("文字コードの変換") : QStringLiteral("置換"))
                .arg(last->files),
            QStringLiteral("確認"), platform::MsgIcon::Question,
            platform::MsgButtons::YesNo) != platform::MsgAnswer::Yes)
        return;
    lstResults->clear();
    m_plan.clear();
    int restored = 0;
    const std::optional<QString> failure = undoOperation(*last, [&](const FileOutcome &o) {
        listOutcome(o);
        restored += o.restored ? 1 : 0;
    });
    labStatus->setText(failure ? *failure
                               : QStringLiteral("%1 ファイルを元に戻しました。").arg(restored));
}

void frmSiteConvert::finished(const std::optional<QString> &failure, const QString &done)
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_control.reset();
    setRunning(false);
    if (failure) {
        labStatus->setText(*failure);
        m_c.prompter.message(this, *failure, QStringLiteral("エラー"),
                             platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return;
    }
    labStatus->setText(
        done.isEmpty() ? QStringLiteral("%1 ファイルを変換します。").arg(m_plan.size()) : done);
}

} // namespace site
