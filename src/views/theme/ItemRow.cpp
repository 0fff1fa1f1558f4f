#include "theme/ItemRow.h"

#include "theme/Colors.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace plenvo {

namespace {

QStyle* styleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

QPalette::ColorGroup groupOf(const QStyleOptionViewItem& option)
{
    return !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
           : (option.state & QStyle::State_Active) ? QPalette::Active
                                                   : QPalette::Inactive;
}

} // namespace

ItemRow::ItemRow(QPainter* painter, const QStyleOptionViewItem& option)
    : m_painter(painter), m_option(option),
      m_group(groupOf(option)),
      m_selected(option.state & QStyle::State_Selected)
{
    styleOf(option)->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, painter, option.widget);
}

QColor ItemRow::textOf(const QStyleOptionViewItem& option)
{
    return option.palette.color(groupOf(option), option.state & QStyle::State_Selected
                                                     ? QPalette::HighlightedText
                                                     : QPalette::Text);
}

QColor ItemRow::colorOf(const QStyleOptionViewItem& option, ColorToken token)
{
    if (option.state & QStyle::State_Selected)
        return textOf(option);
    return Colors::textColor(token, option.palette);
}

void ItemRow::drawFocus(bool shown) const
{
    if (!shown || !(m_option.state & QStyle::State_HasFocus))
        return;
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(m_option);
    focus.rect = m_option.rect.adjusted(1, 1, -1, -1);
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    focus.backgroundColor =
        m_option.palette.color(m_group, m_selected ? QPalette::Highlight : QPalette::Base);
    styleOf(m_option)->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, m_painter, m_option.widget);
}

} // namespace plenvo
