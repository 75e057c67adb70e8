#pragma once

#include "codec/textcode.h"
#include "settings/settingsstore.h"

#include <QString>

#include <array>

namespace settings
{

// The editor font: name, size in points (kept to four decimals) and four styles.
struct FontDescriptor {
    QString Name;
    double Size;
    bool Bold, Italic, Underline, Strikethrough;
    bool operator==(const FontDescriptor &) const = default;
};

// The user's settings for the run. Colours are 0x00BBGGRR (red in the lowest byte). A colour is
// kept exactly as its 32-bit text was read, so a value another writer stored (even a negative
// one) is written back unchanged; only the low 24 bits are used as a colour (see bgrcolor.h).
struct AppSettings {
    FontDescriptor Font{QStringLiteral("ＭＳ ゴシック"), 11, false, false, false, false};
    quint32 FontColor = 0;
    quint32 BgColor = 0xFFFFFF;
    quint32 TagColor = 0x800000;
    quint32 CommentColor = 0x8000;
    bool Relation = false;
    bool DefaultEditor = false;
    codec::TextCode ReadCode = codec::TextCode::ShiftJis;
    codec::TextCode WriteCode = codec::TextCode::ShiftJis;
    bool ShowFullWidthSpace = true;      // U+3000 shown as a faint box in the editor
    bool CompleteEndTags = true;         // "</" completed to the innermost open element's end tag
    std::array<QString, 10> RecentFiles; // slot 0 the most recent; "" marks a free slot
    bool operator==(const AppSettings &) const = default;
};

// Key of recent-file slot 0..9 in section RecentFiles: "File01".."File10".
QString RecentFileKey(int slot);

// Fills every field from the store; a key that is absent or whose text does not convert gives
// that field's default. Nothing is written back.
void LoadSettings(const SettingsStore &store, AppSettings &s);
// Writes every field (sections Settings and RecentFiles), free recent-file slots as "".
void SaveSettings(SettingsStore &store, const AppSettings &s);

} // namespace settings
