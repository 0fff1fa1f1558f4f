#include "StateTestSupport.h"

#include "utils/Localization.h"

#include <QGuiApplication>
#include <QSignalSpy>

using namespace plenvo;
using namespace plenvo::test;

class AppStateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void startsIdleOnTheOverview()
    {
        AppState state;
        QVERIFY(!state.scanResult());
        QVERIFY(!state.isScanning());
        QCOMPARE(state.scanProgress(), ScanProgress::idle());
        QCOMPARE(state.navigationSelection(), std::optional(SidebarItem(SidebarItem::overview)));
        QCOMPARE(state.contentRevision(), 0);
        QVERIFY(!state.toastMessage());
        QVERIFY(!state.isDeleting());
        QCOMPARE(state.duplicateProgress(), DuplicateFinder::Progress::idle());
        QCOMPARE(state.duplicateFinder().minFileSize(), 1024);
        QCOMPARE(state.duplicateFinder().chunkSize(), 1048576);
    }

    void aScanPublishesItsResultAndGoesToTheOverview()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("a.txt"), 5000));
        QVERIFY(makeDir(dir.file("sub")));
        QVERIFY(writeFile(dir.file("sub/b.jpg"), 100));
        AppState state;
        state.setNavigationSelection(SidebarItem::largeFiles);
        state.setDuplicateGroups({DuplicateFinder::DuplicateGroup{}});
        QSignalSpy progress(&state, &AppState::scanProgressChanged);
        state.scanDirectory(dir.str());
        QVERIFY(state.isScanning());
        QCOMPARE(state.scanProgress(),
                 ScanProgress::scanning(QString::fromLocal8Bit(dir.path()), 0));
        QVERIFY(state.duplicateGroups().empty());
        QTRY_VERIFY(!state.isScanning());
        QVERIFY(state.scanResult());
        QCOMPARE(state.scanResult()->totalFiles(), 2);
        QCOMPARE(state.scanProgress(), ScanProgress::completed(2, state.scanResult()->totalSize()));
        QCOMPARE(state.contentRevision(), 1);
        QCOMPARE(state.navigationSelection(), std::optional(SidebarItem(SidebarItem::overview)));
        QVERIFY(progress.count() >= 2);
    }

    void aNewerScanSupersedesTheRunningOne()
    {
        // A large folder first, a small one right after: the first is cancelled and must not
        // publish anything; the state stays "scanning" until the second ends.
        ScratchDir big;
        for (int i = 0; i < 400; ++i) {
            const QByteArray sub = big.file("d" + QByteArray::number(i));
            QVERIFY(makeDir(sub));
            QVERIFY(writeFile(sub + "/f", 1));
        }
        ScratchDir small;
        QVERIFY(writeFile(small.file("only.txt"), 1));

        AppState state;
        std::vector<bool> scanningValues;
        std::vector<std::string> results;
        int navigations = 0;
        connect(&state, &AppState::isScanningChanged, this,
                [&] { scanningValues.push_back(state.isScanning()); });
        connect(&state, &AppState::scanResultChanged, this,
                [&] { results.push_back(state.scanResult()->rootPath()); });
        connect(&state, &AppState::navigationSelectionChanged, this, [&] { ++navigations; });
        std::vector<ScanProgress> progress;
        connect(&state, &AppState::scanProgressChanged, this,
                [&] { progress.push_back(state.scanProgress()); });

        state.scanDirectory(big.str());
        state.scanDirectory(small.str());
        QTRY_VERIFY_WITH_TIMEOUT(!state.isScanning(), 20000);
        QTest::qWait(100); // anything the first scan might still post has arrived by now
        QCOMPARE(results, std::vector<std::string>{small.str()});
        QCOMPARE(state.contentRevision(), 1);
        QCOMPARE(scanningValues, (std::vector<bool>{true, true, false}));
        QCOMPARE(navigations, 1);
        // After the second scan started, only its own progress was shown.
        const auto secondStart =
            std::find(progress.begin(), progress.end(),
                      ScanProgress::scanning(QString::fromLocal8Bit(small.path()), 0));
        QVERIFY(secondStart != progress.end());
        for (auto it = secondStart + 1; it != progress.end(); ++it)
            QVERIFY(it->kind() != ScanProgress::Kind::scanning ||
                    it->path() == QFileInfo(QString::fromLocal8Bit(small.path())).fileName());
        QCOMPARE(state.scanProgress().kind(), ScanProgress::Kind::completed);
    }

    void aResultIsReplacedNeverCleared()
    {
        ScratchDir first, second;
        QVERIFY(writeFile(first.file("x"), 1));
        QVERIFY(writeFile(second.file("y"), 1));
        AppState state;
        QVERIFY(scanAndWait(state, first.path()));
        const auto firstResult = state.scanResult();
        state.scanDirectory(second.str());
        QCOMPARE(state.scanResult(), firstResult); // still there while the rescan runs
        QTRY_VERIFY(!state.isScanning());
        QVERIFY(state.scanResult() != firstResult);
        QCOMPARE(state.contentRevision(), 2);
    }

    void toastsReplaceAndExpire()
    {
        AppState state;
        state.setToastDuration(300);
        QSignalSpy spy(&state, &AppState::toastMessageChanged);
        // The toast is private; deleting a missing file makes one (with a refusing trash).
        NodeRef lone = FileNode::create("lone.txt", "/nonexistent/lone.txt", false, 1, {}, {});
        state.deleteFile(lone);
        QCOMPARE(state.toastMessage(),
                 std::optional(L("delete.failed %@", QStringLiteral("lone.txt"))));
        QTest::qWait(200);
        NodeRef other = FileNode::create("other.txt", "/nonexistent/other.txt", false, 1, {}, {});
        state.deleteFile(other); // replaces at once and restarts the time
        QCOMPARE(state.toastMessage(),
                 std::optional(L("delete.failed %@", QStringLiteral("other.txt"))));
        QTest::qWait(200);
        QVERIFY(state.toastMessage().has_value()); // 400 ms after the first, 200 after the second
        QTRY_VERIFY(!state.toastMessage().has_value());

        // A tap hides it; the pending clearing still comes and assigns nothing once more.
        state.deleteFile(lone);
        const int before = spy.count();
        state.setToastMessage(std::nullopt);
        QTRY_COMPARE(spy.count(), before + 2);
        QVERIFY(!state.toastMessage());
    }

    void sidebarItemsAndCacheCategoriesByRawValue()
    {
        QCOMPARE(SidebarItem::fromRawValue(u"Large Files"),
                 std::optional(SidebarItem(SidebarItem::largeFiles)));
        QCOMPARE(SidebarItem::fromRawValue(u"largeFiles"), std::nullopt);
        QCOMPARE(SidebarItem::fromRawValue(u"TreeMap"),
                 std::optional(SidebarItem(SidebarItem::treeMap)));
        QStringList raws;
        for (SidebarItem item : SidebarItem::allCases()) {
            raws << item.id();
            QVERIFY(!item.localizedName().isEmpty());
            QVERIFY(item.localizedName() != QLatin1String(item.localizationKey()));
        }
        QCOMPARE(
            raws.join(u','),
            QStringLiteral("Overview,TreeMap,Large Files,Categories,Duplicates,Caches,Cleanup"));

        using Category = CacheLocation::CacheCategory;
        QCOMPARE(Category::fromRawValue(u"系统缓存"), std::optional(Category(Category::system)));
        QCOMPARE(Category::fromRawValue(u"包管理器"), std::optional(Category(Category::package)));
        QCOMPARE(Category::fromRawValue(u""), std::nullopt);
        QCOMPARE(Category::fromRawValue(u"system"), std::nullopt);
        for (Category c : Category::allCases())
            QCOMPARE(Category::fromRawValue(c.rawValue()), std::optional(c));
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    AppStateTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_appstate.moc"
