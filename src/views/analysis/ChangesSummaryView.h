#pragma once

#include "models/ScanComparison.h"

#include <QWidget>

#include <array>

class QToolButton;

namespace plenvo {

class StyledLabel;

// The summary of a comparison of two scans above the list of changes: the net change since the
// earlier scan with both totals, how many folders moved, and four buttons for what grew, shrank,
// appeared and went (the bytes and the files of each), which are also the list's filters: a
// button that is off hides the rows that hold only changes of its kind.
class ChangesSummaryView : public QWidget {
    Q_OBJECT

public:
    explicit ChangesSummaryView(QWidget* parent = nullptr);

    void setSummary(const ScanComparison::Summary& summary);
    // The filters on (ChangesModel::Filter); all at first.
    unsigned filters() const;
    // The button of one filter (ChangesModel::Filter, one bit).
    QToolButton* filterButton(unsigned filter) const;
    StyledLabel* netLabel() const { return m_net; }
    StyledLabel* detailLabel() const { return m_detail; }

Q_SIGNALS:
    void filtersChanged(unsigned filters);

protected:
    void changeEvent(QEvent* event) override;

private:
    void styleButtons();

    StyledLabel* m_net;
    StyledLabel* m_netCaption;
    StyledLabel* m_detail;
    std::array<QToolButton*, 4> m_buttons{}; // grown, shrunk, appeared, gone
    bool m_styling = false;
};

} // namespace plenvo
