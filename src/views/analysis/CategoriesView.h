#pragma once

#include "models/FileCategory.h"
#include "models/FileNode.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QVBoxLayout;

namespace plenvo {

class AppState;
class CategoryFilesHeader;
class CategoryLegendRow;
class CategoryListRow;
class Clipboard;
class FileActions;
class FileListModel;
class FileManager;
class FileOperationBar;
class FileOperationList;
class FileSelectionModel;
class RingChartView;
class ScanResult;
struct CategoryStat;
class ViewHeader;

// The scan by kind of file: on the left a ring of the categories' shares with its legend and a
// list of the categories; on the right the files of the chosen category in the file list with
// its action bar, kPageSize at a time.
//
// The list shows the first visibleLimit() files of the category's own list in the result,
// which is never copied; Show More lets the model grow by kPageSize rows. Choosing another
// category lists its first page and selects its first file. After every change of the content
// the view reads the result again: a category without files left gives way to the first one
// that has files, and the selected files still listed stay selected (else the first file).
class CategoriesView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPageSize = 500;

    CategoriesView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                   QWidget* parent = nullptr);
    ~CategoriesView() override;

    std::optional<FileCategory> selectedCategory() const { return m_selectedCategory; }
    // Chooses a category as a click on the ring, the legend or the list does; choosing the
    // one already chosen changes nothing.
    void selectCategory(FileCategory category);
    // Lists kPageSize more files of the category, as the Show More button does.
    void showMore();
    int visibleLimit() const { return m_visibleLimit; }

    ViewHeader* header() const { return m_header; }
    RingChartView* ring() const { return m_ring; }
    const std::vector<CategoryLegendRow*>& legendRows() const { return m_legendRows; }
    const std::vector<CategoryListRow*>& categoryRows() const { return m_categoryRows; }
    CategoryFilesHeader* filesHeader() const { return m_filesHeader; }
    FileOperationList* list() const { return m_list; }
    FileOperationBar* bar() const { return m_bar; }
    FileListModel* model() const { return m_model; }
    FileSelectionModel* selection() const { return m_selection; }
    FileActions* actions() const { return m_actions; }

    // The left pane at its minimum beside the file pane at its own.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* leftPane();
    QWidget* rightPane();

    // What the shown result says; nothing when there is none.
    const std::vector<CategoryStat>& stats() const;
    std::int64_t totalSize() const;
    bool isTotalAtLeast() const;
    const CategoryStat* selectedStat() const;
    const std::vector<NodeRef>& categoryFiles() const;

    void fitPanes();
    void reconcileAfterResultChange();
    void categoryChanged();
    void selectFirstDisplayedFileIfNeeded();
    void rebuildCategories();
    void updateSelectedCategory();
    void updateFilesHeader();

    AppState& m_state;
    std::shared_ptr<ScanResult> m_result; // the one the view was made for
    std::shared_ptr<ScanResult> m_shown;  // the one whose files are listed
    std::optional<FileCategory> m_selectedCategory;
    int m_visibleLimit = kPageSize;

    FileListModel* m_model;
    FileSelectionModel* m_selection;
    FileActions* m_actions;
    ViewHeader* m_header = nullptr;
    QWidget* m_leftPane = nullptr;
    QWidget* m_divider = nullptr;
    QWidget* m_filePane = nullptr;
    RingChartView* m_ring = nullptr;
    QVBoxLayout* m_legend = nullptr;
    QVBoxLayout* m_categoryList = nullptr;
    std::vector<CategoryLegendRow*> m_legendRows;
    std::vector<CategoryListRow*> m_categoryRows;
    CategoryFilesHeader* m_filesHeader = nullptr;
    FileOperationList* m_list = nullptr;
    FileOperationBar* m_bar = nullptr;
};

} // namespace plenvo
