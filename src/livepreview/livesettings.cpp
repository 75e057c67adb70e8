#include "livepreview/livesettings.h"

#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "settings/textforms.h"

#include <algorithm>

namespace livepreview
{

namespace
{
constexpr int HalfSplit = 500;
constexpr int LeastSplit = 100;
constexpr int MostSplit = 900;
} // namespace

bool readLiveShown(const settings::SettingsStore &store)
{
    const QString text =
        store.read(settings::keys::SettingsSection, LivePreviewKey, settings::formatBoolean(false));
    return settings::parseBoolean(text).value_or(false);
}

void writeLiveShown(settings::SettingsStore &store, bool shown)
{
    store.write(settings::keys::SettingsSection, LivePreviewKey, settings::formatBoolean(shown));
}

int readLiveSplit(const settings::SettingsStore &store)
{
    bool ok = false;
    const int value = store.read(settings::keys::SettingsSection, LivePreviewSplitKey, QString())
                          .trimmed()
                          .toInt(&ok);
    return ok ? std::clamp(value, LeastSplit, MostSplit) : HalfSplit;
}

void writeLiveSplit(settings::SettingsStore &store, int thousandths)
{
    store.write(settings::keys::SettingsSection, LivePreviewSplitKey,
                QString::number(std::clamp(thousandths, LeastSplit, MostSplit)));
}

} // namespace livepreview
