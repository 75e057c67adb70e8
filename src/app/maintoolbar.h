#pragma once

#include <QHash>
#include <QToolBar>

namespace app
{

struct MainMenu;

// The tool bar: thirteen buttons in five groups, each addressed by its key ("New", "Open", ...).
class MainToolBar : public QToolBar
{
    Q_OBJECT
public:
    explicit MainToolBar(QWidget *parent = nullptr);

    // The button with this key, or nullptr for a key that is not on the bar.
    QAction *Buttons(const QString &key) const { return m_buttons.value(key); }
    QStringList keys() const { return m_order; }
    // Puts command, a menu item, on the bar in place of the button with this key: the two are
    // then one command whose enabled and checked states cannot differ. It takes the button's
    // picture (shown on the bar only) and tip.
    void share(const QString &key, QAction *command);

Q_SIGNALS:
    // A button was pressed; for the two-state "Preview" button after its state changed.
    void ButtonClick(const QString &key);

private:
    void addButton(const QString &key, const QString &tip, const QString &icon, bool checkable);

    QHash<QString, QAction *> m_buttons;
    QStringList m_order;
};

// The buttons that run exactly their menu item's command become that menu item. Paste and Find
// stay buttons of their own: Paste works while its menu item waits for the Edit menu to open,
// and Find chooses between two menu items.
void shareToolBarCommands(MainToolBar &bar, const MainMenu &menu);

// The menu item whose command the button with this key runs; nullptr for Find, which has two,
// and for a key that is not on the bar.
QAction *menuCommand(const MainMenu &menu, const QString &key);

} // namespace app
