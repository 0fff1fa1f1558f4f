#pragma once

#include "models/ColorToken.h"

#include <QColor>
#include <QPalette>
#include <QStyleOptionViewItem>

class QPainter;

namespace plenvo {

// What the rows of the lists share when their delegates paint them: the style's panel under the
// row (the selection's highlight), drawn when the row is made; the colours of its parts, which
// on the highlight all take the highlighted text colour (the dimmed ones faded); and the focus
// frame over it, drawn last. `option` is the delegate's, with the item's own text and icon
// cleared; it must outlive the row.
class ItemRow {
public:
    ItemRow(QPainter* painter, const QStyleOptionViewItem& option);

    bool isSelected() const { return m_selected; }
    // The colour of the row's main text.
    QColor text() const;
    QColor color(ColorToken token) const;
    // The focus frame, when the row has the focus.
    void drawFocus() const;

private:
    QPainter* m_painter;
    const QStyleOptionViewItem& m_option;
    QPalette::ColorGroup m_group;
    bool m_selected;
};

} // namespace plenvo
