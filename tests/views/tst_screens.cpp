// The main window in each of its states, light and dark: the layout facts that matter are
// checked, and with PLENVO_SCREENSHOT_DIR set every state is also saved as a PNG. The result
// shown is a home folder built in memory, so no path of the machine appears in a picture.

#include "SampleHome.h"
#include "TestSupport.h"
#include "ViewTestSupport.h"

#include "ChangesTracker.h"
#include "HistoryKeeper.h"
#include "analysis/CategoriesView.h"
#include "analysis/DuplicateActions.h"
#include "analysis/DuplicateGroupsModel.h"
#include "analysis/DuplicatesBar.h"
#include "analysis/DuplicatesTreeView.h"
#include "analysis/DuplicatesView.h"
#include "analysis/ChangesList.h"
#include "analysis/ChangesModel.h"
#include "analysis/ChangesView.h"
#include "analysis/FileOperationList.h"
#include "analysis/LargeFilesView.h"
#include "analysis/TreeMapView.h"
#include "analysis/TreemapCanvas.h"
#include "services/NcduWriter.h"
#include "shell/AboutView.h"
#include "shell/DirectoryPickerSheet.h"
#include "shell/ScanningProgressView.h"
#include "shell/SidebarView.h"
#include "shell/ToastView.h"
#include "shell/WelcomeView.h"
#include "theme/SymbolView.h"

#include <QDir>
#include <QFontDatabase>
#include <QPushButton>
#include <QScrollArea>
#include <QSemaphore>
#include <QSplitter>
#include <QTemporaryDir>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

namespace {

// The main window at a desktop's size (larger than the test screen).
struct Screen : WindowFixture {
    Screen()
    {
        window.resize(1280, 820);
        window.show();
    }
};

} // namespace

class ScreensTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        setUpViewTests();
        m_lightPalette = QApplication::palette();
        m_dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        if (!m_dir.isEmpty())
            QDir().mkpath(m_dir);
    }
    // Each test runs once in the light palette and once in the dark one.
    void init()
    {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : m_lightPalette);
        m_suffix = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
    }
    void cleanup() { QApplication::setPalette(m_lightPalette); }

    void everyState_data() { schemeRows(); }
    void everyState()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("notes.txt"), 100));
        Screen s;
        AppState& state = s.state;
        ContentView& content = s.content();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));

        // Welcome: the sidebar at its ideal width, nothing above the detail area.
        QCOMPARE(content.findChild<QSplitter*>()->sizes().front(), 220);
        save(s.window, "welcome");

        // Scanning: the progress view fills the detail area. The scan waits in its first listing
        // while the picture is taken, which shows a neutral location.
        QSemaphore listing;
        s.beforeListing = [&](std::string_view) { listing.acquire(); };
        state.scanDirectory(dir.str());
        auto* progress = qobject_cast<ScanningProgressView*>(content.detailWidget());
        QVERIFY(progress);
        progress->setProgress(
            ScanProgress::scanning(QStringLiteral("/home/user/Photos/2025"), 48213));
        save(s.window, "scanning");
        listing.release(2);
        QTRY_VERIFY(!state.isScanning());
        s.beforeListing = {};
        state.showResult(sampleHome());

        // The overview and the treemap of the result.
        save(s.window, "overview");
        state.setNavigationSelection(SidebarItem::treeMap);
        save(s.window, "treemap");
        // From the keyboard: the focused tile has a ring.
        auto* treemap = qobject_cast<TreeMapView*>(content.detailWidget());
        QVERIFY(treemap);
        treemap->setFocus();
        QTest::keyClick(treemap->canvas(), Qt::Key_Right);
        QTest::keyClick(treemap->canvas(), Qt::Key_Down);
        QVERIFY(treemap->canvas()->focusedNodeId().has_value());
        save(s.window, "treemap-keyboard");

        // A result: the header row with the folder's pill; Large Files opens the inspector.
        QCOMPARE(content.headerRow()->geometry().top(), 0);
        state.setNavigationSelection(SidebarItem::largeFiles);
        QTRY_COMPARE(content.inspectorColumn()->width(), 260);
        QCOMPARE(state.selectedNode(), state.scanResult()->topFiles().front());
        QCOMPARE(content.inspectorColumn()->geometry().right(),
                 content.inspectorColumn()->parentWidget()->width() - 1);
        save(s.window, "large-files-inspector");

        // Three files chosen with the keyboard: the bar sums them up.
        auto* large = qobject_cast<LargeFilesView*>(content.detailWidget());
        QVERIFY(large);
        large->list()->setFocus();
        QTest::keyClick(large->list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(large->list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(large->selection()->selectedIds().size(), size_t(3));
        save(s.window, "large-files-selection");

        // The inspector of a folder.
        state.setSelectedNode(NodeRef(state.scanResult()->topFiles().front()->parent()));
        save(*content.inspectorColumn(), "inspector-folder");

        // Categories: the largest one chosen, its first file in the inspector.
        state.setNavigationSelection(SidebarItem::categories);
        auto* categories = qobject_cast<CategoriesView*>(content.detailWidget());
        QVERIFY(categories);
        QCOMPARE(categories->selectedCategory(),
                 state.scanResult()->categoryStat().front().category);
        save(s.window, "categories");

        // A toast over the top, across the whole window, after three files went to the Trash:
        // it offers to put them back.
        const std::vector<NodeRef>& top = state.scanResult()->topFiles();
        QVERIFY(state.editor().moveToTrash({top.end() - 3, top.end()}));
        QTRY_VERIFY(!state.isDeleting() && content.toastView()->undoButton()->isVisible());
        QTRY_COMPARE(content.toastView()->height(), content.toastView()->sizeHint().height());
        QCOMPARE(content.toastView()->width(), content.width());
        save(s.window, "toast");
        // A failure carries a warning mark.
        state.showToast(L("delete.failed %@", QStringLiteral("Holiday in Lisbon 2025.mp4")),
                        AppState::ToastKind::warning);
        QCOMPARE(content.toastView()->mark()->symbolName(),
                 QStringLiteral("exclamationmark.triangle.fill"));
        save(s.window, "toast-warning");
        state.setToastMessage(std::nullopt);

        // The picker sheet, over a home folder made for the picture rather than this machine's.
        state.setShowDirectoryPicker(true);
        QTRY_VERIFY(content.pickerSheet() && content.pickerSheet()->isVisible());
        state.setShowDirectoryPicker(false);
        QTRY_VERIFY(!content.pickerSheet()->isVisible());
        QTemporaryDir home(QDir::tempPath() + QStringLiteral("/Example-XXXXXX"));
        QVERIFY(home.isValid());
        for (const char* folder : {"Desktop", "Downloads", "Documents"})
            QVERIFY(QDir(home.path()).mkdir(QLatin1String(folder)));
        content.pickerSheet()->setLocations({home.path(), home.filePath(QStringLiteral("Desktop")),
                                             home.filePath(QStringLiteral("Downloads")),
                                             home.filePath(QStringLiteral("Documents")),
                                             QString()});
        state.setShowDirectoryPicker(true);
        QTRY_VERIFY(content.pickerSheet()->isVisible());
        QCOMPARE(content.pickerSheet()->quickLocations().size(), size_t(4));
        save(*content.pickerSheet(), "picker");
        state.setShowDirectoryPicker(false);
        QTRY_VERIFY(!content.pickerSheet()->isVisible());

        s.window.showAbout();
        QTRY_VERIFY(s.window.aboutView()->isVisible());
        save(*s.window.aboutView(), "about");
    }

    // A scan saved to a file and opened: the overview, and Large Files with the Trash off and
    // the note that says why.
    void openedScan_data() { everyState_data(); }
    void openedScan()
    {
        ScratchDir dir;
        const std::string saved = dir.file("home.json.gz").toStdString();
        const std::shared_ptr<ScanResult> home = sampleHome();
        QVERIFY(NcduWriter::writeFile(saved, *home->rootNode(), nullptr, {kScanDate / 1000, "1"})
                    .error.isEmpty());
        Screen s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        s.state.openScan(saved);
        QTRY_VERIFY(s.state.isReadOnly());
        save(s.window, "opened-overview");
        s.state.setNavigationSelection(SidebarItem::largeFiles);
        QTRY_COMPARE(s.content().inspectorColumn()->width(), 260);
        auto* large = qobject_cast<LargeFilesView*>(s.content().detailWidget());
        QVERIFY(large && large->bar()->readOnlyNote()->isVisible());
        save(s.window, "opened-large-files");
    }

    // Stopping, then a stopped scan: the header says so, the overview notes it, and every size
    // of a folder not read to the end reads "≥ …", whole, at a desktop's size and at the
    // window's least size with the inspector open.
    void stoppedScan_data() { everyState_data(); }
    void stoppedScan()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("sub")));
        Screen s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        QSemaphore listing;
        std::atomic<bool> held = false;
        s.beforeListing = [&](std::string_view name) {
            if (name == "sub") {
                held = true;
                listing.acquire();
            }
        };
        s.state.scanDirectory(dir.str());
        auto* progress = qobject_cast<ScanningProgressView*>(s.content().detailWidget());
        QVERIFY(progress);
        QTRY_VERIFY(held.load()); // the picture is taken while the scan is stopping
        QTest::keyClick(progress->stopButton(), Qt::Key_Escape);
        progress->setProgress(
            ScanProgress::scanning(QStringLiteral("/home/user/Photos/2025"), 48213));
        QVERIFY(!progress->stopButton()->isEnabled());
        save(s.window, "scanning-stopping");
        QVERIFY(s.state.isStoppingScan());
        listing.release();
        QTRY_VERIFY(!s.state.isScanning());
        s.beforeListing = {};

        const std::shared_ptr<ScanResult> home = sampleHome();
        markStopped(*home, {"Photos/Raw", "Projects/site/node_modules", ".cache"});
        s.state.showResult(home);
        const auto atLeastIsWhole = [&] {
            int shown = 0;
            for (StyledLabel* label : s.window.findChildren<StyledLabel*>())
                if (label->isVisible() && label->fullText().contains(u'\u2265')) {
                    QVERIFY2(label->text() == label->fullText(), qPrintable(label->fullText()));
                    ++shown;
                }
            QVERIFY(shown > 0);
        };
        QVERIFY(s.content()
                    .detailWidget()
                    ->findChild<StyledLabel*>(u"overviewStoppedNote"_s)
                    ->isVisible());
        atLeastIsWhole();
        save(s.window, "stopped-overview");
        s.state.setNavigationSelection(SidebarItem::treeMap);
        atLeastIsWhole();
        save(s.window, "stopped-treemap");

        s.window.resize(MainWindow::kMinimumSize);
        QTRY_COMPARE(s.window.size(), MainWindow::kMinimumSize);
        s.state.setNavigationSelection(SidebarItem::largeFiles);
        QTRY_COMPARE(s.content().inspectorColumn()->width(), 260);
        for (FileNode* child : home->rootNode()->children())
            if (child->nameBytes() == "Photos")
                s.state.setSelectedNode(NodeRef(child));
        QVERIFY(s.state.selectedNode() && s.state.selectedNode()->isIncomplete());
        atLeastIsWhole();
        save(s.window, "stopped-minimum-inspector");
        s.state.setNavigationSelection(SidebarItem::overview);
        atLeastIsWhole();
        save(s.window, "stopped-minimum-overview");
    }

    // The window at its minimum size: Large Files keeps the inspector beside it, its action
    // bar in two rows; Categories has no room for it, and the inspector yields.
    void smallestWindow_data() { everyState_data(); }
    void smallestWindow()
    {
        Screen s;
        s.window.resize(MainWindow::kMinimumSize);
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        s.state.showResult(sampleHome());
        s.state.setNavigationSelection(SidebarItem::largeFiles);
        QTRY_COMPARE(s.content().inspectorColumn()->width(), 260);
        auto* large = qobject_cast<LargeFilesView*>(s.content().detailWidget());
        QVERIFY(large && !large->bar()->isOneRow());
        QCOMPARE(s.content().sidebar()->width(), 220);
        save(s.window, "minimum-large-files");
        s.state.setNavigationSelection(SidebarItem::categories);
        QTRY_VERIFY(!s.content().isInspectorShown());
        QVERIFY(!s.content().inspectorToggle()->isEnabled());
        save(s.window, "minimum-categories");
    }

    // Chinese texts, where a font for them is installed.
    void chinese_data() { everyState_data(); }
    void chinese()
    {
        if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
            QSKIP("no font with Chinese characters is installed (fonts-wqy-microhei)");
        Localization::setLanguage(u"zh_CN");
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
        {
            Screen s;
            QVERIFY(QTest::qWaitForWindowExposed(&s.window));
            s.state.showResult(sampleHome());
            save(s.window, "overview-zh");
            s.state.setNavigationSelection(SidebarItem::categories);
            QTRY_COMPARE(s.content().inspectorColumn()->width(), 260);
            save(s.window, "categories-zh");
        }
        setUpViewTests();
    }

    // Scans of the sample home kept in a history of this test's own: the welcome screen lists
    // them; the changes since the earlier one, large with the inspector, inside a folder, and at
    // the window's least size.
    void history_data() { everyState_data(); }
    void history()
    {
        ScratchDir dir;
        const QByteArray oldState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", dir.file("state"));
        constexpr std::int64_t MB = 1000 * 1000, day = 24LL * 3600 * 1000;
        std::vector<Entry> before;
        for (Entry entry : sampleHomeEntries()) {
            if (entry.path == "Downloads/ubuntu-24.04-desktop-amd64.iso" ||
                entry.path == "Videos/Holiday in Lisbon 2025.mp4" ||
                entry.path.starts_with("Photos/Raw/"))
                continue; // new since
            if (entry.path == ".cache/browser/index.tmp")
                entry.size = 210 * MB; // grew since
            if (entry.path == "Projects/atlas/build/libatlas.a")
                entry.size = 520 * MB; // shrank since
            before.push_back(entry);
        }
        before.push_back({"Downloads/old-backup.tar", 2600 * MB});
        before.push_back({"Videos/Old cuts/take-1.mov", 900 * MB});
        before.push_back({"Videos/Old cuts/take-2.mov", 640 * MB});
        const ScanHistory kept(ScanHistory::defaultFolder());
        QVERIFY(kept.save({makeTree("/home/user", before), nullptr, "/home/user", kScanDate - 9 * day})
                    .status == ScanHistory::SaveOutcome::Status::saved);
        QVERIFY(kept.save({makeTree("/home/user/Projects", {{"atlas/build/atlas", 180 * MB}}),
                           nullptr, "/home/user/Projects", kScanDate - 2 * day})
                    .status == ScanHistory::SaveOutcome::Status::saved);
        QVERIFY(kept.save({makeTree("/media/backup", {{"2025/photos.tar", 48000 * MB}}), nullptr,
                           "/media/backup", kScanDate - 30 * day})
                    .status == ScanHistory::SaveOutcome::Status::saved);
        {
            Screen s;
            QVERIFY(QTest::qWaitForWindowExposed(&s.window));
            auto* welcome = qobject_cast<WelcomeView*>(s.content().detailWidget());
            QVERIFY(welcome);
            QTRY_COMPARE(welcome->recentScans()->model()->rowCount(), 3);
            save(s.window, "welcome-recent");

            s.state.showResult(sampleHome());
            QTRY_VERIFY(s.state.changes().isAvailable());
            s.state.setNavigationSelection(SidebarItem::changes);
            auto* changes = qobject_cast<ChangesView*>(s.content().detailWidget());
            QVERIFY(changes);
            QTRY_VERIFY(changes->model()->rowCount() > 0 && !changes->isUpdating());
            QTRY_COMPARE(s.content().inspectorColumn()->width(), 260);
            changes->list()->setFocus();
            changes->list()->setCurrentIndex(changes->model()->index(0, 0));
            save(s.window, "changes");
            QVERIFY(changes->list()->openFocusRow());
            changes->list()->setCurrentIndex(changes->model()->index(0, 0));
            save(s.window, "changes-folder");
            changes->model()->goHome();
            s.window.resize(MainWindow::kMinimumSize);
            save(s.window, "changes-small");

            // A kept scan opened: read-only, with the way to scan its folder again.
            s.window.resize(1280, 820);
            s.state.openScan(s.state.changes().earlier()->file);
            QTRY_VERIFY(s.state.isReadOnly());
            QTRY_VERIFY(s.content().rescanButton()->isVisible());
            save(s.window, "recent-opened");
        }
        qputenv("XDG_STATE_HOME", oldState);
    }

    // A category of more than a page of files, after Show More, in a view of its own.
    void categoriesPaged_data() { everyState_data(); }
    void categoriesPaged()
    {
        std::vector<Entry> entries = sampleHomeEntries();
        for (int i = 0; i < 1200; ++i)
            entries.push_back({"Photos/Phone/IMG_" + std::to_string(2000 + i) + ".heic",
                               1'500'000 + (i * 7919) % 2'000'000, kScanDate - i * 3'600'000LL});
        ViewFixture f("/home/user", entries);
        CategoriesView view(f.state, f.fileManager, f.clipboard);
        view.resize(1100, 720);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.selectCategory(FileCategory::images);
        view.showMore();
        QCOMPARE(view.model()->rowCount(), 1000);
        // With room to spare the left pane has its ideal width.
        QCOMPARE(view.findChild<QScrollArea*>(QStringLiteral("categoriesPane"))->width(), 320);
        save(view, "categories-more");
    }

    // Copies in the sample home, those older than the newest of each marked with the helper,
    // the current copy in the inspector; then the view at the window's smallest size (on a
    // screen large enough for it).
    void duplicates_data() { everyState_data(); }
    void duplicates()
    {
        constexpr std::int64_t month = 30LL * 24 * 3600 * 1000;
        const std::vector<std::pair<std::string, std::vector<std::string>>> copies{
            {"Videos/Holiday in Lisbon 2025.mp4", {"Downloads/Holiday in Lisbon 2025.mp4"}},
            {"Downloads/photos-backup.zip",
             {"Documents/Backup/photos-backup.zip", "Desktop/photos-backup.zip"}},
            {"Photos/Panorama.tif", {"Downloads/Panorama.tif"}},
            {"Documents/Thesis final.pdf",
             {"Documents/Thesis final (1).pdf", "Downloads/Thesis final.pdf"}},
            {"Music/Northern Lights/1 Track.flac", {"Downloads/Northern Lights/1 Track.flac"}},
            {"Photos/2025/IMG_4101.jpg", {"Photos/Imported/IMG_4101.jpg"}},
        };
        std::vector<Entry> entries = sampleHomeEntries();
        for (const auto& [original, others] : copies) {
            const Entry found = *std::find_if(entries.begin(), entries.end(),
                                              [&](const Entry& e) { return e.path == original; });
            for (const std::string& other : others)
                entries.push_back({other, found.size, *found.modified - month, found.created});
        }
        Screen s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        s.state.showResult(makeResult("/home/user", entries));
        const auto node = [&](const std::string& path) {
            for (const NodeRef& file : s.state.scanResult()->allFiles())
                if (file->pathBytes() == "/home/user/" + path)
                    return file;
            return NodeRef();
        };
        std::vector<DuplicateFinder::DuplicateGroup> groups;
        for (const auto& [original, others] : copies) {
            DuplicateFinder::DuplicateGroup group;
            group.files.push_back(node(original));
            group.fileSize = group.files.front()->fileSize();
            for (const std::string& other : others)
                group.files.push_back(node(other));
            groups.push_back(std::move(group));
        }
        std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) {
            return std::int64_t(a.files.size() - 1) * a.fileSize >
                   std::int64_t(b.files.size() - 1) * b.fileSize;
        });
        s.state.setDuplicateGroups(std::move(groups));
        s.state.setNavigationSelection(SidebarItem::duplicates);
        auto* view = qobject_cast<DuplicatesView*>(s.content().detailWidget());
        QVERIFY(view && view->showsGroups());
        view->actions()->keepNewest()->trigger();
        QCOMPARE(view->model()->markedCount(), 8);
        const QModelIndex current = view->model()->index(0, 0, view->model()->index(1, 0));
        view->list()->setCurrentIndex(current);
        QTRY_COMPARE(s.content().inspectorColumn()->width(), 260);
        QCOMPARE(s.state.selectedNode(), view->model()->fileAt(current));
        save(s.window, "duplicates");
        StyledLabel* summary = view->bar()->summaryLabel();
        QCOMPARE(summary->text(), summary->fullText()); // the whole text fits

        s.window.resize(MainWindow::kMinimumSize);
        QTRY_COMPARE(s.window.size(), MainWindow::kMinimumSize);
        save(s.window, "duplicates-small");
        QCOMPARE(summary->text(), summary->fullText());
    }

private:
    void save(QWidget& widget, const char* name)
    {
        QTest::qWait(300); // layouts settle and animations end
        const QPixmap shot = widget.grab();
        QVERIFY(!shot.isNull());
        if (!m_dir.isEmpty())
            QVERIFY(
                shot.save(m_dir + u'/' + QLatin1String(name) + m_suffix + QStringLiteral(".png")));
    }

    QPalette m_lightPalette;
    QString m_dir;
    QString m_suffix;
};

QTEST_MAIN(ScreensTest)
#include "tst_screens.moc"
