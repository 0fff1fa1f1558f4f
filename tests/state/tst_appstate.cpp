// The application state: scans, files deleted outside the application and found missing when it
// becomes active, the toast that reports outcomes, and quitting while work is stuck.

#include "FakeTrash.h"
#include "StateFixture.h"
#include "TestSupport.h"

#include "AppState.h"
#include "ChangesTracker.h"
#include "HistoryKeeper.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <QSemaphore>

#include <atomic>
#include <set>

#include <sys/fsuid.h>

using namespace plenvo;
using namespace plenvo::test;

class AppStateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    // A scan publishes its result and goes to the overview. A rescan keeps the result until
    // it ends; a newer scan cancels the running one, which publishes nothing: the state stays
    // "scanning" until the newer one ends.
    void scansPublishTheirResultsAndTheNewestWins()
    {
        ScratchDir big, small;
        for (int i = 0; i < 400; ++i) {
            const QByteArray sub = big.file("d" + QByteArray::number(i));
            QVERIFY(makeDir(sub) && writeFile(sub + "/f", 1));
        }
        QVERIFY(makeDir(small.file("sub")) && writeFile(small.file("sub/b.jpg"), 100));
        QVERIFY(writeFile(small.file("a.txt"), 5000));
        const QString smallPath = QString::fromLocal8Bit(small.path());
        AppState state;
        state.setNavigationSelection(SidebarItem::largeFiles);
        state.setDuplicateGroups({DuplicateFinder::DuplicateGroup{}});
        state.scanDirectory(small.str());
        QCOMPARE(state.scanProgress(), ScanProgress::scanning(smallPath, 0));
        QVERIFY(state.isScanning() && state.duplicateGroups().empty());
        QTRY_VERIFY(!state.isScanning());
        QCOMPARE(state.scanResult()->totalFiles(), 2);
        QCOMPARE(state.scanProgress(), ScanProgress::completed(2, state.scanResult()->totalSize()));
        QCOMPARE(state.contentRevision(), 1);
        QCOMPARE(state.navigationSelection(), std::optional(SidebarItem(SidebarItem::overview)));

        const auto first = state.scanResult();
        std::vector<bool> scanning;
        QSignalSpy published(&state, &AppState::scanResultChanged);
        std::vector<ScanProgress> progress;
        connect(&state, &AppState::isScanningChanged, this,
                [&] { scanning.push_back(state.isScanning()); });
        connect(&state, &AppState::scanProgressChanged, this,
                [&] { progress.push_back(state.scanProgress()); });
        state.scanDirectory(big.str());
        state.scanDirectory(small.str());
        QCOMPARE(state.scanResult(), first);
        QTRY_VERIFY_WITH_TIMEOUT(!state.isScanning(), 20000);
        QTest::qWait(100); // anything the first scan might still post has arrived by now
        QCOMPARE(published.count(), 1);
        QVERIFY(state.scanResult() != first && state.scanResult()->rootPath() == small.str());
        QCOMPARE(state.contentRevision(), 2);
        QCOMPARE(scanning, (std::vector<bool>{true, true, false}));
        // After the second scan started, only its own progress was shown.
        auto it = std::find(progress.begin(), progress.end(), ScanProgress::scanning(smallPath, 0));
        QVERIFY(it != progress.end());
        for (++it; it != progress.end(); ++it)
            QVERIFY(it->kind() != ScanProgress::Kind::scanning ||
                    it->path() == QFileInfo(smallPath).fileName());
        QCOMPARE(state.scanProgress().kind(), ScanProgress::Kind::completed);
    }

    // Stopped, a scan's partial tree becomes the result, marked as stopped, its unfinished
    // folders marked; it is kept in no history and compared with no earlier scan, and it works
    // as any result: an unfinished folder moves to the Trash (said to free at least what was
    // counted), and an export of it opens again as a stopped scan.
    void aStoppedScanBecomesTheResult()
    {
        ScratchDir dir, out;
        for (const QByteArray d : {"d0", "d1", "d2"})
            QVERIFY(makeDir(dir.file(d)) && makeDir(dir.file(d + "/inner")) &&
                    writeFile(dir.file(d + "/a"), 5000) && writeFile(dir.file(d + "/inner/b"), 1));
        // The scan waits at the first folder below the scanned one until the stop is asked.
        auto gate = std::make_shared<QSemaphore>();
        auto reached = std::make_shared<std::atomic<bool>>(false);
        AppState::Services services;
        services.trash = std::make_shared<FakeTrash>();
        services.historyFolder = out.file("history").toStdString();
        services.scanThreads = 1; // a listing held holds the scan
        services.beforeListing = [gate, reached](std::string_view name) {
            if (name.starts_with('d') && !reached->exchange(true))
                gate->acquire();
        };
        AppState state(services);
        state.scanDirectory(dir.str());
        QTRY_VERIFY(reached->load());
        QSignalSpy stopping(&state, &AppState::isStoppingChanged);
        state.stopScan();
        QVERIFY(state.isScanning() && state.isStoppingScan());
        QCOMPARE(stopping.count(), 1);
        gate->release();
        QTRY_VERIFY(!state.isScanning());
        QVERIFY(!state.isStoppingScan() && state.toastMessage() == std::nullopt);
        const std::shared_ptr<ScanResult> result = state.scanResult();
        QVERIFY(result && result->wasStopped() && result->rootNode()->isIncomplete());
        QVERIFY(result->totalFiles() < 6);
        QCOMPARE(qint64(result->allFiles().size()), result->totalFiles());
        QCOMPARE(state.scanProgress(),
                 ScanProgress::completed(result->totalFiles(), result->totalSize()));
        QCOMPARE(state.navigationSelection(), std::optional(SidebarItem(SidebarItem::overview)));
        QVERIFY(!state.history().isSaving());
        QVERIFY(!state.changes().isAvailable());

        NodeRef unfinished; // the largest folder not read to the end
        for (FileNode* child : result->rootNode()->children())
            if (child->isIncomplete() &&
                (!unfinished || child->cachedSize() > unfinished->cachedSize()))
                unfinished = NodeRef(child);
        QVERIFY(unfinished && unfinished->cachedSize() > 0);
        const std::int64_t total = result->totalSize(), freed = unfinished->cachedSize();
        QVERIFY(state.editor().moveToTrash({unfinished}) && settleEdits(state));
        QCOMPARE(state.scanResult(), result);
        QCOMPARE(result->totalSize(), total - freed);
        QCOMPARE(state.toastMessage(),
                 L("delete.done.single %@", FormatUtils::formatBytesCompact(freed, true)));

        const QByteArray saved = out.file("stopped.json.gz");
        QVERIFY(state.exportScan(saved.toStdString()));
        QTRY_VERIFY(!state.isExporting());
        state.openScan(saved.toStdString());
        QTRY_VERIFY(!state.isScanning());
        QVERIFY(state.scanResult() != result && state.scanResult()->isOpenedFromFile());
        QVERIFY(state.scanResult()->wasStopped() && state.scanResult()->rootNode()->isIncomplete());
        QCOMPARE(state.scanResult()->totalSize(), total - freed);
    }

    // A scan that does not answer the stop (stuck in a listing, as on a mount that stopped
    // answering) keeps nobody waiting: after a short wait what was shown before shows again,
    // a toast says why, and the scan publishes nothing when it ends at last.
    void aStopThatIsNotAnsweredGivesUp()
    {
        ScratchDir dir, out;
        QVERIFY(makeDir(dir.file("sub")) && writeFile(dir.file("sub/f"), 1));
        auto gate = std::make_shared<QSemaphore>();
        auto hold = std::make_shared<std::atomic<bool>>(false);
        auto reached = std::make_shared<std::atomic<bool>>(false);
        AppState::Services services;
        services.trash = std::make_shared<FakeTrash>();
        services.historyFolder = out.file("history").toStdString();
        services.scanThreads = 1; // a listing held holds the scan
        services.stopWaitMilliseconds = 200;
        services.beforeListing = [gate, hold, reached](std::string_view name) {
            if (name == "sub" && *hold) {
                *reached = true;
                gate->acquire();
            }
        };
        AppState state(services);
        QVERIFY(scanAndWait(state, dir.path()));
        const std::shared_ptr<ScanResult> before = state.scanResult();
        *hold = true;
        state.scanDirectory(dir.str());
        QTRY_VERIFY(reached->load());
        QElapsedTimer waited;
        waited.start();
        state.stopScan();
        QVERIFY(state.isStoppingScan());
        QTRY_VERIFY(!state.isScanning());
        QVERIFY(waited.elapsed() >= 200);
        QCOMPARE(state.scanResult(), before);
        QCOMPARE(state.scanProgress(),
                 ScanProgress::completed(before->totalFiles(), before->totalSize()));
        QCOMPARE(state.toastMessage(), L("scanning.stopTimedOut"));
        QCOMPARE(state.toastKind(), AppState::ToastKind::warning);
        gate->release();
        QTRY_COMPARE(state.backgroundWork().running(), 0);
        QCoreApplication::processEvents(); // what the scan sent at its end
        QCOMPARE(state.scanResult(), before);
        QVERIFY(!state.isScanning());
    }

    // A newer message replaces the toast at once and gets its full time; the same words again
    // restart it too.
    void toastsReplaceAndExpire()
    {
        AppState::Services services;
        services.trash = std::make_shared<FakeTrash>();
        services.toastMilliseconds = 300;
        AppState state(services);
        QSignalSpy changes(&state, &AppState::toastMessageChanged);
        state.showToast(QStringLiteral("first"));
        QTest::qWait(200);
        state.showToast(QStringLiteral("second"), AppState::ToastKind::warning, true);
        QCOMPARE(state.toastMessage(), QStringLiteral("second"));
        QVERIFY(state.toastOffersUndo() && state.toastKind() == AppState::ToastKind::warning);
        QTest::qWait(200);
        QVERIFY(state.toastMessage().has_value()); // 400 ms after the first, 200 after the second
        QTRY_VERIFY(!state.toastMessage().has_value());
        QVERIFY(!state.toastOffersUndo());
        QCOMPARE(changes.count(), 3); // shown, replaced, cleared: nothing for no change
        state.setToastMessage(std::nullopt);
        QCOMPARE(changes.count(), 3);
    }

    // Exact and case-sensitive; the View menu's actions are named after the raw values.
    void destinationsAndCacheCategoriesByRawValue()
    {
        for (SidebarItem item : SidebarItem::allCases())
            QVERIFY(SidebarItem::fromRawValue(item.rawValue()) == item &&
                    item.localizedName() != QLatin1String(item.localizationKey()));
        QCOMPARE(SidebarItem::fromRawValue(u"largeFiles"), std::nullopt);
        using Category = CacheLocation::CacheCategory;
        for (Category c : Category::allCases())
            QCOMPARE(Category::fromRawValue(c.rawValue()), std::optional(c));
        QCOMPARE(Category::fromRawValue(u"包管理器"), std::optional(Category(Category::package)));
        QCOMPARE(Category::fromRawValue(u"system"), std::nullopt);
    }

    // Files and folders deleted outside leave the tree and every statistic as a move does; the
    // selection moves on from what left; an emptied folder stays.
    void entriesDeletedOutsideLeaveTheResult()
    {
        Fixture f(0);
        QVERIFY(makeDir(f.dir.file("photos")) && makeDir(f.dir.file("old")) &&
                makeDir(f.dir.file("old/deeper")));
        for (const char* name : {"photos/a.jpg", "photos/b.jpg", "photos/c.jpg", "notes.txt",
                                 "old/x.bin", "old/deeper/y.bin"})
            QVERIFY(writeFile(f.dir.file(name), 30000));
        QCOMPARE(::symlink("nowhere", f.dir.file("dangling").constData()), 0);
        QVERIFY(scanAndWait(f.state, f.dir.path()));
        const NodeRef a = f.find("a.jpg"), b = f.find("b.jpg"), c = f.find("c.jpg");
        const NodeRef photos = f.find("photos");
        const qint64 photosBefore = photos->cachedSize();
        const qint64 removed = a->fileSize() + b->fileSize();
        const qint64 revision = f.state.contentRevision();
        QSignalSpy toast(&f.state, &AppState::toastMessageChanged);
        AppState(std::make_shared<FakeTrash>()).checkExternalDeletions(); // no result: nothing
        f.state.checkExternalDeletions();
        QTRY_VERIFY(!f.state.isCheckingExternalDeletions());
        QVERIFY(toast.isEmpty() && f.state.contentRevision() == revision);

        f.state.setInspectorCandidateNodes({a, b, c});
        f.state.setSelectedNode(a);
        QCOMPARE(::unlink(f.dir.file("photos/a.jpg").constData()), 0);
        QCOMPARE(::unlink(f.dir.file("photos/b.jpg").constData()), 0);
        f.state.checkExternalDeletions();
        QTRY_COMPARE(f.state.toastMessage(),
                     L("delete.done.batch %lld %@", qint64(2), compact(removed)));
        QVERIFY(!f.state.toastOffersUndo()); // nothing of ours to put back
        QCOMPARE(f.state.contentRevision(), revision + 1);
        const ScanResult& result = *f.state.scanResult();
        QVERIFY(!contains(result.allFiles(), a) && !contains(result.allFiles(), b));
        QCOMPARE(result.files(FileCategory::images).size(), 1u);
        QCOMPARE(photos->cachedSize(), photosBefore - removed);
        QCOMPARE(result.totalFiles(), 5); // c.jpg, notes.txt, x.bin, y.bin and the dangling link
        QCOMPARE(f.state.selectedNode(), c);
        QCOMPARE(f.state.inspectorCandidateNodes(), std::vector<NodeRef>{c});

        // A folder gone leaves with all it held; an emptied folder stays, as an empty folder.
        const qint64 folders = result.totalDirectories();
        QCOMPARE(::unlink(f.dir.file("photos/c.jpg").constData()), 0);
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), f.dir.file("old")});
        f.state.checkExternalDeletions();
        QTRY_COMPARE(f.state.contentRevision(), revision + 2);
        QVERIFY(f.find("photos") == photos && photos->cachedFileCount() == 0);
        QVERIFY(!f.find("old") && !f.find("y.bin"));
        QCOMPARE(result.totalDirectories(), folders - 2);
        QCOMPARE(result.totalFiles(), 2);
        // The selected file went with photos' last file: the largest file left took its place.
        QVERIFY(f.state.selectedNode() && contains(result.allFiles(), f.state.selectedNode()));
        // During a scan no check starts, even with files gone.
        QCOMPARE(::unlink(f.dir.file("notes.txt").constData()), 0);
        f.state.scanDirectory(f.dir.str());
        f.state.checkExternalDeletions();
        QVERIFY(!f.state.isCheckingExternalDeletions());
        QTRY_VERIFY(!f.state.isScanning());
    }

    void aSingleFileResultIsChecked()
    {
        Fixture f(1);
        QVERIFY(scanAndWait(f.state, f.dir.file("f0")));
        QCOMPARE(::unlink(f.dir.file("f0").constData()), 0);
        f.state.checkExternalDeletions();
        QTRY_VERIFY(f.state.scanResult()->allFiles().empty());
        QVERIFY(f.state.scanResult()->topFiles().empty());
        QCOMPARE(f.state.contentRevision(), 3);
    }

    // A folder that turned into a file is missing itself (ENOTDIR), and so is one a link took the
    // place of; only the folder is reported, not what it held. A folder that cannot be read
    // keeps its files; a dangling link is still there.
    void onlyNoSuchEntryCountsAsMissing()
    {
        ScratchDir dir(QDir::tempPath());
        QVERIFY(makeDir(dir.file("locked")) && makeDir(dir.file("replaced")) &&
                makeDir(dir.file("linked")) && makeDir(dir.file("linked/below")));
        for (const char* name : {"locked/inside", "file", "replaced/child", "linked/below/f"})
            QVERIFY(writeFile(dir.file(name), 1));
        QCOMPARE(::symlink("gone-target", dir.file("link").constData()), 0);
        const auto outcome = DiskScanner().scanNow(dir.str(), {});
        const FileExistenceIndex& index = *outcome.existence;
        QCOMPARE(index.fileCount(), 5u);
        QVERIFY(index.missingFiles().empty());
        QCOMPARE(::unlink(dir.file("replaced/child").constData()), 0);
        QCOMPARE(::rmdir(dir.file("replaced").constData()), 0);
        QVERIFY(writeFile(dir.file("replaced"), 1));
        QCOMPARE(::rename(dir.file("linked").constData(), dir.file("moved").constData()), 0);
        QCOMPARE(::symlink("moved", dir.file("linked").constData()), 0);
        QCOMPARE(::chmod(dir.file("locked").constData(), 0), 0);
        QCOMPARE(::chmod(dir.path().constData(), 0755), 0);
        const bool root = ::geteuid() == 0;
        if (root)
            ::setfsuid(65534);
        const auto missing = index.missingFiles();
        if (root)
            ::setfsuid(0);
        std::set<std::string> gone, goneNodes;
        for (const FileExistenceIndex::Missing& m : missing)
            if (m.folderItself)
                gone.insert(index.pathOf(m.folder));
        const std::set<std::string> expected{dir.str() + "/linked", dir.str() + "/replaced"};
        QCOMPARE(missing.size(), 2u);
        QCOMPARE(gone, expected);
        // Mapped back to the tree: the folders themselves.
        for (const NodeRef& node : index.nodesFor(outcome.root, missing))
            goneNodes.insert(node->pathBytes());
        QCOMPARE(goneNodes, expected);
    }

    // One check at a time; work stuck in the kernel (a check, a move) never holds up quitting
    // for more than a second.
    void checksRunOneAtATimeAndNothingHoldsUpQuitting()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("x"), 1) && writeFile(dir.file("y"), 1));
        // A look at the disk that blocks until released, as on a mount that stopped answering.
        auto gate = std::make_shared<QSemaphore>();
        auto calls = std::make_shared<std::atomic<int>>(0);
        auto trash = std::make_shared<FakeTrash>();
        AppState::Services services;
        services.trash = trash;
        services.missingFiles = [gate, calls](const FileExistenceIndex&) {
            ++*calls;
            gate->acquire();
            return std::vector<FileExistenceIndex::Missing>{};
        };
        auto state = std::make_unique<AppState>(services);
        QVERIFY(scanAndWait(*state, dir.path()));
        for (int i = 0; i < 3; ++i)
            state->checkExternalDeletions();
        QTRY_COMPARE(calls->load(), 1);
        QVERIFY(state->isCheckingExternalDeletions());
        gate->release();
        QTRY_COMPARE(calls->load(), 2); // the three activations asked for one more check
        gate->release();
        QTRY_VERIFY(!state->isCheckingExternalDeletions());
        QCOMPARE(calls->load(), 2);
        // Going away during a check and a move that are both stuck does not wait for them.
        state->checkExternalDeletions();
        QTRY_COMPARE(calls->load(), 3);
        trash->hold();
        QVERIFY(state->editor().moveToTrash(state->scanResult()->allFiles()));
        QVERIFY(state->isDeleting());
        QElapsedTimer timer;
        timer.start();
        state.reset();
        QVERIFY(timer.elapsed() < 1000);
        gate->release();
        trash->release(2);
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    AppStateTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_appstate.moc"
