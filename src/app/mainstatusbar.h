#pragma once

#include <QHash>
#include <QStatusBar>

class QLabel;

namespace app
{

// The status bar: nine panels, each addressed by its key ("Mode", "Size", "Message", ...).
class MainStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit MainStatusBar(QWidget *parent = nullptr);

    // The panel with this key, or nullptr.
    QLabel *Panels(const QString &key) const { return m_panels.value(key); }
    QStringList keys() const { return m_order; }
    // Re-reads the states of Num Lock, Caps Lock, Scroll Lock and the editor's insert mode.
    void showKeyStates(bool num, bool caps, bool scroll, bool insert);

private:
    void addPanel(const QString &key, const QString &text, const QString &tip, int twips,
                  float tppX);

    QHash<QString, QLabel *> m_panels;
    QStringList m_order;
};

} // namespace app
