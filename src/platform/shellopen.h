#pragma once

#include <QString>

namespace platform
{

// The desktop shell's "open": hands a file or an address to the program the desktop chooses.
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    virtual bool open(const QString &fileOrUrl) = 0;
};

class DesktopShellOpener final : public ShellOpener
{
public:
    bool open(const QString &fileOrUrl) override;
};

} // namespace platform
