#include "app/enginestart.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <unistd.h>

namespace app
{

namespace
{

const QRegularExpression &engineArgsMarker()
{
    static const QRegularExpression marker(QStringLiteral("--webEngineArgs"),
                                           QRegularExpression::CaseInsensitiveOption);
    return marker;
}

// The arguments the engine reads: the variable's when it is set, else those after
// "--webEngineArgs", else none.
QStringList engineArguments(const EngineStart &start)
{
    if (start.flags)
        return QProcess::splitCommand(*start.flags);
    const qsizetype marker = start.arguments.indexOf(engineArgsMarker());
    return marker < 0 ? QStringList() : start.arguments.mid(marker + 1);
}

// Whether the arguments hold the switch --no-sandbox (or -no-sandbox, with or without a value)
// before a "--" that ends the switches.
bool hasNoSandboxSwitch(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        QStringView name(argument);
        if (name.startsWith(QLatin1String("--")))
            name = name.sliced(2);
        else if (name.startsWith(QLatin1Char('-')))
            name = name.sliced(1);
        else
            continue;
        const qsizetype value = name.indexOf(QLatin1Char('='));
        if ((value < 0 ? name : name.first(value)) == QLatin1String("no-sandbox"))
            return true;
    }
    return false;
}

} // namespace

EngineStart currentEngineStart()
{
    EngineStart start;
    start.root = ::geteuid() == 0;
    start.sandboxVariable = qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX");
    if (qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        start.flags = qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS");
    start.arguments = QCoreApplication::arguments();
    return start;
}

std::optional<QString> engineStartRefusal(const EngineStart &start)
{
    if (!start.root || start.sandboxVariable || hasNoSandboxSwitch(engineArguments(start)))
        return std::nullopt;
    return QStringLiteral("管理者（root）として実行しているため、プレビューを表示できません。"
                          "ブラウザ部品は root では安全のための仕組み（サンドボックス）を使えず、"
                          "そのまま起動するとプログラムごと終了してしまいます。\r\n\r\n"
                          "一般ユーザーとして起動し直してください。"
                          "サンドボックスなしでページを表示してよい場合は、環境変数 "
                          "QTWEBENGINE_DISABLE_SANDBOX=1 を付けて起動してください"
                          "（例: sudo env QTWEBENGINE_DISABLE_SANDBOX=1 tavlen ファイル名）。");
}

QStringList documentArguments(const QStringList &arguments)
{
    const qsizetype marker = arguments.indexOf(engineArgsMarker());
    return marker < 0 ? arguments : arguments.first(marker);
}

} // namespace app
