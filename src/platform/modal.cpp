#include "platform/modal.h"

#include <QDialog>

namespace platform
{

int execModal(QDialog &dialog)
{
    const int result = dialog.exec();
    if (QWidget *owner = dialog.parentWidget(); owner && owner->window()->isVisible())
        owner->window()->activateWindow();
    return result;
}

} // namespace platform
