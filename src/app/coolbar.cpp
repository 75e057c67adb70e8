#include "app/coolbar.h"

#include "app/maintoolbar.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace app
{

CoolBar::CoolBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("clbMain"));
    const float tppX = platform::twipsPerPixelX(parent);
    const float tppY = platform::twipsPerPixelY(parent);
    auto place = [tppX, tppY](QWidget *w, platform::TwipsRect r) {
        w->setGeometry(platform::toPixels(r, tppX, tppY));
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    tlbMain = new MainToolBar(this);
    tlbMain->setMinimumHeight(platform::toPixels({0, 0, 0, 330}, tppX, tppY).height());
    layout->addWidget(tlbMain);

    fraTagIns = new QFrame(this);
    fraTagIns->setObjectName(QStringLiteral("fraTagIns"));
    const QRect band = platform::toPixels({0, 0, 6750, 480}, tppX, tppY);
    fraTagIns->setMinimumSize(band.size());
    fraTagIns->setFixedHeight(band.height());
    layout->addWidget(fraTagIns);
    layout->addStretch(1);

    Label1 = new QLabel(QStringLiteral("タグセット(&S)："), fraTagIns);
    Label1->setObjectName(QStringLiteral("Label1"));
    place(Label1, {45, 150, 1035, 180});
    Label1->adjustSize();

    cboTagSet = new QComboBox(fraTagIns);
    cboTagSet->setObjectName(QStringLiteral("cboTagSet"));
    cboTagSet->setEditable(false);
    cboTagSet->setToolTip(QStringLiteral("タグセットの選択"));
    place(cboTagSet, {1185, 90, 3240, 300});
    Label1->setBuddy(cboTagSet);

    cmdInsTag = new QPushButton(QStringLiteral("挿入(&I)"), fraTagIns);
    cmdInsTag->setObjectName(QStringLiteral("cmdInsTag"));
    cmdInsTag->setToolTip(QStringLiteral("選択したタグセットを編集中の文書に挿入します"));
    cmdInsTag->setEnabled(false);
    place(cmdInsTag, {4485, 75, 870, 330});

    cmdEditTmp = new QPushButton(QStringLiteral("編集(&D)..."), fraTagIns);
    cmdEditTmp->setObjectName(QStringLiteral("cmdEditTmp"));
    cmdEditTmp->setToolTip(QStringLiteral("タグセットエディタを起動します"));
    cmdEditTmp->setEnabled(false);
    place(cmdEditTmp, {5430, 75, 915, 330});

    // A caption wider than designed (the fonts at hand) pushes the controls to its right along,
    // so that it shows whole and a gap stays before the list.
    const int gap = Label1->fontMetrics().averageCharWidth() / 2 + 1;
    const int overlap = Label1->geometry().right() + gap - cboTagSet->x();
    if (overlap > 0) {
        for (QWidget *w : {static_cast<QWidget *>(cboTagSet), static_cast<QWidget *>(cmdInsTag),
                           static_cast<QWidget *>(cmdEditTmp)})
            w->move(w->x() + overlap, w->y());
        fraTagIns->setMinimumWidth(fraTagIns->minimumWidth() + overlap);
    }
}

} // namespace app
