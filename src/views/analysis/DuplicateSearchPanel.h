#pragma once

#include "services/DuplicateFinder.h"

#include <QWidget>

class QProgressBar;
class QPushButton;

namespace plenvo {

class ActivitySpinner;
class ProminentButton;
class StyledLabel;
class SymbolView;

// What the Duplicates view shows while it has no groups to list: the invitation to search (off,
// with the read-only note, for a scan opened from a file), the search under way with its
// counts, a bar while files are read and Stop, or the news that nothing was found with the
// offer to search again. Its texts carry object names, to be read: "duplicates.panelTitle",
// "duplicates.panelDetail", "duplicates.panelNote"; the buttons are "duplicates.search" and
// "duplicates.stop".
class DuplicateSearchPanel : public QWidget {
    Q_OBJECT

public:
    enum class Mode { invite, readOnly, searching, noneFound };

    explicit DuplicateSearchPanel(QWidget* parent = nullptr);

    // `progress` is read while searching; `unreadable`, files left out, when none were found.
    void setMode(Mode mode, const DuplicateFinder::Progress& progress = {},
              std::int64_t unreadable = 0);
    Mode mode() const { return m_mode; }

    QPushButton* searchButton() const;
    QPushButton* stopButton() const { return m_stop; }
    QProgressBar* progressBar() const { return m_bar; }

Q_SIGNALS:
    void searchRequested();
    void stopRequested();

private:
    Mode m_mode = Mode::invite;
    SymbolView* m_icon;
    ActivitySpinner* m_spinner;
    StyledLabel* m_title;
    StyledLabel* m_detail;
    QProgressBar* m_bar;
    StyledLabel* m_note;
    ProminentButton* m_search;
    QPushButton* m_stop;
};

} // namespace plenvo
