#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStyledItemDelegate>

namespace plenvo {

// Paints one row of the recent scans (RecentScansModel): a folder icon, the folder's name with
// its location under it (shortened in the middle), and on the right the date and the total.
// Texts that do not fit are elided; every row has the same height.
class RecentScanDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit RecentScanDelegate(QObject* parent = nullptr);

    struct Layout {
        QRect icon;
        QRect name;
        QString nameText;
        QRect folder;
        QString folderText;
        QRect date;
        QString dateText;
        QRect total;
        QString totalText;
    };
    Layout layout(const QRect& rect, const QModelIndex& index) const;
    int rowHeight() const { return m_rowHeight; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QFont m_nameFont;
    QFont m_detailFont;
    int m_iconExtent;
    int m_nameLine;
    int m_detailLine;
    int m_rowHeight;
};

} // namespace plenvo
