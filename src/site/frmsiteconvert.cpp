#include "site/frmsiteconvert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    : frmFolderOperation(context, owner, QStringLiteral("frmSiteConvert"),
                         QStringLiteral("フォルダーの文字コード変換"))
{
    cboTarget = new QComboBox(this);
    cboTarget->setObjectName(QStringLiteral("cboTarget"));
    for (PageEncoding target : Targets)
        cboTarget->addItem(QString::fromLatin1(declarationName(target)));
    makePlanButtons(QStringLiteral("変換の確認(&P)"), QStringLiteral("変換を実行(&A)"));
    makeResultList({QStringLiteral("ファイル"), QStringLiteral("行"), QStringLiteral("桁"),
                    QStringLiteral("内容")});
    makeStatus();

    QFormLayout *form = folderForm();
    addRow(form, QStringLiteral("変換後の文字コード(&T):"), cboTarget);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chkSubfolders);
    for (QPushButton *b : {cmdPreview, cmdApply, cmdUndo})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    addResults(layout);
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

bool frmSiteConvert::hasPlan() const
{
    return !m_plan.empty();
}

void frmSiteConvert::run(Job job, const QString &done)
{
    runJob(std::move(job),
           [this, done](const std::optional<QString> &failure) { finished(failure, done); });
    labStatus->setText(QStringLiteral("調べています..."));
}

void frmSiteConvert::cmdPreview_Click()
{
    if (jobRunning())
        return;
    ConvertOptions options;
    options.walk = currentWalk();
    options.target = Targets[std::max(0, cboTarget->currentIndex())];
    if (options.walk.patterns.isEmpty()) {
        showError(QStringLiteral("ファイル名のパターンを入れてください。"));
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
                    onWindowThread(
                        [this, r = std::move(result)]() mutable { received(std::move(r)); });
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
    if (m_plan.empty() || jobRunning())
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
                    onWindowThread([this, outcome] { listOutcome(outcome); });
                },
                control);
        },
        QStringLiteral("%1 ファイルを変換しました。").arg(files));
}

void frmSiteConvert::cmdUndo_Click()
{
    undoLast(QStringLiteral("元に戻せるフォルダーの操作はありません。"));
}

void frmSiteConvert::clearForUndo()
{
    lstResults->clear();
    m_plan.clear();
}

void frmSiteConvert::finished(const std::optional<QString> &failure, const QString &done)
{
    endJob();
    setRunning(false);
    if (reportFailure(failure))
        return;
    labStatus->setText(
        done.isEmpty() ? QStringLiteral("%1 ファイルを変換します。").arg(m_plan.size()) : done);
}

} // namespace site
