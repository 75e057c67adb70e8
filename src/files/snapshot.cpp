#include "files/snapshot.h"

#include <QList>
#include <QUrl>

#include <cstring>

namespace files
{
namespace
{

constexpr QByteArrayView kMagic = "Tavlen recovery 1\n";

QByteArray line(const char *name, const QByteArray &value)
{
    return QByteArray(name) + '=' + value + '\n';
}

std::optional<qint64> number(QByteArrayView text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// "exists size mtime device inode", then (from snapshots that know them) "ctime hashed hash".
std::optional<FileStamp> parseStamp(QByteArrayView text)
{
    const QList<QByteArray> parts = text.toByteArray().split(' ');
    if (parts.size() != 5 && parts.size() != 8)
        return std::nullopt;
    qint64 values[7] = {};
    for (int k = 0; k < 7 && k < parts.size(); ++k) {
        const auto value = number(parts[k]);
        if (!value || *value < 0)
            return std::nullopt;
        values[k] = *value;
    }
    if (values[0] > 1 || values[6] > 1)
        return std::nullopt;
    FileStamp stamp{values[0] == 1, values[1], values[2], quint64(values[3]), quint64(values[4])};
    if (parts.size() == 8) {
        bool ok = false;
        stamp.changedNs = values[5];
        stamp.hashed = values[6] == 1;
        stamp.contentHash = parts[7].toULongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    return stamp;
}

// "lineEnds byteOrderMark shiftJisBytes" as numbers; an earlier copy of the program wrote none.
std::optional<codec::FileShape> parseShape(QByteArrayView text)
{
    const QList<QByteArray> parts = text.toByteArray().split(' ');
    if (parts.size() != 3)
        return std::nullopt;
    qint64 v[3] = {};
    for (int k = 0; k < 3; ++k) {
        const auto value = number(parts[k]);
        if (!value || *value < 0)
            return std::nullopt;
        v[k] = *value;
    }
    if (v[0] > qint64(codec::LineEnds::Mixed) || v[1] > 1 || v[2] > 1)
        return std::nullopt;
    return codec::FileShape{codec::LineEnds(v[0]), v[1] == 1, v[2] == 1};
}

} // namespace

std::optional<QString> decodeSnapshotPath(QByteArrayView head)
{
    if (!head.startsWith(kMagic))
        return std::nullopt;
    const qsizetype end = head.indexOf("\n\n");
    const QByteArrayView lines = head.first(end < 0 ? head.size() : end + 1);
    const qsizetype at = lines.indexOf("\npath=");
    if (at < 0)
        return std::nullopt;
    const qsizetype from = at + qstrlen("\npath=");
    const qsizetype to = lines.indexOf('\n', from);
    if (to < 0)
        return std::nullopt;
    return QUrl::fromPercentEncoding(lines.sliced(from, to - from).toByteArray());
}

QByteArray encodeSnapshot(const Snapshot &snapshot)
{
    const FileStamp &s = snapshot.diskFile;
    const QByteArray stamp =
        QByteArray::number(s.exists ? 1 : 0) + ' ' + QByteArray::number(s.size) + ' ' +
        QByteArray::number(s.modifiedNs) + ' ' + QByteArray::number(s.device) + ' ' +
        QByteArray::number(s.inode) + ' ' + QByteArray::number(s.changedNs) + ' ' +
        QByteArray::number(s.hashed ? 1 : 0) + ' ' + QByteArray::number(s.contentHash);
    // The editor's raw form may stand for the text: a paragraph separator is written as CR LF.
    const qsizetype breaks = snapshot.text.count(QChar::ParagraphSeparator);
    const qsizetype textBytes = (snapshot.text.size() + breaks) * 2;
    QByteArray out = kMagic.toByteArray();
    out += line("path", QUrl::toPercentEncoding(snapshot.path));
    out += line("stamp", stamp);
    out += line("inexact", QUrl::toPercentEncoding(snapshot.inexactReason));
    out += line("readCode", QByteArray::number(codec::storedValue(snapshot.readCode)));
    out += line("writeCode", QByteArray::number(codec::storedValue(snapshot.writeCode)));
    out += line("time", QByteArray::number(snapshot.time.toMSecsSinceEpoch()));
    const codec::FileShape &shape = snapshot.shape;
    out += line("shape", QByteArray::number(int(shape.lineEnds)) + ' ' +
                             QByteArray::number(int(shape.byteOrderMark)) + ' ' +
                             QByteArray::number(int(shape.shiftJisBytes)));
    out += line("text", QByteArray::number(textBytes));
    out += '\n';
    const qsizetype start = out.size();
    out.resize(start + textBytes);
    char *to = out.data() + start;
    for (const QChar c : snapshot.text) { // UTF-16LE whatever the machine's byte order
        if (c == QChar::ParagraphSeparator) {
            *to++ = '\r';
            *to++ = 0;
            *to++ = '\n';
            *to++ = 0;
            continue;
        }
        *to++ = char(c.unicode() & 0xFF);
        *to++ = char(c.unicode() >> 8);
    }
    return out;
}

std::optional<Snapshot> decodeSnapshot(QByteArrayView bytes)
{
    if (!bytes.startsWith(kMagic))
        return std::nullopt;
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0)
        return std::nullopt;
    Snapshot snapshot;
    std::optional<qint64> textBytes;
    bool haveStamp = false;
    bool haveTime = false;
    const QList<QByteArray> lines =
        bytes.sliced(kMagic.size(), end + 1 - kMagic.size()).toByteArray().split('\n');
    for (const QByteArray &entry : lines) {
        if (entry.isEmpty())
            continue;
        const qsizetype eq = entry.indexOf('=');
        if (eq <= 0)
            return std::nullopt;
        const QByteArrayView name = QByteArrayView(entry).first(eq);
        const QByteArrayView value = QByteArrayView(entry).sliced(eq + 1);
        if (name == "path") {
            snapshot.path = QUrl::fromPercentEncoding(value.toByteArray());
        } else if (name == "inexact") {
            snapshot.inexactReason = QUrl::fromPercentEncoding(value.toByteArray());
        } else if (name == "stamp") {
            const auto stamp = parseStamp(value);
            if (!stamp)
                return std::nullopt;
            snapshot.diskFile = *stamp;
            haveStamp = true;
        } else if (name == "readCode" || name == "writeCode") {
            const auto code = number(value);
            if (!code || *code < 0 || *code > 255)
                return std::nullopt;
            (name == "readCode" ? snapshot.readCode : snapshot.writeCode) =
                codec::textCodeOf(int(*code));
        } else if (name == "time") {
            const auto ms = number(value);
            if (!ms)
                return std::nullopt;
            snapshot.time = QDateTime::fromMSecsSinceEpoch(*ms);
            haveTime = true;
        } else if (name == "shape") {
            const auto shape = parseShape(value);
            if (!shape)
                return std::nullopt;
            snapshot.shape = *shape;
        } else if (name == "text") {
            textBytes = number(value);
        }
    }
    const QByteArrayView body = bytes.sliced(end + 2);
    if (!textBytes || !haveStamp || !haveTime || *textBytes != body.size() || body.size() % 2)
        return std::nullopt;
    snapshot.text.resize(body.size() / 2);
    QChar *to = snapshot.text.data();
    for (qsizetype k = 0; k < body.size(); k += 2)
        *to++ = QChar(char16_t(quint8(body[k]) | (quint8(body[k + 1]) << 8)));
    return snapshot;
}

} // namespace files
