#include "check/frmcheck.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace check
{

namespace
{

constexpr int IndexRole = Qt::UserRole;

} // namespace

frmCheck::frmCheck(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("ページの検査"));
    setModal(false);
    lblCheckState = new QLabel(this);
    lblCheckState->setObjectName(QStringLiteral("lblCheckState"));
    lstFindings = new QListWidget(this);
    lstFindings->setObjectName(QStringLiteral("lstFindings"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblCheckState);
    layout->addWidget(lstFindings);
    resize(640, 320);
    connect(lstFindings, &QListWidget::itemActivated, this, &frmCheck::choose);
    connect(&m_watcher, &QFutureWatcher<std::vector<Finding>>::finished, this,
            &frmCheck::showFindings);
}

frmCheck::~frmCheck()
{
    m_watcher.waitForFinished();
}

void frmCheck::check(const QString &text)
{
    lstFindings->clear();
    lblCheckState->setText(QStringLiteral("検査しています..."));
    m_watcher.setFuture(QtConcurrent::run([text] { return checkPage(text); }));
    show();
    raise();
    activateWindow();
}

void frmCheck::showFindings()
{
    const std::vector<Finding> findings = m_watcher.result();
    lstFindings->clear();
    for (const Finding &f : findings) {
        auto *item = new QListWidgetItem(
            QStringLiteral("%1 行 %2 桁: %3").arg(f.line).arg(f.column).arg(f.message),
            lstFindings);
        item->setData(IndexRole, QVariant::fromValue<qlonglong>(f.index));
    }
    if (findings.empty()) {
        lblCheckState->setText(QStringLiteral("問題は見つかりませんでした。"));
    } else {
        lblCheckState->setText(QStringLiteral("%1 件見つかりました。Enter でその位置に移ります。")
                                   .arg(findings.size()));
        lstFindings->setCurrentRow(0);
        lstFindings->setFocus();
    }
    Q_EMIT checked();
}

void frmCheck::choose(QListWidgetItem *item)
{
    if (item)
        Q_EMIT findingChosen(qsizetype(item->data(IndexRole).toLongLong()));
}

} // namespace check
