#pragma once

#include <QProxyStyle>

class QAction;
class QMenu;

namespace plenvo {

// Draws the menu items of destructive actions (moving to the Trash) in the destructive colour,
// text as well as icon, as desktop menus do, so that they read as what they are. Everything else
// is drawn by the application's style.
class DestructiveMenuStyle final : public QProxyStyle {
    Q_OBJECT

public:
    // Marks an action as destructive, for the menus it appears in.
    static void markDestructive(QAction* action);
    static bool isDestructive(const QAction* action);
    // Gives `menu` this style (owned by the menu).
    static void install(QMenu* menu);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

private:
    explicit DestructiveMenuStyle(QStyle* base);
};

} // namespace plenvo
