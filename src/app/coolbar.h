#pragma once

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace app
{

class MainToolBar;

// The band container at the top of the window: the tool bar on the first band, the tag set
// insertion panel (fraTagIns) on the second.
class CoolBar : public QWidget
{
    Q_OBJECT
public:
    explicit CoolBar(QWidget *parent = nullptr);

    MainToolBar *tlbMain = nullptr;
    QFrame *fraTagIns = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cboTagSet = nullptr;
    QPushButton *cmdInsTag = nullptr;
    QPushButton *cmdEditTmp = nullptr;
};

} // namespace app
