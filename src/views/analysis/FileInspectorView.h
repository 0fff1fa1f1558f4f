#pragma once

#include "models/FileNode.h"

#include <QScrollArea>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace plenvo {

class AppState;
class ClampedTextView;
class FileManager;
class ProportionBar;
class StyledLabel;

// The inspector column for one file or folder, the selected node at construction: its icon,
// name and category, its size and share of its folder, its dates, for a folder what it holds,
// its path (selectable), and the actions to show it in the file manager and, for a file, to
// move it to the Trash (off as the result's editor decides, with the reason in the tooltip;
// both off, with a note saying why, for a result opened from a file). The
// numbers are read again whenever the tree changes. A new selection is shown by a new inspector.
class FileInspectorView : public QScrollArea {
    Q_OBJECT

public:
    static constexpr int kWidth = 260;

    FileInspectorView(AppState& state, FileManager& fileManager, QWidget* parent = nullptr);

    const NodeRef& node() const { return m_node; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildHeader(QWidget* parent);
    QWidget* section(const char* titleKey, QWidget* parent, QVBoxLayout*& block);
    void buildSize(QVBoxLayout* block);
    void buildDates(QVBoxLayout* block);
    void buildContents(QVBoxLayout* block);
    QWidget* buildActions(QWidget* parent);
    void applyButtonColors();
    void followPolicy();
    void refresh();

    AppState& m_state;
    FileManager& m_fileManager;
    NodeRef m_node;
    StyledLabel* m_size = nullptr;
    ProportionBar* m_shareBar = nullptr;
    StyledLabel* m_shareText = nullptr;
    StyledLabel* m_folders = nullptr;
    StyledLabel* m_files = nullptr;
    StyledLabel* m_totalFiles = nullptr;
    QPushButton* m_reveal = nullptr;
    QPushButton* m_trash = nullptr;
};

} // namespace plenvo
