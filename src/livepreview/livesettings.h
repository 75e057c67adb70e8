#pragma once

#include <QLatin1String>

namespace settings
{
class SettingsStore;
}

namespace livepreview
{

// Keys in the section Settings: whether the live preview is shown beside the text, and the
// editor's share of the width they split, in thousandths.
inline constexpr QLatin1String LivePreviewKey{"LivePreview"};
inline constexpr QLatin1String LivePreviewSplitKey{"LivePreviewSplit"};

bool readLiveShown(const settings::SettingsStore &store);
void writeLiveShown(settings::SettingsStore &store, bool shown);
// The editor's share, 100 to 900 thousandths; half when absent or not a number.
int readLiveSplit(const settings::SettingsStore &store);
void writeLiveSplit(settings::SettingsStore &store, int thousandths);

} // namespace livepreview
