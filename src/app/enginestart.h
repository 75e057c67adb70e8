#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace app
{

// What the browser engine would be started with, as far as its sandbox goes.
struct EngineStart {
    bool root = false;            // the effective user is root
    bool sandboxVariable = false; // QTWEBENGINE_DISABLE_SANDBOX is set
    std::optional<QString> flags; // QTWEBENGINE_CHROMIUM_FLAGS, when set
    QStringList arguments;        // the program's arguments, its own name first
};

// This process's.
EngineStart currentEngineStart();

// Why the browser engine cannot be started, in Japanese; nullopt when it can. Run as root, the
// engine's sandbox cannot work and the engine ends the whole program unless the user switched the
// sandbox off (QTWEBENGINE_DISABLE_SANDBOX, or --no-sandbox among the engine's own arguments).
// The program never switches it off itself: previewed pages load scripts from anywhere.
std::optional<QString> engineStartRefusal(const EngineStart &start);

// The program's arguments (without its name) that name the document: those before
// "--webEngineArgs", after which the arguments are the browser engine's.
QStringList documentArguments(const QStringList &arguments);

} // namespace app
