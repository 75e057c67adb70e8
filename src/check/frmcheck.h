#pragma once

#include "check/pagecheck.h"

#include <QDialog>
#include <QFutureWatcher>

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace check
{

// The findings of the page check: a list with a line of state above it. The check runs off the
// user-interface thread; Enter (or a double click) on a finding asks for the caret there.
class frmCheck : public QDialog
{
    Q_OBJECT
public:
    explicit frmCheck(QWidget *parent = nullptr);
    ~frmCheck() override;

    // Checks this text (a copy is taken) and shows the window; a check still running is dropped.
    void check(const QString &text);
    // Whether a check is running.
    bool isChecking() const { return m_watcher.isRunning(); }

Q_SIGNALS:
    void findingChosen(qsizetype index);
    // The findings are listed.
    void checked();

private:
    void showFindings();
    void choose(QListWidgetItem *item);

    QLabel *lblCheckState = nullptr;
    QListWidget *lstFindings = nullptr;
    QFutureWatcher<std::vector<Finding>> m_watcher;
};

} // namespace check
