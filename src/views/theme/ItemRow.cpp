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

} // namespace

ItemRow::ItemRow(QPainter* painter, const QStyleOptionViewItem& option)
    : m_painter(painter), m_option(option),
      m_group(!(option.state & QStyle::State_Enabled) ? QPalette::Disabled
              : (option.state & QStyle::State_Active) ? QPalette::Active
                                                      : QPalette::Inactive),
      m_selected(option.state & QStyle::State_Selected)
{
    styleOf(option)->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, painter, option.widget);
}

QColor ItemRow::text() const
{
    return m_option.palette.color(m_group,
                                  m_selected ? QPalette::HighlightedText : QPalette::Text);
}

QColor ItemRow::color(ColorToken token) const
{
    if (!m_selected)
        return Colors::color(token, m_option.palette);
    return Colors::withOpacity(m_option.palette.color(m_group, QPalette::HighlightedText),
                               token == ColorToken::tertiary    ? 0.7
                               : token == ColorToken::secondary ? 0.85
                                                                : 1.0);
}

void ItemRow::drawFocus() const
{
    if (!(m_option.state & QStyle::State_HasFocus))
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
