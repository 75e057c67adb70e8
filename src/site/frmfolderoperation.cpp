#include "site/frmfolderoperation.h"

#include "files/readdocument.h"
#include "platform/prompter.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace site
{

frmFolderOperation::frmFolderOperation(const SiteWindowContext &context, QWidget *owner,
                                       const QString &name, const QString &title)
    : QDialog(owner), m_c(context)
{
    setObjectName(name);
    setWindowTitle(title);
    setModal(false);
    txtFolder = new QLineEdit(this);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    txtPatterns = new QLineEdit(defaultPatterns(), this);
    txtPatterns->setObjectName(QStringLiteral("txtPatterns"));
    chkSubfolders = new QCheckBox(QStringLiteral("サブフォルダーも(&B)"), this);
    chkSubfolders->setObjectName(QStringLiteral("chkSubfolders"));
    chkSubfolders->setChecked(true);
}

frmFolderOperation::~frmFolderOperation()
{
    if (m_thread) {
        m_control->cancel = true;
        m_thread->wait();
    }
}

void frmFolderOperation::showFor(const QString &documentFolder)
{
    if (txtFolder->text().isEmpty())
        txtFolder->setText(documentFolder.isEmpty() ? QDir::currentPath() : documentFolder);
    show();
    raise();
    activateWindow();
    firstField()->setFocus();
}

QWidget *frmFolderOperation::firstField() const
{
    return txtFolder;
}

QPushButton *frmFolderOperation::button(const QString &text, const char *name)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

void frmFolderOperation::makePlanButtons(const QString &preview, const QString &apply)
{
    cmdPreview = button(preview, "cmdPreview");
    cmdApply = button(apply, "cmdApply");
    cmdUndo = button(QStringLiteral("元に戻す(&U)"), "cmdUndo");
    cmdApply->setEnabled(false);
}

void frmFolderOperation::makeResultList(const QStringList &headers)
{
    lstResults = new QTreeWidget(this);
    lstResults->setObjectName(QStringLiteral("lstResults"));
    lstResults->setRootIsDecorated(false);
    lstResults->setUniformRowHeights(true);
    lstResults->setHeaderLabels(headers);
}

void frmFolderOperation::makeStatus()
{
    labStatus = new QLabel(this);
    labStatus->setObjectName(QStringLiteral("labStatus"));
}

void frmFolderOperation::addRow(QFormLayout *form, const QString &label, QWidget *field)
{
    auto *l = new QLabel(label, this);
    l->setBuddy(field);
    form->addRow(l, field);
}

QFormLayout *frmFolderOperation::folderForm()
{
    auto *form = new QFormLayout;
    addRow(form, QStringLiteral("フォルダー(&D):"), txtFolder);
    addRow(form, QStringLiteral("ファイル名(&M):"), txtPatterns);
    return form;
}

void frmFolderOperation::addResults(QVBoxLayout *layout)
{
    auto *results = new QLabel(QStringLiteral("結果(&L):"), this);
    results->setBuddy(lstResults);
    layout->addWidget(results);
    layout->addWidget(lstResults, 1);
}

WalkOptions frmFolderOperation::currentWalk() const
{
    WalkOptions walk;
    walk.folder = QDir(txtFolder->text()).absolutePath();
    walk.patterns = splitPatterns(txtPatterns->text());
    walk.subfolders = chkSubfolders->isChecked();
    walk.sizeLimit = files::kMaxFileSize;
    return walk;
}

void frmFolderOperation::showError(const QString &text)
{
    m_c.prompter.message(this, text, QStringLiteral("エラー"), platform::MsgIcon::Exclamation,
                         platform::MsgButtons::Ok);
}

void frmFolderOperation::setRunning(bool running)
{
    cmdPreview->setEnabled(!running);
    cmdUndo->setEnabled(!running);
    cmdApply->setEnabled(!running && hasPlan());
}

void frmFolderOperation::runJob(Job job,
                                std::function<void(const std::optional<QString> &failure)> then)
{
    m_control = std::make_unique<JobControl>();
    JobControl *control = m_control.get();
    m_thread = QThread::create([this, job = std::move(job), then = std::move(then), control] {
        const std::optional<QString> failure = job(control);
        onWindowThread([then, failure] { then(failure); });
    });
    setRunning(true);
    m_thread->start();
}

std::unique_ptr<JobControl> frmFolderOperation::endJob()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    return std::move(m_control);
}

bool frmFolderOperation::reportFailure(const std::optional<QString> &failure)
{
    if (!failure)
        return false;
    labStatus->setText(*failure);
    showError(*failure);
    return true;
}

void frmFolderOperation::listUndone(const FileOutcome &outcome)
{
    listOutcome(outcome);
}

void frmFolderOperation::clearForUndo()
{
    lstResults->clear();
}

void frmFolderOperation::undoLast(const QString &none)
{
    if (m_thread)
        return;
    const std::optional<OperationInfo> last = lastOperation();
    if (!last) {
        showError(none);
        return;
    }
    if (m_c.prompter.message(
            this,
            QStringLiteral("%1 での%2（%3 ファイル）を元に戻しますか？")
                .arg(QDir::toNativeSeparators(last->folder),
                     last->conversion ? QStringLiteral("文字コードの変換") : QStringLiteral("置換"),
                     QString::number(last->files)),
            QStringLiteral("確認"), platform::MsgIcon::Question,
            platform::MsgButtons::YesNo) != platform::MsgAnswer::Yes)
        return;
    clearForUndo();
    int restored = 0;
    const std::optional<QString> failure = undoOperation(*last, [&](const FileOutcome &o) {
        listUndone(o);
        restored += o.restored ? 1 : 0;
    });
    labStatus->setText(failure ? *failure
                               : QStringLiteral("%1 ファイルを元に戻しました。").arg(restored));
}

} // namespace site
