// The changes since an earlier scan in the window: the list's model follows new comparisons of
// the same scans with row changes only (checked against a model made afresh, edit after edit),
// its filters, the view moving entries to the Trash through the result's editor and putting
// them back; the recent scans of the welcome screen opening read-only, with Rescan; the history
// switch offering to remove what was kept.

#include "TestSupport.h"
#include "ViewTestSupport.h"

#include "ChangesTracker.h"
#include "HistoryKeeper.h"
#include "analysis/ChangeRowDelegate.h"
#include "analysis/ChangesList.h"
#include "analysis/ChangesModel.h"
#include "analysis/ChangesSummaryView.h"
#include "analysis/ChangesView.h"
#include "analysis/FileActions.h"
#include "services/DiskScanner.h"
#include "services/NcduWriter.h"
#include "services/ScanComparer.h"
#include "shell/RecentScansModel.h"
#include "shell/SidebarModel.h"
#include "shell/SidebarView.h"
#include "shell/WelcomeView.h"

#include <QAbstractItemModelTester>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>

#include <random>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

namespace {

using Kind = ScanComparison::Kind;

// The comparison of two trees of /data; the folders named in `inodes` have those inodes in both.
std::shared_ptr<const ScanComparison>
compare(const std::vector<Entry>& before, const std::vector<Entry>& after,
        const std::vector<std::pair<std::string, std::uint64_t>>& inodes = {})
{
    const auto tree = [&](const std::vector<Entry>& entries) {
        NodeRef root = makeTree("/data", entries);
        for (FileNode* child : root->children())
            for (const auto& [name, inode] : inodes)
                if (child->nameBytes() == name)
                    child->setInode(inode);
        return root;
    };
    const ScanTree earlier{tree(before), nullptr, "/data", kScanDate - 86400000};
    const ScanTree current{tree(after), nullptr, "/data", kScanDate};
    return ScanComparer::compareTrees(earlier, current).comparison;
}

// The rows of a model as "name kind change".
QStringList rowsOf(const QAbstractItemModel& model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        rows << index.data().toString() + u' ' +
                    QString::number(index.data(ChangesModel::KindRole).toInt()) + u' ' +
                    QString::number(index.data(ChangesModel::ChangeRole).toLongLong());
    }
    return rows;
}

QStringList namesOf(const QAbstractItemModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.index(row, 0).data().toString();
    return names;
}

bool offers(const SidebarModel& sidebar, SidebarItem item)
{
    const std::vector<SidebarItem> items = sidebar.items();
    return std::find(items.begin(), items.end(), item) != items.end();
}

// The name of what the inspector shows, "-" for nothing.
QString shownIn(const AppState& state)
{
    return state.selectedNode() ? state.selectedNode()->name() : u"-"_s;
}

int rowNamed(const QAbstractItemModel& model, const QString& name)
{
    return int(namesOf(model).indexOf(name));
}

// The history and the settings of this process in a scratch folder, for the time of a test.
struct PrivateHome {
    PrivateHome()
        : oldState(qgetenv("XDG_STATE_HOME")), oldConfig(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_STATE_HOME", home.file("state"));
        qputenv("XDG_CONFIG_HOME", home.file("config"));
    }
    ~PrivateHome()
    {
        qputenv("XDG_STATE_HOME", oldState);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }
    ScanHistory history() const { return ScanHistory(ScanHistory::defaultFolder()); }
    // Keeps a scan of `folder` (on disk) dated `date`.
    std::string keep(const QByteArray& folder, std::int64_t date) const
    {
        const DiskScanner::Outcome scan = DiskScanner().scanNow(folder.toStdString(), {});
        return history().save({scan.root, scan.facts, folder.toStdString(), date}).file;
    }

    ScratchDir home;
    QByteArray oldState;
    QByteArray oldConfig;
};

} // namespace

class ChangesViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpViewTests(); }

    // Edit after edit of the current tree, a new comparison of the same scans keeps the folder
    // shown and reaches, with removals, insertions and moves only, the rows a model made
    // afresh shows there.
    void modelFollowsNewComparisonsWithoutReset()
    {
        std::mt19937 random(20261207);
        const auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
        std::vector<Entry> before;
        for (int d = 0; d < 4; ++d)
            for (int f = 0; f < 8; ++f)
                before.push_back({"d" + std::to_string(d) + "/f" + std::to_string(f),
                                  1000 * (1 + (d * 8 + f) % 13)});
        std::vector<Entry> now = before;
        now[3].size *= 5;
        now[9].size = 10;
        now.erase(now.begin() + 17);
        now.push_back({"d1/extra", 7000});
        now.push_back({"fresh/inside/x", 3000});

        ChangesModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setComparison(compare(before, now), false);
        QVERIFY(model.open(rowNamed(model, u"d1"_s)));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        int moved = 0, inserted = 0, removed = 0;
        connect(&model, &QAbstractItemModel::rowsMoved, this, [&] { ++moved; });
        connect(&model, &QAbstractItemModel::rowsInserted, this, [&] { ++inserted; });
        connect(&model, &QAbstractItemModel::rowsRemoved, this, [&] { ++removed; });
        for (int edit = 0; edit < 60; ++edit) {
            // Files go, grow, shrink or come, mostly where the list is.
            Entry& some = now[pick(now.size())];
            switch (pick(4)) {
            case 0:
                now.erase(now.begin() + std::ptrdiff_t(pick(now.size())));
                break;
            case 1:
                some.size = some.size * 3 + 1000;
                break;
            case 2:
                some.size = some.size / 4;
                break;
            default:
                now.push_back({"d" + std::to_string(pick(2)) + "/n" + std::to_string(edit),
                               std::int64_t(500 * (1 + pick(30)))});
                break;
            }
            const auto comparison = compare(before, now);
            model.setComparison(comparison, true);
            ChangesModel fresh;
            fresh.setComparison(comparison, false);
            for (const std::string& name : model.location())
                QVERIFY(fresh.open(rowNamed(fresh, QString::fromStdString(name))));
            QCOMPARE(rowsOf(model), rowsOf(fresh));
        }
        QCOMPARE(resets.count(), 0);
        QVERIFY(moved > 0 && inserted > 0 && removed > 0); // each path was taken
    }

    // Each filter keeps the rows that hold changes of its kind; a moved folder always shows,
    // with where it was; the rows follow without a reset.
    void filtersKeepTheRowsOfTheirKind_data()
    {
        QTest::addColumn<unsigned>("filters");
        QTest::addColumn<QStringList>("rows");
        using M = ChangesModel;
        row("all", unsigned(M::allFilters),
            QStringList{u"dir"_s, u"renamed"_s, u"grow.txt"_s, u"new.txt"_s, u"gone.txt"_s,
                        u"shrink.txt"_s});
        row("grown", unsigned(M::grownFilter), QStringList{u"dir"_s, u"renamed"_s, u"grow.txt"_s});
        row("shrunk", unsigned(M::shrunkFilter), QStringList{u"renamed"_s, u"shrink.txt"_s});
        row("new", unsigned(M::appearedFilter), QStringList{u"renamed"_s, u"new.txt"_s});
        row("gone", unsigned(M::goneFilter), QStringList{u"dir"_s, u"renamed"_s, u"gone.txt"_s});
        row("grown and gone", unsigned(M::grownFilter | M::goneFilter),
            QStringList{u"dir"_s, u"renamed"_s, u"grow.txt"_s, u"gone.txt"_s});
        row("none", 0u, QStringList{u"renamed"_s});
    }
    void filtersKeepTheRowsOfTheirKind()
    {
        QFETCH(unsigned, filters);
        QFETCH(QStringList, rows);
        ChangesModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setComparison(compare({{"grow.txt", 100},
                                     {"shrink.txt", 500},
                                     {"gone.txt", 300},
                                     {"dir/inner", 100},
                                     {"dir/old", 50},
                                     {"old/a", 100},
                                     {"old/b", 200}},
                                    {{"grow.txt", 900},
                                     {"shrink.txt", 200},
                                     {"new.txt", 400},
                                     {"dir/inner", 600},
                                     {"renamed/a", 100},
                                     {"renamed/b", 200}},
                                    {{"old", 7}, {"renamed", 7}}),
                            false);
        const QModelIndex moved = model.index(rowNamed(model, u"renamed"_s), 0);
        QCOMPARE(moved.data(ChangesModel::KindRole).toInt(), int(Kind::moved));
        QCOMPARE(moved.data(ChangesModel::OldPathRole).toString(), u"/data/old"_s);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.setFilters(filters);
        QCOMPARE(namesOf(model), rows);
        model.setFilters(ChangesModel::allFilters);
        QCOMPARE(model.rowCount(), 6);
        QCOMPARE(resets.count(), 0);
    }

    // In the window: the earlier scan chosen, the row of Changes in the sidebar; entries of the
    // current scan go to the Trash from the list and come back with undo, the list following
    // row by row; gone ones offer no action; folders open and close.
    void movesFromTheChangesThroughTheEditor()
    {
        ScratchDir dir;
        const std::string earlier = dir.file("before.json.gz").toStdString();
        QVERIFY(NcduWriter::writeFile(earlier,
                                      *makeTree("/home/user", {{"Videos/old.mp4", 5000},
                                                               {"Videos/keep.mp4", 1000},
                                                               {"notes.txt", 100},
                                                               {"big.iso", 9000}}),
                                      nullptr, {kScanDate / 1000 - 86400, "1"})
                    .error.isEmpty());
        WindowFixture w;
        w.window.resize(MainWindow::kMinimumSize);
        w.window.show();
        w.state.showResult(makeResult("/home/user", {{"Videos/keep.mp4", 3000},
                                                     {"notes.txt", 100},
                                                     {"new.zip", 4000},
                                                     {"Projects/a.c", 700}}));
        const SidebarModel& sidebar = *w.content().sidebar()->sidebarModel();
        QVERIFY(!offers(sidebar, SidebarItem::changes));
        w.state.changes().compareWith(earlier);
        QVERIFY(offers(sidebar, SidebarItem::changes));
        w.state.setNavigationSelection(SidebarItem::changes);
        auto* view = qobject_cast<ChangesView*>(w.content().detailWidget());
        QVERIFY(view);
        QVERIFY(w.content().isInspectorShown());
        ChangesModel& model = *view->model();
        QTRY_VERIFY(model.rowCount() > 0 && !view->isUpdating());
        QCOMPARE(namesOf(model), (QStringList{u"Videos"_s, u"Projects"_s, u"big.iso"_s, u"new.zip"_s}));
        QCOMPARE(view->header()->subtitle(),
                 L("changes.since %@", FormatUtils::formatDateFull(kScanDate - 86400000)));
        QCOMPARE(view->summary()->netLabel()->fullText(),
                 FormatUtils::formatBytesChange(7800 - 15100));

        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        ChangesList& list = *view->list();
        list.setFocus();
        list.setCurrentIndex(model.index(rowNamed(model, u"new.zip"_s)));
        QCOMPARE(shownIn(w.state), u"new.zip"_s); // in the inspector
        QTest::keyClick(&list, Qt::Key_Delete);
        QTRY_VERIFY(rowNamed(model, u"new.zip"_s) < 0 && !view->isUpdating());
        QCOMPARE(w.trash->requests(), std::vector<std::string>{"/home/user/new.zip"});
        QCOMPARE(view->summary()->netLabel()->fullText(),
                 FormatUtils::formatBytesChange(3800 - 15100));
        QVERIFY(w.state.editor().undo());
        QTRY_VERIFY(rowNamed(model, u"new.zip"_s) >= 0 && !view->isUpdating());
        QCOMPARE(resets.count(), 0);

        // A gone entry is only shown.
        list.setCurrentIndex(model.index(rowNamed(model, u"big.iso"_s)));
        QVERIFY(!view->actions()->moveToTrash()->isEnabled() &&
                !view->actions()->reveal()->isEnabled());
        QCOMPARE(shownIn(w.state), u"-"_s);
        QTest::keyClick(&list, Qt::Key_Delete);
        QCOMPARE(w.trash->requests().size(), size_t(1));

        // Into a folder and back.
        QVERIFY(!view->backButton()->isVisibleTo(view));
        list.setCurrentIndex(model.index(rowNamed(model, u"Videos"_s)));
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(model.location(), std::vector<std::string>{"Videos"});
        QCOMPARE(view->folderNameText(), u"Videos"_s);
        QCOMPARE(namesOf(model), (QStringList{u"old.mp4"_s, u"keep.mp4"_s}));
        QVERIFY(view->backButton()->isVisibleTo(view));
        QTest::mouseClick(view->backButton(), Qt::LeftButton);
        QVERIFY(model.isAtTop());

        // Every row's parts lie inside it and apart, however narrow the list.
        for (const int width : {list.viewport()->width(), 260}) {
            for (int row = 0; row < model.rowCount(); ++row) {
                const QRect rect(0, 0, width, list.rowDelegate()->rowHeight());
                const ChangeRowDelegate::Layout l =
                    list.rowDelegate()->layout(rect, model.index(row));
                for (const QRect& part : {l.icon, l.name, l.change, l.kind, l.detail})
                    QVERIFY(rect.contains(part) || part.isEmpty());
                QVERIFY(l.name.right() < l.change.left() && l.kind.right() < l.detail.left());
                QVERIFY(!l.changeText.contains(u'\u2026'));
            }
        }
    }

    // Kept scans on the welcome screen, newest first; one chosen opens read-only, with the
    // changes since the one before it and a Rescan button that scans the folder again.
    void recentScansOpenReadOnly()
    {
        PrivateHome home;
        ScratchDir tree;
        QVERIFY(writeFile(tree.file("a.txt"), 5000) && makeDir(tree.file("sub")) &&
                writeFile(tree.file("sub/b.txt"), 7000));
        const std::string older = home.keep(tree.path(), kScanDate - 86400000);
        const std::string newer = home.keep(tree.path(), kScanDate);
        QVERIFY(!older.empty() && !newer.empty());

        WindowFixture w;
        auto* welcome = qobject_cast<WelcomeView*>(w.content().detailWidget());
        QVERIFY(welcome);
        QAbstractItemModel& recent = *welcome->recentScans()->model();
        QTRY_COMPARE(recent.rowCount(), 2);
        QCOMPARE(recent.index(0, 0).data(RecentScansModel::FileRole).toByteArray().toStdString(),
                 newer);
        QCOMPARE(recent.index(0, 0).data(RecentScansModel::FolderRole).toString(),
                 QString::fromLocal8Bit(tree.path()));
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QVERIFY(welcome->recentScans()->isVisible());
        const QRect first = welcome->recentScans()->visualRect(recent.index(0, 0));
        QTest::mouseClick(welcome->recentScans()->viewport(), Qt::LeftButton, {}, first.center());
        QVERIFY(w.state.isOpeningScan());
        QTRY_VERIFY(w.state.scanResult() && w.state.isReadOnly());
        QCOMPARE(*w.state.scanResult()->openedFrom(), newer);
        QCOMPARE(w.state.scanResult()->totalFiles(), 2);
        QTRY_VERIFY(w.state.changes().isAvailable());
        QCOMPARE(w.state.changes().earlier()->file, older);
        QVERIFY(w.content().rescanButton()->isVisible());

        QTest::mouseClick(w.content().rescanButton(), Qt::LeftButton);
        QVERIFY(w.state.isScanning() && !w.state.isOpeningScan());
        QTRY_VERIFY(!w.state.isScanning());
        QVERIFY(!w.state.isReadOnly());
        QCOMPARE(w.state.scanResult()->rootPath(), tree.str());
        QVERIFY(!w.content().rescanButton()->isVisible());
        QTRY_COMPARE(w.state.history().scans().size(), size_t(3)); // this scan is kept too
    }

    // Turning the history off asks whether to remove what was kept: removed, or kept as it is.
    void historySwitchOffersToRemove_data()
    {
        QTest::addColumn<bool>("remove");
        QTest::newRow("remove") << true;
        QTest::newRow("keep them") << false;
    }
    void historySwitchOffersToRemove()
    {
        QFETCH(bool, remove);
        PrivateHome home;
        ScratchDir tree;
        QVERIFY(writeFile(tree.file("a.txt"), 5000));
        QVERIFY(!home.keep(tree.path(), kScanDate).empty());
        WindowFixture w;
        QTRY_COMPARE(w.state.history().scans().size(), size_t(1));
        QAction* keep = w.action("keepHistoryAction");
        QVERIFY(keep->isCheckable() && keep->isChecked());
        keep->trigger();
        QVERIFY(!keep->isChecked() && !w.state.history().isEnabled());
        auto* question = w.window.findChild<QMessageBox*>(u"removeHistoryQuestion"_s);
        QVERIFY(question);
        if (remove)
            question->findChild<QPushButton*>(u"removeHistoryButton"_s)->click();
        else
            question->defaultButton()->click();
        QTRY_VERIFY(!w.window.findChild<QMessageBox*>(u"removeHistoryQuestion"_s));
        QVERIFY(w.state.backgroundWork().waitUntilIdle(std::chrono::seconds(10)));
        QTRY_COMPARE(w.state.history().scans().size(), size_t(remove ? 0 : 1));
        QCOMPARE(home.history().scans().size(), size_t(remove ? 0 : 1));
        if (remove)
            QCOMPARE(*w.state.toastMessage(), L("history.removed %@", u"1"_s));
        keep->trigger();
        QVERIFY(w.state.history().isEnabled() && !w.window.findChild<QMessageBox*>());
    }
};

QTEST_MAIN(ChangesViewTest)
#include "tst_changesview.moc"
