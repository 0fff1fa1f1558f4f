#pragma once

#include "models/ColorToken.h"

#include <QScrollArea>

#include <array>
#include <cstdint>
#include <memory>

class QVBoxLayout;

namespace plenvo {

class AppState;
struct CategoryStat;
class FileNode;
class RoundedPanel;
class ScanResult;
class StyledLabel;

// The summary page of a scan result: where and when the scan was taken (and, for a stopped
// scan, that its numbers count what was read, marked "≥"), four headline numbers
// (under them, when the folders themselves take space, a note of how much more that is), how the
// space divides among the file categories and the largest files. Nothing on it can be
// clicked. Whenever AppState's content revision changes it reads the result again and rebuilds
// its rows in place, so the scroll position stays where it was.
class OverviewView : public QScrollArea {
    Q_OBJECT

public:
    static constexpr int kTopFileRows = 10;
    static constexpr int kDividerInset = 44;
    static constexpr int kMinimumBarFill = 2;

    // Shows state.scanResult(); a later result published by the state replaces it.
    explicit OverviewView(AppState& state, QWidget* parent = nullptr);
    ~OverviewView() override;

    // The share of `size` in `total`, in percent; 0 when the total is below one byte.
    static double percent(std::int64_t size, std::int64_t total);

private:
    QWidget* headerSection();
    QWidget* statsCards();
    QWidget* categoryChart();
    QWidget* topFilesSection();
    RoundedPanel* statCard(const QString& title, const QString& value, const QString& icon,
                           ColorToken color);
    QWidget* categoryRow(const CategoryStat& stat, std::int64_t totalSize);
    QWidget* topFileRow(const FileNode& file, int index, bool divider);

    void refresh();

    AppState& m_state;
    std::shared_ptr<ScanResult> m_result;
    StyledLabel* m_name = nullptr;
    StyledLabel* m_path = nullptr;
    StyledLabel* m_date = nullptr;
    StyledLabel* m_stoppedNote = nullptr;
    std::array<StyledLabel*, 4> m_cardValues{};
    StyledLabel* m_foldersNote = nullptr;
    QVBoxLayout* m_categoryRows = nullptr;
    QVBoxLayout* m_fileRows = nullptr;
};

} // namespace plenvo
