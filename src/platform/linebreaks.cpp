#include "platform/linebreaks.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace platform
{

void PlainLineBreaks::install(QPlainTextEdit &box)
{
    box.installEventFilter(new PlainLineBreaks(&box));
}

bool PlainLineBreaks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        !(key->modifiers() & Qt::ShiftModifier))
        return false;
    // The same key without Shift, so overwrite mode, undo and the input method see an ordinary
    // Enter.
    QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ShiftModifier,
                    key->nativeScanCode(), key->nativeVirtualKey(), key->nativeModifiers(),
                    key->text(), key->isAutoRepeat(), ushort(key->count()));
    QCoreApplication::sendEvent(watched, &plain);
    return true;
}

QString boxTextWithCrLf(const QPlainTextEdit &box)
{
    QString text = box.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

} // namespace platform
