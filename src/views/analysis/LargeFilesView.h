#pragma once

#include <QWidget>

#include <memory>
#include <vector>

namespace plenvo {

class AppState;
class Clipboard;
class FileActions;
class FileListModel;
class FileManager;
class FileOperationBar;
class FileOperationList;
class FileSelectionModel;
class NodeRef;
class ScanResult;
class ViewHeader;

// The largest files of the scan, to review and move to the Trash: a header with their count,
// the file list and its action bar. The rows follow the result's edits; the list keeps a
// selection (the first, largest, file when nothing else is chosen).
class LargeFilesView : public QWidget {
    Q_OBJECT

public:
    LargeFilesView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                   QWidget* parent = nullptr);
    ~LargeFilesView() override;

    ViewHeader* header() const { return m_header; }
    FileOperationList* list() const { return m_list; }
    FileOperationBar* bar() const { return m_bar; }
    FileListModel* model() const { return m_model; }
    FileSelectionModel* selection() const { return m_selection; }
    FileActions* actions() const { return m_actions; }

private:
    void refresh();
    void updateCount();
    const std::vector<NodeRef>& displayedFiles() const;

    AppState& m_state;
    std::shared_ptr<ScanResult> m_result; // the one the view was made for
    std::shared_ptr<ScanResult> m_shown;  // the one whose files are listed
    FileListModel* m_model;
    FileSelectionModel* m_selection;
    FileActions* m_actions;
    ViewHeader* m_header;
    FileOperationList* m_list;
    FileOperationBar* m_bar;
};

} // namespace plenvo
