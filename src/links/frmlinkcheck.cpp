#include "links/frmlinkcheck.h"

#include "files/recoveryfolder.h"
#include "platform/prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace links
{

namespace
{

constexpr int FindingRole = Qt::UserRole;

// Enter on a finding opens it; the list keeps Enter from the dialog's default button.
class ResultList : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            Q_EMIT itemActivated(currentItem(), 0);
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
};

} // namespace

frmLinkCheck::frmLinkCheck(platform::Prompter &prompter, OpenAt openAt, QWidget *owner)
    : QDialog(owner), m_prompter(prompter), m_openAt(std::move(openAt))
{
    setObjectName(QStringLiteral("frmLinkCheck"));
    setWindowTitle(QStringLiteral("リンクの検査"));

    auto *folderLabel = new QLabel(QStringLiteral("フォルダー(&F):"), this);
    txtFolder = new QLineEdit(this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    folderLabel->setBuddy(txtFolder);
    cmdCheck = new QPushButton(QStringLiteral("検査(&C)"), this);
    cmdCheck->setObjectName(QStringLiteral("cmdCheck"));
    cmdCheck->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("中止(&S)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setEnabled(false);
    prgCheck = new QProgressBar(this);
    prgCheck->setObjectName(QStringLiteral("prgCheck"));
    prgCheck->setRange(0, 1);
    prgCheck->setValue(0);
    lstResults = new ResultList(this);
    lstResults->setObjectName(QStringLiteral("lstResults"));
    lstResults->setRootIsDecorated(false);
    lstResults->setHeaderLabels({QStringLiteral("場所"), QStringLiteral("内容")});
    lstResults->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    auto *resultLabel = new QLabel(QStringLiteral("結果(&R):"), this);
    resultLabel->setBuddy(lstResults);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    cmdFix = new QPushButton(QStringLiteral("大文字・小文字を直す(&X)..."), this);
    cmdFix->setObjectName(QStringLiteral("cmdFix"));
    cmdFix->setEnabled(false);
    cmdFix->setAutoDefault(false);
    cmdUndo = new QPushButton(QStringLiteral("修正を元に戻す(&U)"), this);
    cmdUndo->setObjectName(QStringLiteral("cmdUndo"));
    cmdUndo->setEnabled(false);
    cmdUndo->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(cmdCheck);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(prgCheck, 1);
    progressRow->addWidget(cmdCancel);
    auto *bottomRow = new QHBoxLayout;
    bottomRow->addWidget(lblStatus, 1);
    bottomRow->addWidget(cmdFix);
    bottomRow->addWidget(cmdUndo);
    bottomRow->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(folderRow);
    layout->addLayout(progressRow);
    layout->addWidget(resultLabel);
    layout->addWidget(lstResults, 1);
    layout->addLayout(bottomRow);
    resize(720, 420);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &frmLinkCheck::showProgress);
    connect(cmdCheck, &QPushButton::clicked, this, &frmLinkCheck::cmdCheck_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLinkCheck::cmdCancel_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(cmdFix, &QPushButton::clicked, this, &frmLinkCheck::cmdFix_Click);
    connect(cmdUndo, &QPushButton::clicked, this, &frmLinkCheck::cmdUndo_Click);
    connect(lstResults, &QTreeWidget::itemActivated, this, &frmLinkCheck::lstResults_Activated);
    connect(&m_watcher, &QFutureWatcher<SiteCheck>::finished, this, &frmLinkCheck::checkFinished);
}

frmLinkCheck::~frmLinkCheck()
{
    m_cancel = true;
    m_watcher.waitForFinished();
}

void frmLinkCheck::showFor(const QString &folder)
{
    if (!m_watcher.isRunning() && !folder.isEmpty())
        txtFolder->setText(QDir::toNativeSeparators(folder));
    show();
    raise();
    activateWindow();
    txtFolder->setFocus();
    txtFolder->selectAll();
}

void frmLinkCheck::setRunning(bool running)
{
    cmdCheck->setEnabled(!running);
    txtFolder->setEnabled(!running);
    cmdCancel->setEnabled(running);
    cmdFix->setEnabled(false);
    cmdUndo->setEnabled(!running && m_applied.has_value());
    if (running) {
        m_progressTimer->start();
        cmdCancel->setFocus();
    } else {
        m_progressTimer->stop();
    }
}

void frmLinkCheck::cmdCheck_Click()
{
    if (m_watcher.isRunning())
        return;
    const QFileInfo given(txtFolder->text().trimmed());
    lstResults->clear();
    m_findings.clear();
    if (txtFolder->text().trimmed().isEmpty() || !given.exists()) {
        lblStatus->setText(QStringLiteral("フォルダーが見つかりません。"));
        return;
    }
    const bool folder = given.isDir();
    m_root = QDir::cleanPath(folder ? given.absoluteFilePath() : given.absolutePath());
    lblStatus->setText(QStringLiteral("ページを集めています..."));
    m_cancel = false;
    m_progress = std::make_shared<Progress>(); // a cancelled run may still count on the old one
    prgCheck->setRange(0, 0);
    setRunning(true);
    const QString root = m_root;
    const QString file = folder ? QString() : QDir::cleanPath(given.absoluteFilePath());
    std::shared_ptr<Progress> progress = m_progress;
    const std::atomic_bool *cancel = &m_cancel;
    m_watcher.setFuture(QtConcurrent::run([root, file, progress, cancel] {
        const QStringList pages = file.isEmpty() ? sitePages(root) : QStringList{file};
        CheckControl control;
        control.cancel = cancel;
        control.progress = [progress](int count, int all) {
            progress->total.store(all);
            progress->done.store(count);
        };
        return checkLinks(root, pages, control);
    }));
}

void frmLinkCheck::showProgress()
{
    const int done = m_progress->done.load();
    const int total = m_progress->total.load();
    if (done > 0) {
        prgCheck->setRange(0, total);
        prgCheck->setValue(done);
        lblStatus->setText(QStringLiteral("%1 / %2 ページ").arg(done).arg(total));
    }
}

void frmLinkCheck::cmdCancel_Click()
{
    m_cancel = true;
}

void frmLinkCheck::checkFinished()
{
    const SiteCheck check = m_watcher.result();
    setRunning(false);
    prgCheck->setRange(0, 1);
    prgCheck->setValue(check.cancelled ? 0 : 1);
    m_findings = check.findings;
    const QDir root(m_root);
    for (qsizetype k = 0; k < qsizetype(m_findings.size()); ++k) {
        const Finding &f = m_findings[size_t(k)];
        auto *item = new QTreeWidgetItem(
            lstResults, {QStringLiteral("%1:%2:%3")
                             .arg(QDir::toNativeSeparators(root.relativeFilePath(f.file)))
                             .arg(f.line)
                             .arg(f.column),
                         findingMessage(f)});
        item->setData(0, FindingRole, QVariant::fromValue(k));
    }
    for (const QString &error : check.errors)
        new QTreeWidgetItem(lstResults, {QString(), error});
    QString status;
    if (check.cancelled)
        status = QStringLiteral("中止しました。");
    else if (m_findings.empty() && check.errors.isEmpty())
        status = QStringLiteral("%1 ファイルを調べました。問題は見つかりませんでした。")
                     .arg(check.pages);
    else
        status = QStringLiteral("%1 ファイルを調べました。%2 件見つかりました。")
                     .arg(check.pages)
                     .arg(m_findings.size() + size_t(check.errors.size()));
    lblStatus->setText(status);
    cmdFix->setEnabled(std::any_of(m_findings.begin(), m_findings.end(), [](const Finding &f) {
        return f.kind == FindingKind::OtherCase && f.fixable;
    }));
    if (lstResults->topLevelItemCount() > 0) {
        lstResults->setCurrentItem(lstResults->topLevelItem(0));
        lstResults->setFocus();
    } else {
        txtFolder->setFocus();
    }
}

void frmLinkCheck::lstResults_Activated(QTreeWidgetItem *item)
{
    if (!item || !item->data(0, FindingRole).isValid())
        return;
    const auto k = item->data(0, FindingRole).value<qsizetype>();
    if (k < 0 || k >= qsizetype(m_findings.size()))
        return;
    const Finding &f = m_findings[size_t(k)];
    m_openAt(f.file, f.line, f.column);
}

} // namespace links

namespace links
{

void frmLinkCheck::cmdFix_Click()
{
    const CaseFixPlan plan = planCaseFix(m_findings);
    const QDir root(m_root);
    QString text;
    int shown = 0;
    int changes = 0;
    for (const FileFix &file : plan.files) {
        for (const QString &change : file.changes) {
            ++changes;
            if (++shown <= 30)
                text += QDir::toNativeSeparators(root.relativeFilePath(file.file)) + u':' + change +
                        QStringLiteral("\r\n");
        }
    }
    if (shown > 30)
        text += QStringLiteral("ほか %1 件\r\n").arg(shown - 30);
    QString skipped;
    for (const QString &reason : plan.skipped)
        skipped += QStringLiteral("\r\n") + reason;
    if (plan.files.empty()) {
        m_prompter.message(this, QStringLiteral("直せるリンクはありません。") + skipped,
                           QStringLiteral("大文字・小文字の修正"), platform::MsgIcon::Information,
                           platform::MsgButtons::Ok);
        return;
    }
    const platform::MsgAnswer answer = m_prompter.message(
        this,
        QStringLiteral(
            "%1 ファイルの %2 か所のリンクを、ファイルの名前のとおりに直します。\r\n\r\n")
                .arg(plan.files.size())
                .arg(changes) +
            text + (skipped.isEmpty() ? QString() : QStringLiteral("\r\n直さないもの:") + skipped) +
            QStringLiteral(
                "\r\n\r\n直しますか？（元のファイルは残り、「修正を元に戻す」で戻せます）"),
        QStringLiteral("大文字・小文字の修正"), platform::MsgIcon::Question,
        platform::MsgButtons::YesNo);
    if (answer != platform::MsgAnswer::Yes)
        return;
    std::variant<AppliedFix, QString> result = applyCaseFix(plan, files::recoveryFolder());
    if (const QString *failure = std::get_if<QString>(&result)) {
        m_prompter.message(this, *failure, QStringLiteral("大文字・小文字の修正"),
                           platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return;
    }
    m_applied = std::move(std::get<AppliedFix>(result));
    cmdCheck_Click();
}

void frmLinkCheck::cmdUndo_Click()
{
    if (!m_applied || m_watcher.isRunning())
        return;
    const QStringList left = undoCaseFix(*m_applied);
    m_applied.reset();
    cmdUndo->setEnabled(false);
    if (!left.isEmpty())
        m_prompter.message(this, left.join(QStringLiteral("\r\n")),
                           QStringLiteral("大文字・小文字の修正"), platform::MsgIcon::Exclamation,
                           platform::MsgButtons::Ok);
    cmdCheck_Click();
}

} // namespace links
