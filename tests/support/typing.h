#pragma once

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QWidget>

namespace testsupport
{

// Types text into a widget as an input method commits it, so that Japanese text works too
// (QTest::keyClicks aborts on text outside Latin-1).
inline void typeText(QWidget *widget, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace testsupport
