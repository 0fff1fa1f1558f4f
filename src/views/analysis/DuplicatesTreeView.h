#pragma once

#include <QTreeView>

namespace plenvo {

class DuplicateActions;
class DuplicateGroupsModel;
class DuplicateRowDelegate;

// The list of duplicate groups, each with its files below it: small groups open as they come,
// large ones on demand; the files of a group, and further groups, come as the list is scrolled
// to them. Rows are chosen with the usual gestures; Space marks or unmarks the chosen rows,
// Delete moves the marked copies to the Trash, a click on a row's box marks it; a right click on
// a row that is not chosen chooses it first, then asks for the menu (menuRequested), as the Menu
// key and Shift+F10 do.
class DuplicatesTreeView : public QTreeView {
    Q_OBJECT

public:
    // Groups with more files than this stay closed until opened.
    static constexpr int kOpenedGroupSize = 16;
    // At most this many groups open by themselves.
    static constexpr int kOpenedGroups = 2000;

    DuplicatesTreeView(DuplicateGroupsModel& model, DuplicateActions& actions,
                       QWidget* parent = nullptr);

    DuplicateGroupsModel& groupsModel() const { return m_model; }
    DuplicateRowDelegate* rowDelegate() const { return m_delegate; }
    // The chosen rows (the file rows and group rows selected).
    QModelIndexList chosenRows() const;
    // Shows more of what ends in sight: the files of a group whose last file shown is in sight,
    // more groups when the end of the list is.
    void fetchVisible();

Q_SIGNALS:
    void menuRequested(const QPoint& globalPosition);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void openGroups(int first, int last);

    DuplicateGroupsModel& m_model;
    DuplicateActions& m_actions;
    DuplicateRowDelegate* m_delegate;
    int m_opened = 0;
    bool m_fetchPosted = false;
};

} // namespace plenvo
