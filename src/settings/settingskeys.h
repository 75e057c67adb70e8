#pragma once

#include <QLatin1String>

// Section and key names of the settings store.
namespace settings::keys
{

inline constexpr QLatin1String SettingsSection{"Settings"};
inline constexpr QLatin1String RecentFilesSection{"RecentFiles"};
inline constexpr QLatin1String WindowSection{"Window"};
inline constexpr QLatin1String UpdateInfoSection{"UpdateInfo"};

inline constexpr QLatin1String FontBold{"FontBold"};
inline constexpr QLatin1String FontItalic{"FontItalic"};
inline constexpr QLatin1String FontName{"FontName"};
inline constexpr QLatin1String FontSize{"FontSize"};
inline constexpr QLatin1String FontStrikeThrough{"FontStrikeThrough"};
inline constexpr QLatin1String FontUnderline{"FontUnderline"};
inline constexpr QLatin1String FontColor{"FontColor"};
inline constexpr QLatin1String BgColor{"BgColor"};
inline constexpr QLatin1String TagColor{"TagColor"};
inline constexpr QLatin1String CommentColor{"CommentColor"};
inline constexpr QLatin1String Relation{"Relation"};
inline constexpr QLatin1String DefaultEditor{"DefaultEditor"};
inline constexpr QLatin1String ReadCode{"ReadCode"};
inline constexpr QLatin1String WriteCode{"WriteCode"};
inline constexpr QLatin1String ShowFullWidthSpace{"ShowFullWidthSpace"};
inline constexpr QLatin1String CompleteEndTags{"CompleteEndTags"};

inline constexpr QLatin1String Maximized{"Maximized"};
inline constexpr QLatin1String Left{"Left"};
inline constexpr QLatin1String Top{"Top"};
inline constexpr QLatin1String Width{"Width"};
inline constexpr QLatin1String Height{"Height"};

inline constexpr QLatin1String CurrentVersion{"CurrentVersion"};
inline constexpr QLatin1String ApplicationPath{"ApplicationPath"};

} // namespace settings::keys
