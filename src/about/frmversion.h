#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

class QLabel;
class QPushButton;

namespace platform
{
class Prompter;
}

namespace about
{
class KeyBuffer;
}

// The version dialog: the version text over the program's picture, an OK button, and a hidden
// message that three particular key releases bring up.
class frmVersion final : public QDialog
{
    Q_OBJECT

public:
    // prompter shows the hidden message; keys collects the released keys across openings. Neither
    // is owned; both must outlive the dialog.
    frmVersion(platform::Prompter &prompter, about::KeyBuffer &keys, QWidget *owner);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load();
    void Form_KeyUp(const QKeyEvent &event);
    void cmdOK_Click();

    QRect twipsToPixels(int left, int top, int width, int height) const;

    platform::Prompter &m_prompter;
    about::KeyBuffer &m_keys;
    QLabel *labVer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPixmap m_background;
    QString m_message;
    QString m_title;
    bool m_redelivering = false;
};
