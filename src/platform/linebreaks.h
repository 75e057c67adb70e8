#pragma once

#include <QObject>

class QPlainTextEdit;
class QString;

namespace platform
{

// Shift+Enter in a text box starts an ordinary new line instead of Qt's line separator
// (U+2028), which no Japanese file code can hold and which the user never meant to type.
// A U+2028 that is pasted stays: that is the user's text.
class PlainLineBreaks final : public QObject
{
public:
    // Installs itself on the box; the box owns it.
    static void install(QPlainTextEdit &box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

// A box's text with CR LF between lines, exactly as typed (no space for a no-break space).
QString boxTextWithCrLf(const QPlainTextEdit &box);

} // namespace platform
