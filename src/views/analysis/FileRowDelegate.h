#pragma once

#include "models/ColorToken.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QStyledItemDelegate>

#include <optional>

namespace plenvo {

// Paints one row of a file list (FileListModel): the category icon, the name with an optional
// category badge, the folder holding the file (shortened at its start), an optional
// modification date and the size. Every row has the same height, so that a long list costs
// nothing to lay out; the selection highlight comes from the style. A narrow row drops the date,
// then the badge, before the name loses its room; nothing overlaps. The whole path shows as a
// tooltip where the row shows less of it. The focus frame shows while the keyboard is used.
class FileRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit FileRowDelegate(QObject* parent = nullptr);

    void setShowCategory(bool show) { m_showCategory = show; }
    bool showCategory() const { return m_showCategory; }
    void setShowModifiedDate(bool show) { m_showModifiedDate = show; }
    bool showModifiedDate() const { return m_showModifiedDate; }

    // Where each part of a row goes and what it says; texts that do not fit are elided. A
    // part that is not shown has an empty rectangle and text. The parts do not overlap.
    struct Layout {
        QRect icon;
        QString iconName;
        ColorToken color = ColorToken::secondary; // the category's
        QRect name;
        QString nameText;
        QRect badge;
        QString badgeText;
        QRect folder;
        QString folderText;
        QRect date;
        QString dateText;
        QRect size;
        QString sizeText;
    };
    Layout layout(const QRect& rect, const QModelIndex& index) const;

    // "yyyy-MM-dd" in local time.
    static QString dateText(qint64 msSinceEpoch);
    // The height of every row.
    int rowHeight() const { return m_rowHeight; }
    // The narrowest row that keeps the icon, the size and room for the name.
    int minimumRowWidth() const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFont m_nameFont;
    QFont m_badgeFont;
    QFont m_folderFont;
    QFont m_dateFont;
    QFont m_sizeFont;
    int m_iconExtent;
    int m_nameLine;
    int m_badgeHeight;
    int m_folderLine;
    int m_rowHeight;
    int m_minimumNameWidth;
    bool m_keyboardFocus = false;
    bool m_showCategory = false;
    bool m_showModifiedDate = false;
};

} // namespace plenvo
