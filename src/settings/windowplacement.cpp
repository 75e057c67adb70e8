#include "settings/windowplacement.h"

#include "settings/settingskeys.h"
#include "settings/textforms.h"

namespace settings
{

namespace
{

float readNumber(const SettingsStore &store, const QString &key)
{
    constexpr float absent = -1;
    return parseSingle(store.read(keys::WindowSection, key, formatSingle(absent))).value_or(absent);
}

} // namespace

WindowPlacement ReadWindowPlacement(const SettingsStore &store)
{
    WindowPlacement placement;
    placement.Maximized =
        parseBoolean(store.read(keys::WindowSection, keys::Maximized, formatBoolean(false)))
            .value_or(false);
    if (placement.Maximized)
        return placement;
    placement.Left = readNumber(store, keys::Left);
    placement.Top = readNumber(store, keys::Top);
    placement.Width = readNumber(store, keys::Width);
    placement.Height = readNumber(store, keys::Height);
    return placement;
}

void WriteWindowPlacement(SettingsStore &store, WindowState state, float left, float top,
                          float width, float height)
{
    if (state != WindowState::Minimized) {
        store.write(keys::WindowSection, keys::Left, formatSingle(left));
        store.write(keys::WindowSection, keys::Top, formatSingle(top));
        if (state != WindowState::Maximized) {
            store.write(keys::WindowSection, keys::Width, formatSingle(width));
            store.write(keys::WindowSection, keys::Height, formatSingle(height));
        }
    }
    store.write(keys::WindowSection, keys::Maximized,
                formatBoolean(state == WindowState::Maximized));
}

} // namespace settings
