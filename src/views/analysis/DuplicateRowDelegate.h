#pragma once

#include "FileRowDelegate.h"

#include <QRect>
#include <QString>
#include <QStyledItemDelegate>

namespace plenvo {

// Paints the rows of the duplicates list (DuplicateGroupsModel), every row as high as a file
// list's: a check box (marked to go to the Trash) before each row; a group row with the name
// of its first copy, how many copies of what length it has (or, when every copy is marked,
// that one will stay) and the space its extra copies take; a file row as a file list draws it
// (name, folder, date, size). A click on a check box marks or unmarks.
class DuplicateRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit DuplicateRowDelegate(QObject* parent = nullptr);

    // Where the parts of a group row go and what they say; texts that do not fit are elided.
    struct GroupLayout {
        QRect icon;
        QRect name;
        QString nameText;
        QRect detail;
        QString detailText;
        bool allMarked = false; // the detail warns that one copy will stay
        QRect wasted;
        QString wastedText;
        QRect caption;
        QString captionText;
    };
    GroupLayout groupLayout(const QRect& rect, const QModelIndex& index) const;
    // The check box of a row drawn in `rect`.
    QRect checkRect(const QRect& rect, const QWidget* widget) const;
    int rowHeight() const { return m_files.rowHeight(); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    void paintGroup(QPainter* painter, const QStyleOptionViewItem& option,
                    const QModelIndex& index) const;

    FileRowDelegate m_files;
    FileRowDelegate m_narrowFiles; // without the date, for a narrow list
    QFont m_nameFont;
    QFont m_detailFont;
    QFont m_wastedFont;
    int m_iconExtent;
    bool m_pressedOnCheck = false;
};

} // namespace plenvo
