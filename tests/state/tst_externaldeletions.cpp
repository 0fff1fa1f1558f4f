#include "FakeTrash.h"
#include "StateTestSupport.h"

#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSemaphore>
#include <QSignalSpy>

#include <sys/fsuid.h>
#include <sys/stat.h>

using namespace plenvo;
using namespace plenvo::test;

class ExternalDeletionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void filesDeletedOutsideLeaveTheResult()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("photos")));
        QVERIFY(writeFile(dir.file("photos/a.jpg"), 30000));
        QVERIFY(writeFile(dir.file("photos/b.jpg"), 50000));
        QVERIFY(writeFile(dir.file("photos/c.jpg"), 70000));
        QVERIFY(writeFile(dir.file("notes.txt"), 100));
        QCOMPARE(::symlink("nowhere", dir.file("dangling").constData()), 0);
        AppState state(std::make_shared<FakeTrash>());
        QVERIFY(scanAndWait(state, dir.path()));
        const NodeRef root = state.scanResult()->rootNode();
        const NodeRef a = findNode(root, "a.jpg"), b = findNode(root, "b.jpg");
        const NodeRef photos = findNode(root, "photos");
        const qint64 photosBefore = photos->cachedSize();
        const qint64 removed = a->fileSize() + b->fileSize();
        state.setSelectedNode(a);
        state.setInspectorCandidateNodes({a, b});

        QCOMPARE(::unlink(dir.file("photos/a.jpg").constData()), 0);
        QCOMPARE(::unlink(dir.file("photos/b.jpg").constData()), 0);
        state.checkExternalDeletions();
        QTRY_VERIFY(state.toastMessage().has_value());
        QCOMPARE(*state.toastMessage(), L("delete.done.batch %lld %@", qint64(2),
                                          FormatUtils::formatBytesCompact(removed)));
        QCOMPARE(state.contentRevision(), 2);
        const auto& result = *state.scanResult();
        QVERIFY(!contains(result.allFiles(), a) && !contains(result.allFiles(), b));
        QVERIFY(!contains(result.topFiles(), a) && !contains(result.topFiles(), b));
        QCOMPARE(result.files(FileCategory::images).size(), 1u);
        QCOMPARE(result.categoryStat()[0].category, FileCategory(FileCategory::images));
        QCOMPARE(result.categoryStat()[0].fileCount, 1);
        QCOMPARE(photos->cachedSize(), photosBefore - removed);
        QCOMPARE(result.totalFiles(), 3); // c.jpg, notes.txt and the dangling link
        QVERIFY(findNode(root, "dangling"));
        // The selection and the candidates are left alone.
        QCOMPARE(state.selectedNode(), a);
        QCOMPARE(state.inspectorCandidateNodes().size(), 2u);

        // An emptied folder stays, as an empty folder.
        QCOMPARE(::unlink(dir.file("photos/c.jpg").constData()), 0);
        state.checkExternalDeletions();
        QTRY_COMPARE(state.contentRevision(), 3);
        QVERIFY(findNode(root, "photos"));
        QCOMPARE(photos->cachedFileCount(), 0);
        QCOMPARE(photos->cachedDirCount(), 1);
    }

    void nothingMissingMeansNoChange()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("x"), 1));
        AppState state(std::make_shared<FakeTrash>());
        QSignalSpy toast(&state, &AppState::toastMessageChanged);
        state.checkExternalDeletions(); // no result yet: nothing to do
        QVERIFY(scanAndWait(state, dir.path()));
        state.checkExternalDeletions();
        // The check finds nothing and posts nothing; give it ample time to prove it.
        QTest::qWait(300);
        QCOMPARE(toast.count(), 0);
        QCOMPARE(state.contentRevision(), 1);

        // During a scan no check starts, even with files gone.
        QCOMPARE(::unlink(dir.file("x").constData()), 0);
        state.scanDirectory(dir.str());
        state.checkExternalDeletions();
        QTRY_VERIFY(!state.isScanning());
        QTest::qWait(200);
        QCOMPARE(toast.count(), 0);
    }

    void onlyNoSuchEntryCountsAsMissing()
    {
        ScratchDir dir(QDir::tempPath());
        QVERIFY(makeDir(dir.file("locked")));
        QVERIFY(writeFile(dir.file("locked/inside"), 1));
        QVERIFY(writeFile(dir.file("file"), 1));
        QVERIFY(makeDir(dir.file("replaced")));
        QVERIFY(writeFile(dir.file("replaced/child"), 1));
        QCOMPARE(::symlink("gone-target", dir.file("link").constData()), 0);
        const auto outcome = DiskScanner().scanNow(dir.str(), {});
        const FileExistenceIndex& index = *outcome.existence;
        QCOMPARE(index.fileCount(), 4u);
        QVERIFY(index.missingFiles().empty());

        // A folder that turned into a file: its former child is missing (ENOTDIR). A folder
        // that cannot be read keeps its files; the dangling link is still there.
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
        std::uint32_t replaced = 0;
        while (replaced < index.folderCount() && index.nameOf(replaced) != "replaced")
            ++replaced;
        QCOMPARE(missing, (std::vector<FileExistenceIndex::Missing>{
                              {replaced, FileExistenceIndex::hashName("child")}}));
        QCOMPARE(index.pathOf(replaced), dir.str() + "/replaced");
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

    void aSingleFileResultIsChecked()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("alone.bin"), 100));
        AppState state(std::make_shared<FakeTrash>());
        state.scanDirectory(dir.str() + "/alone.bin");
        QTRY_VERIFY(!state.isScanning());
        QVERIFY(state.existenceIndex()->missingFiles().empty());
        QCOMPARE(::unlink(dir.file("alone.bin").constData()), 0);
        state.checkExternalDeletions();
        QTRY_VERIFY(state.scanResult()->allFiles().empty());
        QVERIFY(state.scanResult()->topFiles().empty());
        QCOMPARE(state.contentRevision(), 2);
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ExternalDeletionsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_externaldeletions.moc"
