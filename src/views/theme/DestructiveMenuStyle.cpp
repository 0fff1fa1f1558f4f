#include "DestructiveMenuStyle.h"

#include "Colors.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace plenvo {

namespace {

constexpr char kDestructive[] = "plenvoDestructive";

} // namespace

DestructiveMenuStyle::DestructiveMenuStyle(QStyle* base) : QProxyStyle(base) {}

void DestructiveMenuStyle::markDestructive(QAction* action)
{
    action->setProperty(kDestructive, true);
}

bool DestructiveMenuStyle::isDestructive(const QAction* action)
{
    return action->property(kDestructive).toBool();
}

void DestructiveMenuStyle::install(QMenu* menu)
{
    // A style of the application's kind of its own: a proxy owns its base.
    auto* style = new DestructiveMenuStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(menu);
    menu->setStyle(style);
}

void DestructiveMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                       QPainter* painter, const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const auto* menu = qobject_cast<const QMenu*>(widget);
    if (element == CE_MenuItem && item && menu && (item->state & State_Enabled)) {
        const QString text = item->text.section(QLatin1Char('\t'), 0, 0);
        for (const QAction* action : menu->actions()) {
            if (!isDestructive(action) || action->text() != text)
                continue;
            QStyleOptionMenuItem destructive(*item);
            const QColor red = Colors::color(ColorToken::red, item->palette);
            for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
                destructive.palette.setColor(role, red);
            QProxyStyle::drawControl(element, &destructive, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

} // namespace plenvo
