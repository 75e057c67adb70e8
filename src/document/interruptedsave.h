#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace platform
{
class Prompter;
}

namespace document
{

// Offers back, one after another, the old contents of files whose save in place was cut short
// (the copies in folder that no running writer holds). Yes writes the old bytes back into the
// file and deletes the copy, No deletes the copy, Cancel keeps it and the rest for the next
// start. False when the user chose Cancel. restored, when given, receives the paths of the files
// written back.
bool offerInterruptedSaves(platform::Prompter &prompter, QWidget *owner, const QString &folder,
                           QStringList *restored = nullptr);

} // namespace document
