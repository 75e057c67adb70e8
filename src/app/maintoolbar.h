#pragma once

#include <QHash>
#include <QToolBar>

namespace app {

// The tool bar: thirteen buttons in five groups, each addressed by its key ("New", "Open", ...).
class MainToolBar : public QToolBar
{
    Q_OBJECT
public:
    explicit MainToolBar(QWidget *parent = nullptr);

    // The button with this key, or nullptr for a key that is not on the bar.
    QAction *Buttons(const QString &key) const { return m_buttons.value(key); }
    QStringList keys() const { return m_order; }

Q_SIGNALS:
    // A button was pressed; for the two-state "Preview" button after its state changed.
    void ButtonClick(const QString &key);

private:
    void addButton(const QString &key, const QString &tip, const QString &icon, bool checkable);

    QHash<QString, QAction *> m_buttons;
    QStringList m_order;
};

} // namespace app
