#pragma once

#include "models/ColorToken.h"

#include <QColor>
#include <QPalette>
#include <QStyleOptionViewItem>

class QPainter;

namespace plenvo {

// What the rows of the lists share when their delegates paint them: the style's panel under the
// row (the selection's highlight), drawn when the row is made; the colours of its parts, which
// on the highlight all take the highlighted text colour (a faded one would not read there) and
// elsewhere their text colours (Colors::textColor); and the focus frame over it, drawn last.
// `option` is the delegate's, with the item's own text and icon cleared; it must outlive the
// row.
class ItemRow {
public:
    ItemRow(QPainter* painter, const QStyleOptionViewItem& option);

    bool isSelected() const { return m_selected; }
    // The colour of the row's main text.
    QColor text() const { return textOf(m_option); }
    QColor color(ColorToken token) const { return colorOf(m_option, token); }
    // The focus frame, when the row has the focus (and `shown`: while the keyboard is used).
    void drawFocus(bool shown = true) const;

    // The same colours for a row painted without a panel of its own.
    static QColor textOf(const QStyleOptionViewItem& option);
    static QColor colorOf(const QStyleOptionViewItem& option, ColorToken token);

private:
    QPainter* m_painter;
    const QStyleOptionViewItem& m_option;
    QPalette::ColorGroup m_group;
    bool m_selected;
};

} // namespace plenvo
