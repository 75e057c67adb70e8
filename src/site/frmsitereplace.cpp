#include "site/frmsitereplace.h"

#include "codec/filetext.h"
#include "platform/richtextbox.h"
#include "search/findreplace.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace site
{

namespace
{

enum Column { ColPath, ColLine, ColColumn, ColText, ColEncoding, ColLineEnds };
constexpr int PathRole = Qt::UserRole;
constexpr int LineRole = Qt::UserRole + 1;

// The line with the match between 【 and 】.
QString marked(const PlacedMatch &match)
{
    const qsizetype at = match.start - match.lineStart;
    const qsizetype length = std::min(match.length, match.lineText.size() - at);
    return match.lineText.left(at) + QStringLiteral("【") + match.lineText.mid(at, length) +
           QStringLiteral("】") + match.lineText.mid(at + length);
}

QString title()
{
    return QStringLiteral("フォルダー内の検索と置換");
}

} // namespace

frmSiteReplace::frmSiteReplace(const SiteWindowContext &context, QWidget *owner)
    : frmFolderOperation(context, owner, QStringLiteral("frmSiteReplace"), title())
{
    const auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    txtFind = static_cast<QLineEdit *>(named(new QLineEdit(this), "txtFind"));
    txtReplace = static_cast<QLineEdit *>(named(new QLineEdit(this), "txtReplace"));
    chkRegExp = static_cast<QCheckBox *>(
        named(new QCheckBox(QStringLiteral("正規表現(&X)"), this), "chkRegExp"));
    chkIgnoreCase = static_cast<QCheckBox *>(named(
        new QCheckBox(QStringLiteral("大文字と小文字を区別しない(&I)"), this), "chkIgnoreCase"));
    cmdSearch = button(QStringLiteral("検索(&S)"), "cmdSearch");
    makePlanButtons(QStringLiteral("置換の確認(&P)"), QStringLiteral("置換を実行(&A)"));
    cmdCancel = button(QStringLiteral("中止(&C)"), "cmdCancel");
    cmdCancel->setEnabled(false);

    makeResultList({QStringLiteral("ファイル"), QStringLiteral("行"), QStringLiteral("桁"),
                    QStringLiteral("内容"), QStringLiteral("文字コード"), QStringLiteral("改行")});
    prgWork = static_cast<QProgressBar *>(named(new QProgressBar(this), "prgWork"));
    prgWork->setRange(0, 1);
    prgWork->setValue(0);
    prgWork->setTextVisible(false);
    makeStatus();

    QFormLayout *form = folderForm();
    addRow(form, QStringLiteral("検索する文字列(&N):"), txtFind);
    addRow(form, QStringLiteral("置換後の文字列(&R):"), txtReplace);
    auto *options = new QHBoxLayout;
    options->addWidget(chkSubfolders);
    options->addWidget(chkRegExp);
    options->addWidget(chkIgnoreCase);
    options->addStretch();
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {cmdSearch, cmdPreview, cmdApply, cmdUndo, cmdCancel})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *progress = new QHBoxLayout;
    progress->addWidget(prgWork, 1);
    progress->addWidget(labStatus, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(options);
    layout->addLayout(buttons);
    addResults(layout);
    layout->addLayout(progress);
    resize(760, 480);

    m_progress = new QTimer(this);
    m_progress->setInterval(100);
    connect(m_progress, &QTimer::timeout, this, [this] {
        if (control())
            labStatus->setText(QStringLiteral("%1 ファイルを調べました。見つかった数: %2")
                                   .arg(control()->filesDone.load())
                                   .arg(m_matches));
    });
    connect(cmdSearch, &QPushButton::clicked, this, &frmSiteReplace::cmdSearch_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmSiteReplace::cmdPreview_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmSiteReplace::cmdApply_Click);
    connect(cmdUndo, &QPushButton::clicked, this, &frmSiteReplace::cmdUndo_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSiteReplace::cmdCancel_Click);
    connect(lstResults, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item, int) { lstResults_Activated(item); });
}

QWidget *frmSiteReplace::firstField() const
{
    return txtFind;
}

bool frmSiteReplace::hasPlan() const
{
    return !m_plan.empty();
}

void frmSiteReplace::keyPressEvent(QKeyEvent *event)
{
    // Enter in a field searches; in the list it opens the file (itemActivated).
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !lstResults->hasFocus()) {
        if (!jobRunning())
            cmdSearch_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

FolderJobOptions frmSiteReplace::currentOptions(bool replace) const
{
    FolderJobOptions options;
    options.walk = currentWalk();
    options.find.find = txtFind->text();
    options.find.replacement = txtReplace->text();
    options.find.regexp = chkRegExp->isChecked();
    options.find.ignoreCase = chkIgnoreCase->isChecked();
    options.replace = replace;
    return options;
}

void frmSiteReplace::cmdSearch_Click()
{
    start(false);
}

void frmSiteReplace::cmdPreview_Click()
{
    start(true);
}

void frmSiteReplace::cmdCancel_Click()
{
    if (control())
        control()->cancel = true;
}

void frmSiteReplace::setRunning(bool running)
{
    frmFolderOperation::setRunning(running);
    cmdSearch->setEnabled(!running);
    cmdCancel->setEnabled(running);
    prgWork->setRange(0, running ? 0 : 1);
    prgWork->setValue(running ? 0 : 1);
    if (running)
        m_progress->start();
    else
        m_progress->stop();
}

void frmSiteReplace::start(bool replace)
{
    if (jobRunning())
        return;
    const FolderJobOptions options = currentOptions(replace);
    if (options.walk.patterns.isEmpty() || options.find.find.isEmpty()) {
        showError(QStringLiteral("ファイル名のパターンと検索する文字列を入れてください。"));
        return;
    }
    lstResults->clear();
    lstResults->setColumnHidden(ColEncoding, false);
    m_plan.clear();
    m_planOptions = options;
    m_matches = 0;
    runJob(
        [this, options](JobControl *control) {
            return runFolderJob(
                options,
                [this](FileResult &&result) {
                    onWindowThread(
                        [this, r = std::move(result)]() mutable { received(std::move(r)); });
                },
                control);
        },
        [this](const std::optional<QString> &failure) { finished(failure); });
    labStatus->setText(QStringLiteral("調べています..."));
}

void frmSiteReplace::received(FileResult result)
{
    const QString form = encodingLabel(result.form);
    const QString lineEnds = lineEndsLabel(result.form.lineEnds);
    if (!result.skipReason.isEmpty()) {
        auto *item = new QTreeWidgetItem(lstResults);
        item->setText(ColPath, result.relativePath);
        item->setText(ColText, QStringLiteral("（扱いません）") + result.skipReason);
        item->setForeground(ColText, palette().color(QPalette::Disabled, QPalette::Text));
        item->setData(ColPath, PathRole, result.path);
        return;
    }
    for (const PlacedMatch &match : result.matches) {
        auto *item = new QTreeWidgetItem(lstResults);
        item->setText(ColPath, result.relativePath);
        item->setText(ColLine, QString::number(match.line));
        item->setText(ColColumn, QString::number(match.column));
        item->setText(ColText, m_planOptions.replace
                                   ? marked(match) + QStringLiteral("  →  ") + replacedLine(match)
                                   : marked(match));
        item->setText(ColEncoding, form);
        item->setText(ColLineEnds, lineEnds);
        item->setData(ColPath, PathRole, result.path);
        item->setData(ColPath, LineRole, qlonglong(match.line));
        ++m_matches;
    }
    if (m_planOptions.replace)
        m_plan.push_back(std::move(result));
}

void frmSiteReplace::finished(const std::optional<QString> &failure)
{
    const std::unique_ptr<JobControl> ended = endJob();
    const bool cancelled = ended->cancel.load();
    const qint64 files = ended->filesDone.load();
    if (cancelled)
        m_plan.clear();
    setRunning(false);
    if (reportFailure(failure))
        return;
    labStatus->setText(
        cancelled ? QStringLiteral("中止しました。")
        : m_planOptions.replace
            ? QStringLiteral("%1 ファイルを調べました。%2 ファイルを置き換えます（%3 か所）。")
                  .arg(files)
                  .arg(m_plan.size())
                  .arg(m_matches)
            : QStringLiteral("%1 ファイルを調べました。見つかった数: %2")
                  .arg(files)
                  .arg(m_matches));
}

void frmSiteReplace::applyInEditor(const FileResult &)
{
    m_c.editor.finishFill();
    const QString text = m_c.editor.Text();
    PageMatcher matcher(m_planOptions.find);
    auto edits = matcher.edits(text);
    if (auto *list = std::get_if<std::vector<search::TextEdit>>(&edits))
        search::putEditsBack(m_c.editor, text, *list);
}

void frmSiteReplace::listOutcome(const FileOutcome &outcome)
{
    auto *item = new QTreeWidgetItem(lstResults);
    item->setText(ColPath, outcome.relativePath);
    item->setData(ColPath, PathRole, outcome.path);
    item->setText(ColText, outcome.skipReason.isEmpty()
                               ? QStringLiteral("%1 件").arg(outcome.count)
                               : QStringLiteral("（書きません）") + outcome.skipReason);
}

void frmSiteReplace::cmdApply_Click()
{
    if (m_plan.empty() || jobRunning())
        return;
    std::vector<FileResult> plan = std::move(m_plan);
    m_plan.clear();
    lstResults->clear();
    lstResults->setColumnHidden(ColEncoding, true);
    const QString open = m_c.documentPath();
    std::vector<FileResult> onDisk;
    for (FileResult &r : plan) {
        if (r.skipReason.isEmpty() && !open.isEmpty() && r.path == open) {
            applyInEditor(r);
            FileOutcome outcome{r.path, r.relativePath, qsizetype(r.matches.size()), {}};
            listOutcome(outcome);
            lstResults->topLevelItem(lstResults->topLevelItemCount() - 1)
                ->setText(ColText, QStringLiteral("%1 件（エディターの中で置き換えました。"
                                                  "保存はしていません）")
                                       .arg(outcome.count));
        } else if (r.skipReason.isEmpty()) {
            onDisk.push_back(std::move(r));
        }
    }
    const FolderJobOptions options = m_planOptions;
    runJob(
        [this, options, onDisk = std::move(onDisk)](JobControl *control) {
            return applyReplacement(
                options.walk.folder, options.find, onDisk,
                [this](const FileOutcome &outcome) {
                    onWindowThread([this, outcome] { listOutcome(outcome); });
                },
                control);
        },
        [this](const std::optional<QString> &failure) {
            m_planOptions.replace = false;
            finished(failure);
            if (!failure)
                labStatus->setText(QStringLiteral("置き換えました。"));
        });
}

void frmSiteReplace::cmdUndo_Click()
{
    undoLast(QStringLiteral("元に戻せるフォルダーの置換はありません。"));
}

void frmSiteReplace::clearForUndo()
{
    lstResults->clear();
    lstResults->setColumnHidden(ColEncoding, true);
}

void frmSiteReplace::listUndone(const FileOutcome &outcome)
{
    listOutcome(outcome);
    if (outcome.restored)
        lstResults->topLevelItem(lstResults->topLevelItemCount() - 1)
            ->setText(ColText, QStringLiteral("元に戻しました"));
}

void frmSiteReplace::lstResults_Activated(QTreeWidgetItem *item)
{
    const QString path = item->data(ColPath, PathRole).toString();
    if (path.isEmpty())
        return;
    if (path != m_c.documentPath() && !m_c.openDocument(path))
        return;
    const qlonglong line = item->data(ColPath, LineRole).toLongLong();
    if (line < 1)
        return;
    // The start of the line in the editor's raw text, whose lines end with U+2029.
    const QString &raw = m_c.editor.rawText();
    qsizetype start = 0;
    for (qlonglong n = 1; n < line; ++n) {
        start = raw.indexOf(QChar::ParagraphSeparator, start);
        if (start < 0)
            return;
        ++start;
    }
    m_c.editor.setSelStart(int(start));
    m_c.editor.setSelLength(0);
    m_c.editor.centerCursor();
    m_c.editor.window()->activateWindow();
    m_c.editor.setFocus();
}

} // namespace site
