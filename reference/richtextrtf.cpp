#include "reference/richtextrtf.h"

#include "codec/cp932.h"
#include "codec/filetext.h"
#include "files/atomicwrite.h"
#include "platform/richtextbox.h"
#include "reference/rtf/rtf.h"

#include <QFile>
#include <optional>

namespace reference
{

QString textRtf(const platform::RichTextBox &box)
{
    const QFont &font = box.textFont();
    return rtf::write(box.rawText(), box.colorRuns(), box.defaultTextColor(), font.family(),
                      font.pointSizeF() > 0 ? font.pointSizeF() : 10.5);
}

void setTextRtf(platform::RichTextBox &box, const QString &rtfText)
{
    rtf::Document doc = rtf::read(rtfText, box.defaultTextColor());
    if (doc.text != box.rawText())
        box.setText(doc.text);
    box.setColorRuns(std::move(doc.runs));
}

bool loadFile(platform::RichTextBox &box, const QString &path, QString *reason)
{
    QString failure;
    QFile file(path);
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly)) {
        failure = file.errorString();
    } else {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            failure = file.errorString();
    }
    codec::Cp932Decoded decoded;
    if (failure.isEmpty()) {
        decoded = codec::decodeCp932(bytes);
        if (decoded.firstInvalid >= 0)
            failure = QStringLiteral("%1 行目に Shift_JIS として読めないバイトがあります。")
                          .arg(codec::lineOfByte(bytes, decoded.firstInvalid));
    }
    if (!failure.isEmpty()) {
        if (reason)
            *reason = failure;
        return false;
    }
    box.setText(decoded.text);
    return true;
}

bool saveFile(const platform::RichTextBox &box, const QString &path, QString *reason)
{
    const QString text = box.Text();
    const codec::Cp932Encoded encoded = codec::encodeCp932(text);
    std::optional<QString> failure;
    if (encoded.firstUnmappable >= 0) {
        const codec::TextPosition at = codec::positionOf(text, encoded.firstUnmappable);
        failure = QStringLiteral("%1 行 %2 列目に Shift_JIS で表せない文字があります。")
                      .arg(at.line)
                      .arg(at.column);
    } else {
        failure = files::writeFileAtomically(path, encoded.bytes);
    }
    if (failure && reason)
        *reason = *failure;
    return !failure;
}

} // namespace reference
