#pragma once

#include "DetailViewFactory.h"
#include "SidebarItem.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QPushButton;
class QSplitter;
class QStackedLayout;
class QTimer;
class QToolButton;
class QVariantAnimation;

namespace plenvo {

class AppState;
class DeleteBanner;
class DirectoryPickerSheet;
class DiskUsageMiniBar;
class FolderPanel;
class ScanResult;
class SidebarView;
class ToastView;

// The content of the main window: the sidebar; a header with the scanned folder and the
// inspector toggle; the detail area, which shows the welcome screen, the scan progress or the
// view of the chosen destination; the inspector column; the delete banner and the toast laid
// over the top; and the folder-picker sheet.
class ContentView : public QWidget {
    Q_OBJECT

public:
    // What the detail area shows: the welcome screen, the scan progress, or the view of a
    // destination for the current result (see shownDestination()).
    enum class Detail { welcome, scanning, analysis };
    static constexpr int kInspectorWidth = 260;
    // A move to the Trash shows its progress only when it lasts longer than this.
    static constexpr int kBannerDelayMilliseconds = 400;

    ContentView(AppState& state, FolderPanel& panel, DetailViewFactory& factory,
                QWidget* parent = nullptr);
    ~ContentView() override;

    // Whether the inspector column is open (it shows only while it is also supported).
    bool showInspector() const { return m_showInspector; }
    // Not scanning, a result exists, and the destination is Large Files or Categories.
    bool supportsInspector() const;
    // Whether the detail column is wide enough for the detail view and the inspector beside
    // it; when it is not, the inspector yields and its toggle is off.
    bool hasRoomForInspector() const;
    bool isInspectorShown() const
    {
        return m_showInspector && supportsInspector() && hasRoomForInspector();
    }

    Detail detail() const { return m_detail; }
    // The destination whose view the detail area shows; meaningful for Detail::analysis.
    SidebarItem shownDestination() const { return m_destination; }
    QWidget* detailWidget() const { return m_detailWidget; }
    QWidget* inspectorColumn() const { return m_inspectorColumn; }
    QWidget* headerRow() const { return m_header; }
    QToolButton* inspectorToggle() const { return m_toggle; }
    // Scans the folder of a scan opened from the history again.
    QPushButton* rescanButton() const { return m_rescan; }
    DeleteBanner* deleteBanner() const { return m_banner; }
    ToastView* toastView() const { return m_toast; }
    SidebarView* sidebar() const { return m_sidebar; }
    DirectoryPickerSheet* pickerSheet() const;
    // Commands that stay at hand by their shortcuts while the picker sheet blocks the window
    // (Quit).
    void setSheetActions(const QList<QAction*>& actions);

public Q_SLOTS:
    // The inspector command: toggles the column while it is supported, else does nothing.
    void toggleInspector();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setShowInspector(bool show);
    void updateDetail();
    void updateHeader();
    void updateInspector(bool animated = true);
    void updateMinimumWidth();
    void updateInspectorContent();
    void updateOverlay();
    void layOutOverlay();
    void reactToNavigation();
    void syncPicker();
    Detail currentDetail() const;
    QString progressTitle() const;
    void reveal(QWidget* widget, bool show, int milliseconds);
    // In the divider colour of the palette of the moment.
    void colourSplitterHandle();

    AppState& m_state;
    FolderPanel& m_panel;
    DetailViewFactory& m_factory;
    bool m_showInspector = false;
    std::optional<SidebarItem> m_lastNavigation;

    QSplitter* m_splitter = nullptr;
    QWidget* m_detailColumn = nullptr;
    bool m_hadRoomForInspector = true;
    SidebarView* m_sidebar = nullptr;
    QWidget* m_header = nullptr;
    DiskUsageMiniBar* m_miniBar = nullptr;
    QToolButton* m_toggle = nullptr;
    QPushButton* m_rescan = nullptr;
    QStackedLayout* m_detailStack = nullptr;
    Detail m_detail = Detail::welcome;
    SidebarItem m_destination = SidebarItem::overview;
    const ScanResult* m_detailResult = nullptr;
    QWidget* m_detailWidget = nullptr;
    QWidget* m_divider = nullptr;
    QWidget* m_inspectorColumn = nullptr;
    QStackedLayout* m_inspectorStack = nullptr;
    QWidget* m_inspectorPlaceholder = nullptr;
    QWidget* m_inspectorView = nullptr;
    QVariantAnimation* m_inspectorAnimation = nullptr;
    QWidget* m_overlay = nullptr;
    DeleteBanner* m_banner = nullptr;
    ToastView* m_toast = nullptr;
    QTimer* m_bannerDelay = nullptr;
    bool m_wasDeleting = false;
    QPointer<DirectoryPickerSheet> m_sheet;
    QList<QAction*> m_sheetActions;
};

} // namespace plenvo
