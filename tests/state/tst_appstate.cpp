// The application state: scans, moves to the Trash, files deleted outside the application
// and found missing when it becomes active, and the toast that reports the outcome.

#include "FakeTrash.h"
#include "TestSupport.h"

#include "AppState.h"
#include "GioTrash.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <fstream>

#include <sys/fsuid.h>
#include <sys/mount.h>

using namespace plenvo;
using namespace plenvo::test;

namespace {

bool scanAndWait(AppState& state, const QByteArray& path)
{
    state.scanDirectory(path.toStdString());
    return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000) && state.scanResult() &&
           state.scanResult()->rootPath() == path.toStdString();
}

NodeRef findNode(const NodeRef& node, std::string_view name)
{
    if (node->nameBytes() == name)
        return node;
    for (const NodeRef& child : node->children())
        if (NodeRef found = findNode(child, name))
            return found;
    return {};
}

bool contains(const std::vector<NodeRef>& list, const NodeRef& node)
{
    return std::find(list.begin(), list.end(), node) != list.end();
}

QString compact(std::int64_t bytes)
{
    return FormatUtils::formatBytesCompact(bytes);
}

// A scanned folder of files f0 .. f(n-1), sizes growing, the odd ones in "sub".
struct Fixture {
    explicit Fixture(int files = 5, std::shared_ptr<Trash> trash = std::make_shared<FakeTrash>())
        : trash(trash), state(trash)
    {
        makeDir(dir.file("sub"));
        for (int i = 0; i < files; ++i)
            writeFile(dir.file((i % 2 ? "sub/f" : "f") + QByteArray::number(i)), 5000 * (i + 1));
        ok = scanAndWait(state, dir.path());
    }
    NodeRef node(int i) const { return find("f" + std::to_string(i)); }
    NodeRef find(std::string_view name) const
    {
        return findNode(state.scanResult()->rootNode(), name);
    }
    FakeTrash& fake() { return static_cast<FakeTrash&>(*trash); }

    ScratchDir dir;
    std::shared_ptr<Trash> trash;
    AppState state;
    bool ok = false;
};

} // namespace

class AppStateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        // A private Trash beside the fixtures (same file system, not /tmp).
        m_dataHome.reset(new ScratchDir);
        qputenv("XDG_DATA_HOME", m_dataHome->path());
    }

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

    // The toast is private; a move the Trash refuses makes one.
    void toastsReplaceAndExpire()
    {
        AppState state;
        state.setToastDuration(300);
        const auto refusedMove = [&](const char* name) {
            state.deleteFile(
                FileNode::create(name, std::string("/nonexistent/") + name, false, 1, {}, {}));
            return state.toastMessage() == L("delete.failed %@", QString::fromLatin1(name));
        };
        QVERIFY(refusedMove("lone.txt"));
        QTest::qWait(200);
        QVERIFY(refusedMove("other.txt")); // replaces at once and restarts the time
        QTest::qWait(200);
        QVERIFY(state.toastMessage().has_value()); // 400 ms after the first, 200 after the second
        QTRY_VERIFY(!state.toastMessage().has_value());
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

    // A move updates the tree, the statistics, the candidates and the duplicate groups; one
    // the Trash refuses changes nothing. The selection moves only when its node goes.
    void aSingleMoveUpdatesEverything()
    {
        Fixture f;
        QVERIFY(f.ok);
        const NodeRef victim = f.node(3);
        const FileNode* parent = victim->parent();
        const qint64 parentSize = parent->cachedSize();
        const qint64 rootSize = f.state.scanResult()->totalSize();
        f.state.setInspectorCandidateNodes({f.node(1), victim, f.node(2)});
        f.state.setSelectedNode(f.node(0));
        DuplicateFinder::DuplicateGroup pair, triple;
        pair.files = {victim, f.node(1)};
        triple.files = {f.node(2), victim, f.node(4)};
        f.state.setDuplicateGroups({pair, triple});
        f.state.deleteFile(victim);
        QCOMPARE(f.fake().requests(), std::vector<std::string>{victim->pathBytes()});
        QCOMPARE(victim->parent(), nullptr);
        QCOMPARE(parent->cachedSize(), parentSize - victim->fileSize());
        QCOMPARE(f.state.scanResult()->totalSize(), rootSize - victim->fileSize());
        QVERIFY(!contains(f.state.scanResult()->allFiles(), victim));
        QCOMPARE(f.state.inspectorCandidateNodes(), (std::vector<NodeRef>{f.node(1), f.node(2)}));
        QCOMPARE(f.state.contentRevision(), 2);
        QCOMPARE(f.state.selectedNode(), f.node(0)); // not the deleted one: unchanged
        QCOMPARE(f.state.toastMessage(), L("delete.done.single %@", compact(victim->fileSize())));
        QCOMPARE(f.state.toastKind(), AppState::ToastKind::done);
        QCOMPARE(f.state.duplicateGroups().size(), 1u);
        QCOMPARE(f.state.duplicateGroups()[0].id, triple.id);
        QCOMPARE(f.state.duplicateGroups()[0].files, (std::vector<NodeRef>{f.node(2), f.node(4)}));

        const NodeRef kept = f.node(2);
        f.fake().refuse(kept->pathBytes());
        f.state.setSelectedNode(kept);
        f.state.deleteFile(kept);
        QVERIFY(kept->parent() && contains(f.state.scanResult()->allFiles(), kept));
        QCOMPARE(f.state.contentRevision(), 2);
        QCOMPARE(f.state.selectedNode(), kept);
        QCOMPARE(f.state.toastMessage(), L("delete.failed %@", QStringLiteral("f2")));
        QCOMPARE(f.state.toastKind(), AppState::ToastKind::warning);
        // The selection moves to the first surviving candidate, not the row after the deleted
        // one; without candidates, to the largest surviving file; without a result, nowhere.
        f.state.setInspectorCandidateNodes({f.node(0), f.node(1), f.node(2)});
        f.state.setSelectedNode(f.node(1));
        f.state.deleteFile(f.node(1));
        QCOMPARE(f.state.selectedNode(), f.node(0));
        f.state.setInspectorCandidateNodes({});
        f.state.setSelectedNode(f.node(4));
        f.state.deleteFile(f.node(4));
        QCOMPARE(f.state.selectedNode(), f.node(2));
        AppState bare(std::make_shared<FakeTrash>());
        NodeRef lone = FileNode::create("lone", "/x/lone", false, 1, {}, {});
        bare.setSelectedNode(lone);
        bare.deleteFile(lone);
        QVERIFY(!bare.selectedNode());
    }

    // A batch moves one node at a time, in the given order, reports its progress and its
    // failures, and replaces the selection with a file outside it. Nothing, one node, or a
    // batch asked for while another runs make no batch.
    void aBatchReportsProgressAndFailures()
    {
        Fixture f(4);
        const NodeRef a = f.node(0), b = f.node(1), c = f.node(2), d = f.node(3);
        f.fake().refuse(b->pathBytes());
        using P = std::tuple<bool, qint64, qint64>;
        std::vector<P> progress;
        connect(&f.state, &AppState::deleteProgressChanged, this, [&] {
            progress.emplace_back(f.state.isDeleting(), f.state.deleteCount(),
                                  f.state.deleteTotalCount());
        });
        f.state.deleteFiles({});
        f.state.setSelectedNode(a);
        f.state.setInspectorCandidateNodes({a, b, c});
        f.fake().hold();
        f.state.deleteFiles({a, b, c});
        f.state.deleteFiles({d});
        f.state.deleteFiles({d, a});
        f.fake().release(4); // the batch, then the single move at the end
        QTRY_VERIFY(!f.state.isDeleting());
        QCOMPARE(progress,
                 (std::vector<P>{
                     {true, 0, 3}, {true, 1, 3}, {true, 2, 3}, {true, 3, 3}, {false, 0, 0}}));
        QCOMPARE(f.fake().requests(),
                 (std::vector<std::string>{a->pathBytes(), b->pathBytes(), c->pathBytes()}));
        QCOMPARE(f.state.toastMessage(), L("delete.done.batchWithFailures %lld %@ %lld", qint64(2),
                                           compact(a->fileSize() + c->fileSize()), qint64(1)));
        QCOMPARE(f.state.toastKind(), AppState::ToastKind::warning); // one of them failed
        QVERIFY(b->parent() && contains(f.state.scanResult()->topFiles(), b));
        QVERIFY(!contains(f.state.scanResult()->allFiles(), a));
        QCOMPARE(f.state.scanResult()->totalFiles(), 2);
        QCOMPARE(f.state.contentRevision(), 2);
        QCOMPARE(f.state.inspectorCandidateNodes(), std::vector<NodeRef>{b});
        QCOMPARE(f.state.selectedNode(), d); // chosen when the batch started
        f.state.deleteFiles({d});
        QCOMPARE(progress.size(), 5u);
        QCOMPARE(f.state.toastMessage(), L("delete.done.single %@", compact(d->fileSize())));
        QCOMPARE(f.state.toastKind(), AppState::ToastKind::done);
        QCOMPARE(f.state.contentRevision(), 3);
    }

    // Moves go to the private Trash, with a record of where from; names that are not UTF-8
    // keep their bytes. Never deleted for good: where the Trash refuses (on a file system
    // without one), the file stays.
    void realMovesGoToThePrivateTrash()
    {
        Fixture f(0, std::make_shared<GioTrash>());
        const QByteArray plain("report final.txt"), odd("caf\xE9\xFF.bin"), mnt = f.dir.file("mnt");
        QVERIFY(writeFile(f.dir.file(plain), 3000) && writeFile(f.dir.file(odd), 3000));
        QVERIFY(makeDir(mnt));
        const bool mounted = ::mount("none", mnt.constData(), "tmpfs", 0, "size=1m") == 0;
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                ::umount2(mnt.constData(), MNT_DETACH);
        });
        QVERIFY(!mounted || writeFile(mnt + "/keep.txt", 100));
        QVERIFY(scanAndWait(f.state, f.dir.path()));
        const QByteArray trash = m_dataHome->path() + "/Trash";
        for (const QByteArray& name : {plain, odd}) {
            f.state.deleteFile(f.find(name.toStdString()));
            QCOMPARE(::access(f.dir.file(name).constData(), F_OK), -1);
            QCOMPARE(::access((trash + "/files/" + name).constData(), F_OK), 0);
            std::ifstream info((trash + "/info/" + name + ".trashinfo").toStdString());
            const std::string text{std::istreambuf_iterator<char>(info), {}};
            const std::string path = f.dir.file(name).toPercentEncoding("/").toStdString();
            QVERIFY2(text.find("Path=" + path) != std::string::npos, text.c_str());
        }
        if (!mounted)
            QSKIP("mounting is not permitted here, so there is no file system without a Trash");
        f.state.deleteFile(f.find("keep.txt"));
        QCOMPARE(::access((mnt + "/keep.txt").constData(), F_OK), 0);
        QCOMPARE(f.state.toastMessage(), L("delete.failed %@", QStringLiteral("keep.txt")));
        QCOMPARE(f.state.scanResult()->totalFiles(), 1);
    }

    void filesDeletedOutsideLeaveTheResult()
    {
        Fixture f(0);
        QVERIFY(makeDir(f.dir.file("photos")));
        for (const char* name : {"photos/a.jpg", "photos/b.jpg", "photos/c.jpg", "notes.txt"})
            QVERIFY(writeFile(f.dir.file(name), 30000));
        QCOMPARE(::symlink("nowhere", f.dir.file("dangling").constData()), 0);
        QVERIFY(scanAndWait(f.state, f.dir.path()));
        const NodeRef a = f.find("a.jpg"), b = f.find("b.jpg"), photos = f.find("photos");
        const qint64 photosBefore = photos->cachedSize();
        const qint64 removed = a->fileSize() + b->fileSize();
        const qint64 revision = f.state.contentRevision();
        QSignalSpy toast(&f.state, &AppState::toastMessageChanged);
        AppState(std::make_shared<FakeTrash>()).checkExternalDeletions(); // no result: nothing
        f.state.checkExternalDeletions();
        QTest::qWait(300); // ample time for a check that found nothing to post what it would
        QVERIFY(toast.isEmpty() && f.state.contentRevision() == revision);

        f.state.setSelectedNode(a);
        f.state.setInspectorCandidateNodes({a, b});
        QCOMPARE(::unlink(f.dir.file("photos/a.jpg").constData()), 0);
        QCOMPARE(::unlink(f.dir.file("photos/b.jpg").constData()), 0);
        f.state.checkExternalDeletions();
        QTRY_COMPARE(f.state.toastMessage(),
                     L("delete.done.batch %lld %@", qint64(2), compact(removed)));
        QCOMPARE(f.state.contentRevision(), revision + 1);
        const ScanResult& result = *f.state.scanResult();
        QVERIFY(!contains(result.allFiles(), a) && !contains(result.allFiles(), b));
        QCOMPARE(result.files(FileCategory::images).size(), 1u);
        QCOMPARE(photos->cachedSize(), photosBefore - removed);
        QCOMPARE(result.totalFiles(), 3); // c.jpg, notes.txt and the dangling link
        // The selection and the candidates are left alone.
        QCOMPARE(f.state.selectedNode(), a);
        QCOMPARE(f.state.inspectorCandidateNodes().size(), 2u);
        // An emptied folder stays, as an empty folder.
        QCOMPARE(::unlink(f.dir.file("photos/c.jpg").constData()), 0);
        f.state.checkExternalDeletions();
        QTRY_COMPARE(f.state.contentRevision(), revision + 2);
        QVERIFY(f.find("photos") == photos && photos->cachedFileCount() == 0);
        // During a scan no check starts, even with files gone.
        QCOMPARE(::unlink(f.dir.file("notes.txt").constData()), 0);
        f.state.scanDirectory(f.dir.str());
        f.state.checkExternalDeletions();
        QTRY_VERIFY(!f.state.isScanning());
        QTest::qWait(200);
        QCOMPARE(toast.count(), 2);
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

    // A folder that turned into a file: its former child is missing (ENOTDIR). A folder that
    // cannot be read keeps its files; a dangling link is still there.
    void onlyNoSuchEntryCountsAsMissing()
    {
        ScratchDir dir(QDir::tempPath());
        QVERIFY(makeDir(dir.file("locked")) && makeDir(dir.file("replaced")));
        for (const char* name : {"locked/inside", "file", "replaced/child"})
            QVERIFY(writeFile(dir.file(name), 1));
        QCOMPARE(::symlink("gone-target", dir.file("link").constData()), 0);
        const auto outcome = DiskScanner().scanNow(dir.str(), {});
        const FileExistenceIndex& index = *outcome.existence;
        QCOMPARE(index.fileCount(), 4u);
        QVERIFY(index.missingFiles().empty());
        QCOMPARE(::unlink(dir.file("replaced/child").constData()), 0);
        QCOMPARE(::rmdir(dir.file("replaced").constData()), 0);
        QVERIFY(writeFile(dir.file("replaced"), 1));
        QCOMPARE(::chmod(dir.file("locked").constData(), 0), 0);
        QCOMPARE(::chmod(dir.path().constData(), 0755), 0);
        const bool root = ::geteuid() == 0;
        if (root)
            ::setfsuid(65534);
        const auto missing = index.missingFiles();
        if (root)
            ::setfsuid(0);
        QCOMPARE(missing.size(), 1u);
        QCOMPARE(missing[0].nameHash, FileExistenceIndex::hashName("child"));
        QCOMPARE(index.pathOf(missing[0].folder), dir.str() + "/replaced");
    }

    void checksRunOneAtATimeAndNeverHoldUpQuitting()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("x"), 1));
        auto state = std::make_unique<AppState>(std::make_shared<FakeTrash>());
        QVERIFY(scanAndWait(*state, dir.path()));
        // A look at the disk that blocks until released, as on a mount that stopped answering.
        auto gate = std::make_shared<QSemaphore>();
        auto calls = std::make_shared<std::atomic<int>>(0);
        state->setMissingFilesProbe([gate, calls](const FileExistenceIndex&) {
            ++*calls;
            gate->acquire();
            return std::vector<FileExistenceIndex::Missing>{};
        });
        for (int i = 0; i < 3; ++i)
            state->checkExternalDeletions();
        QTRY_COMPARE(calls->load(), 1);
        QVERIFY(state->isCheckingExternalDeletions());
        gate->release();
        QTRY_COMPARE(calls->load(), 2); // the three activations asked for one more check
        gate->release();
        QTRY_VERIFY(!state->isCheckingExternalDeletions());
        QTest::qWait(50);
        QCOMPARE(calls->load(), 2);
        // Going away during a check does not wait for it.
        state->checkExternalDeletions();
        QTRY_COMPARE(calls->load(), 3);
        QElapsedTimer timer;
        timer.start();
        state.reset();
        QVERIFY(timer.elapsed() < 1000);
        gate->release();
    }

private:
    std::unique_ptr<ScratchDir> m_dataHome;
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    AppStateTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_appstate.moc"
