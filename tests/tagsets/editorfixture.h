#pragma once

#include "codec/cp932.h"
#include "fakes.h"
#include "platform/prompter.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

namespace tagtest
{

// The scripted prompter, also recording the title and default value of each input prompt.
class RecordingPrompter final : public platform::Prompter
{
public:
    testsupport::ScriptedPrompter script;
    QStringList inputTitles;
    QStringList inputDefaults;

    platform::MsgAnswer message(QWidget *owner, const QString &text, const QString &title,
                                platform::MsgIcon icon, platform::MsgButtons buttons) override
    {
        return script.message(owner, text, title, icon, buttons);
    }
    std::optional<QString> input(QWidget *owner, const QString &prompt, const QString &title,
                                 const QString &initial) override
    {
        inputTitles << title;
        inputDefaults << initial;
        return script.input(owner, prompt, title, initial);
    }
};

inline QByteArray cp932(const QString &text)
{
    const codec::Cp932Encoded encoded = codec::encodeCp932(text);
    if (encoded.firstUnmappable >= 0)
        qFatal("test text is not code page 932");
    return encoded.bytes;
}

inline void writeTagFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder + u'/' + name + QStringLiteral(".tag"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray readTagFile(const QString &folder, const QString &name)
{
    QFile file(folder + u'/' + name + QStringLiteral(".tag"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Chooses the entry text as the user would, raising the list's Click.
inline void choose(QComboBox &list, const QString &text)
{
    const int index = list.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(index >= 0, qPrintable(text));
    list.setCurrentIndex(index);
    Q_EMIT list.activated(index);
}

inline QStringList entries(const QComboBox &list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items << list.itemText(i);
    return items;
}

} // namespace tagtest
