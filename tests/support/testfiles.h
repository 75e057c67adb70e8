#pragma once

#include <QFile>
#include <QtTest>

// Small file helpers shared by the document tests.
namespace testfiles
{

// The whole file, or "<unreadable>".
inline QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Replaces the file with bytes; a failure fails the calling test.
inline void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace testfiles
