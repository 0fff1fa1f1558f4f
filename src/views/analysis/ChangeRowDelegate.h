#pragma once

#include "models/ColorToken.h"
#include "models/ScanComparison.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QStyledItemDelegate>

namespace plenvo {

// Paints one row of a list of changes (ChangesModel): an icon for a file or a folder in the
// colour of the kind of change, the name and, on the right, the change with its sign; under the
// name, what happened ("Grew", "New", "Moved from ..." ...) and the sizes before and after; a
// chevron when the folder can be opened. Every row has the same height; texts that do not fit
// are elided (a moved folder's old location in its middle).
class ChangeRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ChangeRowDelegate(QObject* parent = nullptr);

    struct Layout {
        QRect icon;
        QString iconName;
        ColorToken color = ColorToken::secondary; // the kind's
        QRect name;
        QString nameText;
        QRect change;
        QString changeText;
        ColorToken changeColor = ColorToken::secondary;
        QRect kind;
        QString kindText;
        QRect detail;
        QString detailText;
        QRect chevron; // empty when the row cannot be opened
    };
    Layout layout(const QRect& rect, const QModelIndex& index) const;

    // What the list says of a kind of change, and its colour.
    static QString kindText(ScanComparison::Kind kind);
    static ColorToken kindColor(ScanComparison::Kind kind);
    // Growth takes space (orange), shrinking frees it (green).
    static ColorToken changeColor(std::int64_t change);

    int rowHeight() const { return m_rowHeight; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QFont m_nameFont;
    QFont m_changeFont;
    QFont m_kindFont;
    QFont m_detailFont;
    int m_iconExtent;
    int m_chevronExtent;
    int m_nameLine;
    int m_detailLine;
    int m_rowHeight;
};

} // namespace plenvo
