#include "settings/appsettings.h"

#include "settings/settingskeys.h"
#include "settings/textforms.h"

#include <optional>

namespace settings
{

namespace
{

// Reads one key and converts it; the default when the key is absent or the text does not
// convert.
template <typename Value, typename Parse, typename Format>
Value readValue(const SettingsStore &store, const QString &section, const QString &key,
                Value defaultValue, Parse parse, Format format)
{
    const QString text = store.read(section, key, format(defaultValue));
    const auto value = parse(text);
    return value ? Value(*value) : defaultValue;
}

bool readBoolean(const SettingsStore &store, const QString &key, bool defaultValue)
{
    return readValue(store, keys::SettingsSection, key, defaultValue, parseBoolean, formatBoolean);
}

quint32 readColor(const SettingsStore &store, const QString &key, quint32 defaultValue)
{
    const QString text = store.read(keys::SettingsSection, key, formatInt32(qint32(defaultValue)));
    const std::optional<qint32> value = parseInt32(text);
    return value ? quint32(*value) : defaultValue;
}

// A stored 0 is Shift_JIS, 2 UTF-8 and any other number EUC-JP.
codec::TextCode readCode(const SettingsStore &store, const QString &key,
                         codec::TextCode defaultValue)
{
    const QString text =
        store.read(keys::SettingsSection, key, QString::number(codec::storedValue(defaultValue)));
    const std::optional<qint16> stored = parseInt16(text);
    return stored ? codec::textCodeOf(*stored) : defaultValue;
}

void writeSetting(SettingsStore &store, const QString &key, const QString &text)
{
    store.write(keys::SettingsSection, key, text);
}

QString colorText(quint32 color)
{
    return formatInt32(qint32(color));
}

} // namespace

QString RecentFileKey(int slot)
{
    return QStringLiteral("File%1").arg(slot + 1, 2, 10, QLatin1Char('0'));
}

void LoadSettings(const SettingsStore &store, AppSettings &s)
{
    const AppSettings defaults;
    const FontDescriptor &font = defaults.Font;

    s.Font.Bold = readBoolean(store, keys::FontBold, font.Bold);
    s.Font.Italic = readBoolean(store, keys::FontItalic, font.Italic);
    s.Font.Name = store.read(keys::SettingsSection, keys::FontName, font.Name);
    s.Font.Size = readValue(store, keys::SettingsSection, keys::FontSize, font.Size, parseFontSize,
                            formatFontSize);
    s.Font.Strikethrough = readBoolean(store, keys::FontStrikeThrough, font.Strikethrough);
    s.Font.Underline = readBoolean(store, keys::FontUnderline, font.Underline);

    s.FontColor = readColor(store, keys::FontColor, defaults.FontColor);
    s.BgColor = readColor(store, keys::BgColor, defaults.BgColor);
    s.TagColor = readColor(store, keys::TagColor, defaults.TagColor);
    s.CommentColor = readColor(store, keys::CommentColor, defaults.CommentColor);

    s.Relation = readBoolean(store, keys::Relation, defaults.Relation);
    s.DefaultEditor = readBoolean(store, keys::DefaultEditor, defaults.DefaultEditor);

    s.ReadCode = readCode(store, keys::ReadCode, defaults.ReadCode);
    s.WriteCode = readCode(store, keys::WriteCode, defaults.WriteCode);
    s.ShowFullWidthSpace =
        readBoolean(store, keys::ShowFullWidthSpace, defaults.ShowFullWidthSpace);
    s.CompleteEndTags = readBoolean(store, keys::CompleteEndTags, defaults.CompleteEndTags);

    for (int slot = 0; slot < int(s.RecentFiles.size()); ++slot)
        s.RecentFiles[size_t(slot)] =
            store.read(keys::RecentFilesSection, RecentFileKey(slot), QString());
}

void SaveSettings(SettingsStore &store, const AppSettings &s)
{
    writeSetting(store, keys::FontBold, formatBoolean(s.Font.Bold));
    writeSetting(store, keys::FontItalic, formatBoolean(s.Font.Italic));
    writeSetting(store, keys::FontName, s.Font.Name);
    writeSetting(store, keys::FontSize, formatFontSize(s.Font.Size));
    writeSetting(store, keys::FontStrikeThrough, formatBoolean(s.Font.Strikethrough));
    writeSetting(store, keys::FontUnderline, formatBoolean(s.Font.Underline));

    writeSetting(store, keys::FontColor, colorText(s.FontColor));
    writeSetting(store, keys::BgColor, colorText(s.BgColor));
    writeSetting(store, keys::TagColor, colorText(s.TagColor));
    writeSetting(store, keys::CommentColor, colorText(s.CommentColor));

    writeSetting(store, keys::Relation, formatBoolean(s.Relation));
    writeSetting(store, keys::DefaultEditor, formatBoolean(s.DefaultEditor));

    writeSetting(store, keys::ReadCode, QString::number(codec::storedValue(s.ReadCode)));
    writeSetting(store, keys::WriteCode, QString::number(codec::storedValue(s.WriteCode)));
    writeSetting(store, keys::ShowFullWidthSpace, formatBoolean(s.ShowFullWidthSpace));
    writeSetting(store, keys::CompleteEndTags, formatBoolean(s.CompleteEndTags));

    for (int slot = 0; slot < int(s.RecentFiles.size()); ++slot)
        store.write(keys::RecentFilesSection, RecentFileKey(slot), s.RecentFiles[size_t(slot)]);
}

} // namespace settings
