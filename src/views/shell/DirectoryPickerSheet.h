#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

class QPushButton;
class QVBoxLayout;

namespace plenvo {

class AppState;
class FolderPanel;
class QuickLocationRow;
class StyledLabel;
class SymbolView;

// The folder picker shown over the main window when a new scan is asked for: a few quick
// locations that exist on this machine, and a button that opens the folder panel. Choosing any
// of them closes the picker (through AppState::setShowDirectoryPicker) and starts the scan.
//
// Escape and closing the window reject the dialog; whoever shows it records that it closed.
class DirectoryPickerSheet : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 480;

    struct QuickLocation {
        QString displayName;
        QString iconName;
        QString path;
        friend bool operator==(const QuickLocation&, const QuickLocation&) = default;
    };

    // Where the quick locations live. An empty path stands for a location this user does not
    // have.
    struct Locations {
        QString home;
        QString desktop;
        QString downloads;
        QString documents;
        QString applications;

        // This user's folders: the home folder, the desktop, downloads and documents folders as
        // the XDG user directories name them (left empty when one is the home folder itself, as
        // it is when the directory is not configured), and /Applications.
        static Locations system();
    };

    DirectoryPickerSheet(AppState& state, FolderPanel& panel, QWidget* parent = nullptr);

    // Fixes the locations offered instead of asking the system each time the sheet is shown.
    void setLocations(const Locations& locations);

    // Showing the sheet first rebuilds its quick locations.
    void setVisible(bool visible) override;

    // The candidates in order (home, desktop, downloads, documents, the Library folder in home,
    // the applications folder), keeping those whose path exists.
    static std::vector<QuickLocation> buildQuickLocations(const Locations& locations);
    // What the sheet offers, as built the last time it was shown; empty before that.
    const std::vector<QuickLocation>& quickLocations() const { return m_quickLocations; }
    std::vector<QuickLocationRow*> quickLocationRows() const { return m_rows; }

    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* chooseButton() const { return m_choose; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void rebuildQuickLocations();
    void openLocation(const QString& path);
    void chooseFolder();
    void cancel();
    void styleChooseButton();
    void fitHeight();

    AppState& m_state;
    FolderPanel& m_panel;
    std::optional<Locations> m_locations;
    std::vector<QuickLocation> m_quickLocations;
    std::vector<QuickLocationRow*> m_rows;
    SymbolView* m_icon;
    StyledLabel* m_title;
    StyledLabel* m_description;
    QVBoxLayout* m_locationLayout;
    QPushButton* m_cancel;
    QPushButton* m_choose;
};

} // namespace plenvo
